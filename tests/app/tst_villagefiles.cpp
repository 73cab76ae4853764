// The file commands on the open villages, without a window: opening (a file
// open already, refused or unreadable files, links and letter case, the
// untouched village reused), save, save as and save all and their failures,
// saving onto a held or changed file, closing and the end questions, the
// recovery offer after a crash, the session and the recent files. The
// player's answers come from a script.
#include "TestSupport.h"

#include "app/FileQuestions.h"
#include "app/Session.h"
#include "app/VillageDocument.h"
#include "app/VillageFileGuard.h"
#include "app/VillageFiles.h"
#include "app/VillageList.h"
#include "app/VillageRecovery.h"
#include "rules/Planner.h"
#include "base/SettingsSeam.h"
#include "record/VillageFile.h"
#include "record/VillageFileAccess.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QPointer>
#include <QSettings>

#include <sys/stat.h>

// Answers the file commands' questions from a script and records what was
// asked: the files to open and the save paths in order (cancelled when used
// up), yes/no answers (AskDefault when used up) and the answer chosen by its
// text (none when empty).
struct TScriptedQuestions : TFileQuestions
{
    QList<QStringList> OpenAnswers;
    int OpenCalls = 0;
    QStringList SaveAnswers;
    QStringList SaveTitles;
    QStringList SavePresets;
    QList<bool> AskAnswers;
    bool AskDefault = false;
    QStringList AskCalls;
    QString ChooseAnswer;
    QStringList ChooseCalls;
    QList<QStringList> ChooseAnswers;
    QList<int> ChooseDefaults;
    // Everything asked, in order: "open", "title: preset", the questions.
    QStringList Log;
    // Runs while any question is open, before it is answered.
    std::function<void()> WhileAsked;

    QStringList ChooseFilesToOpen() override
    {
        ++OpenCalls;
        Log.append(QStringLiteral("open"));
        return OpenAnswers.isEmpty() ? QStringList() : OpenAnswers.takeFirst();
    }
    QString ChooseFileToSave(const QString &title, const QString &presetName) override
    {
        SaveTitles.append(title);
        SavePresets.append(presetName);
        Log.append(title + QStringLiteral(": ") + presetName);
        if (WhileAsked)
            WhileAsked();
        return SaveAnswers.isEmpty() ? QString() : SaveAnswers.takeFirst();
    }
    bool Ask(const QString &question) override
    {
        AskCalls.append(question);
        Log.append(question);
        if (WhileAsked)
            WhileAsked();
        return AskAnswers.isEmpty() ? AskDefault : AskAnswers.takeFirst();
    }
    int Choose(const QString &question, const QStringList &answers, int defaultAnswer) override
    {
        ChooseCalls.append(question);
        ChooseAnswers.append(answers);
        ChooseDefaults.append(defaultAnswer);
        if (WhileAsked)
            WhileAsked();
        return int(answers.indexOf(ChooseAnswer));
    }
};

class TestVillageFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fileCommands_data();
    void fileCommands();
    void partlyReadFileKeepsWhatWasRead();
    void fileHeldElsewhereIsSavedElsewhere();
    void fileChangedOutsideIsAskedAbout_data();
    void fileChangedOutsideIsAskedAbout();
    void closingAnUntouchedVillageWritesNothing();
    void crashedVillagesOffered_data();
    void crashedVillagesOffered();
    void sessionPipeRefusedWithItsReason();
    void sessionOpensTheSameVillagesAgain_data();
    void sessionOpensTheSameVillagesAgain();
    void startWithManyFilesWritesSettingsOnce();
    void recentFileThatHasGoneIsRemovedWithAMessage();
    void recentFilesKeepTheirOrderWhenTheSessionOpens();
    void sessionWrittenAsFilesOpenAndClose();
    void endingAtOnceKeepsEditsForTheNextStart_data();
    void endingAtOnceKeepsEditsForTheNextStart();

private:
    QString WriteVillage(const QString &fileName, const QString &name, const QString &capacity = QStringLiteral("800"));
    QStringList Names() const;
    QStringList Villages() const;
    QStringList Disk() const;
    QString Relative(const QString &text) const;

    TdmListObj m_Catalog;
    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<TRecordedMessages> m_Messages;
    std::unique_ptr<TScriptedQuestions> m_Questions;
    std::unique_ptr<TVillageList> m_Villages;
    std::unique_ptr<TVillageFiles> m_Files;
    QString m_PreviousRecoveryFolder;
    QString m_PreviousSettings;
    QPointer<TVillageDocument> m_Made;
    QHash<QString, QByteArray> m_Written;
};

void TestVillageFiles::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QVERIFY(LoadShippedCatalog(m_Catalog).Ok);
}

void TestVillageFiles::init()
{
    m_Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Dir->isValid());
    m_Messages = std::make_unique<TRecordedMessages>();
    m_PreviousRecoveryFolder = SetRecoveryFolder(m_Dir->filePath(QStringLiteral("recovery")));
    m_PreviousSettings = SetSettingsFile(m_Dir->filePath(QStringLiteral("settings.conf")));
    m_Questions = std::make_unique<TScriptedQuestions>();
    m_Villages = std::make_unique<TVillageList>(m_Catalog);
    m_Files = std::make_unique<TVillageFiles>(*m_Villages, *m_Questions);
    // The program starts with one empty village.
    m_Made = m_Files->New();
    m_Written.clear();
}

void TestVillageFiles::cleanup()
{
    m_Files.reset();
    m_Villages.reset();
    SetSettingsFile(m_PreviousSettings);
    SetRecoveryFolder(m_PreviousRecoveryFolder);
    m_Messages.reset();
    m_Dir.reset();
}

QString TestVillageFiles::WriteVillage(const QString &fileName, const QString &name, const QString &capacity)
{
    const QString path = m_Dir->filePath(fileName);
    TVillageData village;
    village.SetName(name);
    village.SetRace(1);
    village.SetCapacity(TResourceKind::Wood, capacity);
    return WriteVillageFile(village, path).Ok ? path : QString();
}

QStringList TestVillageFiles::Names() const
{
    QStringList names;
    for (int i = 0; i < m_Villages->Count(); ++i)
        names.append(m_Villages->At(i)->Village().Name);
    return names;
}

void TestVillageFiles::fileCommands_data()
{
    // The steps, one a line: open FILE... (the open dialog's answer; none:
    // cancelled), files FILE... (named on the command line), new, name TEXT,
    // race, edit [ROW], show ROW, to FILE (the next save dialog's answer),
    // yes or no (the next question's answer), save, saveas, saveall,
    // close [ROW], end (the program is to end), tick (the automatic save is
    // due), recent FILE, recents (logs the recent files), restart (the next
    // run), look (logs the villages, the disk and the number of
    // messages); on the disk: rm, rmdir,
    // write FILE NAME, pipe, zero (a link to /dev/zero), folder, huge
    // (200 MB), link FILE TARGET. FILE stands for …/FILE.vlgdat; a, b and c
    // hold the villages A, B and C before the first step.
    QTest::addColumn<QStringList>("steps");
    // Each village: ">" shown, "^" the empty one the start or "new" made,
    // name@file, then "+" unwritten edits, "!" last write failed, "?" unsaved
    // (changed, and no file or its last write failed).
    QTest::addColumn<QStringList>("villages");
    // What was asked, in order, with what close and end answered.
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("messages"); // errors; warnings marked
    // The village files in the folder; "=" as they were before the steps.
    QTest::addColumn<QStringList>("disk");
    QTest::addColumn<QStringList>("recent"); // newest first

    const QStringList abc{"a.vlgdat=", "b.vlgdat=", "c.vlgdat="};
    const QString open = QStringLiteral("open");
    const QString notRegular = QStringLiteral("Это не обычный файл (канал, устройство или сокет).");
    const auto refused = [](const QString &file, const QString &reason) {
        return QStringLiteral("Ошибка открытия файла!\r\n…/%1.vlgdat\r\n%2").arg(file, reason);
    };
    const auto alreadyOpen = [](const QString &file) {
        return QStringLiteral("Файл уже открыт!\r\n…/%1.vlgdat").arg(file);
    };
    const auto unsavedAtEnd = [](const QString &names) {
        return QStringLiteral("Не сохранены деревни: %1. Закрыть программу без сохранения?").arg(names);
    };
    const QString unsavedTab = QStringLiteral("Деревня «Вторая» не сохранена. Закрыть вкладку без сохранения?");
    const QString noName = QStringLiteral("warning: Заполните название деревни!");

    QTest::newRow("open: one file takes the untouched village")
        << QStringList{"open a"} << QStringList{">^A@a.vlgdat"} << QStringList{open} << QStringList() << abc
        << QStringList{"…/a.vlgdat"};
    QTest::newRow("open: a changed village stays")
        << QStringList{"name Моя", "open a"} << QStringList{"^Моя@+?", ">A@a.vlgdat"} << QStringList{open}
        << QStringList() << abc << QStringList{"…/a.vlgdat"};
    QTest::newRow("open: one after another, the last shown")
        << QStringList{"open a", "open b"} << QStringList{"^A@a.vlgdat", ">B@b.vlgdat"} << QStringList{open, open}
        << QStringList() << abc << QStringList{"…/b.vlgdat", "…/a.vlgdat"};
    QTest::newRow("open: several at once, the last shown")
        << QStringList{"open a b"} << QStringList{"^A@a.vlgdat", ">B@b.vlgdat"} << QStringList{open} << QStringList()
        << abc << QStringList{"…/b.vlgdat", "…/a.vlgdat"};
    QTest::newRow("open: a file open already is named and shown")
        << QStringList{"open a b", "open a"} << QStringList{">^A@a.vlgdat", "B@b.vlgdat"} << QStringList{open, open}
        << QStringList{alreadyOpen("a")} << abc << QStringList{"…/b.vlgdat", "…/a.vlgdat"};
    QTest::newRow("open: a file chosen twice opens once")
        << QStringList{"open a b a"} << QStringList{">^A@a.vlgdat", "B@b.vlgdat"} << QStringList{open}
        << QStringList{alreadyOpen("a")} << abc << QStringList{"…/b.vlgdat", "…/a.vlgdat"};
    QTest::newRow("open: the second of three open already")
        << QStringList{"open b", "open a b c"} << QStringList{"^B@b.vlgdat", "A@a.vlgdat", ">C@c.vlgdat"}
        << QStringList{open, open} << QStringList{alreadyOpen("b")} << abc
        << QStringList{"…/c.vlgdat", "…/a.vlgdat", "…/b.vlgdat"};
    QTest::newRow("open: a new untouched village takes the first of three")
        << QStringList{"open b", "new", "open a b c"} << QStringList{"B@b.vlgdat", "^A@a.vlgdat", ">C@c.vlgdat"}
        << QStringList{open, open} << QStringList{alreadyOpen("b")} << abc
        << QStringList{"…/c.vlgdat", "…/a.vlgdat", "…/b.vlgdat"};
    QTest::newRow("open: another letter case is another file")
        << QStringList{"write A A", "open a", "open A"} << QStringList{"^A@a.vlgdat", ">A@A.vlgdat"}
        << QStringList{open, open} << QStringList() << QStringList{"A.vlgdat", "a.vlgdat=", "b.vlgdat=", "c.vlgdat="}
        << QStringList{"…/A.vlgdat", "…/a.vlgdat"};
    QTest::newRow("open: a symbolic link to an open file is that file")
        << QStringList{"link l a", "open a", "open l"} << QStringList{">^A@a.vlgdat"} << QStringList{open, open}
        << QStringList{alreadyOpen("l")} << abc << QStringList{"…/a.vlgdat"};
    QTest::newRow("open: cancelled, nothing changes")
        << QStringList{"open"} << QStringList{">^@"} << QStringList{open} << QStringList() << abc << QStringList();
    QTest::newRow("open: a file not found is named, the next one opens")
        << QStringList{"open missing a"} << QStringList{"^@missing.vlgdat", ">A@a.vlgdat"} << QStringList{open}
        << QStringList{refused("missing", QStringLiteral("Файл не найден!"))} << abc << QStringList{"…/a.vlgdat"};
    QTest::newRow("open: a pipe is refused before reading")
        << QStringList{"pipe p", "open p a"} << QStringList{">^A@a.vlgdat"} << QStringList{open}
        << QStringList{refused("p", notRegular)} << abc << QStringList{"…/a.vlgdat"};
    QTest::newRow("open: a link to /dev/zero is refused")
        << QStringList{"zero z", "open z"} << QStringList{">^@"} << QStringList{open}
        << QStringList{refused("z", notRegular)} << abc << QStringList();
    QTest::newRow("open: a folder is refused")
        << QStringList{"folder f", "open f"} << QStringList{">^@"} << QStringList{open}
        << QStringList{refused("f", QStringLiteral("Это папка, а не файл деревни."))} << abc << QStringList();
    QTest::newRow("open: 200 MB are refused")
        << QStringList{"huge h", "open h"} << QStringList{">^@"} << QStringList{open}
        << QStringList{refused("h", QStringLiteral("Файл слишком большой (200,0 МиБ); файл деревни не бывает "
                                                   "больше 16 МиБ."))}
        << QStringList{"a.vlgdat=", "b.vlgdat=", "c.vlgdat=", "h.vlgdat"} << QStringList();
    QTest::newRow("files: the command line's files open as chosen")
        << QStringList{"files a a b"} << QStringList{"^A@a.vlgdat", ">B@b.vlgdat"} << QStringList()
        << QStringList{alreadyOpen("a")} << abc << QStringList{"…/b.vlgdat", "…/a.vlgdat"};

    QTest::newRow("save: a fresh village, save as and save all do nothing")
        << QStringList{"saveas", "saveall"} << QStringList{">^@"} << QStringList() << QStringList() << abc
        << QStringList();
    QTest::newRow("save: the first asks for a file, the next writes without asking")
        << QStringList{"name Бета", "to Бета", "save", "look", "rm Бета", "edit", "look", "save"}
        << QStringList{">^Бета@Бета.vlgdat"}
        << QStringList{"Сохранить: Бета",
                       "look: >^Бета@Бета.vlgdat | a.vlgdat=, b.vlgdat=, c.vlgdat=, Бета.vlgdat | 0 messages",
                       "look: >^Бета@Бета.vlgdat+ | a.vlgdat=, b.vlgdat=, c.vlgdat= | 0 messages"}
        << QStringList() << QStringList{"a.vlgdat=", "b.vlgdat=", "c.vlgdat=", "Бета.vlgdat"}
        << QStringList{"…/Бета.vlgdat"};
    QTest::newRow("save: no name, a warning and no dialog")
        << QStringList{"race", "save"} << QStringList{">^@+?"} << QStringList() << QStringList{noName} << abc
        << QStringList();
    QTest::newRow("save: the dialog cancelled writes nothing")
        << QStringList{"name Дельта", "save"} << QStringList{">^Дельта@+?"} << QStringList{"Сохранить: Дельта"}
        << QStringList() << abc << QStringList();
    QTest::newRow("save: a failed first save leaves no file name")
        << QStringList{"name Север/Юг", "to Север/Юг", "save", "look", "to Север-Юг", "save", "end"}
        << QStringList{">^Север/Юг@Север-Юг.vlgdat"}
        << QStringList{"Сохранить: Север/Юг", "look: >^Север/Юг@+!? | a.vlgdat=, b.vlgdat=, c.vlgdat= | 1 messages",
                       "Сохранить: Север/Юг", "end: true"}
        << QStringList{"Не удалось сохранить файл «…/Север/Юг.vlgdat».\r\nNo such file or directory"}
        << QStringList{"a.vlgdat=", "b.vlgdat=", "c.vlgdat=", "Север-Юг.vlgdat"} << QStringList{"…/Север-Юг.vlgdat"};
    QTest::newRow("save as: a new name") << QStringList{"open a", "to copy", "saveas"} << QStringList{">^A@copy.vlgdat"}
                                         << QStringList{open, "Сохранить как: …/a.vlgdat"} << QStringList()
                                         << QStringList{"a.vlgdat=", "b.vlgdat=", "c.vlgdat=", "copy.vlgdat"}
                                         << QStringList{"…/copy.vlgdat", "…/a.vlgdat"};
    QTest::newRow("save as: cancelled writes nothing")
        << QStringList{"open a", "rm a", "saveas"} << QStringList{">^A@a.vlgdat"}
        << QStringList{open, "Сохранить как: …/a.vlgdat"} << QStringList() << QStringList{"b.vlgdat=", "c.vlgdat="}
        << QStringList{"…/a.vlgdat"};
    QTest::newRow("save as: failed, the old name kept and written at the end")
        << QStringList{"open a", "edit", "to no/copy", "saveas", "look", "rm a", "end"} << QStringList{">^A@a.vlgdat"}
        << QStringList{open, "Сохранить как: …/a.vlgdat",
                       "look: >^A@a.vlgdat+!? | a.vlgdat=, b.vlgdat=, c.vlgdat= | 1 messages", "end: true"}
        << QStringList{"Не удалось сохранить файл «…/no/copy.vlgdat».\r\nNo such file or directory"}
        << QStringList{"a.vlgdat", "b.vlgdat=", "c.vlgdat="} << QStringList{"…/a.vlgdat"};
    QTest::newRow("save as: onto another village's file is refused")
        << QStringList{"open a b", "to a", "saveas"} << QStringList{"^A@a.vlgdat", ">B@b.vlgdat"}
        << QStringList{open, "Сохранить как: …/b.vlgdat"} << QStringList{alreadyOpen("a")} << abc
        << QStringList{"…/b.vlgdat", "…/a.vlgdat"};
    QTest::newRow("save all: every changed village, no other")
        << QStringList{"open a b", "new", "rm a", "rm b", "edit 0", "saveall"}
        << QStringList{"A@a.vlgdat", "B@b.vlgdat", ">^@"} << QStringList{open} << QStringList()
        << QStringList{"a.vlgdat", "c.vlgdat="} << QStringList{"…/a.vlgdat", "…/b.vlgdat"};
    QTest::newRow("tick: a failed automatic save counts as unsaved")
        << QStringList{"write gone/a Южная", "open gone/a", "rmdir gone", "edit", "tick", "look", "no", "end"}
        << QStringList{">^Южная@gone/a.vlgdat+!?"}
        << QStringList{open, "look: >^Южная@gone/a.vlgdat+!? | a.vlgdat=, b.vlgdat=, c.vlgdat= | 1 messages",
                       unsavedAtEnd("«Южная»"), "end: false"}
        << QStringList{2 /* at the tick and at the end */,
                       "Не удалось сохранить файл «…/gone/a.vlgdat».\r\nNo such file or directory"}
        << abc << QStringList{"…/gone/a.vlgdat"};

    QTest::newRow("end: the changed villages written, one asking for its file")
        << QStringList{"name Гамма", "open b", "rm b", "edit", "to Гамма", "end"}
        << QStringList{"^Гамма@Гамма.vlgdat", ">B@b.vlgdat"} << QStringList{open, "Сохранить: Гамма", "end: true"}
        << QStringList() << QStringList{"a.vlgdat=", "b.vlgdat", "c.vlgdat=", "Гамма.vlgdat"}
        << QStringList{"…/b.vlgdat", "…/Гамма.vlgdat"};
    for (const bool answer : {false, true}) {
        const QString yesNo = answer ? QStringLiteral("yes") : QStringLiteral("no");
        const QString end = answer ? QStringLiteral("end: true") : QStringLiteral("end: false");
        QTest::addRow("end: a village without a name, %s", qPrintable(yesNo))
            << QStringList{"race", "open a", "edit", "rm a", yesNo, "end"} << QStringList{"^@+?", ">A@a.vlgdat"}
            << QStringList{open, unsavedAtEnd(QStringLiteral("без названия")), end} << QStringList{noName}
            << QStringList{"a.vlgdat", "b.vlgdat=", "c.vlgdat="} << QStringList{"…/a.vlgdat"};
        QTest::addRow("end: the save dialog cancelled, %s", qPrintable(yesNo))
            << QStringList{"name Без файла", "open a", "edit", "rm a", yesNo, "end"}
            << QStringList{"^Без файла@+?", ">A@a.vlgdat"}
            << QStringList{open, "Сохранить: Без файла", unsavedAtEnd(QStringLiteral("«Без файла»")), end}
            << QStringList() << QStringList{"a.vlgdat", "b.vlgdat=", "c.vlgdat="} << QStringList{"…/a.vlgdat"};
    }
    QTest::newRow("end: nothing changed, nothing asked")
        << QStringList{"new", "end"} << QStringList{"@", ">^@"} << QStringList{"end: true"} << QStringList() << abc
        << QStringList();

    QTest::newRow("close: the last village out leaves a new empty one")
        << QStringList{"close"} << QStringList{">@"} << QStringList{"close: true"} << QStringList() << abc
        << QStringList();
    QTest::newRow("close: an unsaved village asks, no keeps it shown")
        << QStringList{"name Первая", "new", "name Вторая", "no", "close"} << QStringList{"Первая@+?", ">^Вторая@+?"}
        << QStringList{"Сохранить: Вторая", unsavedTab, "close: false"} << QStringList() << abc << QStringList();
    QTest::newRow("close: an unsaved village asks, yes closes it")
        << QStringList{"name Первая", "new", "name Вторая", "yes", "close"} << QStringList{">Первая@+?"}
        << QStringList{"Сохранить: Вторая", unsavedTab, "close: true"} << QStringList() << abc << QStringList();
    QTest::newRow("close: a village not shown is written before it goes")
        << QStringList{"open a", "edit", "new", "rm a", "close 0"} << QStringList{">^@"}
        << QStringList{open, "close: true"} << QStringList() << QStringList{"a.vlgdat", "b.vlgdat=", "c.vlgdat="}
        << QStringList{"…/a.vlgdat"};

    QTest::newRow("recent: newest first, read by the next run, one opened")
        << QStringList{"open a", "open b", "restart", "recents", "recent a", "recents"} << QStringList{">^A@a.vlgdat"}
        << QStringList{open, open, "recent: …/b.vlgdat, …/a.vlgdat", "recent: …/a.vlgdat, …/b.vlgdat"} << QStringList()
        << abc << QStringList{"…/a.vlgdat", "…/b.vlgdat"};
}

void TestVillageFiles::fileCommands()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, villages);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, disk);
    QFETCH(QStringList, recent);

    for (const QString &file : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}) {
        QVERIFY(!WriteVillage(file + QStringLiteral(".vlgdat"), file.toUpper()).isEmpty());
        m_Written.insert(file + QStringLiteral(".vlgdat"),
                         FileContents(m_Dir->filePath(file + QStringLiteral(".vlgdat"))));
    }
    const auto path = [this](const QString &file) { return m_Dir->filePath(file + QStringLiteral(".vlgdat")); };
    qint64 opening = 0;
    for (const QString &step : steps) {
        const QStringList words = step.split(u' ');
        const QString &verb = words.constFirst();
        const QString rest = words.mid(1).join(u' ');
        QStringList paths;
        for (const QString &word : words.mid(1))
            paths.append(path(word));
        // edit, show and close name a row; the other commands act on the village shown.
        const bool row = words.size() > 1 && QStringList{"edit", "show", "close"}.contains(verb);
        TVillageDocument *target = row ? m_Villages->At(words.at(1).toInt()) : m_Files->Current();
        QElapsedTimer timer;
        timer.start();
        if (verb == QLatin1String("open")) {
            m_Questions->OpenAnswers = {paths};
            m_Files->Open();
            opening += timer.elapsed();
        } else if (verb == QLatin1String("files")) {
            m_Files->OpenFiles(paths);
        } else if (verb == QLatin1String("new")) {
            m_Made = m_Files->New();
        } else if (verb == QLatin1String("name")) {
            target->Village().SetName(rest);
        } else if (verb == QLatin1String("race")) {
            target->Village().SetRace(1);
        } else if (verb == QLatin1String("edit")) {
            target->Village().SetComments(QStringLiteral("правка"));
        } else if (verb == QLatin1String("show")) {
            m_Files->SetCurrent(target);
        } else if (verb == QLatin1String("to")) {
            m_Questions->SaveAnswers.append(paths);
        } else if (verb == QLatin1String("yes") || verb == QLatin1String("no")) {
            m_Questions->AskAnswers.append(verb == QLatin1String("yes"));
        } else if (verb == QLatin1String("save")) {
            m_Files->Save(target);
        } else if (verb == QLatin1String("saveas")) {
            m_Files->SaveAs(target);
        } else if (verb == QLatin1String("saveall")) {
            m_Files->SaveAll();
        } else if (verb == QLatin1String("close")) {
            m_Questions->Log.append(QStringLiteral("close: ") + QVariant(m_Files->Close(target)).toString());
        } else if (verb == QLatin1String("end")) {
            m_Questions->Log.append(QStringLiteral("end: ") + QVariant(m_Files->MayEnd()).toString());
        } else if (verb == QLatin1String("tick")) {
            target->Village().HourCounter = 299;
            target->Planner().Tick();
        } else if (verb == QLatin1String("recent")) {
            m_Files->OpenRecentFile(paths.constFirst());
        } else if (verb == QLatin1String("recents")) {
            m_Questions->Log.append(QStringLiteral("recent: ")
                                    + Relative(m_Files->RecentFiles().join(QStringLiteral(", "))));
        } else if (verb == QLatin1String("restart")) {
            m_Files.reset();
            m_Villages = std::make_unique<TVillageList>(m_Catalog);
            m_Files = std::make_unique<TVillageFiles>(*m_Villages, *m_Questions);
            m_Made = m_Files->New();
        } else if (verb == QLatin1String("look")) {
            m_Questions->Log.append(QStringLiteral("look: %1 | %2 | %3 messages")
                                        .arg(Villages().join(QStringLiteral(", ")), Disk().join(QStringLiteral(", ")))
                                        .arg(m_Messages->Messages.size()));
        } else if (verb == QLatin1String("rm")) {
            QVERIFY(QFile::remove(paths.constFirst()));
        } else if (verb == QLatin1String("rmdir")) {
            QVERIFY(QDir(m_Dir->filePath(rest)).removeRecursively());
        } else if (verb == QLatin1String("write")) {
            QVERIFY(QDir().mkpath(QFileInfo(paths.constFirst()).path()));
            QVERIFY(!WriteVillage(words.at(1) + QStringLiteral(".vlgdat"), words.at(2)).isEmpty());
        } else if (verb == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(paths.constFirst()).constData(), 0600), 0);
        } else if (verb == QLatin1String("zero")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), paths.constFirst()));
        } else if (verb == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(paths.constFirst()));
        } else if (verb == QLatin1String("huge")) {
            // Sparse: it takes no room on the disk.
            QFile file(paths.constFirst());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(200LL * 1024 * 1024));
        } else if (verb == QLatin1String("link")) {
            QVERIFY(QFile::link(paths.at(1), paths.at(0)));
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step: ") + step));
        }
        Settle();
    }
    QCOMPARE(Villages(), villages);
    QStringList log;
    for (const QString &entry : std::as_const(m_Questions->Log))
        log.append(Relative(entry));
    QCOMPARE(log, asked);
    QStringList shown;
    for (const auto &[kind, text] : m_Messages->Messages)
        shown.append((kind == TMessageKind::Warning ? QStringLiteral("warning: ") : QString()) + Relative(text));
    QCOMPARE(shown, messages);
    QCOMPARE(Disk(), disk);
    QStringList recentShown;
    for (const QString &file : m_Files->RecentFiles())
        recentShown.append(Relative(file));
    QCOMPARE(recentShown, recent);
    // A file that is no village file is refused at once, not read.
    QVERIFY(opening < 2000);
}

QStringList TestVillageFiles::Villages() const
{
    QStringList villages;
    for (int i = 0; i < m_Villages->Count(); ++i) {
        const TVillageDocument *document = m_Villages->At(i);
        const TVillageData &village = document->Village();
        QString text = QString(document == m_Files->Current() ? QStringLiteral(">") : QString())
                       + (document == m_Made ? QStringLiteral("^") : QString()) + village.Name + u'@'
                       + QString(village.FileName).remove(m_Dir->path() + u'/');
        if (document->HasUnwrittenEdits())
            text += u'+';
        if (village.LastWriteFailed)
            text += u'!';
        if (village.IsUnsaved())
            text += u'?';
        villages.append(text);
    }
    return villages;
}

QStringList TestVillageFiles::Disk() const
{
    QStringList files = QDir(m_Dir->path()).entryList({QStringLiteral("*.vlgdat")}, QDir::Files | QDir::NoSymLinks);
    files.sort();
    for (QString &file : files) {
        if (m_Written.contains(file) && FileContents(m_Dir->filePath(file)) == m_Written.value(file))
            file += u'=';
    }
    return files;
}

QString TestVillageFiles::Relative(const QString &text) const
{
    return QString(text).replace(m_Dir->path() + u'/', QStringLiteral("…/"));
}

void TestVillageFiles::partlyReadFileKeepsWhatWasRead()
{
    // The file breaks off at an empty Building: the stocks and the first
    // building were applied.
    const QString first = m_Catalog.Object(0).DisplayText();
    const QString path = m_Dir->filePath(QStringLiteral("partly.vlgdat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><JorVillageData>"
                              "<Village Name=\"Обрыв\" Race=\"Галлы\"/>"
                              "<ResourceCollect Wood=\"999999\" Clay=\"999999\" Iron=\"999999\" Grain=\"999999\"/>"
                              "<AvBuildings><Building>%1</Building><Building/></AvBuildings></JorVillageData>")
                   .arg(first)
                   .toUtf8());
    file.close();

    m_Files->OpenFiles({path});
    QCOMPARE(m_Messages->Messages.size(), 1);
    QVERIFY(m_Messages->Texts().constFirst().startsWith(QStringLiteral("Ошибка открытия файла!\r\n")));
    const TVillageData &village = m_Files->Current()->Village();
    QCOMPARE(village.AvBuildings.size(), 1);
    QCOMPARE(village.AvBuildings.constFirst().Text, first);
    // The partly read village has no file, so closing asks about it.
    QVERIFY(village.FileName.isEmpty());
    QVERIFY(village.IsUnsaved());
}

void TestVillageFiles::fileHeldElsewhereIsSavedElsewhere()
{
    const QString path = WriteVillage(QStringLiteral("Северная.vlgdat"), QStringLiteral("Северная"));
    QLockFile other(TVillageFileGuard::LockPath(path));
    QVERIFY(other.tryLock(0));
    const QByteArray theirs = FileContents(path);
    m_Files->OpenFiles({path});
    TVillageDocument *document = m_Files->Current();
    QVERIFY(document->IsReadOnly());

    // "Сохранить" asks for another file and leaves the held one alone.
    document->Village().SetComments(QStringLiteral("правка"));
    const QString copy = m_Dir->filePath(QStringLiteral("Северная-копия.vlgdat"));
    m_Questions->SaveAnswers = {copy};
    m_Files->Save(document);
    QCOMPARE(m_Questions->SaveTitles, QStringList{QStringLiteral("Сохранить как")});
    QCOMPARE(FileContents(path), theirs);
    QCOMPARE(document->Village().FileName, copy);
    QVERIFY(!document->IsReadOnly());
    QVERIFY(m_Messages->Messages.isEmpty());
}

void TestVillageFiles::fileChangedOutsideIsAskedAbout_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("capacity"); // the village's and the file's afterwards

    QTest::newRow("Загрузить") << QStringLiteral("Загрузить") << QStringLiteral("999");
    QTest::newRow("Оставить мои") << QStringLiteral("Оставить мои") << QStringLiteral("850");
}

void TestVillageFiles::fileChangedOutsideIsAskedAbout()
{
    QFETCH(QString, answer);
    QFETCH(QString, capacity);

    const QString path = WriteVillage(QStringLiteral("Северная.vlgdat"), QStringLiteral("Северная"));
    m_Files->OpenFiles({path});
    TVillageDocument *document = m_Files->Current();
    document->Village().EditCapacity(TResourceKind::Wood, QStringLiteral("850"));
    // Another program saves the same village with capacity 999.
    QVERIFY(!WriteVillage(QStringLiteral("Северная.vlgdat"), QStringLiteral("Северная"), QStringLiteral("999")).isEmpty());

    m_Questions->ChooseAnswer = answer;
    m_Files->Save(document);
    QCOMPARE(m_Questions->ChooseCalls,
             QStringList{QStringLiteral("Файл «Северная.vlgdat» изменён другой программой. Загрузить его (ваши "
                                        "изменения будут потеряны) или оставить ваши?")});
    QCOMPARE(m_Questions->ChooseAnswers.constFirst(),
             (QStringList{QStringLiteral("Загрузить"), QStringLiteral("Оставить мои")}));
    // Enter and Esc keep the player's village.
    QCOMPARE(m_Questions->ChooseDefaults, QList<int>{1});
    QCOMPARE(document->Village().Capacity[KindIndex(TResourceKind::Wood)], capacity);
    TVillageData onDisk;
    onDisk.SetFileName(path);
    QVERIFY(ReadVillageFile(onDisk, m_Catalog).Ok);
    QCOMPARE(onDisk.Capacity[KindIndex(TResourceKind::Wood)], capacity);
    QVERIFY(!document->HasUnwrittenEdits());
}

void TestVillageFiles::closingAnUntouchedVillageWritesNothing()
{
    const QString path = WriteVillage(QStringLiteral("Северная.vlgdat"), QStringLiteral("Северная"));
    const QByteArray before = FileContents(path);
    m_Files->OpenFiles({path});
    QVERIFY(!m_Files->Current()->HasUnwrittenEdits());
    const QPointer<TVillageDocument> closed = m_Files->Current();
    QVERIFY(m_Files->Close(closed));
    // The last village out leaves a new empty one.
    QVERIFY(closed.isNull());
    QCOMPARE(m_Villages->Count(), 1);
    QCOMPARE(m_Files->Current()->Village().FileName, QString());
    QVERIFY(!m_Files->Current()->Village().Modified);
    QCOMPARE(FileContents(path), before);
    QVERIFY(m_Questions->AskCalls.isEmpty());
    QVERIFY(m_Questions->SaveTitles.isEmpty());
}

void TestVillageFiles::crashedVillagesOffered_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("Восстановить") << QStringLiteral("Восстановить")
                                  << QStringList{QStringLiteral("Test"), QStringLiteral("Северная")};
    QTest::newRow("Удалить") << QStringLiteral("Удалить") << QStringList{QString()};
}

void TestVillageFiles::crashedVillagesOffered()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, names);

    // What a program that crashed left: a village never saved and one with
    // its file.
    const QString northern = WriteVillage(QStringLiteral("Северная.vlgdat"), QStringLiteral("Северная"));
    const TRecoveryStore left(RecoveryFolder());
    TVillageData test;
    test.SetName(QStringLiteral("Test"));
    QVERIFY(left.Write(QStringLiteral("1-1"), test).Ok);
    TVillageData changed;
    changed.SetName(QStringLiteral("Северная"));
    changed.SetFileName(northern);
    changed.SetComments(QStringLiteral("не сохранено"));
    QVERIFY(left.Write(QStringLiteral("1-2"), changed).Ok);

    m_Questions->ChooseAnswer = answer;
    m_Files->OfferRecovery();
    // Each village is named with the file it goes back to.
    QCOMPARE(m_Questions->ChooseCalls, QStringList{QStringLiteral("Программа была закрыта аварийно. Восстановить "
                                                                  "несохранённые деревни: «Test», «Северная» (%1)?")
                                                       .arg(northern)});
    QCOMPARE(m_Questions->ChooseAnswers.constFirst(),
             (QStringList{QStringLiteral("Восстановить"), QStringLiteral("Удалить")}));
    QCOMPARE(Names(), names);
    // The old run's files are gone; kept again under this run's keys when
    // restored.
    const QList<TRecoveredVillage> kept = TRecoveryStore(RecoveryFolder()).Found(m_Catalog);
    QCOMPARE(kept.size(), answer == QStringLiteral("Восстановить") ? 2 : 0);
    for (const TRecoveredVillage &village : kept)
        QVERIFY(!QFileInfo(village.RecoveryFile).fileName().startsWith(QStringLiteral("1-")));
    if (answer == QStringLiteral("Восстановить")) {
        TVillageDocument *document = m_Villages->At(1);
        QCOMPARE(m_Files->Current(), document);
        QCOMPARE(document->Village().FileName, northern);
        QCOMPARE(document->Village().Comments, QStringLiteral("не сохранено"));
        QVERIFY(document->HasUnwrittenEdits());
        QVERIFY(m_Villages->At(0)->Village().FileName.isEmpty());
    }
    // A normal end leaves nothing to recover.
    m_Villages->At(0)->Write(m_Dir->filePath(QStringLiteral("Test.vlgdat")));
    m_Questions->AskDefault = true;
    QVERIFY(m_Files->MayEnd());
    m_Files->End();
    QVERIFY(TRecoveryStore(RecoveryFolder()).Found(m_Catalog).isEmpty());
}

void TestVillageFiles::sessionPipeRefusedWithItsReason()
{
    const QString pipe = m_Dir->filePath(QStringLiteral("Северная.vlgdat"));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    TSession session;
    session.Files = {pipe};
    session.Current = 0;
    session.Save(*OpenSettings());
    m_Files->RestoreSession();
    // The reason of the refusal, not "no longer there".
    QCOMPARE(m_Messages->Texts(), QStringList{OpenFailureMessage({false, RefusalBeforeReading(pipe), pipe})});
    QVERIFY(m_Messages->Texts().constFirst().contains(QStringLiteral("Это не обычный файл")));
    QCOMPARE(m_Villages->Count(), 1);
    QVERIFY(m_Files->Current()->Village().FileName.isEmpty());
}

void TestVillageFiles::sessionOpensTheSameVillagesAgain_data()
{
    QTest::addColumn<QStringList>("gone"); // removed between the two runs
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("shown");

    QTest::newRow("all there") << QStringList() << QStringList{"Альфа", "Бета", "Гамма"} << QStringLiteral("Бета");
    QTest::newRow("one gone") << QStringList{"gamma.vlgdat"} << QStringList{"Альфа", "Бета"} << QStringLiteral("Бета");
    QTest::newRow("shown one gone") << QStringList{"beta.vlgdat"} << QStringList{"Альфа", "Гамма"}
                                    << QStringLiteral("Альфа");
    QTest::newRow("two gone, one message") << QStringList{"alpha.vlgdat", "gamma.vlgdat"} << QStringList{"Бета"}
                                           << QStringLiteral("Бета");
    QTest::newRow("all gone") << QStringList{"alpha.vlgdat", "beta.vlgdat", "gamma.vlgdat"} << QStringList{""}
                              << QString();
}

void TestVillageFiles::sessionOpensTheSameVillagesAgain()
{
    QFETCH(QStringList, gone);
    QFETCH(QStringList, names);
    QFETCH(QString, shown);

    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    const QString gamma = WriteVillage(QStringLiteral("gamma.vlgdat"), QStringLiteral("Гамма"));
    m_Files->OpenFiles({alpha, beta});
    // A village that has no file is not part of the session: its save is
    // cancelled and the program ends without it.
    m_Files->New()->Village().SetName(QStringLiteral("Без файла"));
    m_Files->OpenFiles({gamma});
    m_Files->SetCurrent(m_Villages->At(1));
    QCOMPARE(Names(), (QStringList{"Альфа", "Бета", "Без файла", "Гамма"}));
    m_Questions->AskDefault = true;
    QVERIFY(m_Files->MayEnd());
    m_Files->End();
    for (const QString &file : gone)
        QVERIFY(QFile::remove(m_Dir->filePath(file)));
    QVERIFY(m_Messages->Messages.isEmpty());

    TVillageList villages(m_Catalog);
    TVillageFiles files(villages, *m_Questions);
    files.New();
    files.RestoreSession();
    QStringList restored;
    for (int i = 0; i < villages.Count(); ++i)
        restored.append(villages.At(i)->Village().Name);
    QCOMPARE(restored, names);
    QCOMPARE(files.Current()->Village().Name, shown);
    if (gone.isEmpty()) {
        QVERIFY(m_Messages->Messages.isEmpty());
    } else {
        QStringList paths;
        for (const QString &file : gone)
            paths.append(m_Dir->filePath(file));
        QCOMPARE(m_Messages->Texts(), QStringList{TSession::MissingFilesMessage(paths)});
        for (const QString &path : std::as_const(paths))
            QVERIFY(m_Messages->Texts().constFirst().contains(path));
    }
}

void TestVillageFiles::startWithManyFilesWritesSettingsOnce()
{
    // Twenty villages of the last session: the settings file is written
    // once after the start, and each file's path is resolved a bounded
    // number of times, not again for every village at every open.
    QStringList files;
    for (int i = 0; i < 20; ++i)
        files.append(WriteVillage(QStringLiteral("v%1.vlgdat").arg(i), QStringLiteral("Деревня %1").arg(i)));
    StoreSetting(*OpenSettings(), QStringLiteral("Session/Files"), files);
    QVERIFY(FlushSettings());

    const qint64 writes = SettingsWriteCount();
    const qint64 lookups = VillageFileIdentityCount();
    m_Files->RestoreSession();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(m_Villages->Count(), 20);
    QVERIFY(SettingsWriteCount() - writes <= 1);
    QVERIFY(VillageFileIdentityCount() - lookups <= 3 * 20);
}

void TestVillageFiles::recentFileThatHasGoneIsRemovedWithAMessage()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    m_Files->OpenFiles({alpha, beta});
    QVERIFY(QFile::remove(beta));

    TVillageList villages(m_Catalog);
    TVillageFiles files(villages, *m_Questions);
    files.New();
    files.OpenRecentFile(files.RecentFiles().constFirst());
    QCOMPARE(m_Messages->Texts(), QStringList{TRecentFiles::MissingFileMessage(beta)});
    QCOMPARE(villages.Count(), 1);
    QCOMPARE(files.Current()->Village().FileName, QString());
    QCOMPARE(files.RecentFiles(), QStringList{alpha});
}

void TestVillageFiles::recentFilesKeepTheirOrderWhenTheSessionOpens()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    m_Files->OpenFiles({alpha, beta});
    QVERIFY(m_Files->MayEnd());
    m_Files->End();
    // Since then another running program used alpha.
    OpenSettings()->setValue(TRecentFiles::SettingsKey, QStringList{alpha, beta});

    TVillageList villages(m_Catalog);
    TVillageFiles files(villages, *m_Questions);
    files.New();
    files.RestoreSession();
    QCOMPARE(villages.Count(), 2);
    QCOMPARE(villages.At(0)->Village().Name, QStringLiteral("Альфа"));
    QCOMPARE(villages.At(1)->Village().Name, QStringLiteral("Бета"));
    QCOMPARE(files.RecentFiles(), (QStringList{alpha, beta}));
}

void TestVillageFiles::sessionWrittenAsFilesOpenAndClose()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    const auto stored = [] { return TSession::Load(*OpenSettings()).Files; };
    m_Files->OpenFiles({alpha, beta});
    // Written at once, with no end: a crash keeps the open files.
    QCOMPARE(stored(), (QStringList{alpha, beta}));
    QVERIFY(m_Files->Close(m_Villages->At(0)));
    QCOMPARE(stored(), QStringList{beta});
    TVillageDocument *fresh = m_Files->New();
    fresh->Village().SetName(QStringLiteral("Новая"));
    m_Questions->SaveAnswers = {m_Dir->filePath(QStringLiteral("new.vlgdat"))};
    m_Files->Save(fresh);
    QCOMPARE(stored(), (QStringList{beta, m_Dir->filePath(QStringLiteral("new.vlgdat"))}));
}

void TestVillageFiles::endingAtOnceKeepsEditsForTheNextStart_data()
{
    QTest::addColumn<QString>("asked"); // the question open when the end comes
    QTest::newRow("no question") << QString();
    QTest::newRow("the recovery offer") << QStringLiteral("recovery");
    QTest::newRow("the save dialog on closing") << QStringLiteral("close");
}

void TestVillageFiles::endingAtOnceKeepsEditsForTheNextStart()
{
    QFETCH(QString, asked);
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    const QByteArray betaBytes = FileContents(beta);
    m_Files->OpenFiles({alpha, beta});
    m_Villages->At(1)->Village().SetComments(QStringLiteral("не сохранено"));
    TVillageDocument *unnamed = m_Files->New();
    unnamed->Village().SetName(QStringLiteral("Без файла"));
    QVERIFY(unnamed->HasUnwrittenEdits());
    m_Questions->SaveAnswers = {m_Dir->filePath(QStringLiteral("unnamed.vlgdat"))};
    m_Questions->ChooseAnswer = QStringLiteral("Восстановить");
    m_Questions->AskDefault = true;
    m_Questions->WhileAsked = [this] { QVERIFY(m_Files->EndAtOnce()); };

    if (asked == QStringLiteral("recovery")) {
        // A crashed run's copy is on offer when the end comes.
        TVillageData left;
        left.SetName(QStringLiteral("Давняя"));
        QVERIFY(TRecoveryStore(RecoveryFolder()).Write(QStringLiteral("1-1"), left).Ok);
        m_Files->OfferRecovery();
        QCOMPARE(m_Questions->ChooseCalls.size(), 1);
    } else if (asked == QStringLiteral("close")) {
        QVERIFY(!m_Files->Close(unnamed));
        QCOMPARE(m_Questions->SaveTitles, QStringList{QStringLiteral("Сохранить")});
        QVERIFY(!QFileInfo::exists(m_Dir->filePath(QStringLiteral("unnamed.vlgdat"))));
    } else {
        QVERIFY(m_Files->EndAtOnce());
        QVERIFY(m_Questions->SaveTitles.isEmpty());
    }
    // No question after the end, nothing written to the player's files, no
    // box; what the program would do at a normal end does nothing.
    QVERIFY(m_Files->MayEnd());
    m_Files->End();
    QVERIFY(m_Questions->AskCalls.isEmpty());
    QCOMPARE(FileContents(beta), betaBytes);
    QVERIFY(m_Messages->Messages.isEmpty());
    QCOMPARE(m_Villages->Count(), 3);
    // The session names every open file; the unwritten villages wait in
    // the recovery folder for the next start.
    QCOMPARE(TSession::Load(*OpenSettings()).Files, (QStringList{alpha, beta}));
    QStringList kept;
    for (const TRecoveredVillage &village : TRecoveryStore(RecoveryFolder()).Found(m_Catalog))
        kept.append(village.Name);
    kept.sort();
    QStringList expected{QStringLiteral("Без файла"), QStringLiteral("Бета")};
    if (asked == QStringLiteral("recovery"))
        expected.append(QStringLiteral("Давняя"));
    QCOMPARE(kept, expected);
}

QTEST_GUILESS_MAIN(TestVillageFiles)
#include "tst_villagefiles.moc"

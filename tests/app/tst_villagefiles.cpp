// The file commands on the open villages, without a window: opening (a file
// open already, a refused file, the untouched village reused), saving onto a
// held or changed file, closing, the recovery offer after a crash, the
// session and the recent files. The player's answers come from a script.
#include "TestSupport.h"

#include "app/FileQuestions.h"
#include "app/Session.h"
#include "app/VillageDocument.h"
#include "app/VillageFileGuard.h"
#include "app/VillageFiles.h"
#include "app/VillageList.h"
#include "app/VillageRecovery.h"
#include "base/SettingsSeam.h"
#include "record/VillageFile.h"
#include "record/VillageFileAccess.h"

#include <QLockFile>
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
    // Runs while any question is open, before it is answered.
    std::function<void()> WhileAsked;

    QStringList ChooseFilesToOpen() override
    {
        ++OpenCalls;
        return OpenAnswers.isEmpty() ? QStringList() : OpenAnswers.takeFirst();
    }
    QString ChooseFileToSave(const QString &title, const QString &presetName) override
    {
        SaveTitles.append(title);
        SavePresets.append(presetName);
        if (WhileAsked)
            WhileAsked();
        return SaveAnswers.isEmpty() ? QString() : SaveAnswers.takeFirst();
    }
    bool Ask(const QString &question) override
    {
        AskCalls.append(question);
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

// The whole bytes of a file; empty when it cannot be read.
static QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The shipped catalog, as the program loads it.
static bool LoadShippedCatalog(TdmListObj &catalog)
{
    const QString shipped = QStringLiteral(JOR_SHIPPED_CATALOG);
    return catalog.LoadCatalog(shipped.left(shipped.size() - int(qstrlen(".xml")))).Ok;
}


class TestVillageFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openFiles_data();
    void openFiles();
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

    TdmListObj m_Catalog;
    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<TRecordedMessages> m_Messages;
    std::unique_ptr<TScriptedQuestions> m_Questions;
    std::unique_ptr<TVillageList> m_Villages;
    std::unique_ptr<TVillageFiles> m_Files;
    QString m_PreviousRecoveryFolder;
    QString m_PreviousSettings;
};

void TestVillageFiles::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QVERIFY(LoadShippedCatalog(m_Catalog));
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
    m_Files->New();
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

void TestVillageFiles::openFiles_data()
{
    QTest::addColumn<bool>("editFirst"); // the empty village is changed before
    QTest::addColumn<QStringList>("files"); // a, b; "pipe" for a named pipe
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("messages");
    QTest::addColumn<QStringList>("recent"); // newest first

    QTest::newRow("one file takes the untouched village")
        << false << QStringList{"a"} << QStringList{"A"} << "A" << 0 << QStringList{"a"};
    QTest::newRow("a changed village stays")
        << true << QStringList{"a"} << QStringList{"", "A"} << "A" << 0 << QStringList{"a"};
    QTest::newRow("the last one opened is shown")
        << false << QStringList{"a", "b"} << QStringList{"A", "B"} << "B" << 0 << QStringList{"b", "a"};
    QTest::newRow("a file open already is named and shown")
        << false << QStringList{"a", "b", "a"} << QStringList{"A", "B"} << "A" << 1 << QStringList{"b", "a"};
    QTest::newRow("a pipe is refused before reading")
        << false << QStringList{"pipe", "a"} << QStringList{"A"} << "A" << 1 << QStringList{"a"};
    QTest::newRow("cancelled: nothing changes") << false << QStringList{} << QStringList{""} << "" << 0
                                                << QStringList{};
}

void TestVillageFiles::openFiles()
{
    QFETCH(bool, editFirst);
    QFETCH(QStringList, files);
    QFETCH(QStringList, names);
    QFETCH(QString, shown);
    QFETCH(int, messages);
    QFETCH(QStringList, recent);

    const QString a = WriteVillage(QStringLiteral("a.vlgdat"), QStringLiteral("A"));
    const QString b = WriteVillage(QStringLiteral("b.vlgdat"), QStringLiteral("B"));
    const QString pipe = m_Dir->filePath(QStringLiteral("pipe.vlgdat"));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    if (editFirst)
        m_Files->Current()->Village().SetComments(QStringLiteral("правка"));
    const auto pathOf = [&](const QString &file) {
        return file == QStringLiteral("a") ? a : file == QStringLiteral("b") ? b : pipe;
    };
    QStringList paths;
    for (const QString &file : files)
        paths.append(pathOf(file));

    m_Questions->OpenAnswers = {paths};
    m_Files->Open();
    QCOMPARE(m_Questions->OpenCalls, 1);
    QCOMPARE(Names(), names);
    QCOMPARE(m_Files->Current()->Village().Name, shown);
    QCOMPARE(m_Messages->Messages.size(), messages);
    if (files.count(QStringLiteral("a")) > 1)
        QCOMPARE(m_Messages->Texts(), QStringList{AlreadyOpenMessage(a)});
    if (files.contains(QStringLiteral("pipe")))
        QVERIFY(m_Messages->Texts().constFirst().contains(QStringLiteral("Это не обычный файл")));
    QStringList recentPaths;
    for (const QString &file : recent)
        recentPaths.append(pathOf(file));
    QCOMPARE(m_Files->RecentFiles(), recentPaths);
}

void TestVillageFiles::fileHeldElsewhereIsSavedElsewhere()
{
    const QString path = WriteVillage(QStringLiteral("Северная.vlgdat"), QStringLiteral("Северная"));
    QLockFile other(TVillageFileGuard::LockPath(path));
    QVERIFY(other.tryLock(0));
    const QByteArray theirs = FileBytes(path);
    m_Files->OpenFiles({path});
    TVillageDocument *document = m_Files->Current();
    QVERIFY(document->IsReadOnly());

    // "Сохранить" asks for another file and leaves the held one alone.
    document->Village().SetComments(QStringLiteral("правка"));
    const QString copy = m_Dir->filePath(QStringLiteral("Северная-копия.vlgdat"));
    m_Questions->SaveAnswers = {copy};
    m_Files->Save(document);
    QCOMPARE(m_Questions->SaveTitles, QStringList{QStringLiteral("Сохранить как")});
    QCOMPARE(FileBytes(path), theirs);
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
    const QByteArray before = FileBytes(path);
    m_Files->OpenFiles({path});
    QVERIFY(!m_Files->Current()->HasUnwrittenEdits());
    QVERIFY(m_Files->Close(m_Files->Current()));
    // The last village out leaves an empty one.
    QCOMPARE(m_Villages->Count(), 1);
    QCOMPARE(m_Files->Current()->Village().FileName, QString());
    QCOMPARE(FileBytes(path), before);
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
    const QByteArray betaBytes = FileBytes(beta);
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
    QCOMPARE(FileBytes(beta), betaBytes);
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

// The main window and the files other programs touch: a file another program
// holds opens read-only (its page says so, and saving asks for another
// file), a file another program changed is asked about through the seam
// before it is written, an opened file nobody changed is not written again
// when its tab closes, the villages left by a crash are offered back, and a
// pipe left in the session is refused with its reason.
#include "TestSupport.h"

#include "app/VillageDocument.h"
#include "app/VillageFileGuard.h"
#include "app/Session.h"
#include "app/VillageRecovery.h"
#include "base/SettingsSeam.h"
#include "record/VillageFileAccess.h"
#include "ui/widgets/UiSeams.h"
#include "ui/main/f_Main.h"
#include "ui/page/f_Village.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QLabel>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>

namespace {

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestFormMainFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fileHeldElsewhereIsReadOnly();
    void fileChangedOutsideIsAskedAbout_data();
    void fileChangedOutsideIsAskedAbout();
    void closingAnUntouchedTabWritesNothing();
    void crashedVillagesOffered_data();
    void crashedVillagesOffered();
    void sessionPipeRefusedWithItsReason();
    void choiceBoxKeepsItsDefault_data();
    void choiceBoxKeepsItsDefault();

private:
    QString WriteVillage(const QString &fileName, const QString &name, const QString &capacity = QStringLiteral("800"));
    static QAction *Action(TFormMain &window, const char *name);

    TdmListObj m_Catalog;
    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<TRecordedMessages> m_Messages;
    QString m_PreviousRecoveryFolder;
    QStringList m_SaveAnswers;
    QStringList m_SaveTitles;
    QStringList m_AskCalls;
    QStringList m_ChooseCalls;
    QList<QStringList> m_ChooseAnswers;
    QList<int> m_ChooseDefaults;
    QString m_ChooseAnswer;
};

void TestFormMainFiles::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QString shipped = QStringLiteral(JOR_SHIPPED_CATALOG);
    QVERIFY(m_Catalog.LoadCatalog(shipped.left(shipped.size() - int(qstrlen(".xml")))));
}

void TestFormMainFiles::init()
{
    m_Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Dir->isValid());
    m_Messages = std::make_unique<TRecordedMessages>();
    m_PreviousRecoveryFolder = SetRecoveryFolder(m_Dir->filePath(QStringLiteral("recovery")));
    m_SaveAnswers.clear();
    m_SaveTitles.clear();
    m_AskCalls.clear();
    m_ChooseCalls.clear();
    m_ChooseAnswers.clear();
    m_ChooseDefaults.clear();
    m_ChooseAnswer.clear();
    UiSeams::SetSaveHandler([this](QWidget *, const QString &title, const QString &) {
        m_SaveTitles.append(title);
        return m_SaveAnswers.isEmpty() ? QString() : m_SaveAnswers.takeFirst();
    });
    UiSeams::SetAskHandler([this](QWidget *, const QString &question, UiSeams::TAnswer) {
        m_AskCalls.append(question);
        return false;
    });
    UiSeams::SetChooseHandler([this](QWidget *, const QString &question, const QStringList &answers, int defaultAnswer) {
        m_ChooseCalls.append(question);
        m_ChooseAnswers.append(answers);
        m_ChooseDefaults.append(defaultAnswer);
        return int(answers.indexOf(m_ChooseAnswer));
    });
}

void TestFormMainFiles::cleanup()
{
    UiSeams::SetSaveHandler({});
    UiSeams::SetAskHandler({});
    UiSeams::SetChooseHandler({});
    SetRecoveryFolder(m_PreviousRecoveryFolder);
    m_Messages.reset();
    m_Dir.reset();
}

QString TestFormMainFiles::WriteVillage(const QString &fileName, const QString &name, const QString &capacity)
{
    const QString path = m_Dir->filePath(fileName);
    TVillageData village;
    village.SetName(name);
    village.SetRace(1);
    village.SetCapacity(TResourceKind::Wood, capacity);
    return WriteVillageFile(village, path).Ok ? path : QString();
}

QAction *TestFormMainFiles::Action(TFormMain &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

void TestFormMainFiles::fileHeldElsewhereIsReadOnly()
{
    const QString path = WriteVillage(QStringLiteral("Северная.vlgdat"), QStringLiteral("Северная"));
    QLockFile other(TVillageFileGuard::LockPath(path));
    QVERIFY(other.tryLock(0));
    const QByteArray theirs = Bytes(path);

    TFormMain window(m_Catalog);
    window.show();
    window.OpenFiles({path});
    TFormVillage *page = window.ActivePage();
    auto *line = page->findChild<QLabel *>(QStringLiteral("lbReadOnly"));
    QVERIFY(line);
    QVERIFY(line->isVisible());
    QCOMPARE(line->text(), QStringLiteral("Файл открыт в другой программе: изменения не будут сохранены в него."));

    // "Сохранить" asks for another file and leaves the held one alone.
    page->Village().SetComments(QStringLiteral("правка"));
    const QString copy = m_Dir->filePath(QStringLiteral("Северная-копия.vlgdat"));
    m_SaveAnswers = {copy};
    Action(window, "actSave")->trigger();
    QCOMPARE(m_SaveTitles, QStringList{QStringLiteral("Сохранить как")});
    QCOMPARE(Bytes(path), theirs);
    QCOMPARE(page->Village().FileName, copy);
    QVERIFY(!line->isVisible());
    QVERIFY(m_Messages->Messages.isEmpty());
}

void TestFormMainFiles::fileChangedOutsideIsAskedAbout_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("capacity"); // the village's and the file's afterwards

    QTest::newRow("Загрузить") << QStringLiteral("Загрузить") << QStringLiteral("999");
    QTest::newRow("Оставить мои") << QStringLiteral("Оставить мои") << QStringLiteral("850");
}

void TestFormMainFiles::fileChangedOutsideIsAskedAbout()
{
    QFETCH(QString, answer);
    QFETCH(QString, capacity);

    const QString path = WriteVillage(QStringLiteral("Северная.vlgdat"), QStringLiteral("Северная"));
    TFormMain window(m_Catalog);
    window.show();
    window.OpenFiles({path});
    TFormVillage *page = window.ActivePage();
    page->Village().EditCapacity(TResourceKind::Wood, QStringLiteral("850"));
    // Another program saves the same village with capacity 999.
    QVERIFY(!WriteVillage(QStringLiteral("Северная.vlgdat"), QStringLiteral("Северная"), QStringLiteral("999")).isEmpty());

    m_ChooseAnswer = answer;
    Action(window, "actSave")->trigger();
    QCOMPARE(m_ChooseCalls,
             QStringList{QStringLiteral("Файл «Северная.vlgdat» изменён другой программой. Загрузить его (ваши "
                                        "изменения будут потеряны) или оставить ваши?")});
    QCOMPARE(m_ChooseAnswers.constFirst(), (QStringList{QStringLiteral("Загрузить"), QStringLiteral("Оставить мои")}));
    // Enter and Esc keep the player's village.
    QCOMPARE(m_ChooseDefaults, QList<int>{1});
    QCOMPARE(page->Village().Capacity[KindIndex(TResourceKind::Wood)], capacity);
    TVillageData onDisk;
    onDisk.SetFileName(path);
    QVERIFY(ReadVillageFile(onDisk, m_Catalog).Ok);
    QCOMPARE(onDisk.Capacity[KindIndex(TResourceKind::Wood)], capacity);
    QVERIFY(!window.isWindowModified());
    QVERIFY(!Action(window, "actSave")->isEnabled());
}

void TestFormMainFiles::closingAnUntouchedTabWritesNothing()
{
    const QString path = WriteVillage(QStringLiteral("Северная.vlgdat"), QStringLiteral("Северная"));
    const QByteArray before = Bytes(path);
    TFormMain window(m_Catalog);
    window.show();
    window.OpenFiles({path});
    QVERIFY(!window.isWindowModified());
    QVERIFY(!Action(window, "actSave")->isEnabled());
    Action(window, "actClose")->trigger();
    QCOMPARE(window.ActivePage()->Village().FileName, QString());
    QCOMPARE(Bytes(path), before);
    QVERIFY(m_AskCalls.isEmpty());
    QVERIFY(m_SaveTitles.isEmpty());
}

void TestFormMainFiles::crashedVillagesOffered_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("tabs");

    QTest::newRow("Восстановить") << QStringLiteral("Восстановить")
                                  << QStringList{QStringLiteral("Test"), QStringLiteral("Северная")};
    QTest::newRow("Удалить") << QStringLiteral("Удалить") << QStringList{QString()};
}

void TestFormMainFiles::crashedVillagesOffered()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, tabs);

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

    TFormMain window(m_Catalog);
    window.show();
    m_ChooseAnswer = answer;
    window.OfferRecovery();
    // Each village is named with the file it goes back to.
    QCOMPARE(m_ChooseCalls, QStringList{QStringLiteral("Программа была закрыта аварийно. Восстановить несохранённые "
                                                       "деревни: «Test», «Северная» (%1)?")
                                            .arg(northern)});
    QCOMPARE(m_ChooseAnswers.constFirst(), (QStringList{QStringLiteral("Восстановить"), QStringLiteral("Удалить")}));
    QStringList names;
    for (int i = 0; i < window.PageCount(); ++i)
        names.append(window.Page(i)->Village().Name);
    QCOMPARE(names, tabs);
    // The old run's files are gone; kept again under this run's keys when
    // restored.
    const QList<TRecoveredVillage> kept = TRecoveryStore(RecoveryFolder()).Found(m_Catalog);
    QCOMPARE(kept.size(), answer == QStringLiteral("Восстановить") ? 2 : 0);
    for (const TRecoveredVillage &village : kept)
        QVERIFY(!QFileInfo(village.RecoveryFile).fileName().startsWith(QStringLiteral("1-")));
    if (answer == QStringLiteral("Восстановить")) {
        TFormVillage *page = window.Page(1);
        QCOMPARE(page->Village().FileName, northern);
        QCOMPARE(page->Village().Comments, QStringLiteral("не сохранено"));
        QVERIFY(page->Document().HasUnwrittenEdits());
        QVERIFY(window.isWindowModified());
        QVERIFY(Action(window, "actSave")->isEnabled());
        QVERIFY(window.Page(0)->Village().FileName.isEmpty());
    }
    // A normal end leaves nothing to recover.
    window.Page(0)->Document().Write(m_Dir->filePath(QStringLiteral("Test.vlgdat")));
    QVERIFY(window.close());
    QVERIFY(TRecoveryStore(RecoveryFolder()).Found(m_Catalog).isEmpty());
}

void TestFormMainFiles::sessionPipeRefusedWithItsReason()
{
    const QString pipe = m_Dir->filePath(QStringLiteral("Северная.vlgdat"));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    const QString previous = SetSettingsFile(m_Dir->filePath(QStringLiteral("JorLivaronMng.conf")));
    {
        const auto settings = OpenSettings();
        QVERIFY(settings);
        TSession session;
        session.Files = {pipe};
        session.Current = 0;
        session.Save(*settings);
    }
    TFormMain window(m_Catalog);
    window.RestoreSession();
    SetSettingsFile(previous);
    // The reason of the refusal, not "no longer there".
    QCOMPARE(m_Messages->Texts(), QStringList{OpenFailureMessage({false, RefusalBeforeReading(pipe), pipe})});
    QVERIFY(m_Messages->Texts().constFirst().contains(QStringLiteral("Это не обычный файл")));
    QCOMPARE(window.PageCount(), 1);
    QVERIFY(window.ActivePage()->Village().FileName.isEmpty());
}

void TestFormMainFiles::choiceBoxKeepsItsDefault_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("answer");
    QTest::newRow("Enter") << int(Qt::Key_Return) << 1;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << 1;
    QTest::newRow("a click on Загрузить") << 0 << 0;
}

void TestFormMainFiles::choiceBoxKeepsItsDefault()
{
    QFETCH(int, key);
    QFETCH(int, answer);

    // The toolkit's box behind the seam.
    UiSeams::SetChooseHandler({});
    QWidget parent;
    QStringList buttons;
    QString shownDefault;
    QTimer::singleShot(0, &parent, [&buttons, &shownDefault, key] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        for (const QAbstractButton *button : box->buttons())
            buttons.append(button->text());
        if (box->defaultButton() != nullptr)
            shownDefault = box->defaultButton()->text();
        if (key != 0) {
            QTest::keyClick(box, Qt::Key(key));
            return;
        }
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == QStringLiteral("Загрузить"))
                button->click();
        }
    });
    QCOMPARE(UiSeams::Choose(&parent, QStringLiteral("Файл изменён?"),
                             {QStringLiteral("Загрузить"), QStringLiteral("Оставить мои")}, 1),
             answer);
    std::sort(buttons.begin(), buttons.end());
    QCOMPARE(buttons, (QStringList{QStringLiteral("Загрузить"), QStringLiteral("Оставить мои")}));
    QCOMPARE(shownDefault, QStringLiteral("Оставить мои"));
}

QTEST_MAIN(TestFormMainFiles)
#include "tst_formmainfiles.moc"

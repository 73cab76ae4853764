// The main window and a file another program holds: the page says the file
// is read-only until the village is saved elsewhere (the rule itself is
// tested in tst_villagefiles), and the choice box behind the seam keeps its
// default answer.
#include "TestSupport.h"

#include "app/VillageDocument.h"
#include "app/VillageFileGuard.h"
#include "app/VillageRecovery.h"
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

class TestFormMainFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fileHeldElsewhereIsReadOnly();
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
};

void TestFormMainFiles::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QVERIFY(LoadShippedCatalog(m_Catalog).Ok);
}

void TestFormMainFiles::init()
{
    m_Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Dir->isValid());
    m_Messages = std::make_unique<TRecordedMessages>();
    m_PreviousRecoveryFolder = SetRecoveryFolder(m_Dir->filePath(QStringLiteral("recovery")));
    m_SaveAnswers.clear();
    UiSeams::SetSaveHandler([this](QWidget *, const QString &, const QString &) {
        return m_SaveAnswers.isEmpty() ? QString() : m_SaveAnswers.takeFirst();
    });
}

void TestFormMainFiles::cleanup()
{
    UiSeams::SetSaveHandler({});
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

    TFormMain window(m_Catalog);
    window.show();
    window.OpenFiles({path});
    TFormVillage *page = window.ActivePage();
    auto *line = page->findChild<QLabel *>(QStringLiteral("lbReadOnly"));
    QVERIFY(line);
    QVERIFY(line->isVisible());
    QCOMPARE(line->text(), QStringLiteral("Файл открыт в другой программе: изменения не будут сохранены в него."));

    // Saved elsewhere, the village is no longer read-only.
    page->Village().SetComments(QStringLiteral("правка"));
    m_SaveAnswers = {m_Dir->filePath(QStringLiteral("Северная-копия.vlgdat"))};
    Action(window, "actSave")->trigger();
    QVERIFY(!line->isVisible());
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

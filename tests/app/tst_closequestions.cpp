// The questions before closing: which villages count as unsaved (edited,
// and not written since: never written, or last written without success)
// and how the questions name them.
#include "TestSupport.h"

#include "app/CloseQuestions.h"
#include "app/VillageDocument.h"
#include "record/VillageData.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

// One village in a row: its name, whether the player changed it, whether it
// was written to a file (after the change) and whether its last write
// failed (after a further change, when it was changed).
struct TClosingVillage
{
    QString Name;
    bool Modified = true;
    bool HasFile = false;
    bool WriteFailed = false;
};

const TdmListObj &EmptyCatalog()
{
    static const TdmListObj catalog;
    return catalog;
}

// The village made as the row says, through the player's edits and real
// writes.
std::unique_ptr<TVillageDocument> MakeVillage(const TClosingVillage &state, const QDir &dir)
{
    auto document = std::make_unique<TVillageDocument>(EmptyCatalog());
    TVillageData &village = document->Village();
    if (state.Modified || state.HasFile) {
        village.SetName(state.Name);
        village.SetComments(QStringLiteral("первая"));
        Settle();
    }
    if (state.HasFile && !document->Write(dir.filePath(QStringLiteral("village.vlgdat"))).Ok)
        return nullptr;
    if (state.Modified && state.HasFile && state.WriteFailed) {
        village.SetComments(QStringLiteral("вторая"));
        Settle();
    }
    if (state.WriteFailed && document->Write(dir.filePath(QStringLiteral("missing/village.vlgdat"))).Ok)
        return nullptr;
    return document;
}

} // namespace

Q_DECLARE_METATYPE(TClosingVillage)

class TestCloseQuestions : public QObject
{
    Q_OBJECT

private slots:
    void closeProgram_data();
    void closeProgram();
    void closeTab_data();
    void closeTab();
};

void TestCloseQuestions::closeProgram_data()
{
    QTest::addColumn<QList<TClosingVillage>>("villages");
    QTest::addColumn<QString>("question");

    const TClosingVillage northSouth{QStringLiteral("Север/Юг"), true, false, false};
    const TClosingVillage southern{QStringLiteral("Южная"), true, true, true};
    const TClosingVillage stored{QStringLiteral("Хутор"), true, true, false};
    const TClosingVillage untouched{QString(), false, false, false};

    QTest::newRow("no villages") << QList<TClosingVillage>() << QString();
    QTest::newRow("untouched and stored villages") << QList<TClosingVillage>{untouched, stored} << QString();
    QTest::newRow("one without a file, one whose write failed, in tab order")
        << QList<TClosingVillage>{northSouth, stored, southern, untouched}
        << QStringLiteral("Не сохранены деревни: «Север/Юг», «Южная». Закрыть программу без сохранения?");
    QTest::newRow("one village") << QList<TClosingVillage>{stored, southern}
                                 << QStringLiteral("Не сохранены деревни: «Южная». Закрыть программу без сохранения?");
    QTest::newRow("changed village without a name")
        << QList<TClosingVillage>{{QString(), true, false, false}, northSouth}
        << QStringLiteral("Не сохранены деревни: без названия, «Север/Юг». Закрыть программу без сохранения?");
    QTest::newRow("failed write of an unchanged village loses nothing")
        << QList<TClosingVillage>{{QStringLiteral("Тихая"), false, true, true}} << QString();
    QTest::newRow("a name with a placeholder stays as it is")
        << QList<TClosingVillage>{{QStringLiteral("%1 и %2"), true, false, false}, southern}
        << QStringLiteral("Не сохранены деревни: «%1 и %2», «Южная». Закрыть программу без сохранения?");
}

void TestCloseQuestions::closeProgram()
{
    QFETCH(QList<TClosingVillage>, villages);
    QFETCH(QString, question);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    std::vector<std::unique_ptr<TVillageDocument>> owned;
    QList<const TVillageDocument *> pointers;
    for (int i = 0; i < villages.size(); ++i) {
        // Each village has a folder of its own.
        QVERIFY(QDir(dir.path()).mkpath(QString::number(i)));
        owned.push_back(MakeVillage(villages.at(i), QDir(dir.filePath(QString::number(i)))));
        QVERIFY(owned.back());
        pointers.append(owned.back().get());
    }
    QCOMPARE(CloseProgramQuestion(pointers), question);
}

void TestCloseQuestions::closeTab_data()
{
    QTest::addColumn<TClosingVillage>("village");
    QTest::addColumn<QString>("question");

    QTest::newRow("never saved") << TClosingVillage{QStringLiteral("Север/Юг"), true, false, false}
                                 << QStringLiteral("Деревня «Север/Юг» не сохранена. Закрыть вкладку без сохранения?");
    QTest::newRow("last write failed") << TClosingVillage{QStringLiteral("Южная"), true, true, true}
                                       << QStringLiteral("Деревня «Южная» не сохранена. Закрыть вкладку без сохранения?");
    QTest::newRow("without a name") << TClosingVillage{QString(), true, false, false}
                                    << QStringLiteral("Деревня без названия не сохранена. Закрыть вкладку без сохранения?");
    QTest::newRow("stored") << TClosingVillage{QStringLiteral("Хутор"), true, true, false} << QString();
    QTest::newRow("untouched") << TClosingVillage{QString(), false, false, false} << QString();
}

void TestCloseQuestions::closeTab()
{
    QFETCH(TClosingVillage, village);
    QFETCH(QString, question);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::unique_ptr<TVillageDocument> document = MakeVillage(village, QDir(dir.path()));
    QVERIFY(document);
    QCOMPARE(CloseTabQuestion(*document), question);
}

QTEST_GUILESS_MAIN(TestCloseQuestions)
#include "tst_closequestions.moc"

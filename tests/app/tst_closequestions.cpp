// The questions before closing: which villages count as unsaved (changed,
// and never written or last written without success) and how the questions
// name them.
#include "app/CloseQuestions.h"
#include "record/VillageData.h"

#include <QTest>

#include <memory>
#include <vector>

namespace {

// One village in a row: its name, whether it changed, whether it has a file
// and whether its last write failed.
struct TVillageState
{
    QString Name;
    bool Modified = true;
    bool HasFile = false;
    bool WriteFailed = false;
};

std::unique_ptr<TVillageData> MakeVillage(const TVillageState &state)
{
    auto village = std::make_unique<TVillageData>();
    village->Name = state.Name;
    village->Modified = state.Modified;
    if (state.HasFile)
        village->FileName = QStringLiteral("/villages/") + state.Name + QStringLiteral(".vlgdat");
    village->SetLastWriteFailed(state.WriteFailed);
    return village;
}

} // namespace

Q_DECLARE_METATYPE(TVillageState)

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
    QTest::addColumn<QList<TVillageState>>("villages");
    QTest::addColumn<QString>("question");

    const TVillageState northSouth{QStringLiteral("Север/Юг"), true, false, false};
    const TVillageState southern{QStringLiteral("Южная"), true, true, true};
    const TVillageState stored{QStringLiteral("Хутор"), true, true, false};
    const TVillageState untouched{QString(), false, false, false};

    QTest::newRow("no villages") << QList<TVillageState>() << QString();
    QTest::newRow("untouched and stored villages") << QList<TVillageState>{untouched, stored} << QString();
    QTest::newRow("one without a file, one whose write failed, in tab order")
        << QList<TVillageState>{northSouth, stored, southern, untouched}
        << QStringLiteral("Не сохранены деревни: «Север/Юг», «Южная». Закрыть программу без сохранения?");
    QTest::newRow("one village") << QList<TVillageState>{stored, southern}
                                 << QStringLiteral("Не сохранены деревни: «Южная». Закрыть программу без сохранения?");
    QTest::newRow("changed village without a name")
        << QList<TVillageState>{{QString(), true, false, false}, northSouth}
        << QStringLiteral("Не сохранены деревни: без названия, «Север/Юг». Закрыть программу без сохранения?");
    QTest::newRow("failed write of an unchanged village loses nothing")
        << QList<TVillageState>{{QStringLiteral("Тихая"), false, true, true}} << QString();
    QTest::newRow("a name with a placeholder stays as it is")
        << QList<TVillageState>{{QStringLiteral("%1 и %2"), true, false, false}, southern}
        << QStringLiteral("Не сохранены деревни: «%1 и %2», «Южная». Закрыть программу без сохранения?");
}

void TestCloseQuestions::closeProgram()
{
    QFETCH(QList<TVillageState>, villages);
    QFETCH(QString, question);

    std::vector<std::unique_ptr<TVillageData>> owned;
    QList<const TVillageData *> pointers;
    for (const TVillageState &state : villages) {
        owned.push_back(MakeVillage(state));
        pointers.append(owned.back().get());
    }
    QCOMPARE(CloseProgramQuestion(pointers), question);
}

void TestCloseQuestions::closeTab_data()
{
    QTest::addColumn<TVillageState>("village");
    QTest::addColumn<QString>("question");

    QTest::newRow("never saved") << TVillageState{QStringLiteral("Север/Юг"), true, false, false}
                                 << QStringLiteral("Деревня «Север/Юг» не сохранена. Закрыть вкладку без сохранения?");
    QTest::newRow("last write failed") << TVillageState{QStringLiteral("Южная"), true, true, true}
                                       << QStringLiteral("Деревня «Южная» не сохранена. Закрыть вкладку без сохранения?");
    QTest::newRow("without a name") << TVillageState{QString(), true, false, false}
                                    << QStringLiteral("Деревня без названия не сохранена. Закрыть вкладку без сохранения?");
    QTest::newRow("stored") << TVillageState{QStringLiteral("Хутор"), true, true, false} << QString();
    QTest::newRow("untouched") << TVillageState{QString(), false, false, false} << QString();
}

void TestCloseQuestions::closeTab()
{
    QFETCH(TVillageState, village);
    QFETCH(QString, question);
    QCOMPARE(CloseTabQuestion(*MakeVillage(village)), question);
}

QTEST_GUILESS_MAIN(TestCloseQuestions)
#include "tst_closequestions.moc"

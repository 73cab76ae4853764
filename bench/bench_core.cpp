// Benchmarks of the village logic: catalog loading against a bare stream
// reader, the recalculation, the tick of many villages, the overview import,
// the village file round trip, the catch-up of stocks, the projection of a
// build queue with its chart series (also with the effects of fields and
// storages), the development-plan search (9 steps exact, 60 steps against
// the simple rules and the lower bound), the notification rules, and one tick of
// fifty villages with their notifications and the summary of all villages.

#include "BenchData.h"
#include "CountingAllocator.h"

#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "import/OverviewImport.h"
#include "models/SummaryModel.h"
#include "notify/NotificationRules.h"
#include "notify/VillageWatch.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"
#include "rules/CatchUp.h"
#include "rules/DevelopmentPlan.h"
#include "rules/Planner.h"
#include "rules/Production.h"
#include "rules/ProjectionSeries.h"
#include "rules/QueueProjection.h"

#include <QCoreApplication>
#include <QXmlStreamReader>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

void BM_LoadCatalog(benchmark::State &state)
{
    TBenchCatalog source(GenerateCatalog(int(state.range(0))));
    for (auto _ : state) {
        TdmListObj catalog;
        benchmark::DoNotOptimize(catalog.LoadCatalog(source.ExePath));
    }
    // The heap's peak during one load, by the counting allocator.
    state.counters["peak_bytes"] = double(PeakHeapBytes([&source] {
        TdmListObj catalog;
        catalog.LoadCatalog(source.ExePath);
    }));
}
// Five repetitions each: a load of 100,000 entries runs once per repetition,
// and the report takes the medians.
BENCHMARK(BM_LoadCatalog)->Arg(1000)->Arg(10000)->Arg(100000)->Repetitions(5)->Unit(benchmark::kMillisecond);

// The floor: a stream reader of twenty lines that reads the same file into
// the same entries, with no check of its structure or its figures.
TLivaronListObj StreamCatalog(const QString &path)
{
    TLivaronListObj entries;
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader reader(&file);
    QString name;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (reader.name() == u"Object") {
            name = attributes.value(QLatin1String("Name")).toString();
        } else if (reader.name() == u"Level") {
            TLivaronObject entry;
            entry.Name = name;
            entry.Level = qint8(attributes.value(QLatin1String("ID")).toInt());
            entry.Wood = attributes.value(QLatin1String("WOOD")).toInt();
            entry.Clay = attributes.value(QLatin1String("CLAY")).toInt();
            entry.Iron = attributes.value(QLatin1String("IRON")).toInt();
            entry.Grain = attributes.value(QLatin1String("GRAIN")).toInt();
            entry.UseGrain = quint16(attributes.value(QLatin1String("USEGRAIN")).toUInt());
            entry.EK = quint16(attributes.value(QLatin1String("EK")).toUInt());
            entry.Time = TdmListObj::TextToSeconds(attributes.value(QLatin1String("TIME")));
            entry.Prod = qint16(attributes.value(QLatin1String("PROD")).toInt());
            entries.append(std::move(entry));
        }
    }
    return entries;
}

void BM_StreamCatalogFloor(benchmark::State &state)
{
    TBenchCatalog source(GenerateCatalog(int(state.range(0))));
    const QString path = source.ExePath + QStringLiteral(".xml");
    for (auto _ : state)
        benchmark::DoNotOptimize(StreamCatalog(path).size());
    state.counters["peak_bytes"] = double(PeakHeapBytes([&path] { StreamCatalog(path); }));
}
BENCHMARK(BM_StreamCatalogFloor)->Arg(1000)->Arg(10000)->Arg(100000)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_LoadShippedCatalog(benchmark::State &state)
{
    QFile shipped(QStringLiteral(JOR_SHIPPED_CATALOG));
    shipped.open(QIODevice::ReadOnly);
    TBenchCatalog source(shipped.readAll());
    for (auto _ : state) {
        TdmListObj catalog;
        benchmark::DoNotOptimize(catalog.LoadCatalog(source.ExePath));
    }
}
BENCHMARK(BM_LoadShippedCatalog)->Unit(benchmark::kMillisecond);

const TBenchCatalog &LargeCatalog()
{
    static TBenchCatalog catalog(GenerateCatalog(2000));
    return catalog;
}

// A village considering `count` buildings, stocked so that every one of them
// is listed (the most work a recalculation does).
void FillVillage(TVillageData &village, const TdmListObj &catalog, int count)
{
    QList<TAvBuildingEntry> entries;
    for (qint32 i = 0; i < count && i < catalog.Count(); ++i)
        entries.append({catalog.Object(i).DisplayText(), i});
    village.SetRace(0);
    village.ReplaceAvBuildings(entries);
    for (TResourceKind kind : AllResourceKinds) {
        village.SetResourceCollect(kind, QStringLiteral("500"));
        village.SetResourceAdd(kind, QStringLiteral("3600"));
    }
    village.SetMainLevel(QStringLiteral("5"));
}

void BM_RecalculateAvailable(benchmark::State &state)
{
    const TdmListObj &catalog = LargeCatalog().Catalog;
    TVillageData village;
    TPlanner planner(village, catalog);
    FillVillage(village, catalog, int(state.range(0)));
    for (auto _ : state) {
        planner.RecalculateAvailable();
        benchmark::DoNotOptimize(planner.Available().size());
    }
}
BENCHMARK(BM_RecalculateAvailable)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// One tick of 50 villages, each considering 20 buildings, with an income
// that grows a stock on every tick (so every village is evaluated again and
// its models follow, as after each tick of the program's clock).
void BM_TickFiftyVillages(benchmark::State &state)
{
    const TdmListObj &catalog = LargeCatalog().Catalog;
    TVillageList villages(catalog);
    villages.Clock().stop();
    for (int i = 0; i < 50; ++i) {
        TVillageData &village = villages.Add()->Village();
        FillVillage(village, catalog, 20);
        village.SetConstruction(QStringLiteral("Склад ( 3)"), 1 << 30, 0);
    }
    QCoreApplication::sendPostedEvents();
    for (auto _ : state) {
        villages.Tick();
        QCoreApplication::sendPostedEvents();
    }
}
BENCHMARK(BM_TickFiftyVillages)->Unit(benchmark::kMicrosecond);

// A pasted page of 10,000 lines: the header lines of the overview, then
// filler, with the production block and the stock line at the very end.
QStringList LongOverview()
{
    QStringList lines;
    for (int i = 1; i <= 15; ++i)
        lines.append(QStringLiteral("строка %1").arg(i));
    lines[4] = QStringLiteral("Ливарон");
    lines[11] = QStringLiteral("Моя деревня");
    lines[12] = QStringLiteral("Лесопилка Уровень 4 Ферма Уровень 9 Глиняный карьер Уровень 0 "
                               "Железный рудник Уровень 2 Стройплощадка Главное здание Уровень 3");
    while (lines.size() < 9994)
        lines.append(QStringLiteral("Войска: нет  Прибывающие войска: нет  %1").arg(lines.size()));
    lines.append(QStringLiteral("Производство:"));
    lines.append(QStringLiteral("Древесина: 1 250 в час"));
    lines.append(QStringLiteral("Глина: 980 в час"));
    lines.append(QStringLiteral("Железо: 760 в час"));
    lines.append(QStringLiteral("Зерно: 540 в час"));
    lines.append(QStringLiteral("Древесина 750/800 Глина 600/800 Железо 420/800 Зерно 300/900"));
    return lines;
}

void BM_ParseOverviewText(benchmark::State &state)
{
    const TdmListObj &catalog = LargeCatalog().Catalog;
    const QStringList lines = LongOverview();
    for (auto _ : state) {
        TVillageData village;
        village.SetRace(0);
        benchmark::DoNotOptimize(ParseOverviewText(lines, village, catalog));
    }
}
BENCHMARK(BM_ParseOverviewText)->Unit(benchmark::kMicrosecond);

void BM_WriteReadVillage500(benchmark::State &state)
{
    const TdmListObj &catalog = LargeCatalog().Catalog;
    QTemporaryDir dir;
    TVillageData village;
    TPlanner planner(village, catalog);
    FillVillage(village, catalog, 500);
    village.SetName(QStringLiteral("Столица"));
    village.SetComments(QStringLiteral("первая строка\r\nвторая строка"));
    village.SetFileName(dir.filePath(QStringLiteral("village.vlgdat")));
    for (auto _ : state) {
        WriteVillageFile(village);
        TVillageData read;
        read.SetFileName(village.FileName);
        benchmark::DoNotOptimize(ReadVillageFile(read, catalog).Ok);
    }
}
BENCHMARK(BM_WriteReadVillage500)->Unit(benchmark::kMillisecond);

// 50 villages, each with its own stocks, caught up over 30 days.
void BM_CatchUpFiftyVillages(benchmark::State &state)
{
    std::vector<TResourceAmounts> stocks;
    for (qint32 i = 0; i < 50; ++i)
        stocks.push_back({100 * i, 200 * i, 300 * i, -5 * i});
    const TResourceAmounts incomes{1250, 980, 760, -40};
    const TResourceAmounts capacities{800000, 800000, UnknownCapacity, 900000};
    for (auto _ : state) {
        for (const TResourceAmounts &village : stocks)
            benchmark::DoNotOptimize(CatchUpStocks(village, incomes, capacities, 30 * 24 * 3600));
    }
}
BENCHMARK(BM_CatchUpFiftyVillages)->Unit(benchmark::kMicrosecond);

// The same on Open: fifty records, their texts read and written back, and
// the line to show.
void BM_CatchUpSinceSavedFiftyVillages(benchmark::State &state)
{
    std::vector<std::unique_ptr<TVillageData>> villages;
    for (qint32 i = 0; i < 50; ++i) {
        auto village = std::make_unique<TVillageData>();
        village->ResourceAdd = {QStringLiteral("1250"), QStringLiteral("980"), QStringLiteral("760"),
                                QStringLiteral("-40")};
        village->Capacity = {QStringLiteral("800000"), QStringLiteral("800000"), QString(),
                             QStringLiteral("900000")};
        villages.push_back(std::move(village));
    }
    const QDateTime saved(QDate(2026, 11, 7), QTime(9, 0), Qt::UTC);
    const QDateTime now = saved.addDays(30);
    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t i = 0; i < villages.size(); ++i) {
            const qint32 n = qint32(i);
            villages[i]->ResourceCollect = {QString::number(100 * n), QString::number(200 * n),
                                            QString::number(300 * n), QString::number(5 * n)};
        }
        state.ResumeTiming();
        for (const auto &village : villages)
            benchmark::DoNotOptimize(CatchUpSinceSaved(*village, saved, now));
    }
}
BENCHMARK(BM_CatchUpSinceSavedFiftyVillages)->Unit(benchmark::kMicrosecond);

// A queue of 50 buildings, main-building levels among them, that takes about
// a week at these incomes; the counter "days" tells how long it is.
TQueueProjectionInput WeekLongQueue()
{
    TQueueProjectionInput input;
    input.Stocks = {500, 500, 500, 500};
    input.Incomes = {130, 150, 100, 75};
    input.Capacities = {3000, 3000, 3000, 3000};
    input.MainLevel = 3;
    input.RunningRemaining = 600;
    input.Horizon = 7 * 24 * 3600;
    for (qint32 i = 0; i < 50; ++i)
        input.Queue.append(i % 10 == 0 ? 3 + i / 10 : 20 + (i * 37) % 1980);
    return input;
}

void BM_ProjectQueueFifty(benchmark::State &state)
{
    const TdmListObj &catalog = LargeCatalog().Catalog;
    const TQueueProjectionInput input = WeekLongQueue();
    qint64 end = 0;
    for (auto _ : state) {
        const TQueueProjection projection = ProjectQueue(catalog, input);
        end = projection.QueueEnd;
        benchmark::DoNotOptimize(end);
    }
    state.counters["days"] = double(end) / 86400.0;
}
BENCHMARK(BM_ProjectQueueFifty)->Unit(benchmark::kMicrosecond);

void BM_ProjectionSeriesFifty(benchmark::State &state)
{
    const TQueueProjection projection = ProjectQueue(LargeCatalog().Catalog, WeekLongQueue());
    const QDateTime start = QDateTime::currentDateTimeUtc();
    for (auto _ : state)
        benchmark::DoNotOptimize(MakeProjectionSeries(projection, start));
}
BENCHMARK(BM_ProjectionSeriesFifty)->Unit(benchmark::kMicrosecond);

// The shipped catalog, loaded once.
const TdmListObj &ShippedCatalog()
{
    static const TBenchCatalog catalog([] {
        QFile shipped(QStringLiteral(JOR_SHIPPED_CATALOG));
        shipped.open(QIODevice::ReadOnly);
        return shipped.readAll();
    }());
    return catalog.Catalog;
}

// A queue of 50 items of the shipped catalog whose ends change the village:
// fields of the four kinds (incomes), warehouses and granaries (capacities),
// every one of them with its grain upkeep, on a server of speed 3.
void BM_ProjectQueueFiftyWithEffects(benchmark::State &state)
{
    const TdmListObj &catalog = ShippedCatalog();
    const QStringList names{QStringLiteral("Лесопильный завод"), QStringLiteral("Склад"),
                            QStringLiteral("Глиняный карьер"),   QStringLiteral("Амбар"),
                            QStringLiteral("Железный рудник"),   QStringLiteral("Ферма"),
                            QStringLiteral("Главное здание")};
    TQueueProjectionInput input;
    input.Stocks = {500, 500, 500, 500};
    input.Incomes = {800, 800, 800, 600};
    input.Capacities = {1200, 1200, 1200, 1200};
    input.MainLevel = 3;
    input.ServerSpeed = 3;
    input.Horizon = 7 * 24 * 3600;
    for (qint32 i = 0; i < 50; ++i) {
        const QString &name = names.at(i % names.size());
        input.Queue.append(catalog.FindByDisplayText(MakeDisplayText(name, 1 + i / names.size())));
    }
    qsizetype steps = 0;
    qsizetype scheduled = 0;
    for (auto _ : state) {
        const TQueueProjection projection = ProjectQueue(catalog, input);
        steps = projection.CapacitySteps[0].size();
        benchmark::DoNotOptimize(steps);
        scheduled = std::count_if(projection.Items.begin(), projection.Items.end(),
                                  [](const TProjectedItem &item) { return item.IsScheduled(); });
    }
    // Every item is played through; warehouse levels 2 to 7 step the
    // capacity (level 1 gives the 1200 it has already).
    state.counters["steps"] = double(steps);
    state.counters["scheduled"] = double(scheduled);
}
BENCHMARK(BM_ProjectQueueFiftyWithEffects)->Unit(benchmark::kMicrosecond);

// What a village pays for each change of its record with the same queue:
// the whole evaluation (table, projection, storages, snapshot).
void BM_QueueModelRecomputeFifty(benchmark::State &state)
{
    const TdmListObj &catalog = LargeCatalog().Catalog;
    const TQueueProjectionInput input = WeekLongQueue();
    TVillageData village;
    for (TResourceKind kind : AllResourceKinds) {
        const std::size_t i = KindIndex(kind);
        village.SetResourceCollect(kind, QString::number(input.Stocks[i]));
        village.SetResourceAdd(kind, QString::number(input.Incomes[i]));
        village.SetCapacity(kind, QString::number(input.Capacities[i]));
    }
    village.SetMainLevel(QString::number(input.MainLevel));
    village.SetHorizon(TVillageData::TwoHourHorizon);
    for (qint32 index : input.Queue)
        village.AppendToQueue({catalog.Object(index).DisplayText(), index});
    TPlanner planner(village, catalog);
    for (auto _ : state) {
        planner.RecalculateAvailable();
        benchmark::DoNotOptimize(planner.Evaluation().Queue.QueueEnd);
    }
}
BENCHMARK(BM_QueueModelRecomputeFifty)->Unit(benchmark::kMicrosecond);

// One tick of 50 villages, each with 20 buildings and four storages in its
// snapshot, after the state has settled.
void BM_NotificationTickFiftyVillages(benchmark::State &state)
{
    std::vector<TVillageSnapshot> snapshots;
    for (int v = 0; v < 50; ++v) {
        TVillageSnapshot snapshot;
        snapshot.VillageName = QStringLiteral("Деревня %1").arg(v);
        for (int b = 0; b < 20; ++b)
            snapshot.Buildings.append({QStringLiteral("Строение %1 (%2)").arg(b).arg(v % 20 + 1), TAffordTime(b * 60)});
        for (TStorageSnapshot &storage : snapshot.Storages)
            storage = {qint64(900 + v), false, {}, false};
        snapshots.push_back(snapshot);
    }
    std::vector<TNotificationRules> rules(snapshots.size());
    for (std::size_t v = 0; v < snapshots.size(); ++v)
        rules[v].Feed(snapshots[v]);
    for (auto _ : state) {
        for (std::size_t v = 0; v < snapshots.size(); ++v)
            benchmark::DoNotOptimize(rules[v].Feed(snapshots[v]));
    }
}
BENCHMARK(BM_NotificationTickFiftyVillages)->Unit(benchmark::kMicrosecond);

// The whole second of a player with 50 (200, 1,000) villages and "Все
// деревни" open: each
// village ticks (20 considered buildings, a queue of 5, capacities, a
// construction running), its watch feeds its notification rules with a fresh
// snapshot, and the summary of all villages is made again.
void BM_TickVillagesNotifiedWithSummary(benchmark::State &state)
{
    const TdmListObj &catalog = LargeCatalog().Catalog;
    TVillageList villages(catalog);
    villages.Clock().stop();
    qint64 sent = 0;
    for (int i = 0; i < state.range(0); ++i) {
        TVillageDocument *document = villages.Add();
        TVillageData &village = document->Village();
        FillVillage(village, catalog, 20);
        village.SetName(QStringLiteral("Деревня %1").arg(i));
        for (TResourceKind kind : AllResourceKinds)
            village.SetCapacity(kind, QStringLiteral("80000"));
        for (qint32 q = 0; q < 5; ++q)
            village.AppendToQueue({catalog.Object(20 + q).DisplayText(), 20 + q});
        village.SetConstruction(QStringLiteral("Склад ( 3)"), 1 << 30, 0);
        QObject::connect(&document->Watch(), &TVillageWatch::NotificationsReady,
                         [&sent](const QList<TNotification> &notifications) { sent += notifications.size(); });
    }
    TSummaryModel summary;
    summary.Refresh(villages.Planners());
    QCoreApplication::sendPostedEvents();
    for (auto _ : state) {
        villages.Tick();
        summary.Refresh(villages.Planners());
        QCoreApplication::sendPostedEvents();
        benchmark::DoNotOptimize(summary.rowCount());
    }
    state.counters["notifications"] = double(sent);
}
BENCHMARK(BM_TickVillagesNotifiedWithSummary)->Arg(50)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);

// A village file holding `queued` items in its build queue, read into a
// fresh village: a queue is applied as one change, so the time grows in
// proportion to its length.
void BM_ReadQueuedVillage(benchmark::State &state)
{
    const TdmListObj &catalog = LargeCatalog().Catalog;
    QTemporaryDir dir;
    TVillageData village;
    FillVillage(village, catalog, 20);
    village.SetName(QStringLiteral("Столица"));
    QList<TAvBuildingEntry> queue;
    for (qint64 i = 0; i < state.range(0); ++i) {
        const qint32 index = qint32(20 + (i * 37) % 1980);
        queue.append({catalog.Object(index).DisplayText(), index});
    }
    village.SetQueue(queue);
    const QString path = dir.filePath(QStringLiteral("village.vlgdat"));
    WriteVillageFile(village, path);
    for (auto _ : state) {
        TVillageData read;
        TPlanner planner(read, catalog);
        read.SetFileName(path);
        benchmark::DoNotOptimize(ReadVillageFile(read, catalog).Ok);
        planner.RecalculateAvailable();
        QCoreApplication::sendPostedEvents();
    }
}
BENCHMARK(BM_ReadQueuedVillage)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);

// The scale of a player with a very long list: a village file of `count`
// considered buildings (from a catalog of 10,000 entries), opened as the
// program opens one: read into a fresh village document, evaluated once.
const TBenchCatalog &TenThousandCatalog()
{
    static TBenchCatalog catalog(GenerateCatalog(10000));
    return catalog;
}

QString WriteLargeVillage(const QTemporaryDir &dir, int count)
{
    const TdmListObj &catalog = TenThousandCatalog().Catalog;
    TVillageData village;
    FillVillage(village, catalog, count);
    village.SetName(QStringLiteral("Столица"));
    const QString path = dir.filePath(QStringLiteral("large.vlgdat"));
    WriteVillageFile(village, path);
    return path;
}

void BM_OpenLargeVillage(benchmark::State &state)
{
    const TdmListObj &catalog = TenThousandCatalog().Catalog;
    QTemporaryDir dir;
    const QString path = WriteLargeVillage(dir, int(state.range(0)));
    qint64 listed = 0;
    for (auto _ : state) {
        TVillageDocument document(catalog);
        document.Village().SetFileName(path);
        benchmark::DoNotOptimize(document.Load().Ok);
        QCoreApplication::sendPostedEvents();
        listed = document.Village().AvBuildings.size();
    }
    state.counters["buildings"] = double(listed);
}
BENCHMARK(BM_OpenLargeVillage)->Arg(1000)->Arg(10000)->Repetitions(3)->Unit(benchmark::kMillisecond);

// The floor: one stream-reader pass over the same file, every token read.
void BM_StreamVillageFloor(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = WriteLargeVillage(dir, int(state.range(0)));
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QXmlStreamReader reader(&file);
        qint64 tokens = 0;
        while (!reader.atEnd()) {
            reader.readNext();
            ++tokens;
        }
        benchmark::DoNotOptimize(tokens);
    }
}
BENCHMARK(BM_StreamVillageFloor)->Arg(1000)->Arg(10000)->Repetitions(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Posted evaluations and the villages' clock need an application object.
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

namespace {

// A young village: `fields` fields from nothing to `target`, modest stocks
// and incomes, capacities unknown, speed 1.
TPlanRequest YoungVillagePlan(const QStringList &fields, qint32 target)
{
    const TdmListObj &catalog = ShippedCatalog();
    TPlanRequest request;
    request.Start.Stocks = {750, 750, 750, 750};
    request.Start.Incomes = {60, 60, 60, 40};
    request.Start.WithTimeline = false;
    for (const QString &name : fields) {
        request.Targets.append({qint32(request.Slots.size()), target});
        request.Slots.append({catalog.FindByDisplayText(MakeDisplayText(name, 1)), 0});
    }
    return request;
}

void PlanCounters(benchmark::State &state, const TPlanResult &result)
{
    const auto hours = [](qint64 seconds) { return double(seconds) / 3600.0; };
    state.counters["steps"] = double(result.Steps.size());
    state.counters["end_h"] = hours(result.Best.End);
    state.counters["catalog_h"] = hours(result.RuleEnds[0]);
    state.counters["cheapest_h"] = hours(result.RuleEnds[1]);
    state.counters["lowest_level_h"] = hours(result.RuleEnds[2]);
    state.counters["payback_h"] = hours(result.RuleEnds[3]);
    state.counters["bound_h"] = hours(result.LowerBound);
    state.counters["orders"] = double(result.Evaluations);
}

} // namespace

// Three fields from nothing to level 3: 9 steps, searched exactly.
void BM_DevelopmentPlanExactNine(benchmark::State &state)
{
    const TPlanRequest request = YoungVillagePlan(
        {QStringLiteral("Лесопильный завод"), QStringLiteral("Глиняный карьер"), QStringLiteral("Железный рудник")}, 3);
    TPlanResult result;
    for (auto _ : state)
        benchmark::DoNotOptimize(result = FindDevelopmentPlan(ShippedCatalog(), request));
    PlanCounters(state, result);
}
BENCHMARK(BM_DevelopmentPlanExactNine)->Unit(benchmark::kMillisecond);

// Six fields from nothing to level 10: 60 steps.
void BM_DevelopmentPlanSixty(benchmark::State &state)
{
    const TPlanRequest request = YoungVillagePlan(
        {QStringLiteral("Лесопильный завод"), QStringLiteral("Лесопильный завод"), QStringLiteral("Глиняный карьер"),
         QStringLiteral("Глиняный карьер"), QStringLiteral("Железный рудник"), QStringLiteral("Ферма")},
        10);
    TPlanResult result;
    for (auto _ : state)
        benchmark::DoNotOptimize(result = FindDevelopmentPlan(ShippedCatalog(), request));
    PlanCounters(state, result);
}
BENCHMARK(BM_DevelopmentPlanSixty)->Unit(benchmark::kMillisecond);

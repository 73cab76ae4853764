// Helpers shared by the test suites: catalogs written from XML text into a
// temporary folder, a recording message handler, a pinned clock, a village
// set up from a test row and the sample overview page.
#pragma once

#include "base/Clock.h"
#include "base/MessageSeam.h"
#include "catalog/dm_ListObjects.h"
#include "import/OverviewImport.h"
#include "record/VillageData.h"
#include "rules/Production.h"
#include "rules/DevelopmentPlan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

// A catalog loaded from XML text, for one test.
struct TTestCatalog
{
    QTemporaryDir Dir;
    TdmListObj Catalog;
    TCatalogResult Result;
    bool Loaded = false;

    explicit TTestCatalog(const QByteArray &xml)
    {
        const QString exe = Dir.filePath(QStringLiteral("JorLivaronMng"));
        QFile file(exe + QStringLiteral(".xml"));
        if (file.open(QIODevice::WriteOnly))
            file.write(xml);
        file.close();
        Result = Catalog.LoadCatalog(exe);
        Loaded = Result.Ok;
    }
};

// The shipped catalog, as the program loads it (by its path without ".xml").
inline TCatalogResult LoadShippedCatalog(TdmListObj &catalog)
{
    const QString shipped = QStringLiteral(JOR_SHIPPED_CATALOG);
    return catalog.LoadCatalog(shipped.chopped(int(qstrlen(".xml"))));
}

// "<Object Name=...>" elements with Level children, wrapped in the list element.
// Lets the event loop's pending work run: a village changed is evaluated
// anew once, at the next pass of the event loop, as in the program.
inline void Settle()
{
    QCoreApplication::sendPostedEvents();
}

inline QByteArray CatalogXml(const QByteArray &objects)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<JorLivaronObjectList>"
        + objects + "</JorLivaronObjectList>";
}

// The texts of considered buildings, in list order.
inline QStringList EntryTexts(const QList<TAvBuildingEntry> &entries)
{
    QStringList texts;
    for (const TAvBuildingEntry &entry : entries)
        texts.append(entry.Text);
    return texts;
}

// A built list as one line: "Склад 1; Ферма ?x", a "?" before the level of
// an entry the catalog does not know.
inline QString BuiltText(const QList<TBuiltBuilding> &built)
{
    QStringList texts;
    for (const TBuiltBuilding &building : built)
        texts.append(building.Name + (building.IsRecognised() ? QStringLiteral(" ") : QStringLiteral(" ?")) + building.Level);
    return texts.join(QStringLiteral("; "));
}

// The built list of such a line (without the marks), found in the catalog.
inline QList<TBuiltBuilding> BuiltList(const TdmListObj &catalog, const QString &text)
{
    QList<TBuiltBuilding> built;
    for (const QString &part : text.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        const qsizetype blank = trimmed.lastIndexOf(u' ');
        built.append(BuiltBuildingOf(catalog, trimmed.first(blank), trimmed.sliced(blank + 1)));
    }
    return built;
}

// Stocks, incomes or capacities by resource kind, as the player types them.
using TResourceTexts = std::array<QString, 4>;

// The same text for each kind.
inline TResourceTexts Each(const QString &value)
{
    return {value, value, value, value};
}

// The texts of whole amounts; an unknown capacity is an empty text.
inline TResourceTexts ResourceTexts(qint32 wood, qint32 clay, qint32 iron, qint32 grain)
{
    TResourceTexts texts;
    const std::array<qint32, 4> amounts{wood, clay, iron, grain};
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = IsKnownCapacity(amounts[i]) ? QString::number(amounts[i]) : QString();
    return texts;
}

// Queue entries by their texts, to be found in the catalog (see below).
inline QList<TAvBuildingEntry> QueueOf(const QStringList &texts)
{
    QList<TAvBuildingEntry> entries;
    for (const QString &text : texts)
        entries.append({text, -1});
    return entries;
}

// A village for one test row: its name, stocks, hourly incomes and
// capacities (an empty capacity is unknown), the considered buildings, the
// queue, the construction in progress, the main building's level and the
// server speed. An empty name, construction, level or speed leaves the
// village's own; a queued entry without a catalog index is found by its
// text in the catalog given, and must be there.
struct TVillageSetup
{
    QString Name{};
    TResourceTexts Stocks{};
    TResourceTexts Incomes{};
    TResourceTexts Capacities{};
    QList<TAvBuildingEntry> Considered{};
    QList<TAvBuildingEntry> Queue{};
    QString Construction{};
    qint32 ConstructionTotal = 0;
    qint32 ConstructionElapsed = 0;
    QString MainLevel{};
    QString Speed{};

    void ApplyTo(TVillageData &village, const TdmListObj *catalog = nullptr) const
    {
        if (!Name.isEmpty())
            village.SetName(Name);
        for (TResourceKind kind : AllResourceKinds) {
            village.SetResourceCollect(kind, Stocks[KindIndex(kind)]);
            village.SetResourceAdd(kind, Incomes[KindIndex(kind)]);
            village.SetCapacity(kind, Capacities[KindIndex(kind)]);
        }
        if (!MainLevel.isEmpty())
            village.SetMainLevel(MainLevel);
        if (!Speed.isEmpty())
            village.SetServerSpeed(Speed);
        village.ReplaceAvBuildings(Considered);
        for (TAvBuildingEntry entry : Queue) {
            if (entry.CatalogIndex < 0 && catalog != nullptr) {
                entry.CatalogIndex = catalog->FindByDisplayText(entry.Text);
                QVERIFY2(entry.CatalogIndex >= 0, qPrintable(entry.Text));
            }
            village.AppendToQueue(entry);
        }
        if (!Construction.isEmpty() || ConstructionTotal != 0 || ConstructionElapsed != 0)
            village.SetConstruction(Construction, ConstructionTotal, ConstructionElapsed);
    }
};
Q_DECLARE_METATYPE(TVillageSetup)

// Records every message instead of showing a box; restores the previous
// handler when it goes.
struct TRecordedMessages
{
    QList<QPair<TMessageKind, QString>> Messages;
    TMessageHandler Previous;

    TRecordedMessages()
    {
        Previous = SetMessageHandler([this](TMessageKind kind, const QString &text) {
            Messages.append({kind, text});
        });
    }
    ~TRecordedMessages() { SetMessageHandler(Previous); }

    QStringList Texts() const
    {
        QStringList texts;
        for (const auto &message : Messages)
            texts.append(message.second);
        return texts;
    }
};

// Pins "now" for as long as it lives.
struct TPinnedClock
{
    QDateTime Now;
    explicit TPinnedClock(const QDateTime &now) : Now(now)
    {
        SetClock([this] { return Now; });
    }
    ~TPinnedClock() { SetClock({}); }
};

// The bytes of a file; empty when it cannot be read.
inline QByteArray FileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The sample overview page (tests/data/overview_example.txt) as the player
// pastes it, and its lines as the import splits them; empty when unread.
inline QString OverviewExampleText()
{
    return QString::fromUtf8(FileContents(QStringLiteral(JOR_TEST_DATA_DIR "/overview_example.txt")));
}
inline QStringList OverviewExampleLines()
{
    return SplitOverviewLines(OverviewExampleText());
}

// A small file system of its own (tmpfs of a given size, mounted in a
// temporary folder) to fill up for the cases of a full disk. Mounting needs
// root, as the test machines run; Mounted is false elsewhere, and the test
// skips. Unmounted when it goes.
struct TSmallFileSystem
{
    QTemporaryDir Dir;
    bool Mounted = false;

    explicit TSmallFileSystem(qint64 bytes = 512 * 1024)
    {
#ifdef Q_OS_LINUX
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
        Mounted = Dir.isValid()
            && ::mount("tmpfs", QFile::encodeName(Dir.path()).constData(), "tmpfs", 0, options.constData()) == 0;
#else
        Q_UNUSED(bytes);
#endif
    }
    ~TSmallFileSystem()
    {
#ifdef Q_OS_LINUX
        if (Mounted)
            ::umount2(QFile::encodeName(Dir.path()).constData(), MNT_DETACH);
#endif
    }
    QString FilePath(const QString &name) const { return Dir.filePath(name); }

    // Takes every free byte with one file, so that the next write fails
    // with "no space"; true when the disk is full.
    bool Fill() const
    {
        QFile filler(Dir.filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::Append | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        // The last bytes of a page.
        while (filler.write(block.left(1)) == 1) {
        }
        return true;
    }
    // Gives the space back.
    bool Free() const { return QFile::remove(Dir.filePath(QStringLiteral("filler"))); }
};
// A village with `steps` levels to build, drawn from `seed` over the shipped
// catalog: a few slots (two to four for a small plan, six to nine fields for
// a large one) at drawn levels with targets above them, drawn stocks,
// incomes, main level, speed and construction in progress. With `upkeep`,
// the slots may be a barracks or the main building too (grain upkeep), the
// storage and farm switches drawn (capacities known with the storage one).
inline TPlanRequest GeneratedPlanRequest(const TdmListObj &catalog, quint32 seed, int steps, bool upkeep)
{
    static const QStringList names{QStringLiteral("Лесопильный завод"), QStringLiteral("Глиняный карьер"),
                                   QStringLiteral("Железный рудник"), QStringLiteral("Ферма"),
                                   QStringLiteral("Казарма"), QStringLiteral("Главное здание")};
    QRandomGenerator random(seed);
    TPlanRequest request;
    if (upkeep) {
        request.Switches.Storages = random.bounded(2) == 1;
        request.Switches.Farms = random.bounded(2) == 1;
    }
    TQueueProjectionInput &start = request.Start;
    for (std::size_t i = 0; i < 4; ++i) {
        start.Stocks[i] = random.bounded(0, 800);
        start.Incomes[i] = i == 3 ? random.bounded(5, 60) : random.bounded(30, 300);
        start.Capacities[i] = request.Switches.Storages ? random.bounded(800, 2400) : UnknownCapacity;
    }
    start.MainLevel = random.bounded(1, 6);
    start.ServerSpeed = random.bounded(3) == 0 ? 3 : 1;
    if (random.bounded(2) == 1) {
        start.RunningRemaining = random.bounded(60, 1800);
        start.RunningIndex = catalog.FindByDisplayText(QStringLiteral("Ферма ( 1)"));
    }
    start.WithTimeline = false;
    const int large = steps > ExactStepLimit;
    const int slotCount = std::min(steps, large ? random.bounded(6, 10) : random.bounded(2, 5));
    QList<int> levels;
    QList<int> extra(slotCount, 1);
    for (int slot = 0; slot < slotCount; ++slot) {
        const QString &name = names.at(random.bounded(upkeep ? 6 : 4));
        const int level = name == MainBuildingName ? start.MainLevel : random.bounded(0, large ? 4 : 6);
        request.Slots.append({catalog.FindByDisplayText(MakeDisplayText(name, 1)), level});
        levels.append(level);
    }
    for (int left = steps - slotCount, tries = 0; left > 0 && tries < 1000; ++tries) {
        const int slot = random.bounded(slotCount);
        if (levels.at(slot) + extra.at(slot) < 20) {
            ++extra[slot];
            --left;
        }
    }
    for (int slot = 0; slot < slotCount; ++slot)
        request.Targets.append({slot, levels.at(slot) + extra.at(slot)});
    return request;
}

// Helpers shared by the test suites: catalogs written from XML text into a
// temporary folder, a recording message handler and a pinned clock.
#pragma once

#include "base/Clock.h"
#include "catalog/MessageSeam.h"
#include "catalog/dm_ListObjects.h"
#include "record/VillageData.h"
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

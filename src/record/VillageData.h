// The record of one open village: name, race, main-building level, stocks
// and hourly production, the considered buildings, comments, the planning
// settings, the construction in progress, its file and whether it has
// changed.
//
// Stocks, incomes, capacities and the main-building level are held as the
// texts that were typed, read or imported (the file writes them back as
// they were) and, beside them, as the numbers those texts give, worked out
// once by the setter that takes the text. Every change goes through an
// operation below, which announces it.
//
// The village document owns the record; its planner reads and advances it,
// the village file stores and restores it, the overview import updates it,
// the page shows it and asks it to change.
#pragma once

#include "KeptFileContent.h"
#include "catalog/ResourceKind.h"

#include <QDateTime>
#include <QDebug>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class TdmListObj;

// One considered building: a catalog entry's display text and its index.
struct TAvBuildingEntry
{
    QString Text;
    qint32 CatalogIndex = -1;

    friend bool operator==(const TAvBuildingEntry &, const TAvBuildingEntry &) = default;
};

QDebug operator<<(QDebug debug, const TAvBuildingEntry &entry);

// One building the village has built: its name and level as the file or the
// page gave them, and the catalog entry they name. An unknown name or a
// level the catalog lacks has CatalogIndex -1: it is kept and written back
// as it was, shown as not recognised, and counts for nothing.
struct TBuiltBuilding
{
    QString Name;
    QString Level;
    qint32 CatalogIndex = -1;

    bool IsRecognised() const { return CatalogIndex >= 0; }

    friend bool operator==(const TBuiltBuilding &, const TBuiltBuilding &) = default;
};

QDebug operator<<(QDebug debug, const TBuiltBuilding &building);

// The built building of this name and level text, found in the catalog by
// its display text; CatalogIndex -1 when the catalog does not know it.
TBuiltBuilding BuiltBuildingOf(const TdmListObj &catalog, const QString &name, const QString &level);
// A delivery on its way to the village (from another village or typed on
// the page): the four amounts and the moment it arrives.
struct TDelivery
{
    TResourceAmounts Amounts{};
    QDateTime Arrives;

    friend bool operator==(const TDelivery &, const TDelivery &) = default;
};

QDebug operator<<(QDebug debug, const TDelivery &delivery);

// The text with every line break (CR LF, LF or a lone CR) made CR LF, the
// form in which the record holds comments and the village file stores them.
QString WithCrLfBreaks(const QString &text);

class TVillageData : public QObject
{
    Q_OBJECT

public:
    explicit TVillageData(QObject *parent = nullptr);

    // The two horizons of the table of available buildings, in seconds.
    static constexpr qint32 OneHourHorizon = 3600;
    static constexpr qint32 TwoHourHorizon = 7200;

    // Fields, public for reading. They change through the operations below,
    // which keep their rules and emit the signals the page and the main
    // window listen to.
    QString Name;
    quint8 Race = 0;                     // 0 none, 1 Римляне, 2 Галлы, 3 Германцы
    QString MainLevel = QStringLiteral("1");
    std::array<QString, 4> ResourceCollect; // stocks, by TResourceKind
    std::array<QString, 4> ResourceAdd;     // hourly production, by TResourceKind
    QList<TAvBuildingEntry> AvBuildings;    // sorted by Text, letter case ignored
    // Building texts of the village file that the catalog does not know, in
    // the file's order: kept so that they are written back, never planned.
    QStringList UnknownBuildings;
    QString Comments;
    qint32 Horizon = 3600;
    qint32 HourCounter = 0;
    QString BuildName;
    qint32 BuildTotal = 0;
    qint32 BuildElapsed = 0;
    QString FileName;
    bool Modified = false;
    // Whether the last write of the village (by a save command or by the
    // automatic save) failed; cleared by the next write that succeeds.
    bool LastWriteFailed = false;
    // Storage capacities as texts, by TResourceKind (wood, clay, iron: the
    // warehouse; grain: the granary); an empty text is unknown.
    std::array<QString, 4> Capacity;
    // The build queue in its order; the same entry may stand more than once
    // (a building's next level after it). A text that the catalog does not
    // know keeps its place with CatalogIndex -1: it is written back, never
    // projected.
    QList<TAvBuildingEntry> Queue;
    // What the village has built, in the order of the game's page: several
    // fields of one kind stand apart, each with its level. Empty while
    // neither the file nor the page gave it (and a file is then written
    // without it).
    QList<TBuiltBuilding> Built;
    // The deliveries expected, in order of arrival (equal moments in the
    // order they were added). Each is added to the stocks when it arrives.
    QList<TDelivery> Deliveries;
    // The game server's speed as the file or the page gave it ("3"); empty
    // while neither did, which is speed 1 (and a file without it is written
    // without it).
    QString ServerSpeed;
    // The village's place on the map as typed or read ("-12|34"); empty while
    // not given (and a file without it is written without it). Kept as text,
    // also when it does not read as a place (ParseMapPoint).
    QString Coordinates;
    // The village's traders as typed ("12"); empty while not typed, when the
    // market's level in the built list gives them (VillageTraders). A file
    // without it is written without it.
    QString Traders;
    // What the village's file carried that this version does not use, to be
    // written back with the village; filled by the file reader only.
    TKeptFileContent KeptFileContent;

    // Sets or clears the change flag; announces a change of it.
    void SetModified(bool modified);
    // The file the village belongs to; announces a different one.
    void SetFileName(const QString &fileName);

    // Stores a different name, announces it for the captions, sets Modified.
    // The same text again does nothing.
    void SetName(const QString &name);
    // Position in the race list (0..2), anything else for none; sets Modified.
    void SetRace(int position);
    // A different text: sets Modified, then asks for a recalculation when the
    // text is a whole number.
    void SetMainLevel(const QString &text);
    // The level field was left: a text that is no whole number becomes "1".
    void CommitMainLevel();

    // Removes every entry, then adds the given ones, each at its sorted place.
    void ReplaceAvBuildings(const QList<TAvBuildingEntry> &entries);
    // Removes the entry at position; false (and nothing changes) when there
    // is none there.
    bool RemoveAvBuilding(int position);
    // Adds an entry at its sorted place (after equal texts).
    void AddAvBuilding(const TAvBuildingEntry &entry);
    // Replaces the entry at position in place (it keeps its position, as a
    // building moved on to its next level does); false when there is none.
    bool ReplaceAvBuildingAt(int position, const TAvBuildingEntry &entry);
    // Adds entries at once, each at its sorted place (after equal texts) as
    // AddAvBuilding would, with one announcement; nothing for none.
    void AddAvBuildings(const QList<TAvBuildingEntry> &entries);
    // Position of the first entry whose text equals text, letter case
    // ignored; -1. Looked up by a hash of the folded text, built on the
    // first look-up after a change of the list.
    int IndexOfAvBuilding(QStringView text) const;

    // Keeps a building text that the catalog does not know, after those
    // kept already; a text kept already (letter case ignored) is not added
    // again. One that differs from a considered building's text in letter
    // case only is kept, so that a file written and read again gives the
    // same village.
    void AddUnknownBuilding(const QString &text);
    // The same for several texts, with one announcement when any is kept.
    void AddUnknownBuildings(const QStringList &texts);

    void SetLastWriteFailed(bool failed);
    // Changed and not safely stored: never written to a file, or its last
    // write failed.
    bool IsUnsaved() const;

    // Stock and production texts as the import and the file store them:
    // nothing else is set.
    void SetResourceCollect(TResourceKind kind, const QString &text);
    void SetResourceAdd(TResourceKind kind, const QString &text);
    // The stocks of several kinds at once as decimal texts (the build
    // command, the growth of a tick), with one announcement; a kind without
    // a value keeps its text.
    void SetStocks(const std::array<std::optional<qint32>, 4> &stocks);
    // A stock or an income typed by hand: a different text sets Modified and
    // asks for a recalculation at once.
    void EditResourceCollect(TResourceKind kind, const QString &text);
    void EditResourceAdd(TResourceKind kind, const QString &text);

    // The comments as typed; every line break is held as CR LF. A different
    // text sets Modified.
    void SetComments(const QString &text);
    // The comments with their line breaks as "\n", as a text field shows them.
    QString CommentsText() const;

    // The considered buildings as the selection dialog leaves them: replaces
    // the list and, when it differs, sets Modified.
    void ChooseAvBuildings(const QList<TAvBuildingEntry> &entries);

    // The construction in progress: its name and total seconds (nothing
    // runs while the total is 0), and the seconds elapsed.
    void SetConstruction(const QString &name, qint32 total, qint32 elapsed);
    // The planning settings of the page: the horizon (7200, anything else
    // counts as 3600) and the tick's hour counter.
    void SetHorizon(qint32 seconds);
    void SetHourCounter(qint32 counter);

    // The server's speed: a different text sets Modified and asks for a
    // recalculation.
    void SetServerSpeed(const QString &text);
    // The speeds a server runs at, and the speed a text gives: one of them
    // as a whole number, else 1.
    static constexpr std::array<qint32, 5> ServerSpeeds{1, 2, 3, 5, 10};
    static qint32 ServerSpeedOf(QStringView text);
    // The place on the map: a different text sets Modified.
    void SetCoordinates(const QString &text);
    // The typed traders: a different text sets Modified.
    void SetTraders(const QString &text);
    qint32 ServerSpeedValue() const { return m_ServerSpeedValue; }

    // Values read by the whole-number rule: 0 (level: 1) when not a number.
    qint32 ResourceCollectValue(TResourceKind kind) const { return m_Stocks[KindIndex(kind)]; }
    qint32 ResourceAddValue(TResourceKind kind) const { return m_Incomes[KindIndex(kind)]; }
    qint32 MainLevelValue() const { return m_MainLevelValue; }
    // The four stocks, hourly incomes and capacities (-1: unknown) as numbers.
    const TResourceAmounts &Stocks() const { return m_Stocks; }
    const TResourceAmounts &Incomes() const { return m_Incomes; }
    const TResourceAmounts &Capacities() const { return m_Capacities; }

    // A capacity read from a file or imported; sets nothing else.
    void SetCapacity(TResourceKind kind, const QString &text);
    // A capacity typed by hand: a different text sets Modified and asks for
    // a recalculation.
    void EditCapacity(TResourceKind kind, const QString &text);
    // The capacity by the whole-number rule; -1 (unknown) when the text is
    // empty, no whole number or below 0.
    qint32 CapacityValue(TResourceKind kind) const { return m_Capacities[KindIndex(kind)]; }

    // The build queue. Each change sets Modified and emits QueueChanged
    // once; an operation that finds no entry at position changes nothing
    // and returns false.
    void AppendToQueue(const TAvBuildingEntry &entry);
    bool RemoveFromQueue(int position);
    // Swaps the entry with the one before (Up) or after (Down) it.
    bool MoveQueueItemUp(int position);
    bool MoveQueueItemDown(int position);
    // Moves the entry at `from` so that it stands at `to` (both positions in
    // the queue as it is); false when either is outside it or they are equal.
    bool MoveQueueItem(int from, int to);
    // Removes the first entry and gives it; false when the queue is empty.
    bool TakeFirstQueueItem(TAvBuildingEntry &taken);
    // Removes the first entry with this catalog index (the building just
    // built); false when the queue holds none.
    bool TakeQueuedEntry(qint32 catalogIndex);
    // The whole queue at once, as the village file reads it: one
    // announcement, Modified as the other queue changes set it.
    void SetQueue(const QList<TAvBuildingEntry> &queue);

    // The built list as the file, the import and a finished construction
    // give it: nothing else is set; the same list again does nothing.
    void SetBuilt(const QList<TBuiltBuilding> &built);
    // The player's changes of the built list: each sets Modified and emits
    // BuiltChanged once; an operation that finds no entry at position
    // changes nothing and returns false.
    void AddBuilt(const TBuiltBuilding &building);
    bool ReplaceBuiltAt(int position, const TBuiltBuilding &building);
    bool RemoveBuilt(int position);
    // The deliveries expected. Each change sets Modified and emits
    // DeliveriesChanged once. A delivery without a valid moment is refused.
    bool AddDelivery(const TDelivery &delivery);
    bool RemoveDelivery(int position);
    // All at once (the file, undo), put in order of arrival.
    void SetDeliveries(const QList<TDelivery> &deliveries);
    // Takes off the deliveries that have arrived by `now` and gives them in
    // order of arrival; nothing changes when none has.
    QList<TDelivery> TakeArrivedDeliveries(const QDateTime &now);

    // "Римляне", "Галлы", "Германцы" in race-list order.
    static const QStringList &RaceNames();
    // The display name of a race code 1..3; empty for anything else.
    static QString RaceDisplayName(int race);

signals:
    void NameChanged(const QString &name);
    void RaceChanged(int race);
    void MainLevelChanged(const QString &text);
    void ResourcesChanged();
    void AvBuildingsChanged();
    void CommentsChanged();
    void FileNameChanged(const QString &fileName);
    void ModifiedChanged(bool modified);
    void RecalculationRequested();
    void QueueChanged();
    void DeliveriesChanged();
    void ConstructionChanged();
    void HorizonChanged(qint32 seconds);
    void ServerSpeedChanged(qint32 speed);
    void CoordinatesChanged(const QString &text);
    void TradersChanged(const QString &text);
    void BuiltChanged();

private:
    // The list of considered buildings has changed: its look-up is stale.
    void AvBuildingsAltered();

    TResourceAmounts m_Stocks{};
    TResourceAmounts m_Incomes{};
    TResourceAmounts m_Capacities{-1, -1, -1, -1};
    qint32 m_MainLevelValue = 1;
    qint32 m_ServerSpeedValue = 1;
    // Position of the first considered building of each folded text; empty
    // until the first look-up after a change.
    mutable QHash<QString, int> m_AvBuildingPositions;
    mutable bool m_AvBuildingPositionsBuilt = false;
};

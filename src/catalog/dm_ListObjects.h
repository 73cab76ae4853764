// The object catalog: every building of the game at each of its levels, with
// costs, build time and further figures, read once at start-up from the XML
// file beside the executable and read-only afterwards. It also gives the
// display text of an entry (the key by which pages, dialogs, the import and
// village files name an entry), durations as text and back, and the
// main-building build-time percentages. Every other part of the program
// reads it; nothing outside this module changes it.
#pragma once

#include "ResourceKind.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QDateTime>
#include <QTime>

#include <array>

// The name of the main building, whose levels give the build-time
// percentages and change them when built.
inline const QString MainBuildingName = QStringLiteral("Главное здание");

// One building at one level.
struct TLivaronObject
{
    QString Name;
    qint8 Level = 0;
    qint32 Wood = -1;
    qint32 Clay = -1;
    qint32 Iron = -1;
    qint32 Grain = -1;
    quint16 UseGrain = 0;
    quint16 EK = 0;
    qint32 Time = 0;
    qint16 Prod = 0;
    // A storage's capacity at this level (attribute "CAPACITY", 32 bits, for
    // capacities beyond the 16 bits of Prod); -1 when the catalog gives none.
    qint32 Capacity = -1;

    // Name, " (", the level with a blank in front of a one-digit level, ")":
    // "Ферма ( 5)", "Ферма (10)", "Ферма (-1)".
    QString DisplayText() const;

    // The cost of one resource kind; -1 when the catalog gives none.
    qint32 Cost(TResourceKind kind) const
    {
        switch (kind) {
        case TResourceKind::Wood: return Wood;
        case TResourceKind::Clay: return Clay;
        case TResourceKind::Iron: return Iron;
        case TResourceKind::Grain: return Grain;
        }
        return -1;
    }

    friend bool operator==(const TLivaronObject &, const TLivaronObject &) = default;
};

QDebug operator<<(QDebug debug, const TLivaronObject &object);

// What one trader of a race carries and how many fields it moves an hour,
// from the catalog's optional element (the game's usual figures apply to a
// race it does not name; see rules/Traders):
//   <Traders><Trader Race="Галлы" LOAD="750" SPEED="24"/>...</Traders>
struct TCatalogTrader
{
    QString Race;
    qint32 Load = 0;
    qint32 Speed = 0;

    friend bool operator==(const TCatalogTrader &, const TCatalogTrader &) = default;
};

// The display text rule for any name and level (also used to build the key
// of a level that is not in the catalog).
QString MakeDisplayText(const QString &name, qint64 level);

// The catalog entries in file order; the catalog index of an entry is its
// 0-based position here, fixed for the run.
using TLivaronListObj = QList<TLivaronObject>;

// What loading the catalog came to: Ok, or the message to show (in Russian,
// with the closing line) and the catalog file's path. Some failures show no
// message at all (Error empty).
struct TCatalogResult
{
    bool Ok = true;
    QString Error;
    QString Path;

    explicit operator bool() const { return Ok; }
    friend bool operator==(const TCatalogResult &, const TCatalogResult &) = default;
};

class TdmListObj
{
public:
    TdmListObj();

    // Loads the catalog that belongs to the executable ExeName (its path with
    // the extension replaced by ".xml"). Shows nothing: the start-up shows
    // the failure's message.
    TCatalogResult LoadCatalog(const QString &ExeName);

    // hh:mm:ss (hours unlimited), with ShowEndTime followed by " (" + the
    // local clock at which the span ends, with its date on another day,
    // + ")". The texts themselves are made by TimeText.
    static QString SecondsToText(qint32 Seconds, bool ShowEndTime);
    static qint32 TextToSeconds(QStringView Text);
    // What a building the catalog does not know shows as its tooltip.
    static QString NotInCatalogText();

    // Catalog index of the first entry whose display text equals Text exactly
    // (letter case included), or -1.
    qint32 FindByDisplayText(const QString &Text) const;
    // Catalog index of the first entry with the same name as the entry at
    // Index and a level one higher, or -1.
    qint32 FindNextLevel(qint32 Index) const;

    qint32 Count() const { return qint32(ObjectList.size()); }
    const TLivaronObject &Object(qint32 Index) const { return ObjectList.at(Index); }
    const TLivaronListObj &Objects() const { return ObjectList; }
    // The traders the catalog names, in file order; empty without the element.
    const QList<TCatalogTrader> &Traders() const { return m_Traders; }

    // Build-time percentage of the main building at Level 1..20; levels
    // outside that range are clamped into it.
    qint32 MainBuildingPercent(qint32 Level) const;

    // The catalog file that belongs to an executable path.
    static QString CatalogFileName(const QString &ExeName);

private:
    void DataModuleCreate();
    void BuildIndexes() const;

    std::array<qint32, 20> m_MainBuildingPercent{};
    TLivaronListObj ObjectList;
    QList<TCatalogTrader> m_Traders;

    // Lookup tables, built on first use after loading.
    mutable bool m_IndexesBuilt = false;
    mutable QHash<QString, qint32> m_ByDisplayText;
    mutable QHash<QString, QList<qint32>> m_ByName;
};

// The one catalog of the running program, created at start-up.
extern TdmListObj *dmListObj;

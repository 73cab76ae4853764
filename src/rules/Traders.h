// Traders between a player's own villages: what one trader carries and how
// fast it moves for each race, the time a shipment takes between two
// villages and how many traders it needs; a village's place on the map read
// from its text, and its traders (typed, or its market's level). A trader's
// figures are the catalog's where it gives them (its optional Traders
// element), else those of the game's usual servers (Римляне 500 per trader
// at 16 fields an hour, Галлы 750 at 24, Германцы 1000 at 12).
//
// The village page shows the place and the traders; the proposals of
// shipments between villages are to build on it.
#pragma once

#include <QDebug>
#include <QString>
#include <QList>
#include <QStringView>
#include <QtGlobal>

#include <optional>

class TdmListObj;
class TVillageData;
struct TBuiltBuilding;

// What one trader of a race carries and how many fields it moves an hour.
struct TTraderKind
{
    qint32 Load = 0;
    qint32 FieldsPerHour = 0;

    friend bool operator==(const TTraderKind &, const TTraderKind &) = default;
};

// The trader of a race by its code (1 Римляне, 2 Галлы, 3 Германцы); a
// village without a race counts as Римляне, whose traders carry least.
TTraderKind TraderKindOf(int race);
// The same as the catalog gives it for the race's name (TVillageData::
// RaceNames), where it does; else the usual figures above.
TTraderKind TraderKindOf(const TdmListObj &catalog, int race);

// A village's place on the map, "x|y".
struct TMapPoint
{
    qint32 X = 0;
    qint32 Y = 0;

    friend bool operator==(const TMapPoint &, const TMapPoint &) = default;
};

QDebug operator<<(QDebug debug, const TMapPoint &point);

// The place a text gives: "x|y" as the game writes it, with blanks around
// the parts, in brackets ("(−12|34)") or not, each part a whole number with
// an optional sign ('-', the game's '−' or '+') of at most six digits. None
// for anything else, the empty text included.
std::optional<TMapPoint> ParseMapPoint(QStringView text);
// "x|y", the form ParseMapPoint reads first.
QString MapPointText(const TMapPoint &point);


// The name of the building whose level gives the traders: its PROD.
inline const QString MarketName = QStringLiteral("Рынок");

// The traders the market of a built list gives: the PROD of its level (the
// highest, should the list hold more than one); 0 without a market or for a
// level the catalog does not know.
qint32 MarketTraders(const TdmListObj &catalog, const QList<TBuiltBuilding> &built);

// A village's traders: the typed number when one is typed (a whole number
// from 0 to MaxTypedTraders), else the market's.
struct TVillageTraders
{
    static constexpr qint32 MaxTypedTraders = 9999;

    qint32 Count = 0;
    bool Typed = false;

    friend bool operator==(const TVillageTraders &, const TVillageTraders &) = default;
};

QDebug operator<<(QDebug debug, const TVillageTraders &traders);

TVillageTraders VillageTraders(const TdmListObj &catalog, const TVillageData &village);

// The seconds a trader takes from one village to the other: the straight
// distance divided by the speed, rounded up to the whole second (exactly,
// for any 32-bit coordinates); 0 between the same places; none (-1) for a
// speed below 1. Traders are back after twice that.
qint64 TravelSeconds(const TMapPoint &from, const TMapPoint &to, qint32 fieldsPerHour);

// The traders that carry `amount` units: the amount over the load, rounded
// up; 0 for nothing; -1 for a load below 1.
qint64 TradersNeeded(qint64 amount, qint32 load);

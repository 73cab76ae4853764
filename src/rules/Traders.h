// Traders between a player's own villages: what one trader carries and how
// fast it moves for each race, the time a shipment takes between two
// villages and how many traders it needs. A trader's figures are those of
// the game's usual servers (Римляне 500 per trader at 16 fields an hour,
// Галлы 750 at 24, Германцы 1000 at 12).
//
// The proposals of shipments between villages build on it.
#pragma once

#include <QDebug>
#include <QtGlobal>

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

// A village's place on the map, "x|y".
struct TMapPoint
{
    qint32 X = 0;
    qint32 Y = 0;

    friend bool operator==(const TMapPoint &, const TMapPoint &) = default;
};

QDebug operator<<(QDebug debug, const TMapPoint &point);

// The seconds a trader takes from one village to the other: the straight
// distance divided by the speed, rounded up to the whole second (exactly,
// for any 32-bit coordinates); 0 between the same places; none (-1) for a
// speed below 1. Traders are back after twice that.
qint64 TravelSeconds(const TMapPoint &from, const TMapPoint &to, qint32 fieldsPerHour);

// The traders that carry `amount` units: the amount over the load, rounded
// up; 0 for nothing; -1 for a load below 1.
qint64 TradersNeeded(qint64 amount, qint32 load);

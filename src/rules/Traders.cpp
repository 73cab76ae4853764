// Traders between a player's own villages; see Traders.h.
#include "Traders.h"

#include "base/TextCompare.h"
#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"
#include "record/VillageData.h"

#include <algorithm>
#include <cmath>
#include <limits>

TTraderKind TraderKindOf(int race)
{
    switch (race) {
    case 2:
        return {750, 24};
    case 3:
        return {1000, 12};
    default:
        return {500, 16};
    }
}

TTraderKind TraderKindOf(const TdmListObj &catalog, int race)
{
    const QStringList &races = TVillageData::RaceNames();
    if (race >= 1 && race <= races.size()) {
        for (const TCatalogTrader &trader : catalog.Traders()) {
            if (SameText(trader.Race, races.at(race - 1)))
                return {trader.Load, trader.Speed};
        }
    }
    return TraderKindOf(race);
}

QDebug operator<<(QDebug debug, const TMapPoint &point)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << point.X << '|' << point.Y;
    return debug;
}

namespace {

// A part of a place: an optional sign and one to six digits, blanks around.
std::optional<qint32> ParseCoordinate(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'\u2212' || text.front() == u'+')) {
        negative = text.front() != u'+';
        text = text.sliced(1);
    }
    if (text.isEmpty() || text.size() > 6)
        return std::nullopt;
    qint32 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return negative ? -value : value;
}

} // namespace

std::optional<TMapPoint> ParseMapPoint(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u'(') && text.endsWith(u')') && text.size() >= 2)
        text = text.sliced(1, text.size() - 2);
    const qsizetype bar = text.indexOf(u'|');
    if (bar < 0)
        return std::nullopt;
    const std::optional<qint32> x = ParseCoordinate(text.first(bar));
    const std::optional<qint32> y = ParseCoordinate(text.sliced(bar + 1));
    if (!x || !y)
        return std::nullopt;
    return TMapPoint{*x, *y};
}

QString MapPointText(const TMapPoint &point)
{
    return QStringLiteral("%1|%2").arg(point.X).arg(point.Y);
}

namespace {

// Whether s seconds at `speed` fields an hour cover the distance whose
// square is `squared`: (s × speed)² ≥ squared × 3600², compared in 128 bits
// (the square of a 32-bit distance needs 64).
bool Covers(qint64 seconds, qint32 speed, unsigned __int128 squared)
{
    const unsigned __int128 travelled = static_cast<unsigned __int128>(seconds) * static_cast<unsigned>(speed);
    return travelled * travelled >= squared * 3600u * 3600u;
}

} // namespace

qint64 TravelSeconds(const TMapPoint &from, const TMapPoint &to, qint32 fieldsPerHour)
{
    if (fieldsPerHour < 1)
        return -1;
    // Each difference fits 33 bits, its square 66: squared in 128 bits.
    const auto magnitude = [](qint64 value) { return static_cast<unsigned __int128>(value < 0 ? -value : value); };
    const unsigned __int128 dx = magnitude(qint64(to.X) - from.X);
    const unsigned __int128 dy = magnitude(qint64(to.Y) - from.Y);
    const unsigned __int128 squared = dx * dx + dy * dy;
    // The floating estimate, then the exact smallest whole second.
    qint64 seconds = qint64(std::ceil(std::sqrt(double(squared)) * 3600.0 / fieldsPerHour));
    seconds = std::max<qint64>(seconds - 2, 0);
    while (!Covers(seconds, fieldsPerHour, squared))
        ++seconds;
    return seconds;
}

qint64 TradersNeeded(qint64 amount, qint32 load)
{
    if (load < 1)
        return -1;
    if (amount <= 0)
        return 0;
    return amount / load + (amount % load != 0 ? 1 : 0);
}

qint32 MarketTraders(const TdmListObj &catalog, const QList<TBuiltBuilding> &built)
{
    qint32 traders = 0;
    for (const TBuiltBuilding &building : built) {
        if (building.CatalogIndex < 0 || building.CatalogIndex >= catalog.Count())
            continue;
        const TLivaronObject &object = catalog.Object(building.CatalogIndex);
        if (SameText(object.Name, MarketName))
            traders = std::max<qint32>(traders, std::max<qint32>(object.Prod, 0));
    }
    return traders;
}

QDebug operator<<(QDebug debug, const TVillageTraders &traders)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TVillageTraders(" << traders.Count << (traders.Typed ? ", typed" : ", by the market") << ')';
    return debug;
}

TVillageTraders VillageTraders(const TdmListObj &catalog, const TVillageData &village)
{
    const std::optional<qint32> typed = ParseWholeNumber(village.Traders);
    if (typed && *typed >= 0 && *typed <= TVillageTraders::MaxTypedTraders)
        return {*typed, true};
    return {MarketTraders(catalog, village.Built), false};
}

// Traders between a player's own villages; see Traders.h.
#include "Traders.h"

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

QDebug operator<<(QDebug debug, const TMapPoint &point)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << point.X << '|' << point.Y;
    return debug;
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

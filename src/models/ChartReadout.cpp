// The queue chart's readout; see ChartReadout.h.
#include "ChartReadout.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

// Milliseconds that QDateTime can hold, with room: about ±100,000 years.
constexpr double MomentLimit = 3.0e15;

QDateTime MomentOf(double x)
{
    const double clamped = std::isfinite(x) ? std::clamp(x, -MomentLimit, MomentLimit) : 0.0;
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(clamped));
}

// Whole units, rounded down, within 64 bits.
qint64 WholeUnits(double value)
{
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = 9.0e18;
    return static_cast<qint64>(std::floor(std::clamp(value, -limit, limit)));
}

} // namespace

double LineValueAt(const QList<QPointF> &line, double x)
{
    if (line.isEmpty())
        return 0;
    // The first point right of x; the one before it is the last at or left of x.
    const auto after = std::upper_bound(line.cbegin(), line.cend(), x,
                                        [](double value, const QPointF &point) { return value < point.x(); });
    if (after == line.cbegin())
        return line.constFirst().y();
    if (after == line.cend())
        return line.constLast().y();
    const QPointF &left = *(after - 1);
    const QPointF &right = *after;
    const double share = (x - left.x()) / (right.x() - left.x());
    return left.y() + (right.y() - left.y()) * share;
}

std::array<double, 4> StocksAt(const TProjectionSeries &series, double x)
{
    std::array<double, 4> stocks{};
    for (std::size_t kind = 0; kind < stocks.size(); ++kind)
        stocks[kind] = LineValueAt(series.Stocks[kind], x);
    return stocks;
}

QString ChartReadoutText(const TProjectionSeries &series, double x, const QString &startedBuilding)
{
    const QDateTime moment = MomentOf(x);
    const bool sameDay = moment.date() == MomentOf(series.Left).date();
    QStringList lines{moment.toString(sameDay ? QStringLiteral("HH:mm:ss") : QStringLiteral("dd.MM HH:mm:ss"))};
    if (!startedBuilding.isEmpty())
        lines.append(QStringLiteral("Начало: ") + startedBuilding);
    const std::array<double, 4> stocks = StocksAt(series, x);
    for (std::size_t kind = 0; kind < stocks.size(); ++kind)
        lines.append(ResourceName(AllResourceKinds[kind]) + QStringLiteral(": ") + QString::number(WholeUnits(stocks[kind])));
    return lines.join(u'\n');
}

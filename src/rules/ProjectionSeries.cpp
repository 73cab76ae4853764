// The chart data of a queue projection; see ProjectionSeries.h.
#include "ProjectionSeries.h"

QDebug operator<<(QDebug debug, const TProjectionSeries &series)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TProjectionSeries(" << series.Left << ".." << series.Right << ", stocks "
                    << series.Stocks[0] << ' ' << series.Stocks[1] << ' ' << series.Stocks[2] << ' '
                    << series.Stocks[3] << ", markers " << series.MarkerItems << ", capacities "
                    << series.Capacities[0] << ' ' << series.Capacities[1] << ' ' << series.Capacities[2]
                    << ' ' << series.Capacities[3] << ')';
    return debug;
}

TProjectionSeries MakeProjectionSeries(const TQueueProjection &projection,
                                       const std::optional<QDateTime> &startMoment)
{
    const double origin = startMoment ? double(startMoment->toMSecsSinceEpoch()) : 0.0;
    const double scale = startMoment ? 1000.0 : 1.0;
    const auto x = [origin, scale](double seconds) { return origin + seconds * scale; };

    TProjectionSeries series;
    series.Left = x(0);
    series.Right = x(double(projection.TimelineEnd));
    for (std::size_t kind = 0; kind < series.Stocks.size(); ++kind) {
        QList<QPointF> &line = series.Stocks[kind];
        line.reserve(projection.Timeline[kind].size());
        for (const TStockPoint &point : projection.Timeline[kind])
            line.append(QPointF(x(point.Seconds), point.Value));
        qint32 capacity = projection.Capacities[kind];
        if (!IsKnownCapacity(capacity))
            continue;
        // A step where a storage's end raises it.
        QList<QPointF> &steps = series.Capacities[kind];
        steps.append(QPointF(series.Left, capacity));
        for (const TCapacityStep &step : projection.CapacitySteps[kind]) {
            const double at = x(double(step.Seconds));
            steps.append(QPointF(at, capacity));
            capacity = step.Capacity;
            steps.append(QPointF(at, capacity));
        }
        steps.append(QPointF(series.Right, capacity));
    }
    for (const TProjectedItem &item : projection.Items) {
        if (!item.IsScheduled())
            continue;
        series.MarkerItems.append(item.CatalogIndex);
        for (std::size_t kind = 0; kind < series.StartMarkers.size(); ++kind)
            series.StartMarkers[kind].append(QPointF(x(double(item.Start)), item.StocksAfterStart[kind]));
    }
    return series;
}

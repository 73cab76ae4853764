// What the queue chart shows where the pointer rests: the four stocks at a
// moment of a projection's chart data, read off its lines, and the text of
// that readout (the clock time and the four values in whole units).
//
// Used by the queue chart's hover tooltip.
#pragma once

#include "rules/ProjectionSeries.h"

#include <QString>
#include <QStringList>

#include <array>

// The value of a line at x, straight between its points: the first value
// before the line, the last after it, 0 for an empty line. Where two points
// share x (a spending), the later one counts.
double LineValueAt(const QList<QPointF> &line, double x);

// The four stock lines at x.
std::array<double, 4> StocksAt(const TProjectionSeries &series, double x);

// For series whose x is milliseconds since the epoch: the local clock time of
// x ("14:05:09", with the date in front, "08.12 14:05:09", when it is not the
// day of the left edge), then one line per resource with its stock rounded
// down ("Дерево: 1234"). A marker's building, when given, comes second
// ("Начало: Ферма ( 5)").
QString ChartReadoutText(const TProjectionSeries &series, double x, const QString &startedBuilding = {});

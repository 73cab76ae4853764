// The chart of a village's build queue (Qt Charts): the four stocks over time
// from now to the end of the queue as lines in the resources' colours (wood
// brown, clay orange-red, iron grey-blue, grain gold), each queued start as a
// marker where the stock steps down, each known capacity as a dashed line,
// and a tooltip with the time and the four stocks where the pointer rests on
// a line. It follows the palette in use: the light or dark chart theme, the
// palette's base behind it, its text colour in the labels and the lines'
// colours made to stand out from the base (ReadableColours). Its least
// height leaves the plot room for several lines of the axis labels. It takes
// the chart data of a projection (MakeProjectionSeries with
// the start moment, so that x is milliseconds since the epoch) and keeps its
// series from one update to the next.
//
// Shown by the village page's "График" view, made through the chart
// plug-in's factory (QueueChartPlugin.h); tests link it directly.
#pragma once

#include "ui/chart/QueueChartPlugin.h"
#include "catalog/ResourceKind.h"
#include "rules/ProjectionSeries.h"

#include <QChartView>
#include <QStringList>

#include <array>

class QDateTimeAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

class TQueueChart : public QChartView, public TQueueChartView
{
    Q_OBJECT

public:
    explicit TQueueChart(QWidget *parent = nullptr);

    // The factory of these charts, as the plug-in gives it.
    static TQueueChartFactory &Factory();

    QWidget *Widget() override { return this; }
    // Shows the chart data; markerTexts, when given, name the building of
    // each marker (in MarkerItems order) in the tooltip.
    void SetSeries(const TProjectionSeries &series, const QStringList &markerTexts = {}) override;
    const TProjectionSeries &Series() const { return m_Series; }

    static QColor ResourceColor(TResourceKind kind);
    // The colour of a kind's line on the chart's background.
    QColor LineColor(TResourceKind kind) const;

    // The text the tooltip shows (or last showed); empty when the pointer
    // rests on no line.
    QString HoverText() const { return m_HoverText; }

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void LineHovered(const QPointF &point, bool state);
    void MarkerHovered(const QPointF &point, bool state);

private:
    void UpdateAxes();
    // The theme, background, label colours and line colours for the palette.
    void ApplyPalette();
    void ShowHoverText(const QString &text);
    // The readout at a marker's moment, with its building.
    QString MarkerText(double x) const;

    TProjectionSeries m_Series;
    QStringList m_MarkerTexts;
    QString m_HoverText;
    // Where the pointer rests, and whether on a marker, so that new series
    // keep the readout there, with their figures.
    double m_HoverX = 0;
    bool m_HoverOnMarker = false;
    bool m_Replacing = false;
    std::array<QLineSeries *, 4> m_Stocks{};
    std::array<QScatterSeries *, 4> m_StartMarkers{};
    std::array<QLineSeries *, 4> m_Capacities{};
    QDateTimeAxis *m_TimeAxis = nullptr;
    QValueAxis *m_StockAxis = nullptr;
};

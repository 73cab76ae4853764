// The queue chart; see QueueChart.h.
#include "ui/chart/QueueChart.h"

#include "ui/widgets/ReadableColours.h"

#include "models/ChartReadout.h"

#include <QCursor>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QScopedValueRollback>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// The same names in object names: StockWood, StartsClay, CapacityGrain.
const std::array<QString, 4> KindNames{QStringLiteral("Wood"), QStringLiteral("Clay"), QStringLiteral("Iron"),
                                       QStringLiteral("Grain")};

// A time axis needs some width: a minute at least.
constexpr double MinimumSpan = 60 * 1000;
constexpr double Day = 24 * 3600 * 1000;
// Milliseconds that QDateTime holds, with room: about ±100,000 years.
constexpr double MomentLimit = 3.0e15;
// The stock axis reaches at least this high, so that empty stocks show a scale.
constexpr double MinimumTop = 100;

void HideFromLegend(QChart *chart, QAbstractSeries *series)
{
    for (QLegendMarker *marker : chart->legend()->markers(series))
        marker->setVisible(false);
}

double HighestValue(const QList<QPointF> &points, double highest)
{
    for (const QPointF &point : points)
        if (std::isfinite(point.y()))
            highest = std::max(highest, point.y());
    return highest;
}

double LowestValue(const QList<QPointF> &points, double lowest)
{
    for (const QPointF &point : points)
        if (std::isfinite(point.y()))
            lowest = std::min(lowest, point.y());
    return lowest;
}

} // namespace

namespace {

class TQueueChartMaker : public TQueueChartFactory
{
public:
    TQueueChartView *CreateChart(QWidget *parent) override { return new TQueueChart(parent); }
};

} // namespace

TQueueChartFactory &TQueueChart::Factory()
{
    static TQueueChartMaker maker;
    return maker;
}

TQueueChart::TQueueChart(QWidget *parent)
    : QChartView(parent)
{
    setObjectName(QStringLiteral("QueueChart"));
    setRenderHint(QPainter::Antialiasing);

    QChart *chart = new QChart;
    chart->setObjectName(QStringLiteral("Chart"));
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));

    m_TimeAxis = new QDateTimeAxis(chart);
    m_TimeAxis->setObjectName(QStringLiteral("TimeAxis"));
    m_TimeAxis->setTickCount(7);
    chart->addAxis(m_TimeAxis, Qt::AlignBottom);
    m_StockAxis = new QValueAxis(chart);
    m_StockAxis->setObjectName(QStringLiteral("StockAxis"));
    m_StockAxis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(m_StockAxis, Qt::AlignLeft);

    const auto attach = [chart, this](QXYSeries *series) {
        chart->addSeries(series);
        series->attachAxis(m_TimeAxis);
        series->attachAxis(m_StockAxis);
    };
    // Capacities below, markers above the stock lines.
    for (const TResourceKind kind : AllResourceKinds) {
        const std::size_t slot = KindIndex(kind);
        auto *capacity = new QLineSeries(chart);
        capacity->setObjectName(QStringLiteral("Capacity") + KindNames[slot]);
        capacity->setName(ResourceName(AllResourceKinds[slot]) + QStringLiteral(": вместимость"));
        attach(capacity);
        HideFromLegend(chart, capacity);
        connect(capacity, &QLineSeries::hovered, this, &TQueueChart::LineHovered);
        m_Capacities[slot] = capacity;
    }
    for (const TResourceKind kind : AllResourceKinds) {
        const std::size_t slot = KindIndex(kind);
        auto *stock = new QLineSeries(chart);
        stock->setObjectName(QStringLiteral("Stock") + KindNames[slot]);
        stock->setName(ResourceName(AllResourceKinds[slot]));
        attach(stock);
        connect(stock, &QLineSeries::hovered, this, &TQueueChart::LineHovered);
        m_Stocks[slot] = stock;
    }
    for (const TResourceKind kind : AllResourceKinds) {
        const std::size_t slot = KindIndex(kind);
        auto *starts = new QScatterSeries(chart);
        starts->setObjectName(QStringLiteral("Starts") + KindNames[slot]);
        starts->setName(ResourceName(AllResourceKinds[slot]) + QStringLiteral(": начало строительства"));
        starts->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        starts->setMarkerSize(9);
        attach(starts);
        HideFromLegend(chart, starts);
        connect(starts, &QScatterSeries::hovered, this, &TQueueChart::MarkerHovered);
        m_StartMarkers[slot] = starts;
    }
    setChart(chart);
    ApplyPalette();
    UpdateAxes();
    // Room for the legend, the time labels and a plot of several label lines.
    setMinimumHeight(14 * QFontMetrics(m_StockAxis->labelsFont()).height());
}

QColor TQueueChart::LineColor(TResourceKind kind) const
{
    return ReadableColours::ReadableOn(ResourceColor(kind), palette().color(QPalette::Base),
                                       ReadableColours::GraphicsContrast);
}

void TQueueChart::changeEvent(QEvent *event)
{
    QChartView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        ApplyPalette();
}

void TQueueChart::ApplyPalette()
{
    QChart *chart = this->chart();
    const QPalette colours = palette();
    const QColor base = colours.color(QPalette::Base);
    const QColor text = colours.color(QPalette::Text);
    // The theme sets fonts and colours of everything; what follows puts the
    // palette's own over it.
    chart->setTheme(ReadableColours::IsDark(colours) ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    chart->setBackgroundBrush(base);
    chart->setBackgroundPen(Qt::NoPen);
    chart->setPlotAreaBackgroundVisible(false);
    setBackgroundBrush(base);
    chart->legend()->setLabelColor(text);
    QColor grid = text;
    grid.setAlphaF(0.2f);
    for (QAbstractAxis *axis : {static_cast<QAbstractAxis *>(m_TimeAxis), static_cast<QAbstractAxis *>(m_StockAxis)}) {
        axis->setLabelsColor(text);
        axis->setLinePenColor(colours.color(QPalette::Mid));
        axis->setGridLineColor(grid);
    }
    for (const TResourceKind kind : AllResourceKinds) {
        const std::size_t slot = KindIndex(kind);
        const QColor colour = LineColor(kind);
        m_Capacities[slot]->setPen(QPen(colour, 1.5, Qt::DashLine));
        m_Stocks[slot]->setPen(QPen(colour, 2.5));
        m_StartMarkers[slot]->setColor(colour);
        m_StartMarkers[slot]->setBorderColor(base);
    }
}

QColor TQueueChart::ResourceColor(TResourceKind kind)
{
    switch (kind) {
    case TResourceKind::Wood:
        return QColor(0x8b, 0x5a, 0x2b); // brown
    case TResourceKind::Clay:
        return QColor(0xd9, 0x4f, 0x1e); // orange-red
    case TResourceKind::Iron:
        return QColor(0x5a, 0x74, 0x8c); // grey-blue
    case TResourceKind::Grain:
        return QColor(0xd4, 0xa0, 0x17); // gold
    }
    return Qt::black;
}

void TQueueChart::SetSeries(const TProjectionSeries &series, const QStringList &markerTexts)
{
    m_Series = series;
    m_MarkerTexts = markerTexts;
    {
        // Points replaced under a resting pointer are no pointer leaving.
        const QScopedValueRollback replacing(m_Replacing, true);
        for (std::size_t slot = 0; slot < m_Stocks.size(); ++slot) {
            m_Stocks[slot]->replace(series.Stocks[slot]);
            m_StartMarkers[slot]->replace(series.StartMarkers[slot]);
            m_Capacities[slot]->replace(series.Capacities[slot]);
        }
    }
    UpdateAxes();
    // The readout stays while the pointer rests, with the new figures.
    if (!m_HoverText.isEmpty())
        ShowHoverText(m_HoverOnMarker ? MarkerText(m_HoverX) : ChartReadoutText(m_Series, m_HoverX));
}

void TQueueChart::UpdateAxes()
{
    const auto moment = [](double x, double otherwise) {
        return std::isfinite(x) ? std::clamp(x, -MomentLimit, MomentLimit) : otherwise;
    };
    const double left = moment(m_Series.Left, 0.0);
    const double right = std::max(moment(m_Series.Right, left), left + MinimumSpan);
    m_TimeAxis->setFormat(right - left > Day ? QStringLiteral("dd.MM HH:mm") : QStringLiteral("HH:mm"));
    m_TimeAxis->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(left)),
                         QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(right)));

    double top = MinimumTop;
    double bottom = 0;
    for (std::size_t slot = 0; slot < m_Stocks.size(); ++slot) {
        for (const QList<QPointF> *points :
             {&m_Series.Stocks[slot], &m_Series.StartMarkers[slot], &m_Series.Capacities[slot]}) {
            top = HighestValue(*points, top);
            bottom = LowestValue(*points, bottom);
        }
    }
    // Room above the highest line, so that a full storage does not run along
    // the frame.
    m_StockAxis->setRange(bottom, top * 1.05);
    m_StockAxis->applyNiceNumbers();
}

void TQueueChart::ShowHoverText(const QString &text)
{
    m_HoverText = text;
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(QCursor::pos(), text, this);
}

void TQueueChart::LineHovered(const QPointF &point, bool state)
{
    if (!state && m_Replacing)
        return;
    m_HoverX = point.x();
    m_HoverOnMarker = false;
    ShowHoverText(state ? ChartReadoutText(m_Series, point.x()) : QString());
}

void TQueueChart::MarkerHovered(const QPointF &point, bool state)
{
    if (!state && m_Replacing)
        return;
    m_HoverX = point.x();
    m_HoverOnMarker = true;
    ShowHoverText(state ? MarkerText(point.x()) : QString());
}

QString TQueueChart::MarkerText(double x) const
{
    // The marker of the queued start nearest in time; the building's name
    // when the caller gave it.
    QString building;
    const QList<QPointF> &markers = m_Series.StartMarkers.front();
    qsizetype nearest = -1;
    for (qsizetype index = 0; index < markers.size(); ++index)
        if (nearest < 0 || std::abs(markers[index].x() - x) < std::abs(markers[nearest].x() - x))
            nearest = index;
    if (nearest >= 0 && nearest < m_MarkerTexts.size())
        building = m_MarkerTexts[nearest];
    // At the marker itself: where it stands in the series shown now.
    return ChartReadoutText(m_Series, nearest >= 0 ? markers[nearest].x() : x, building);
}

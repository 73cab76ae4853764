// The chart plug-in: the build queue's chart (QueueChart.h) behind the
// factory the village page loads on first use (QueueChartPlugin.h). Built
// as a module beside the executable, so that Qt Charts and its OpenGL
// libraries are loaded only when a chart is shown.
#include "ui/chart/QueueChart.h"
#include "ui/chart/QueueChartPlugin.h"

#include <QObject>

class TQueueChartModule : public QObject, public TQueueChartFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TQueueChartFactory_iid)
    Q_INTERFACES(TQueueChartFactory)

public:
    TQueueChartView *CreateChart(QWidget *parent) override { return TQueueChart::Factory().CreateChart(parent); }
};

#include "QueueChartModule.moc"

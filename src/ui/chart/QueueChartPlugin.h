// What the village page asks of the build queue's chart, which lives in a
// plug-in of its own (Qt Charts with its OpenGL libraries, loaded the first
// time a chart is shown rather than at every start): a factory that makes
// chart widgets, and the one call a chart takes. The plug-in
// (QueueChartModule.cpp) and the chart library (QueueChart.h) implement it;
// QueueChartLoader.h finds the plug-in beside the executable.
#pragma once

#include "rules/ProjectionSeries.h"

#include <QStringList>
#include <QtPlugin>

class QWidget;

class TQueueChartView
{
public:
    virtual ~TQueueChartView() = default;
    // The chart as a widget, for the page's layout (its parent owns it).
    virtual QWidget *Widget() = 0;
    // Shows the chart data; markerTexts name the building of each marker.
    virtual void SetSeries(const TProjectionSeries &series, const QStringList &markerTexts) = 0;
};

class TQueueChartFactory
{
public:
    virtual ~TQueueChartFactory() = default;
    // A new chart, a child of parent.
    virtual TQueueChartView *CreateChart(QWidget *parent) = 0;
};

#define TQueueChartFactory_iid "org.jorlivaron.JorLivaronMng.QueueChartFactory/1"
Q_DECLARE_INTERFACE(TQueueChartFactory, TQueueChartFactory_iid)

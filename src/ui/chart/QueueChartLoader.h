// Where the build queue's chart comes from: the chart plug-in
// (QueueChartPlugin.h) in the executable's folder, loaded the first time a
// page shows its chart. When it is missing or cannot be loaded, the reason
// is kept in the player's words and the page says so in place of the chart.
// Tests give a factory they link, or a folder to load from.
#pragma once

#include <QString>

class TQueueChartFactory;

struct TQueueChartSource
{
    // Null when the plug-in could not be loaded.
    TQueueChartFactory *Factory = nullptr;
    // Why not, for the page: "График недоступен: …".
    QString Error;
};

// The source of charts; the plug-in is loaded at the first call.
const TQueueChartSource &QueueChartSource();

// The plug-in's file name, as the build and the package put it beside the
// executable.
QString QueueChartPluginFileName();

// Tests: charts from this factory (null: from the plug-in again), or the
// plug-in looked for in this folder (empty: the executable's). Either
// forgets what was loaded before.
void SetQueueChartFactory(TQueueChartFactory *factory);
void SetQueueChartPluginFolder(const QString &folder);

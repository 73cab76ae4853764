// The chart plug-in, loaded on first use; see QueueChartLoader.h.
#include "ui/chart/QueueChartLoader.h"

#include "ui/chart/QueueChartPlugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

#include <optional>

namespace {

struct TLoaderState
{
    TQueueChartFactory *GivenFactory = nullptr;
    QString Folder;
    std::optional<TQueueChartSource> Source;
};

TLoaderState &State()
{
    static TLoaderState state;
    return state;
}

TQueueChartSource Load()
{
    TLoaderState &state = State();
    if (state.GivenFactory)
        return {state.GivenFactory, {}};
    const QString folder = state.Folder.isEmpty() ? QCoreApplication::applicationDirPath() : state.Folder;
    const QString path = QDir(folder).filePath(QueueChartPluginFileName());
    if (!QFileInfo::exists(path))
        return {nullptr, QStringLiteral("График недоступен: не найден модуль графика %1.")
                             .arg(QDir::toNativeSeparators(path))};
    // The loader stays loaded for as long as the program runs: the charts
    // made from it live in its code.
    QPluginLoader loader(path);
    QObject *instance = loader.instance();
    auto *factory = qobject_cast<TQueueChartFactory *>(instance);
    if (!factory)
        return {nullptr, QStringLiteral("График недоступен: модуль графика %1 не загружается (%2).")
                             .arg(QDir::toNativeSeparators(path), loader.errorString())};
    return {factory, {}};
}

} // namespace

const TQueueChartSource &QueueChartSource()
{
    TLoaderState &state = State();
    if (!state.Source)
        state.Source = Load();
    return *state.Source;
}

QString QueueChartPluginFileName()
{
    return QStringLiteral("JorLivaronMngChart.so");
}

void SetQueueChartFactory(TQueueChartFactory *factory)
{
    State().GivenFactory = factory;
    State().Source.reset();
}

void SetQueueChartPluginFolder(const QString &folder)
{
    State().Folder = folder;
    State().Source.reset();
}

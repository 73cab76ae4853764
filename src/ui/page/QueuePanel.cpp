// The build queue's group and the chart's group of a village page; see
// QueuePanel.h.
#include "ui/page/QueuePanel.h"

#include "ui/widgets/ColumnFit.h"

#include "record/KeptFileContent.h"

#include "ui/chart/QueueChartLoader.h"
#include "ui/chart/QueueChartPlugin.h"
#include "ui/page/QueueView.h"
#include "ui/widgets/UiSeams.h"

#include "rules/ProjectionSeries.h"
#include "models/QueueModel.h"
#include "rules/Planner.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QSplitter>
#include <QLabel>
#include <QVBoxLayout>

TQueuePanel::TQueuePanel(TQueueModel &model, TPlanner &planner, QWidget *page)
    : QObject(page)
    , m_Model(model)
    , m_Planner(planner)
{
    gbQueue = new QGroupBox(QStringLiteral("Очередь строительства"), page);
    gbQueue->setObjectName(QStringLiteral("gbQueue"));
    sgQueue = new TQueueView(gbQueue);
    sgQueue->setObjectName(QStringLiteral("sgQueue"));
    sgQueue->setAccessibleName(QStringLiteral("Очередь строительства"));
    sgQueue->setWordWrap(false);
    sgQueue->setCornerButtonEnabled(false);
    sgQueue->setTabKeyNavigation(false);
    sgQueue->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgQueue->setContextMenuPolicy(Qt::CustomContextMenu);
    // Too narrow for every name and time, it scrolls sideways (ColumnFit.h).
    sgQueue->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    sgQueue->verticalHeader()->hide();
    sgQueue->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgQueue->verticalHeader()->setDefaultSectionSize(sgQueue->fontMetrics().height() + 4);
    sgQueue->horizontalHeader()->setHighlightSections(false);
    sgQueue->setModel(&m_Model);
    // The name takes the room the times leave; these fit their texts when
    // the rows change, not at every tick.
    new TColumnFit(sgQueue, 0);
    auto *queue = new QVBoxLayout(gbQueue);
    queue->setContentsMargins(6, 4, 6, 6);
    queue->addWidget(sgQueue);
    lbQueueNotUnderstood = new QLabel(NotUnderstoodMark(), gbQueue);
    lbQueueNotUnderstood->setObjectName(QStringLiteral("lbQueueNotUnderstood"));
    lbQueueNotUnderstood->hide();
    queue->addWidget(lbQueueNotUnderstood);

    gbChart = new QGroupBox(QStringLiteral("График"), page);
    gbChart->setObjectName(QStringLiteral("gbChart"));
    auto *chart = new QVBoxLayout(gbChart);
    chart->setContentsMargins(2, 2, 2, 2);
    gbChart->hide();

    CreateActions(page);
    connect(sgQueue, &QWidget::customContextMenuRequested, this, &TQueuePanel::sgQueueContextMenu);
    connect(&m_Model, &TQueueModel::ProjectionChanged, this, &TQueuePanel::ShowProjection);
    connect(sgQueue->selectionModel(), &QItemSelectionModel::currentChanged, this, &TQueuePanel::UpdateActions);
    connect(&m_Model, &QAbstractItemModel::rowsMoved, this, &TQueuePanel::UpdateActions);
    connect(&m_Model, &QAbstractItemModel::rowsRemoved, this, &TQueuePanel::UpdateActions);
    connect(&m_Model, &QAbstractItemModel::rowsInserted, this, &TQueuePanel::UpdateActions);
    connect(&m_Model, &QAbstractItemModel::modelReset, this, &TQueuePanel::UpdateActions);
    UpdateActions();
}

void TQueuePanel::CreateActions(QWidget *page)
{
    const auto action = [this, page](const char *name, const QString &caption, const QKeySequence &keys) {
        auto *made = new QAction(caption, page);
        made->setObjectName(QLatin1String(name));
        made->setShortcut(keys);
        made->setShortcutContext(Qt::WidgetShortcut);
        sgQueue->addAction(made);
        return made;
    };
    actQueueBuild = action("actQueueBuild", QStringLiteral("Строить"), {});
    actQueueRemove = action("actQueueRemove", QStringLiteral("Убрать"), QKeySequence(Qt::Key_Delete));
    actQueueUp = action("actQueueUp", QStringLiteral("Выше"), QKeySequence(Qt::CTRL | Qt::Key_Up));
    actQueueDown = action("actQueueDown", QStringLiteral("Ниже"), QKeySequence(Qt::CTRL | Qt::Key_Down));

    PopupMenuQueue = new QMenu(page);
    PopupMenuQueue->setObjectName(QStringLiteral("PopupMenuQueue"));
    PopupMenuQueue->addAction(actQueueBuild);
    PopupMenuQueue->addSeparator();
    PopupMenuQueue->addAction(actQueueRemove);
    PopupMenuQueue->addAction(actQueueUp);
    PopupMenuQueue->addAction(actQueueDown);

    connect(actQueueBuild, &QAction::triggered, this, &TQueuePanel::actQueueBuildExecute);
    connect(actQueueRemove, &QAction::triggered, this, &TQueuePanel::actQueueRemoveExecute);
    connect(actQueueUp, &QAction::triggered, this, &TQueuePanel::actQueueUpExecute);
    connect(actQueueDown, &QAction::triggered, this, &TQueuePanel::actQueueDownExecute);
}

int TQueuePanel::CurrentRow() const
{
    const QModelIndex current = sgQueue->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TQueuePanel::UpdateActions()
{
    const int row = CurrentRow();
    const int rows = m_Model.rowCount();
    // "Строить" is for the first item only: the queue is built in its order.
    actQueueBuild->setEnabled(row == 0);
    actQueueRemove->setEnabled(row >= 0);
    actQueueUp->setEnabled(row > 0);
    actQueueDown->setEnabled(row >= 0 && row + 1 < rows);
}

void TQueuePanel::actQueueBuildExecute()
{
    if (CurrentRow() != 0 || m_Planner.Village().Queue.isEmpty())
        return;
    const QString question = m_Planner.ShortageQuestion(m_Planner.Village().Queue.constFirst().CatalogIndex);
    if (!question.isEmpty() && !UiSeams::Ask(sgQueue, question, UiSeams::TAnswer::No))
        return;
    m_Planner.BuildFirstQueued();
}

void TQueuePanel::actQueueRemoveExecute()
{
    const int row = CurrentRow();
    if (row >= 0)
        m_Model.removeRows(row, 1);
}

void TQueuePanel::MoveCurrent(int by)
{
    const int row = CurrentRow();
    if (row < 0)
        return;
    // moveRows takes the row that the item goes before.
    m_Model.moveRows({}, row, 1, {}, by < 0 ? row - 1 : row + 2);
}

void TQueuePanel::actQueueUpExecute()
{
    MoveCurrent(-1);
}

void TQueuePanel::actQueueDownExecute()
{
    MoveCurrent(1);
}

void TQueuePanel::sgQueueContextMenu(const QPoint &pos)
{
    UpdateActions();
    PopupMenuQueue->popup(sgQueue->viewport()->mapToGlobal(pos));
}

bool TQueuePanel::ChartVisible() const
{
    return !gbChart->isHidden();
}

void TQueuePanel::SetChartVisible(bool visible)
{
    // The chart plug-in is loaded and the chart made the first time it
    // shows; without the plug-in the group says why, the rest works on.
    if (visible && !m_Chart && !lbChartMissing) {
        const TQueueChartSource &source = QueueChartSource();
        if (source.Factory) {
            m_Chart = source.Factory->CreateChart(gbChart);
            gbChart->layout()->addWidget(m_Chart->Widget());
        } else {
            lbChartMissing = new QLabel(source.Error, gbChart);
            lbChartMissing->setObjectName(QStringLiteral("lbChartMissing"));
            lbChartMissing->setWordWrap(true);
            lbChartMissing->setAlignment(Qt::AlignCenter);
            gbChart->layout()->addWidget(lbChartMissing);
        }
    }
    const bool shown = visible && gbChart->isHidden();
    // The stock timeline is worked out only while a chart shows it.
    m_Planner.SetTimelineWanted(visible);
    gbChart->setVisible(visible);
    // A chart that appears takes two fifths of the column it shares with the
    // tables above it, rather than the least room it would be given.
    auto *column = qobject_cast<QSplitter *>(gbChart->parentWidget());
    if (shown && column && column->count() == 3) {
        QList<int> sizes = column->sizes();
        const int total = sizes.at(0) + sizes.at(1) + sizes.at(2);
        sizes = {total * 30 / 100, total * 30 / 100, total - 2 * (total * 30 / 100)};
        column->setSizes(sizes);
    }
    if (visible)
        ShowProjection();
}

void TQueuePanel::ShowProjection()
{
    // A hidden chart is brought up to date when it is shown again.
    if (!m_Chart || gbChart->isHidden())
        return;
    m_Chart->SetSeries(MakeProjectionSeries(m_Model.Projection(), m_Model.ProjectedAt()), m_Model.ScheduledTexts());
}

// The build queue and its chart on a village page: the group "Очередь
// строительства" with the table sgQueue and its context menu ("Строить",
// "Убрать", "Выше", "Ниже"), and the group "График" with the queue chart,
// which is made the first time it is shown and then fed from the model's
// projection without new series. TFormVillage creates one and puts its two
// groups into the page's right column.
#pragma once

#include <QObject>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPoint;
class TQueueChartView;
class TQueueModel;
class TPlanner;
class TQueueView;
class QWidget;

class TQueuePanel : public QObject
{
    Q_OBJECT

public:
    TQueuePanel(TQueueModel &model, TPlanner &planner, QWidget *page);

    QGroupBox *gbQueue = nullptr;
    // "не распознано" while the file's queue holds items that could not be
    // read (kept unchanged).
    QLabel *lbQueueNotUnderstood = nullptr;
    TQueueView *sgQueue = nullptr;
    QGroupBox *gbChart = nullptr;
    QMenu *PopupMenuQueue = nullptr;
    QAction *actQueueBuild = nullptr;
    QAction *actQueueRemove = nullptr;
    QAction *actQueueUp = nullptr;
    QAction *actQueueDown = nullptr;

    bool ChartVisible() const;
    void SetChartVisible(bool visible);
    // Null until the chart has been shown once, and where the chart
    // plug-in is missing (the group says so then).
    TQueueChartView *Chart() const { return m_Chart; }

private slots:
    void actQueueBuildExecute();
    void actQueueRemoveExecute();
    void actQueueUpExecute();
    void actQueueDownExecute();
    void sgQueueContextMenu(const QPoint &pos);
    void ShowProjection();

private:
    void CreateActions(QWidget *page);
    int CurrentRow() const;
    void MoveCurrent(int by);
    void UpdateActions();

    TQueueModel &m_Model;
    TPlanner &m_Planner;
    TQueueChartView *m_Chart = nullptr;
    // The chart group's line where the chart plug-in is missing.
    QLabel *lbChartMissing = nullptr;
};

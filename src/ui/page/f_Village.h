// The village page: shows and edits one village in a tab of the main window.
// It takes the village's document (record, planner, models), binds every
// control to their operations and shows what they announce. The controls
// themselves are made by TVillagePageUi. A page may be made long after its
// village was opened: it shows the village as it stands then. A page made
// without a document keeps one of its own, with its own clock (a village on
// its own), and reports that village's failed automatic saves itself.
#pragma once

#include "ui/page/VillagePageUi.h"
#include "catalog/ResourceKind.h"
#include "record/VillageFile.h"

#include <QWidget>

#include <memory>

class TVillageData;
class TVillageDocument;
class TVillageList;
class TPlanner;
class TdmListObj;
class TAvailableModel;
class TAvailableLook;
class TResourceModel;
class TConsideredModel;
class TQueueModel;
class TQueuePanel;
class TBuiltPanel;
class TDeliveryPanel;
class TColumnFit;
class QUndoStack;


class TFormVillage : public QWidget
{
    Q_OBJECT

public:
    TFormVillage(TVillageDocument &document, QWidget *parent = nullptr);
    // A page whose village's steps go to a stack its owner keeps (the
    // main window's tab, which has it before the page is made).
    TFormVillage(TVillageDocument &document, QUndoStack *undoStack, QWidget *parent = nullptr);
    explicit TFormVillage(const TdmListObj &catalog, QWidget *parent = nullptr);
    ~TFormVillage() override;

    TVillageDocument &Document() const { return *m_Document; }
    TVillageData &Village() const;
    TPlanner &Planner() const;
    // The models behind sgCalc, sgRes and LstBoxItems.
    TAvailableModel &AvailableModel() const;
    TResourceModel &ResourceModel() const;
    TConsideredModel &ConsideredModel() const;
    // The build queue behind sgQueue and the chart.
    TQueueModel &QueueModel() const;

    // Reads the village from its FileName and recalculates, also after a
    // partly applied read; the caller shows a failure. After a whole read
    // of a file that gives its moment of writing, the stocks catch up with
    // the time since (by the Clock seam) and lbInfo says so; otherwise
    // lbInfo is cleared. The progress group shows the construction the
    // file resumed or cleared.
    TFileResult LoadFromFile();
    // Writes the village to path (its FileName when empty), which becomes its
    // FileName only when written; a failure is shown in a message box with
    // the failure's text and marks the village's last write as failed. True
    // when written.
    bool WriteToFile(const QString &path = QString());
    // The import command: the import dialog, the parser, the recalculation;
    // lbInfo shows what the import took.
    void ImportFromOverview();

    // How much wider the available table would have to be to show every
    // column (the name column holds the widest name listed) without
    // scrolling sideways; 0 or less when it is wide enough.
    int MissingNameWidth() const;

    bool CommentsVisible() const;
    void SetCommentsVisible(bool visible);
    bool ProgressVisible() const;
    void SetProgressVisible(bool visible);
    // The chart of the build queue ("График"), made when first shown.
    bool ChartVisible() const;
    void SetChartVisible(bool visible);

    // The village's undo stack: one step per change the player makes.
    QUndoStack *UndoStack() const { return m_UndoStack; }
    // The available table and the queue as the page shows them, as CSV:
    // the two tables one after the other, an empty line between them.
    QString TablesCsv() const;

signals:
    // The caption of the tab that hosts the page: the village name.
    void CaptionChanged(const QString &caption);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    // The text of an overview page dropped on the page is imported.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void edNameChange(const QString &text);
    void cbRaceChange(int position);
    void edMainLevelChange(const QString &text);
    void cbServerSpeedChange(int position);
    void edCoordinatesChange(const QString &text);
    void edTradersChange(const QString &text);
    void mCommentsChange();
    void btnImportClick();
    void actChangeListExecute();
    void actNextLevelExecute();
    void actDelExecute();
    void pmiBuildClick();
    void pmiTime1Click(QAction *item);
    void LstBoxItemsContextMenu(const QPoint &pos);
    void sgCalcContextMenu(const QPoint &pos);
    void actEnqueueExecute();
    void actExchangeExecute();

    // Record and planner → controls.
    void ShowName(const QString &name);
    void ShowRace(int race);
    void ShowMainLevel(const QString &text);
    void ShowServerSpeed(qint32 speed);
    // The text, and a tooltip that says when it does not read as a place.
    void ShowCoordinates(const QString &text);
    // The typed traders, the market's as the placeholder and in the tooltip.
    void ShowTraders();
    void ShowHorizon(qint32 seconds);
    void ShowProgress();
    void ShowComments();
    // The line under the resources; stays until the next Open or import.
    void ShowInfo(const QString &line);
    // The marks of what the village's file held and this version could not
    // understand: the page's line, and "не распознано" beside the queue.
    void ShowNotUnderstood();

private:
    void FormCreate();
    void ShowAutoSaveFailure(const TFileResult &result);
    void BindControls();
    void BindRecord();
    void FitTables();
    void edMainLevelExit();
    // The row of the considered list that is selected; -1 for none.
    int SelectedListRow() const;
    // Keeps the selected entry of the considered list selected while the
    // list is rebuilt.
    void RememberListSelection();
    void RestoreListSelection();

    // The page's own village, when it was made without a document.
    TVillageList *m_OwnVillage = nullptr;
    TVillageDocument *m_Document = nullptr;
    const TdmListObj &m_Catalog;
    TAvailableModel *m_AvailableModel = nullptr;
    TAvailableLook *m_AvailableLook = nullptr;
    TResourceModel *m_ResourceModel = nullptr;
    TConsideredModel *m_ConsideredModel = nullptr;
    TQueueModel *m_QueueModel = nullptr;
    TVillagePageUi m_Ui;
    TQueuePanel *m_QueuePanel = nullptr;
    // The village's buildings, in the right column under the queue.
    TBuiltPanel *m_BuiltPanel = nullptr;
    TDeliveryPanel *m_DeliveryPanel = nullptr;
    TColumnFit *m_CalcFit = nullptr;
    QUndoStack *m_UndoStack = nullptr;
    // Which view's context menu "В очередь" was chosen in: the considered
    // list's or the available table's.
    bool m_EnqueueFromList = false;
    // Set while controls are filled from the record, so that their change
    // handlers do not write the same values back.
    bool m_Showing = false;
    // The selection of the considered list across a rebuild.
    QString m_SelectedText;
    int m_SelectedRow = -1;
    int m_RowsBefore = 0;
    // The current cell of the available table across a new layout.
    int m_CalcCellRow = 0;
    int m_CalcCellColumn = 0;
};

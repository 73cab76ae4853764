// The village page: shows and edits one village in a tab of the main window.
// It holds the village record and its planner, binds every control to their
// operations, draws the tables, runs the one-second timer and supplies the
// automatic save.
#pragma once

#include "catalog/ResourceKind.h"
#include "village/VillageFile.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPersistentModelIndex>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QWidget>

#include <array>
#include <memory>

class TVillageData;
class TPlanner;
class TdmListObj;

class QAction;
class QActionGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QTableWidget;
class QTableWidgetItem;
class QTimer;
class QToolButton;
class QPushButton;

// The font and colour in which a table cell's text is drawn.
struct TCellTextStyle
{
    QFont Font;
    QColor Color;
};

// Draws the cells of the page's tables: the text of the first column 5
// pixels from the cell's left edge, every other text centred, 2 pixels below
// the cell's top edge, clipped to the cell. Editors it opens get the key
// filter that the page hands it.
class TGridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // leftAlignFirstColumn: whether the view's column 0 is the table's first
    // column (false when that column is the view's header).
    explicit TGridCellDelegate(bool leftAlignFirstColumn, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

    void SetEditorKeyFilter(QObject *filter) { m_EditorKeyFilter = filter; }
    // The cell whose editor is open; invalid while none is.
    QModelIndex EditingIndex() const { return m_EditingIndex; }

    // The style of a cell's text in the given view state.
    virtual TCellTextStyle TextStyleFor(const QModelIndex &index, QStyle::State state,
                                        const QStyleOptionViewItem &option) const;

    // The style in which the cell was drawn the last time; an invalid colour
    // when it has not been drawn yet.
    TCellTextStyle PaintedStyle(int row, int column) const;

    // Where the text of a cell starts: x and y of its top-left corner.
    QPoint TextPosition(const QRect &cell, int column, int textWidth) const;

private:
    bool m_LeftAlignFirstColumn;
    QObject *m_EditorKeyFilter = nullptr;
    mutable QPersistentModelIndex m_EditingIndex;
    mutable QHash<quint64, TCellTextStyle> m_Painted;
};

// The delegate of the table of available buildings: a cost (columns 1 to 4)
// that exceeds the stock of its kind, read from the record when the cell is
// drawn, is red and bold unless the cell is selected or has the focus.
class TCalcCellDelegate : public TGridCellDelegate
{
    Q_OBJECT

public:
    TCalcCellDelegate(const TVillageData &village, QObject *parent = nullptr);

    TCellTextStyle TextStyleFor(const QModelIndex &index, QStyle::State state,
                                const QStyleOptionViewItem &option) const override;

private:
    const TVillageData &m_Village;
};

class TFormVillage : public QWidget
{
    Q_OBJECT

public:
    explicit TFormVillage(const TdmListObj &catalog, QWidget *parent = nullptr);
    ~TFormVillage() override;

    TVillageData &Village() const;
    TPlanner &Planner() const;

    // Reads the village from its FileName and recalculates, also after a
    // partly applied read; the caller shows a failure.
    TFileResult LoadFromFile();
    // Writes the village to path (its FileName when empty), which becomes its
    // FileName only when written; a failure is shown in a message box with
    // the failure's text and marks the village's last write as failed. True
    // when written.
    bool WriteToFile(const QString &path = QString());
    // The import command: the import dialog, the parser, the recalculation.
    void ImportFromOverview();

    bool CommentsVisible() const;
    void SetCommentsVisible(bool visible);
    bool ProgressVisible() const;
    void SetProgressVisible(bool visible);

signals:
    // The caption of the tab that hosts the page: the village name.
    void CaptionChanged(const QString &caption);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void edNameChange(const QString &text);
    void cbRaceChange(int position);
    void edMainLevelChange(const QString &text);
    void sgResItemChanged(QTableWidgetItem *item);
    void mCommentsChange();
    void btnImportClick();
    void actChangeListExecute();
    void actNextLevelExecute();
    void actDelExecute();
    void pmiBuildClick();
    void pmiTime1Click(QAction *item);
    void Timer1Timer();
    void LstBoxItemsContextMenu(const QPoint &pos);
    void sgCalcContextMenu(const QPoint &pos);

    // Record and planner → controls.
    void ShowName(const QString &name);
    void ShowRace(int race);
    void ShowMainLevel(const QString &text);
    void ShowResources();
    void ShowAvBuildings();
    void ShowAvailable();
    void ShowHorizon(qint32 seconds);
    void ShowProgress();

private:
    void FormCreate();
    void CreateControls();
    void CreateActions();
    void BindRecord();
    void ShowComments();
    // Sets the width of the left column (the village group and the list of
    // considered buildings).
    void FitLeftColumn();
    // Sets the widths of the available table's columns: each at least its
    // floor, and wide enough for the texts it holds.
    void FitCalcColumns();
    // The least width of each column of the available table in the table's
    // font: its design width, or more where its title or the widest text
    // that the catalog can put into it needs room, so that the table keeps
    // its width while rows come and go.
    const std::array<int, 7> &CalcColumnFloors();
    // The automatic save: writes the village unless a report of a failed
    // write of this page is still open.
    void AutoSave();
    void edMainLevelExit();
    // The key filters of the level field and the resource cells: true when
    // the key is dropped.
    bool edMainLevelKeyPress(QKeyEvent *event);
    bool sgResKeyPress(QKeyEvent *event);

    const TdmListObj &m_Catalog;
    std::unique_ptr<TVillageData> m_Village;
    std::unique_ptr<TPlanner> m_Planner;
    // Set while controls are filled from the record, so that their change
    // handlers do not write the same values back.
    bool m_Showing = false;
    // Set while this page shows a failed write, so that the timer's
    // automatic save does not pile up further reports behind the open one.
    bool m_ReportingWriteFailure = false;
    std::array<int, 7> m_CalcColumnFloors{};
    QFont m_CalcColumnFloorsFont;
    bool m_CalcColumnFloorsValid = false;

    QWidget *pnlTop = nullptr;
    QGroupBox *gbProfil = nullptr;
    QLineEdit *edName = nullptr;
    QComboBox *cbRace = nullptr;
    QLabel *lbMainLevel = nullptr;
    QLineEdit *edMainLevel = nullptr;
    QGroupBox *gbResource = nullptr;
    QTableWidget *sgRes = nullptr;
    QWidget *pnlResBtn = nullptr;
    QToolButton *btnImport = nullptr;
    QGroupBox *gbBuildings = nullptr;
    QListWidget *LstBoxItems = nullptr;
    QWidget *Panel3 = nullptr;
    QPushButton *btnChangeList = nullptr;
    QWidget *Panel2 = nullptr;
    QGroupBox *gbAvBuild = nullptr;
    QTableWidget *sgCalc = nullptr;
    QGroupBox *gbComments = nullptr;
    QPlainTextEdit *mComments = nullptr;
    QGroupBox *gbProgress = nullptr;
    QLabel *lbBuildingName = nullptr;
    QLabel *lbBuildTime = nullptr;
    QProgressBar *ProgressBar1 = nullptr;

    QAction *actChangeList = nullptr;
    QAction *actNextLevel = nullptr;
    QAction *actDel = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QMenu *PopupMenu2 = nullptr;
    QAction *pmiBuild = nullptr;
    QActionGroup *pmiTimeGroup = nullptr;
    QAction *pmiTime1 = nullptr;
    QAction *pmiTime2 = nullptr;
    TGridCellDelegate *m_ResDelegate = nullptr;
    TCalcCellDelegate *m_CalcDelegate = nullptr;
    QTimer *Timer1 = nullptr;
};

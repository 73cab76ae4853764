// The controls of a village page, made and laid out in code as a designer
// form would make them: the village group, the resource table with the
// import button, the considered list with its button, the available table,
// the comments and the construction groups, the page's actions and context
// menus. TFormVillage creates one and binds it; tests find the controls by
// their objectNames.
#pragma once

class QAction;
class QActionGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTableView;
class QToolButton;
class QWidget;

// The least number of rows that the page's tables show.
constexpr int MinimumTableRows = 5;

// Makes a table at least as high as its header and `rows` rows.
void SetMinimumRows(QTableView *table, int rows);

struct TVillagePageUi
{
    // Creates every control as a child of page, in layouts.
    void Setup(QWidget *page);

    QWidget *pnlTop = nullptr;
    QGroupBox *gbProfil = nullptr;
    QLineEdit *edName = nullptr;
    QComboBox *cbRace = nullptr;
    QLabel *lbMainLevel = nullptr;
    QLineEdit *edMainLevel = nullptr;
    // The game server's speed: 1, 2, 3, 5 or 10.
    QComboBox *cbServerSpeed = nullptr;
    // The village's place on the map, "x|y".
    QLineEdit *edCoordinates = nullptr;
    // The traders as typed; empty: the market's, shown as the placeholder.
    QLineEdit *edTraders = nullptr;
    QGroupBox *gbResource = nullptr;
    QTableView *sgRes = nullptr;
    // One line under the resources: what the last Open or import did to
    // the village; hidden while empty.
    QLabel *lbInfo = nullptr;
    // Shown while the village's file holds a part this version could not
    // understand (kept unchanged).
    QLabel *lbNotUnderstood = nullptr;
    // Shown while another program holds the village's file.
    QLabel *lbReadOnly = nullptr;
    QWidget *pnlResBtn = nullptr;
    QToolButton *btnImport = nullptr;
    QGroupBox *gbBuildings = nullptr;
    QListView *LstBoxItems = nullptr;
    QWidget *Panel3 = nullptr;
    QPushButton *btnChangeList = nullptr;
    QWidget *Panel2 = nullptr;
    // The available table's group above the groups that share the right
    // column with it (the build queue, the chart), at heights the user drags.
    QSplitter *splRight = nullptr;
    // splRight in a scroll area, which scrolls only where the window is too
    // low for the least heights of its groups.
    QScrollArea *scrRight = nullptr;
    QGroupBox *gbAvBuild = nullptr;
    QTableView *sgCalc = nullptr;
    QGroupBox *gbComments = nullptr;
    QPlainTextEdit *mComments = nullptr;
    QGroupBox *gbProgress = nullptr;
    QLabel *lbBuildingName = nullptr;
    QLabel *lbBuildTime = nullptr;
    QProgressBar *ProgressBar1 = nullptr;

    QAction *actChangeList = nullptr;
    QAction *actNextLevel = nullptr;
    QAction *actDel = nullptr;
    // "В очередь", in both context menus.
    QAction *actEnqueue = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QMenu *PopupMenu2 = nullptr;
    QAction *pmiBuild = nullptr;
    // "Обменять...": the market's exchange for the chosen row.
    QAction *actExchange = nullptr;
    QActionGroup *pmiTimeGroup = nullptr;
    QAction *pmiTime1 = nullptr;
    QAction *pmiTime2 = nullptr;

private:
    void CreateProfile(QWidget *page);
    void CreateResources(QWidget *page);
    void CreateBuildings(QWidget *page);
    void CreateRightArea(QWidget *page);
    void CreateActions(QWidget *page);
    void SetTabOrder();
};

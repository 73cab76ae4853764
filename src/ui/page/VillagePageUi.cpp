// The village page's controls and layouts. The layouts size everything from
// the font in use; the available table's name column takes the room the
// other columns leave, so that every column shows at the window's minimum
// size.
#include "ui/page/VillagePageUi.h"

#include "record/KeptFileContent.h"

#include "ui/widgets/SortHeader.h"

#include "record/VillageData.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The least width of the left column (the village group and the list).
constexpr int LeftColumnWidth = 209;

// The picture of the import button, made once and shared by every page: the
// theme's paste icon, or else a down arrow drawn here (the style's own arrow
// comes from image files, and reading them probes the image plug-ins, a
// noticeable share of start-up).
const QIcon &ImportIcon(const QWidget *page)
{
    static const QIcon icon = [page] {
        if (QIcon::hasThemeIcon(QStringLiteral("edit-paste")))
            return QIcon::fromTheme(QStringLiteral("edit-paste"));
        const int side = 16;
        QPixmap arrow(side, side);
        arrow.fill(Qt::transparent);
        QPainter painter(&arrow);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(page->palette().color(QPalette::ButtonText));
        painter.drawRect(QRectF(6, 2, 4, 6));
        painter.drawPolygon(QPolygonF({QPointF(2, 7), QPointF(14, 7), QPointF(8, 14)}));
        painter.end();
        return QIcon(arrow);
    }();
    return icon;
}

template <typename T>
T *Named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A table that shows its rows as a grid of text: no word wrap, no corner
// button, one row height from the font, Tab leaving it.
void SetUpGrid(QTableView *table)
{
    table->setWordWrap(false);
    table->setCornerButtonEnabled(false);
    table->setTabKeyNavigation(false);
    // Several rows to copy at once: Shift, Ctrl and Ctrl+A.
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectItems);
    table->horizontalHeader()->setHighlightSections(false);
    table->verticalHeader()->setHighlightSections(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
}

} // namespace

void SetMinimumRows(QTableView *table, int rows)
{
    const QHeaderView *header = table->horizontalHeader();
    const int headerHeight = header->isHidden() ? 0 : header->sizeHint().height();
    const int scrollBar = table->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff
        ? 0 : table->horizontalScrollBar()->sizeHint().height();
    table->setMinimumHeight(headerHeight + rows * table->verticalHeader()->defaultSectionSize()
                            + scrollBar + 2 * table->frameWidth());
}

void TVillagePageUi::Setup(QWidget *page)
{
    CreateProfile(page);
    CreateResources(page);
    CreateBuildings(page);
    CreateRightArea(page);

    pnlTop = Named(new QWidget(page), "pnlTop");
    auto *top = new QHBoxLayout(pnlTop);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(2);
    top->addWidget(gbProfil);
    top->addWidget(gbResource, 1);

    // The village group and the list share one width: the design's, or
    // what the font needs for the level caption and its field.
    const int left = qMax(LeftColumnWidth, gbProfil->sizeHint().width());
    gbProfil->setFixedWidth(left);
    gbBuildings->setFixedWidth(left);

    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(2);
    bottom->addWidget(gbBuildings);
    bottom->addWidget(Panel2, 1);

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(pnlTop);
    layout->addLayout(bottom, 1);

    CreateActions(page);
    SetTabOrder();
}

void TVillagePageUi::CreateProfile(QWidget *page)
{
    gbProfil = Named(new QGroupBox(QStringLiteral("Деревня"), page), "gbProfil");
    auto *lbName = new QLabel(QStringLiteral("&Название"), gbProfil);
    edName = Named(new QLineEdit(gbProfil), "edName");
    lbName->setBuddy(edName);
    auto *lbRace = new QLabel(QStringLiteral("&Раса"), gbProfil);
    cbRace = Named(new QComboBox(gbProfil), "cbRace");
    cbRace->setEditable(false);
    cbRace->addItems(TVillageData::RaceNames());
    lbRace->setBuddy(cbRace);
    lbMainLevel = Named(new QLabel(QStringLiteral("&Уровень главного здания"), gbProfil), "lbMainLevel");
    lbMainLevel->setToolTip(QStringLiteral("Необходим для правильного расчета времени строительства"));
    edMainLevel = Named(new QLineEdit(gbProfil), "edMainLevel");
    edMainLevel->setToolTip(lbMainLevel->toolTip());
    // Room for two digits.
    edMainLevel->setMaximumWidth(edMainLevel->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 16);
    lbMainLevel->setBuddy(edMainLevel);
    auto *lbServerSpeed = new QLabel(QStringLiteral("Скорость сервера"), gbProfil);
    cbServerSpeed = Named(new QComboBox(gbProfil), "cbServerSpeed");
    cbServerSpeed->setToolTip(QStringLiteral("Делит время строительства, умножает прирост производства"));
    for (const qint32 speed : TVillageData::ServerSpeeds)
        cbServerSpeed->addItem(QString::number(speed), speed);
    lbServerSpeed->setBuddy(cbServerSpeed);
    auto *lbCoordinates = new QLabel(QStringLiteral("Ко&ординаты"), gbProfil);
    edCoordinates = Named(new QLineEdit(gbProfil), "edCoordinates");
    edCoordinates->setPlaceholderText(QStringLiteral("x|y"));
    edCoordinates->setToolTip(QStringLiteral("Место деревни на карте, как в игре: -12|34"));
    // What the game writes: signs (its own minus too), digits, one bar, brackets.
    edCoordinates->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\(?\\s*[-\u2212+]?\\d{0,6}\\s*\\|?\\s*[-\u2212+]?\\d{0,6}\\s*\\)?")),
        edCoordinates));
    edCoordinates->setMaximumWidth(edCoordinates->fontMetrics().horizontalAdvance(QStringLiteral("(-0000|-0000)")) + 16);
    lbCoordinates->setBuddy(edCoordinates);
    auto *lbTraders = new QLabel(QStringLiteral("&Торговцы"), gbProfil);
    edTraders = Named(new QLineEdit(gbProfil), "edTraders");
    edTraders->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,4}")), edTraders));
    edTraders->setMaximumWidth(edCoordinates->maximumWidth());
    lbTraders->setBuddy(edTraders);

    auto *profil = new QGridLayout(gbProfil);
    profil->setContentsMargins(6, 4, 6, 6);
    profil->setVerticalSpacing(3);
    profil->addWidget(lbName, 0, 0);
    profil->addWidget(edName, 0, 1);
    profil->addWidget(lbRace, 1, 0);
    profil->addWidget(cbRace, 1, 1);
    // The long level caption takes the row; the field sits at its right.
    auto *levelRow = new QHBoxLayout;
    levelRow->setSpacing(6);
    levelRow->addWidget(lbMainLevel, 1);
    levelRow->addWidget(edMainLevel);
    profil->addLayout(levelRow, 2, 0, 1, 2);
    auto *speedRow = new QHBoxLayout;
    speedRow->setSpacing(6);
    speedRow->addWidget(lbServerSpeed, 1);
    speedRow->addWidget(cbServerSpeed);
    profil->addLayout(speedRow, 3, 0, 1, 2);
    auto *placeRow = new QHBoxLayout;
    placeRow->setSpacing(6);
    placeRow->addWidget(lbCoordinates, 1);
    placeRow->addWidget(edCoordinates);
    profil->addLayout(placeRow, 4, 0, 1, 2);
    auto *tradersRow = new QHBoxLayout;
    tradersRow->setSpacing(6);
    tradersRow->addWidget(lbTraders, 1);
    tradersRow->addWidget(edTraders);
    profil->addLayout(tradersRow, 5, 0, 1, 2);
    profil->setColumnStretch(1, 1);
}

void TVillagePageUi::CreateResources(QWidget *page)
{
    gbResource = Named(new QGroupBox(QStringLiteral("Ресурсы"), page), "gbResource");
    sgRes = Named(new QTableView(gbResource), "sgRes");
    SetUpGrid(sgRes);
    sgRes->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
                           | QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    sgRes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgRes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgRes->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    sgRes->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    sgRes->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The tables and lists are named after their groups for screen readers.
    sgRes->setAccessibleName(gbResource->title());

    pnlResBtn = Named(new QWidget(gbResource), "pnlResBtn");
    btnImport = Named(new QToolButton(pnlResBtn), "btnImport");
    btnImport->setToolButtonStyle(Qt::ToolButtonIconOnly);
    btnImport->setIcon(ImportIcon(page));
    btnImport->setToolTip(QStringLiteral("Импортировать данные"));
    btnImport->setFocusPolicy(Qt::StrongFocus);
    auto *resButtons = new QVBoxLayout(pnlResBtn);
    resButtons->setContentsMargins(4, 0, 0, 0);
    resButtons->addWidget(btnImport);
    resButtons->addStretch(1);

    lbInfo = Named(new QLabel(gbResource), "lbInfo");
    lbInfo->setWordWrap(true);
    lbInfo->hide();
    lbNotUnderstood = Named(new QLabel(NotUnderstoodLine(), gbResource), "lbNotUnderstood");
    lbNotUnderstood->setWordWrap(true);
    lbNotUnderstood->hide();
    lbReadOnly = Named(new QLabel(gbResource), "lbReadOnly");
    lbReadOnly->setWordWrap(true);
    lbReadOnly->hide();

    auto *table = new QVBoxLayout;
    table->setContentsMargins(0, 0, 0, 0);
    table->setSpacing(4);
    table->addWidget(sgRes);
    table->addWidget(lbInfo);
    table->addWidget(lbNotUnderstood);
    table->addWidget(lbReadOnly);
    table->addStretch(1);
    auto *resource = new QHBoxLayout(gbResource);
    resource->setContentsMargins(6, 4, 6, 6);
    resource->setSpacing(0);
    resource->addLayout(table, 1);
    resource->addWidget(pnlResBtn);
}

void TVillagePageUi::CreateBuildings(QWidget *page)
{
    gbBuildings = Named(new QGroupBox(QStringLiteral("Учитываемые строения"), page), "gbBuildings");
    LstBoxItems = Named(new QListView(gbBuildings), "LstBoxItems");
    LstBoxItems->setSelectionMode(QAbstractItemView::SingleSelection);
    LstBoxItems->setContextMenuPolicy(Qt::CustomContextMenu);
    LstBoxItems->setUniformItemSizes(true);
    LstBoxItems->setAccessibleName(gbBuildings->title());
    Panel3 = Named(new QWidget(gbBuildings), "Panel3");
    btnChangeList = Named(new QPushButton(Panel3), "btnChangeList");
    auto *changeList = new QHBoxLayout(Panel3);
    changeList->setContentsMargins(0, 0, 0, 0);
    changeList->addWidget(btnChangeList);
    auto *buildings = new QVBoxLayout(gbBuildings);
    buildings->setContentsMargins(6, 4, 6, 6);
    buildings->setSpacing(3);
    buildings->addWidget(LstBoxItems, 1);
    buildings->addWidget(Panel3);
}

void TVillagePageUi::CreateRightArea(QWidget *page)
{
    Panel2 = Named(new QWidget(page), "Panel2");

    gbAvBuild = Named(new QGroupBox(Panel2), "gbAvBuild");
    sgCalc = Named(new QTableView(gbAvBuild), "sgCalc");
    sgCalc->setHorizontalHeader(new TSortHeader(sgCalc));
    SetUpGrid(sgCalc);
    sgCalc->verticalHeader()->hide();
    sgCalc->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgCalc->setContextMenuPolicy(Qt::CustomContextMenu);
    // Too narrow for every name and time, it scrolls sideways (ColumnFit.h).
    sgCalc->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Clicking a title sorts; until then the rows keep the list's order.
    sgCalc->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    sgCalc->horizontalHeader()->setSortIndicatorClearable(true);
    sgCalc->setSortingEnabled(true);
    sgCalc->setAccessibleName(QStringLiteral("Доступны для строительства"));
    auto *avBuild = new QVBoxLayout(gbAvBuild);
    avBuild->setContentsMargins(6, 4, 6, 6);
    avBuild->addWidget(sgCalc);

    gbComments = Named(new QGroupBox(QStringLiteral("Комментарий"), Panel2), "gbComments");
    mComments = Named(new QPlainTextEdit(gbComments), "mComments");
    mComments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mComments->setTabChangesFocus(true);
    mComments->setAccessibleName(gbComments->title());
    // Three lines of text.
    mComments->setFixedHeight(3 * mComments->fontMetrics().lineSpacing() + 2 * mComments->frameWidth()
                              + int(2 * mComments->document()->documentMargin()));
    auto *comments = new QVBoxLayout(gbComments);
    comments->setContentsMargins(6, 4, 6, 6);
    comments->addWidget(mComments);

    gbProgress = Named(new QGroupBox(QStringLiteral("Строительство"), Panel2), "gbProgress");
    lbBuildingName = Named(new QLabel(gbProgress), "lbBuildingName");
    lbBuildTime = Named(new QLabel(gbProgress), "lbBuildTime");
    lbBuildTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ProgressBar1 = Named(new QProgressBar(gbProgress), "ProgressBar1");
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setAccessibleName(gbProgress->title());
    auto *progress = new QGridLayout(gbProgress);
    progress->setContentsMargins(6, 2, 6, 4);
    progress->setVerticalSpacing(2);
    progress->addWidget(lbBuildingName, 0, 0, Qt::AlignLeft);
    progress->addWidget(lbBuildTime, 0, 1, Qt::AlignRight);
    progress->addWidget(ProgressBar1, 1, 0, 1, 2);
    progress->setColumnStretch(0, 1);

    splRight = Named(new QSplitter(Qt::Vertical, Panel2), "splRight");
    splRight->setChildrenCollapsible(false);
    splRight->addWidget(gbAvBuild);
    splRight->setStretchFactor(0, 3);
    // Where the screen is too low for the tables' least rows and the chart,
    // the column scrolls rather than squeezing them.
    scrRight = Named(new QScrollArea(Panel2), "scrRight");
    scrRight->setFrameShape(QFrame::NoFrame);
    scrRight->setFocusPolicy(Qt::NoFocus);
    scrRight->setWidgetResizable(true);
    scrRight->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrRight->setWidget(splRight);

    auto *right = new QVBoxLayout(Panel2);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(2);
    right->addWidget(scrRight, 1);
    right->addWidget(gbComments);
    right->addWidget(gbProgress);
}

void TVillagePageUi::CreateActions(QWidget *page)
{
    // Insert anywhere on the page; Ctrl+L and Del in the list; F9 in the table.
    actChangeList = Named(new QAction(QStringLiteral("Добавить/Изменить"), page), "actChangeList");
    actChangeList->setShortcut(QKeySequence(Qt::Key_Insert));
    actChangeList->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    page->addAction(actChangeList);
    btnChangeList->setText(actChangeList->text());

    actNextLevel = Named(new QAction(QStringLiteral("Следующий уровень"), page), "actNextLevel");
    actNextLevel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    actNextLevel->setShortcutContext(Qt::WidgetShortcut);
    LstBoxItems->addAction(actNextLevel);

    actDel = Named(new QAction(QStringLiteral("Исключить"), page), "actDel");
    actDel->setShortcut(QKeySequence(Qt::Key_Delete));
    actDel->setShortcutContext(Qt::WidgetShortcut);
    LstBoxItems->addAction(actDel);

    PopupMenu1 = Named(new QMenu(page), "PopupMenu1");
    PopupMenu1->addAction(actChangeList);
    PopupMenu1->addAction(actNextLevel);
    PopupMenu1->addAction(actDel);
    actEnqueue = Named(new QAction(QStringLiteral("В очередь"), page), "actEnqueue");
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(actEnqueue);
    PopupMenu1->setDefaultAction(actChangeList);
    QFont bold = actChangeList->font();
    bold.setBold(true);
    actChangeList->setFont(bold);

    pmiBuild = Named(new QAction(QStringLiteral("Построить"), page), "pmiBuild");
    pmiBuild->setShortcut(QKeySequence(Qt::Key_F9));
    pmiBuild->setShortcutContext(Qt::WidgetShortcut);
    sgCalc->addAction(pmiBuild);

    pmiTimeGroup = new QActionGroup(page);
    pmiTimeGroup->setExclusive(true);
    pmiTime1 = Named(new QAction(QStringLiteral("Расчет на 1 час"), pmiTimeGroup), "pmiTime1");
    pmiTime1->setCheckable(true);
    pmiTime1->setData(3600);
    pmiTime1->setChecked(true);
    pmiTime2 = Named(new QAction(QStringLiteral("Расчет на 2 часа"), pmiTimeGroup), "pmiTime2");
    pmiTime2->setCheckable(true);
    pmiTime2->setData(7200);

    PopupMenu2 = Named(new QMenu(page), "PopupMenu2");
    PopupMenu2->addAction(pmiBuild);
    PopupMenu2->addAction(actEnqueue);
    actExchange = Named(new QAction(QStringLiteral("Обменять..."), page), "actExchange");
    PopupMenu2->addAction(actExchange);
    PopupMenu2->addSeparator();
    PopupMenu2->addAction(pmiTime1);
    PopupMenu2->addAction(pmiTime2);
}

void TVillagePageUi::SetTabOrder()
{
    // Reading order: the village group, the resources and their button, the
    // considered list and its button, the available table, the comments.
    QWidget *order[] = {edName, cbRace, edMainLevel, cbServerSpeed, edCoordinates, edTraders, sgRes, btnImport, LstBoxItems, btnChangeList, sgCalc, mComments};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

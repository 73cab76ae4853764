#include "f_Village.h"

#include "UiSeams.h"

#include "f_ImportRes.h"
#include "f_SelectItems.h"

#include "catalog/MessageSeam.h"
#include "catalog/WholeNumber.h"
#include "catalog/dm_ListObjects.h"
#include "village/KeyFilters.h"
#include "village/OverviewImport.h"
#include "village/Planner.h"
#include "village/TextCompare.h"
#include "village/VillageData.h"
#include "village/VillageFile.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QTableWidget>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>
#include <limits>
#include <utility>

namespace {

// The picture of the import button, made once and shared by every page (the
// style's fallback icon loads several pixmaps, which every page would
// otherwise hold a copy of).
const QIcon &ImportIcon(const QStyle *style)
{
    static const QIcon icon =
        QIcon::fromTheme(QStringLiteral("edit-paste"), style->standardIcon(QStyle::SP_ArrowDown));
    return icon;
}

// The widest text, in pixels of font, that each column of the available
// table can show: any display text of the catalog, any of its costs in bold
// (as shortages are drawn), a time to afford within the longer horizon with
// any end clock, the longest build time at the largest percentage. Measured
// once per catalog and font and shared by every page: the catalog never
// changes, and measuring it all is a good part of a page's creation.
std::array<int, 7> WidestCatalogTexts(const TdmListObj &catalog, const QFont &font)
{
    static QHash<QString, std::array<int, 7>> measured;
    const QString key =
        font.key() + QStringLiteral("|%1|%2").arg(quintptr(&catalog)).arg(catalog.Count());
    const auto known = measured.constFind(key);
    if (known != measured.constEnd())
        return *known;

    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics normalMetrics(font);
    const QFontMetrics boldMetrics(bold);
    std::array<int, 7> widest{};
    // Digits have one width in the usual fonts, so of the costs only the
    // longest texts of each column are measured.
    std::array<QStringList, 4> longestCosts;
    qint64 longestTime = 0;
    // A display text is a name and a level part; the widest is measured as
    // the widest name plus the widest level part (a pixel more for the
    // kerning where they meet), which measures a few dozen texts, not every
    // entry.
    QSet<QString> names;
    QSet<qint8> levels;
    for (const TLivaronObject &object : catalog.Objects()) {
        names.insert(object.Name);
        levels.insert(object.Level);
        for (const TResourceKind kind : AllResourceKinds) {
            QStringList &texts = longestCosts[KindIndex(kind)];
            const QString cost = QString::number(object.Cost(kind));
            if (texts.isEmpty() || cost.size() > texts.constFirst().size())
                texts = QStringList{cost};
            else if (cost.size() == texts.constFirst().size() && !texts.contains(cost))
                texts.append(cost);
        }
        longestTime = qMax(longestTime, qint64(object.Time));
    }
    int widestName = 0;
    for (const QString &name : std::as_const(names))
        widestName = qMax(widestName, normalMetrics.horizontalAdvance(name));
    int widestLevel = 0;
    for (const qint8 level : std::as_const(levels))
        widestLevel =
            qMax(widestLevel, normalMetrics.horizontalAdvance(MakeDisplayText(QString(), level)));
    if (!names.isEmpty())
        widest[0] = widestName + widestLevel + 1;
    for (const TResourceKind kind : AllResourceKinds) {
        for (const QString &cost : longestCosts[KindIndex(kind)])
            widest[KindIndex(kind) + 1] =
                qMax(widest[KindIndex(kind) + 1], boldMetrics.horizontalAdvance(cost));
    }
    qint64 largestPercent = 0;
    for (qint32 level = 1; level <= 20; ++level)
        largestPercent = qMax(largestPercent, qint64(catalog.MainBuildingPercent(level)));
    const qint64 longestBuild = qBound(qint64(0), longestTime * largestPercent / 100,
                                      qint64(std::numeric_limits<qint32>::max()));
    // End clocks of one and two digits of hours, before and after noon.
    for (int hour : {7, 8, 9, 10, 11, 19, 20, 21, 22, 23})
        widest[5] = qMax(widest[5], normalMetrics.horizontalAdvance(
                                        TdmListObj::SecondsToText(7200, true, QTime(hour, 58))));
    widest[6] =
        normalMetrics.horizontalAdvance(TdmListObj::SecondsToText(qint32(longestBuild), false));
    return *measured.insert(key, widest);
}


// The design widths of the columns of the available table; a column grows
// when the font needs more room for its texts.
constexpr std::array<int, 7> CalcColumnWidths{135, 56, 56, 56, 56, 100, 56};
constexpr int ResColumnWidth = 56;
constexpr int ResTitleWidth = 135;
constexpr int ResRowHeight = 18;
constexpr int CalcRowHeight = 17;
// Room left around a text that decides a column's width.
constexpr int ColumnPadding = 12;

const QString MessageNoRace = QStringLiteral("Не выбрана раса!");

quint64 CellKey(int row, int column)
{
    return (quint64(quint32(row)) << 32) | quint32(column);
}

// Whether a key event types a character that a field's key filter judges;
// keys without a character (arrows, Delete, Tab, Esc, shortcuts with Ctrl)
// pass unfiltered.
bool TypesCharacter(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar ch = text.at(0);
    return ch == QLatin1Char('\b') || ch == QLatin1Char('\r') || ch == QLatin1Char('\n')
        || ch.category() != QChar::Other_Control;
}

// Backspace, Enter and Return as the characters the key filters know,
// whatever text the platform attaches to them.
QChar TypedCharacter(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
        return QLatin1Char('\b');
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QLatin1Char('\r');
    default:
        return event->text().at(0);
    }
}

} // namespace

// --- TGridCellDelegate ---------------------------------------------------

TGridCellDelegate::TGridCellDelegate(bool leftAlignFirstColumn, QObject *parent)
    : QStyledItemDelegate(parent), m_LeftAlignFirstColumn(leftAlignFirstColumn)
{
}

QPoint TGridCellDelegate::TextPosition(const QRect &cell, int column, int textWidth) const
{
    if (column == 0 && m_LeftAlignFirstColumn)
        return {cell.left() + 5, cell.top() + 2};
    // Halved toward zero: a text wider than the cell starts left of it.
    return {cell.left() + (cell.width() - textWidth) / 2, cell.top() + 2};
}

TCellTextStyle TGridCellDelegate::TextStyleFor(const QModelIndex &index, QStyle::State state,
                                               const QStyleOptionViewItem &option) const
{
    Q_UNUSED(index);
    const QPalette::ColorGroup group = !(state & QStyle::State_Enabled) ? QPalette::Disabled
        : (state & QStyle::State_Active)                                  ? QPalette::Active
                                                                          : QPalette::Inactive;
    TCellTextStyle style;
    style.Font = option.font;
    style.Color = option.palette.color(
        group, (state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text);
    return style;
}

TCellTextStyle TGridCellDelegate::PaintedStyle(int row, int column) const
{
    return m_Painted.value(CellKey(row, column));
}

void TGridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    const QString text = background.text;
    const TCellTextStyle style = TextStyleFor(index, option.state, background);
    m_Painted.insert(CellKey(index.row(), index.column()), style);

    // The cell's background, selection and focus frame as the style draws
    // them, without the text.
    background.text.clear();
    const QWidget *widget = option.widget;
    QStyle *widgetStyle = widget ? widget->style() : QApplication::style();
    widgetStyle->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    painter->save();
    painter->setClipRect(option.rect);
    painter->setFont(style.Font);
    painter->setPen(style.Color);
    const QFontMetrics metrics(style.Font);
    const QPoint topLeft =
        TextPosition(option.rect, index.column(), metrics.horizontalAdvance(text));
    painter->drawText(QPoint(topLeft.x(), topLeft.y() + metrics.ascent()), text);
    painter->restore();
}

QWidget *TGridCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor && m_EditorKeyFilter)
        editor->installEventFilter(m_EditorKeyFilter);
    m_EditingIndex = index;
    return editor;
}

void TGridCellDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (m_EditingIndex == index)
        m_EditingIndex = QPersistentModelIndex();
    QStyledItemDelegate::destroyEditor(editor, index);
}

// --- TCalcCellDelegate ---------------------------------------------------

TCalcCellDelegate::TCalcCellDelegate(const TVillageData &village, QObject *parent)
    : TGridCellDelegate(true, parent), m_Village(village)
{
}

TCellTextStyle TCalcCellDelegate::TextStyleFor(const QModelIndex &index, QStyle::State state,
                                               const QStyleOptionViewItem &option) const
{
    TCellTextStyle style = TGridCellDelegate::TextStyleFor(index, state, option);
    const int column = index.column();
    if (column < 1 || column > 4 || (state & (QStyle::State_Selected | QStyle::State_HasFocus)))
        return style;
    const TResourceKind kind = AllResourceKinds[std::size_t(column - 1)];
    const qint32 cost = WholeNumberOr(index.data(Qt::DisplayRole).toString(), 0);
    const qint32 stock = m_Village.ResourceCollectValue(kind);
    if (cost > stock) {
        style.Font.setBold(true);
        style.Color = QColor(255, 0, 0);
    } else {
        style.Font.setBold(false);
    }
    return style;
}

// --- TFormVillage --------------------------------------------------------

TFormVillage::TFormVillage(const TdmListObj &catalog, QWidget *parent)
    : QWidget(parent),
      m_Catalog(catalog),
      m_Village(std::make_unique<TVillageData>()),
      m_Planner(std::make_unique<TPlanner>(*m_Village, catalog))
{
    setObjectName(QStringLiteral("FormVillage"));
    resize(701, 556);
    CreateControls();
    CreateActions();
    BindRecord();
    FormCreate();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFormVillage::Timer1Timer);
    Timer1->start();
}

TFormVillage::~TFormVillage()
{
    // Nothing that the controls report while they are taken down may reach
    // the record, which goes first.
    Timer1->stop();
    m_Village->disconnect(this);
    m_Planner->disconnect(this);
    const auto children = findChildren<QObject *>();
    for (QObject *child : children)
        QObject::disconnect(child, nullptr, this, nullptr);
}

TVillageData &TFormVillage::Village() const
{
    return *m_Village;
}

TPlanner &TFormVillage::Planner() const
{
    return *m_Planner;
}

void TFormVillage::CreateControls()
{
    // Top band: the village group and the resource group.
    pnlTop = new QWidget(this);
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    pnlTop->setFixedHeight(117);

    gbProfil = new QGroupBox(QStringLiteral("Деревня"), pnlTop);
    gbProfil->setObjectName(QStringLiteral("gbProfil"));
    gbProfil->setFixedWidth(209);
    auto *lbName = new QLabel(QStringLiteral("Название"), gbProfil);
    edName = new QLineEdit(gbProfil);
    edName->setObjectName(QStringLiteral("edName"));
    lbName->setBuddy(edName);
    auto *lbRace = new QLabel(QStringLiteral("Раса"), gbProfil);
    cbRace = new QComboBox(gbProfil);
    cbRace->setObjectName(QStringLiteral("cbRace"));
    cbRace->setEditable(false);
    cbRace->addItems(TVillageData::RaceNames());
    lbRace->setBuddy(cbRace);
    lbMainLevel = new QLabel(QStringLiteral("Уровень главного здания"), gbProfil);
    lbMainLevel->setObjectName(QStringLiteral("lbMainLevel"));
    lbMainLevel->setToolTip(
        QStringLiteral("Необходим для правильного расчета времени строительства"));
    edMainLevel = new QLineEdit(gbProfil);
    edMainLevel->setObjectName(QStringLiteral("edMainLevel"));
    edMainLevel->setFixedWidth(41);
    edMainLevel->setToolTip(lbMainLevel->toolTip());
    lbMainLevel->setBuddy(edMainLevel);

    auto *profil = new QGridLayout(gbProfil);
    profil->setContentsMargins(6, 4, 6, 6);
    profil->setVerticalSpacing(3);
    profil->addWidget(lbName, 0, 0);
    profil->addWidget(edName, 0, 1);
    profil->addWidget(lbRace, 1, 0);
    profil->addWidget(cbRace, 1, 1);
    // The long level caption takes the row; the field sits at its right.
    auto *levelRow = new QHBoxLayout;
    levelRow->setContentsMargins(0, 0, 0, 0);
    levelRow->setSpacing(6);
    levelRow->addWidget(lbMainLevel, 1);
    levelRow->addWidget(edMainLevel);
    profil->addLayout(levelRow, 2, 0, 1, 2);
    profil->setColumnStretch(1, 1);

    gbResource = new QGroupBox(QStringLiteral("Ресурсы"), pnlTop);
    gbResource->setObjectName(QStringLiteral("gbResource"));
    sgRes = new QTableWidget(2, 4, gbResource);
    sgRes->setObjectName(QStringLiteral("sgRes"));
    sgRes->setHorizontalHeaderLabels(TPlanner::ColumnTitles.mid(1, 4));
    sgRes->setVerticalHeaderLabels(
        {QStringLiteral("Накоплено"), QStringLiteral("Поступление, в час")});
    sgRes->setCornerButtonEnabled(false);
    sgRes->setSelectionMode(QAbstractItemView::SingleSelection);
    sgRes->setSelectionBehavior(QAbstractItemView::SelectItems);
    sgRes->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
                           | QAbstractItemView::EditKeyPressed
                           | QAbstractItemView::SelectedClicked);
    sgRes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgRes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgRes->setWordWrap(false);
    sgRes->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgRes->horizontalHeader()->setDefaultSectionSize(ResColumnWidth);
    sgRes->horizontalHeader()->setMinimumSectionSize(1);
    sgRes->horizontalHeader()->setFixedHeight(ResRowHeight);
    sgRes->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    sgRes->horizontalHeader()->setHighlightSections(false);
    sgRes->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgRes->verticalHeader()->setMinimumSectionSize(1);
    sgRes->verticalHeader()->setDefaultSectionSize(ResRowHeight);
    sgRes->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    sgRes->verticalHeader()->setFixedWidth(ResTitleWidth);
    sgRes->verticalHeader()->setHighlightSections(false);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column)
            sgRes->setItem(row, column, new QTableWidgetItem);
    // The table is as large as its cells.
    const int frame = 2 * sgRes->frameWidth();
    sgRes->setFixedSize(ResTitleWidth + 4 * ResColumnWidth + frame, 3 * ResRowHeight + frame);
    m_ResDelegate = new TGridCellDelegate(false, sgRes);
    m_ResDelegate->SetEditorKeyFilter(this);
    sgRes->setItemDelegate(m_ResDelegate);
    sgRes->installEventFilter(this);

    pnlResBtn = new QWidget(gbResource);
    pnlResBtn->setObjectName(QStringLiteral("pnlResBtn"));
    pnlResBtn->setFixedWidth(31);
    btnImport = new QToolButton(pnlResBtn);
    btnImport->setObjectName(QStringLiteral("btnImport"));
    btnImport->setFixedSize(27, 25);
    btnImport->setToolButtonStyle(Qt::ToolButtonIconOnly);
    btnImport->setIcon(ImportIcon(style()));
    btnImport->setToolTip(QStringLiteral("Импортировать данные"));
    auto *resButtons = new QVBoxLayout(pnlResBtn);
    resButtons->setContentsMargins(4, 0, 0, 0);
    resButtons->addWidget(btnImport);
    resButtons->addStretch(1);

    auto *resource = new QHBoxLayout(gbResource);
    resource->setContentsMargins(6, 4, 6, 6);
    resource->setSpacing(0);
    resource->addWidget(sgRes, 0, Qt::AlignLeft | Qt::AlignTop);
    resource->addStretch(1);
    resource->addWidget(pnlResBtn);

    auto *top = new QHBoxLayout(pnlTop);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(2);
    top->addWidget(gbProfil);
    top->addWidget(gbResource, 1);

    // Left column: the considered buildings.
    gbBuildings = new QGroupBox(QStringLiteral("Учитываемые строения"), this);
    gbBuildings->setObjectName(QStringLiteral("gbBuildings"));
    gbBuildings->installEventFilter(this);
    LstBoxItems = new QListWidget(gbBuildings);
    LstBoxItems->setObjectName(QStringLiteral("LstBoxItems"));
    LstBoxItems->setSelectionMode(QAbstractItemView::SingleSelection);
    LstBoxItems->setContextMenuPolicy(Qt::CustomContextMenu);
    LstBoxItems->viewport()->installEventFilter(this);
    Panel3 = new QWidget(gbBuildings);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedHeight(25);
    btnChangeList = new QPushButton(Panel3);
    btnChangeList->setObjectName(QStringLiteral("btnChangeList"));
    auto *changeList = new QHBoxLayout(Panel3);
    changeList->setContentsMargins(0, 0, 0, 0);
    changeList->addWidget(btnChangeList);
    auto *buildings = new QVBoxLayout(gbBuildings);
    buildings->setContentsMargins(6, 4, 6, 6);
    buildings->setSpacing(3);
    buildings->addWidget(LstBoxItems, 1);
    buildings->addWidget(Panel3);

    FitLeftColumn();

    // Right area: available buildings, comments, construction.
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));

    gbAvBuild = new QGroupBox(Panel2);
    gbAvBuild->setObjectName(QStringLiteral("gbAvBuild"));
    sgCalc = new QTableWidget(1, 7, gbAvBuild);
    sgCalc->setObjectName(QStringLiteral("sgCalc"));
    sgCalc->setHorizontalHeaderLabels(TPlanner::ColumnTitles);
    sgCalc->verticalHeader()->hide();
    sgCalc->setCornerButtonEnabled(false);
    sgCalc->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgCalc->setSelectionMode(QAbstractItemView::SingleSelection);
    sgCalc->setSelectionBehavior(QAbstractItemView::SelectItems);
    sgCalc->setWordWrap(false);
    sgCalc->setContextMenuPolicy(Qt::CustomContextMenu);
    sgCalc->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgCalc->horizontalHeader()->setMinimumSectionSize(1);
    sgCalc->horizontalHeader()->setFixedHeight(CalcRowHeight);
    sgCalc->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    sgCalc->horizontalHeader()->setHighlightSections(false);
    sgCalc->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgCalc->verticalHeader()->setMinimumSectionSize(1);
    sgCalc->verticalHeader()->setDefaultSectionSize(CalcRowHeight);
    for (int column = 0; column < int(CalcColumnWidths.size()); ++column)
        sgCalc->setColumnWidth(column, CalcColumnWidths[std::size_t(column)]);
    m_CalcDelegate = new TCalcCellDelegate(*m_Village, sgCalc);
    sgCalc->setItemDelegate(m_CalcDelegate);
    auto *avBuild = new QVBoxLayout(gbAvBuild);
    avBuild->setContentsMargins(6, 4, 6, 6);
    avBuild->addWidget(sgCalc);

    gbComments = new QGroupBox(QStringLiteral("Комментарий"), Panel2);
    gbComments->setObjectName(QStringLiteral("gbComments"));
    gbComments->setFixedHeight(81);
    mComments = new QPlainTextEdit(gbComments);
    mComments->setObjectName(QStringLiteral("mComments"));
    mComments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *comments = new QVBoxLayout(gbComments);
    comments->setContentsMargins(6, 4, 6, 6);
    comments->addWidget(mComments);

    gbProgress = new QGroupBox(QStringLiteral("Строительство"), Panel2);
    gbProgress->setObjectName(QStringLiteral("gbProgress"));
    gbProgress->setFixedHeight(57);
    lbBuildingName = new QLabel(gbProgress);
    lbBuildingName->setObjectName(QStringLiteral("lbBuildingName"));
    lbBuildTime = new QLabel(gbProgress);
    lbBuildTime->setObjectName(QStringLiteral("lbBuildTime"));
    lbBuildTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ProgressBar1 = new QProgressBar(gbProgress);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(14);
    auto *progress = new QGridLayout(gbProgress);
    progress->setContentsMargins(6, 2, 6, 4);
    progress->setVerticalSpacing(2);
    progress->addWidget(lbBuildingName, 0, 0, Qt::AlignLeft);
    progress->addWidget(lbBuildTime, 0, 1, Qt::AlignRight);
    progress->addWidget(ProgressBar1, 1, 0, 1, 2);
    progress->setColumnStretch(0, 1);

    auto *right = new QVBoxLayout(Panel2);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(2);
    right->addWidget(gbAvBuild, 1);
    right->addWidget(gbComments);
    right->addWidget(gbProgress);

    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(2);
    bottom->addWidget(gbBuildings);
    bottom->addWidget(Panel2, 1);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(2, 2, 2, 2);
    page->setSpacing(2);
    page->addWidget(pnlTop);
    page->addLayout(bottom, 1);

    edMainLevel->installEventFilter(this);

    connect(edName, &QLineEdit::textChanged, this, &TFormVillage::edNameChange);
    connect(cbRace, &QComboBox::currentIndexChanged, this, &TFormVillage::cbRaceChange);
    connect(edMainLevel, &QLineEdit::textChanged, this, &TFormVillage::edMainLevelChange);
    connect(sgRes, &QTableWidget::itemChanged, this, &TFormVillage::sgResItemChanged);
    connect(mComments, &QPlainTextEdit::textChanged, this, &TFormVillage::mCommentsChange);
    connect(btnImport, &QToolButton::clicked, this, &TFormVillage::btnImportClick);
    connect(LstBoxItems, &QWidget::customContextMenuRequested, this,
            &TFormVillage::LstBoxItemsContextMenu);
    connect(sgCalc, &QWidget::customContextMenuRequested, this,
            &TFormVillage::sgCalcContextMenu);
}

void TFormVillage::CreateActions()
{
    // Insert anywhere on the page; Ctrl+L and Del in the list; F9 in the table.
    actChangeList = new QAction(QStringLiteral("Добавить/Изменить"), this);
    actChangeList->setObjectName(QStringLiteral("actChangeList"));
    actChangeList->setShortcut(QKeySequence(Qt::Key_Insert));
    actChangeList->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(actChangeList);
    btnChangeList->setText(actChangeList->text());

    actNextLevel = new QAction(QStringLiteral("Следующий уровень"), this);
    actNextLevel->setObjectName(QStringLiteral("actNextLevel"));
    actNextLevel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    actNextLevel->setShortcutContext(Qt::WidgetShortcut);
    LstBoxItems->addAction(actNextLevel);

    actDel = new QAction(QStringLiteral("Исключить"), this);
    actDel->setObjectName(QStringLiteral("actDel"));
    actDel->setShortcut(QKeySequence(Qt::Key_Delete));
    actDel->setShortcutContext(Qt::WidgetShortcut);
    LstBoxItems->addAction(actDel);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(actChangeList);
    PopupMenu1->addAction(actNextLevel);
    PopupMenu1->addAction(actDel);
    PopupMenu1->setDefaultAction(actChangeList);
    QFont bold = actChangeList->font();
    bold.setBold(true);
    actChangeList->setFont(bold);

    pmiBuild = new QAction(QStringLiteral("Построить"), this);
    pmiBuild->setObjectName(QStringLiteral("pmiBuild"));
    pmiBuild->setShortcut(QKeySequence(Qt::Key_F9));
    pmiBuild->setShortcutContext(Qt::WidgetShortcut);
    sgCalc->addAction(pmiBuild);

    pmiTimeGroup = new QActionGroup(this);
    pmiTimeGroup->setExclusive(true);
    pmiTime1 = new QAction(QStringLiteral("Расчет на 1 час"), pmiTimeGroup);
    pmiTime1->setObjectName(QStringLiteral("pmiTime1"));
    pmiTime1->setCheckable(true);
    pmiTime1->setData(3600);
    pmiTime1->setChecked(true);
    pmiTime2 = new QAction(QStringLiteral("Расчет на 2 часа"), pmiTimeGroup);
    pmiTime2->setObjectName(QStringLiteral("pmiTime2"));
    pmiTime2->setCheckable(true);
    pmiTime2->setData(7200);

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    PopupMenu2->addAction(pmiBuild);
    PopupMenu2->addSeparator();
    PopupMenu2->addAction(pmiTime1);
    PopupMenu2->addAction(pmiTime2);

    connect(actChangeList, &QAction::triggered, this, &TFormVillage::actChangeListExecute);
    connect(btnChangeList, &QPushButton::clicked, actChangeList, &QAction::trigger);
    connect(actNextLevel, &QAction::triggered, this, &TFormVillage::actNextLevelExecute);
    connect(actDel, &QAction::triggered, this, &TFormVillage::actDelExecute);
    connect(pmiBuild, &QAction::triggered, this, &TFormVillage::pmiBuildClick);
    connect(pmiTimeGroup, &QActionGroup::triggered, this, &TFormVillage::pmiTime1Click);
}

void TFormVillage::BindRecord()
{
    TVillageData *village = m_Village.get();
    TPlanner *planner = m_Planner.get();
    connect(village, &TVillageData::NameChanged, this, &TFormVillage::ShowName);
    connect(village, &TVillageData::RaceChanged, this, &TFormVillage::ShowRace);
    connect(village, &TVillageData::MainLevelChanged, this, &TFormVillage::ShowMainLevel);
    connect(village, &TVillageData::ResourcesChanged, this, &TFormVillage::ShowResources);
    connect(village, &TVillageData::AvBuildingsChanged, this, &TFormVillage::ShowAvBuildings);
    connect(planner, &TPlanner::AvailableChanged, this, &TFormVillage::ShowAvailable);
    connect(planner, &TPlanner::HorizonChanged, this, &TFormVillage::ShowHorizon);
    connect(planner, &TPlanner::ProgressChanged, this, &TFormVillage::ShowProgress);
    connect(planner, &TPlanner::AutoSaveDue, this, &TFormVillage::AutoSave);
}

void TFormVillage::FormCreate()
{
    // The strips are plain areas without border or caption; the import
    // button shows its picture only.
    mComments->clear();
    gbComments->hide();
    gbProgress->hide();
    lbBuildingName->clear();
    lbBuildTime->clear();
    ShowProgress();
    edName->clear();
    cbRace->setCurrentIndex(-1);
    edMainLevel->setText(QStringLiteral("1"));
    Planner().SetHorizon(3600);
    ShowHorizon(Village().Horizon);
    ShowAvailable();
    ShowResources();
    ShowAvBuildings();
    edName->setFocus(Qt::OtherFocusReason);
    Village().Modified = false;
}

// --- Hand edits ----------------------------------------------------------

void TFormVillage::edNameChange(const QString &text)
{
    if (!m_Showing)
        Village().SetName(text);
}

void TFormVillage::cbRaceChange(int position)
{
    if (!m_Showing)
        Village().SetRace(position);
}

void TFormVillage::edMainLevelChange(const QString &text)
{
    if (!m_Showing)
        Village().SetMainLevel(text);
}

void TFormVillage::edMainLevelExit()
{
    Village().CommitMainLevel();
    ShowMainLevel(Village().MainLevel);
}

bool TFormVillage::edMainLevelKeyPress(QKeyEvent *event)
{
    if (!TypesCharacter(event))
        return false;
    const QChar ch = TypedCharacter(event);
    if (!AcceptMainLevelKey(ch)) {
        UiSeams::Beep();
        return true;
    }
    // At most two characters can be typed (texts from a file or the import
    // may be longer).
    const bool adds = ch != QLatin1Char('\b') && ch != QLatin1Char('\r');
    return adds && edMainLevel->text().size() - edMainLevel->selectedText().size() >= 2;
}

bool TFormVillage::sgResKeyPress(QKeyEvent *event)
{
    if (!TypesCharacter(event))
        return false;
    if (AcceptResourceKey(TypedCharacter(event)))
        return false;
    UiSeams::Beep();
    return true;
}

void TFormVillage::sgResItemChanged(QTableWidgetItem *item)
{
    if (m_Showing || !item)
        return;
    const int column = item->column();
    if (column < 0 || column >= int(AllResourceKinds.size()))
        return;
    const TResourceKind kind = AllResourceKinds[std::size_t(column)];
    m_Showing = true;
    if (item->row() == 0)
        Village().SetResourceCollect(kind, item->text());
    else if (item->row() == 1)
        Village().SetResourceAdd(kind, item->text());
    m_Showing = false;
    // The shortage colours read the stock when they are drawn.
    sgCalc->viewport()->update();
}

void TFormVillage::mCommentsChange()
{
    if (m_Showing)
        return;
    // The record holds its lines separated by CR LF.
    QString text = mComments->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    Village().Comments = text;
}

bool TFormVillage::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == edMainLevel)
            return edMainLevelKeyPress(key);
        if (watched == sgRes || watched->parent() == sgRes->viewport())
            return sgResKeyPress(key);
        break;
    }
    case QEvent::FocusOut:
        if (watched == edMainLevel) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                edMainLevelExit();
        }
        break;
    case QEvent::MouseButtonDblClick:
        if ((watched == gbBuildings || watched == LstBoxItems->viewport())
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            actChangeList->trigger();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TFormVillage::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // A page gets the font of the window that takes it in after it has been
    // created; the columns follow.
    if (event->type() == QEvent::FontChange && sgCalc) {
        FitLeftColumn();
        FitCalcColumns();
    }
}

// --- Commands ------------------------------------------------------------

void TFormVillage::btnImportClick()
{
    ImportFromOverview();
}

void TFormVillage::actChangeListExecute()
{
    TFormSelectItems &dialog = UseFormSelectItems(this);
    if (Village().Race == 0) {
        ShowMessage(TMessageKind::Error, MessageNoRace);
        return;
    }
    dialog.FillFromCatalog(m_Catalog);
    for (const TAvBuildingEntry &entry : std::as_const(Village().AvBuildings))
        dialog.CheckByText(entry.Text);
    if (dialog.exec() == QDialog::Accepted)
        Village().ReplaceAvBuildings(dialog.CheckedEntries());
    Planner().RecalculateAvailable();
}

void TFormVillage::actNextLevelExecute()
{
    const QList<QListWidgetItem *> selected = LstBoxItems->selectedItems();
    if (!selected.isEmpty())
        Planner().AdvanceToNextLevel(selected.constFirst()->text());
}

void TFormVillage::actDelExecute()
{
    const QList<QListWidgetItem *> selected = LstBoxItems->selectedItems();
    if (selected.isEmpty())
        return;
    if (Village().RemoveAvBuilding(LstBoxItems->row(selected.constFirst())))
        Planner().RecalculateAvailable();
}

void TFormVillage::pmiBuildClick()
{
    Planner().Build(sgCalc->currentRow());
}

void TFormVillage::pmiTime1Click(QAction *item)
{
    Planner().SetHorizon(item->data().toInt());
    item->setChecked(true);
}

void TFormVillage::Timer1Timer()
{
    Planner().Tick();
}

void TFormVillage::LstBoxItemsContextMenu(const QPoint &pos)
{
    PopupMenu1->popup(LstBoxItems->viewport()->mapToGlobal(pos));
}

void TFormVillage::sgCalcContextMenu(const QPoint &pos)
{
    PopupMenu2->popup(sgCalc->viewport()->mapToGlobal(pos));
}

// --- Operations for the main window --------------------------------------

TFileResult TFormVillage::LoadFromFile()
{
    const TFileResult result = ReadVillageFile(Village(), m_Catalog);
    Planner().RecalculateAvailable();
    ShowName(Village().Name);
    ShowRace(Village().Race);
    ShowMainLevel(Village().MainLevel);
    ShowResources();
    ShowAvBuildings();
    ShowComments();
    return result;
}

bool TFormVillage::WriteToFile(const QString &path)
{
    const TFileResult result = SaveVillageFile(Village(), path.isEmpty() ? Village().FileName : path);
    if (!result.Ok) {
        // The timer keeps ticking while the message box is open.
        const bool wasReporting = std::exchange(m_ReportingWriteFailure, true);
        const auto restore =
            qScopeGuard([this, wasReporting] { m_ReportingWriteFailure = wasReporting; });
        ShowMessage(TMessageKind::Error, result.Error);
    }
    return result.Ok;
}

void TFormVillage::AutoSave()
{
    if (!m_ReportingWriteFailure)
        WriteToFile();
}

void TFormVillage::ImportFromOverview()
{
    bool accepted = false;
    {
        // A new dialog for every import, freed on every path.
        const auto dialog = std::make_unique<TFormImportRes>(window());
        if (dialog->exec() != QDialog::Accepted)
            return;
        accepted = ParseOverviewText(SplitOverviewLines(dialog->Text()), Village(), m_Catalog);
    }
    if (accepted) {
        ShowResources();
        Planner().RecalculateAvailable();
    }
}

bool TFormVillage::CommentsVisible() const
{
    return !gbComments->isHidden();
}

void TFormVillage::SetCommentsVisible(bool visible)
{
    gbComments->setVisible(visible);
}

bool TFormVillage::ProgressVisible() const
{
    return !gbProgress->isHidden();
}

void TFormVillage::SetProgressVisible(bool visible)
{
    gbProgress->setVisible(visible);
}

// --- Record and planner to controls --------------------------------------

void TFormVillage::ShowName(const QString &name)
{
    if (edName->text() != name) {
        m_Showing = true;
        edName->setText(name);
        m_Showing = false;
    }
    setWindowTitle(name);
    emit CaptionChanged(name);
}

void TFormVillage::ShowRace(int race)
{
    const int position = race >= 1 && race <= 3 ? race - 1 : -1;
    if (cbRace->currentIndex() != position) {
        m_Showing = true;
        cbRace->setCurrentIndex(position);
        m_Showing = false;
    }
}

void TFormVillage::ShowMainLevel(const QString &text)
{
    if (edMainLevel->text() != text) {
        m_Showing = true;
        edMainLevel->setText(text);
        m_Showing = false;
    }
}

void TFormVillage::ShowResources()
{
    const QModelIndex editing = m_ResDelegate->EditingIndex();
    m_Showing = true;
    for (const TResourceKind kind : AllResourceKinds) {
        const int column = int(KindIndex(kind));
        const std::array<const QString *, 2> texts{&Village().ResourceCollect[KindIndex(kind)],
                                                   &Village().ResourceAdd[KindIndex(kind)]};
        for (int row = 0; row < 2; ++row) {
            // A cell being typed into keeps what the user types.
            if (editing.isValid() && editing.row() == row && editing.column() == column)
                continue;
            QTableWidgetItem *item = sgRes->item(row, column);
            if (item->text() != *texts[std::size_t(row)])
                item->setText(*texts[std::size_t(row)]);
        }
    }
    m_Showing = false;
    sgCalc->viewport()->update();
}

void TFormVillage::ShowAvBuildings()
{
    const QListWidgetItem *current = LstBoxItems->currentItem();
    const bool wasSelected = current && current->isSelected();
    const QString currentText = current ? current->text() : QString();
    const int currentRow = LstBoxItems->currentRow();
    const int oldCount = LstBoxItems->count();

    const QList<TAvBuildingEntry> &entries = Village().AvBuildings;
    LstBoxItems->clear();
    for (const TAvBuildingEntry &entry : entries) {
        auto *item = new QListWidgetItem(entry.Text, LstBoxItems);
        item->setData(Qt::UserRole, entry.CatalogIndex);
    }

    // The selection follows its entry; an entry replaced in place by its next
    // level stays selected.
    if (!wasSelected)
        return;
    int row = Village().IndexOfAvBuilding(currentText);
    if (row < 0 && LstBoxItems->count() == oldCount)
        row = currentRow;
    if (row >= 0 && row < LstBoxItems->count())
        LstBoxItems->setCurrentRow(row);
}

void TFormVillage::ShowAvailable()
{
    const QList<TAvailableRow> &rows = Planner().Available();
    const int currentRow = sgCalc->currentRow();
    const int currentColumn = sgCalc->currentColumn();
    sgCalc->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        for (int column = 0; column < 7; ++column) {
            const QString &text = rows.at(row).at(std::size_t(column));
            QTableWidgetItem *item = sgCalc->item(row, column);
            if (!item) {
                item = new QTableWidgetItem(text);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                sgCalc->setItem(row, column, item);
            } else if (item->text() != text) {
                item->setText(text);
            }
        }
    }

    FitCalcColumns();

    // The table always has a current cell, so that its selected row is a
    // data row.
    if (!sgCalc->currentIndex().isValid() && sgCalc->rowCount() > 0)
        sgCalc->setCurrentCell(qBound(0, currentRow, sgCalc->rowCount() - 1),
                               qMax(0, currentColumn));
    sgCalc->viewport()->update();
}

void TFormVillage::FitLeftColumn()
{
    // The left column keeps its design width unless the font needs more
    // room for the level caption and its field, or for the widest display
    // text of the catalog in the list, with room for its scroll bar.
    const QGridLayout *profil = qobject_cast<const QGridLayout *>(gbProfil->layout());
    const QMargins profilMargins = profil ? profil->contentsMargins() : QMargins();
    const int levelWidth = lbMainLevel->sizeHint().width() + 6 + edMainLevel->width()
        + profilMargins.left() + profilMargins.right() + 4;

    const int widestText = WidestCatalogTexts(m_Catalog, LstBoxItems->font())[0];
    const QStyle *listStyle = LstBoxItems->style();
    const int textMargin = listStyle->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr,
                                                  LstBoxItems) + 1;
    const QMargins listMargins =
        gbBuildings->layout() ? gbBuildings->layout()->contentsMargins() : QMargins();
    const int listWidth = widestText + 2 * textMargin + 2 * LstBoxItems->frameWidth()
        + listStyle->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, LstBoxItems)
        + listMargins.left() + listMargins.right() + gbBuildings->contentsMargins().left()
        + gbBuildings->contentsMargins().right() + 4;

    const int width = qMax(209, qMax(levelWidth, listWidth));
    gbProfil->setFixedWidth(width);
    gbBuildings->setFixedWidth(width);
}

void TFormVillage::FitCalcColumns()
{
    // The floors cover every text a row can hold (any catalog entry, any
    // time to afford within the horizon), so the columns keep one width and
    // a tick measures nothing.
    const std::array<int, 7> &floors = CalcColumnFloors();
    for (int column = 0; column < 7; ++column) {
        if (sgCalc->columnWidth(column) != floors[std::size_t(column)])
            sgCalc->setColumnWidth(column, floors[std::size_t(column)]);
    }
}

const std::array<int, 7> &TFormVillage::CalcColumnFloors()
{
    const QFont font = sgCalc->font();
    if (m_CalcColumnFloorsValid && font == m_CalcColumnFloorsFont)
        return m_CalcColumnFloors;
    const QFontMetrics normalMetrics(font);
    const std::array<int, 7> widest = WidestCatalogTexts(m_Catalog, font);
    std::array<int, 7> floors{};
    for (int column = 0; column < 7; ++column)
        floors[std::size_t(column)] =
            qMax(CalcColumnWidths[std::size_t(column)],
                 qMax(widest[std::size_t(column)],
                      normalMetrics.horizontalAdvance(TPlanner::ColumnTitles.at(column)))
                     + ColumnPadding);
    m_CalcColumnFloors = floors;
    m_CalcColumnFloorsFont = font;
    m_CalcColumnFloorsValid = true;
    return m_CalcColumnFloors;
}

void TFormVillage::ShowHorizon(qint32 seconds)
{
    gbAvBuild->setTitle(TPlanner::HorizonTitle(seconds));
    pmiTime1->setChecked(seconds == pmiTime1->data().toInt());
    pmiTime2->setChecked(seconds == pmiTime2->data().toInt());
}

void TFormVillage::ShowProgress()
{
    lbBuildingName->setText(Village().BuildName);
    lbBuildTime->setText(Planner().RemainingText());
    // An idle bar is empty (a range of 0 to 0 would show a busy bar).
    if (Village().BuildTotal > 0) {
        ProgressBar1->setRange(0, Village().BuildTotal);
        ProgressBar1->setValue(qBound(0, Village().BuildElapsed, Village().BuildTotal));
    } else {
        ProgressBar1->setRange(0, 1);
        ProgressBar1->setValue(0);
    }
}

void TFormVillage::ShowComments()
{
    QString text = Village().Comments;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (mComments->toPlainText() != text) {
        m_Showing = true;
        mComments->setPlainText(text);
        m_Showing = false;
    }
}

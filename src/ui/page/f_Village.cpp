#include "ui/page/f_Village.h"

#include "ui/page/AvailableLook.h"
#include "ui/widgets/ColumnFit.h"
#include "ui/widgets/NumberEditors.h"
#include "ui/page/QueuePanel.h"
#include "ui/page/QueueView.h"
#include "ui/page/ResourceDelegate.h"
#include "ui/widgets/TableCopy.h"
#include "ui/widgets/UiSeams.h"
#include "ui/page/VillageUndo.h"
#include "ui/page/BuiltPanel.h"
#include "ui/page/DeliveryPanel.h"
#include "base/Clock.h"
#include "ui/dialogs/f_ImportRes.h"
#include "ui/dialogs/f_SelectItems.h"

#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "base/MessageSeam.h"
#include "catalog/dm_ListObjects.h"
#include "import/OverviewImport.h"
#include "models/AvailableModel.h"
#include "models/ConsideredModel.h"
#include "models/QueueModel.h"
#include "models/ResourceModel.h"
#include "models/TableText.h"
#include "record/InputRules.h"
#include "record/VillageData.h"
#include "models/DeliveryModel.h"
#include "rules/Planner.h"
#include "rules/Traders.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUndoStack>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QVBoxLayout>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>

#include <utility>

namespace {

const QString MessageNoRace = QStringLiteral("Не выбрана раса!");

} // namespace

TFormVillage::TFormVillage(TVillageDocument &document, QWidget *parent)
    : TFormVillage(document, static_cast<QUndoStack *>(nullptr), parent)
{
}

TFormVillage::TFormVillage(TVillageDocument &document, QUndoStack *undoStack, QWidget *parent)
    : QWidget(parent)
    , m_Document(&document)
    , m_Catalog(document.Catalog())
    , m_AvailableModel(&document.AvailableModel())
    , m_ResourceModel(&document.ResourceModel())
    , m_ConsideredModel(&document.ConsideredModel())
    , m_QueueModel(&document.QueueModel())
{
    setObjectName(QStringLiteral("FormVillage"));
    m_AvailableLook = new TAvailableLook(this);
    m_AvailableLook->setSourceModel(m_AvailableModel);

    m_Ui.Setup(this);
    m_QueuePanel = new TQueuePanel(*m_QueueModel, Planner(), this);
    m_Ui.splRight->addWidget(m_QueuePanel->gbQueue);
    m_Ui.splRight->addWidget(m_QueuePanel->gbChart);
    m_Ui.splRight->setStretchFactor(1, 2);
    m_Ui.splRight->setStretchFactor(2, 3);
    m_BuiltPanel = new TBuiltPanel(document.BuiltModel(), document.Village(), document.Catalog(), this);
    m_Ui.splRight->addWidget(m_BuiltPanel->gbBuilt);
    m_Ui.splRight->setStretchFactor(3, 2);
    QWidget::setTabOrder(m_Ui.sgCalc, m_QueuePanel->sgQueue);
    // The deliveries on their way, under the considered list in the left
    // column, which gives up height first.
    m_DeliveryPanel = new TDeliveryPanel(*new TDeliveryModel(Village(), this), this);
    m_DeliveryPanel->gbDeliveries->setFixedWidth(m_Ui.gbBuildings->maximumWidth());
    if (QLayoutItem *item = layout() ? layout()->itemAt(1) : nullptr; item && item->layout()) {
        auto *bottom = qobject_cast<QBoxLayout *>(item->layout());
        auto *left = new QVBoxLayout;
        left->setSpacing(2);
        bottom->removeWidget(m_Ui.gbBuildings);
        left->addWidget(m_Ui.gbBuildings, 1);
        left->addWidget(m_DeliveryPanel->gbDeliveries);
        bottom->insertLayout(0, left);
    }
    QWidget *deliveryOrder[] = {m_Ui.btnChangeList,
                                m_DeliveryPanel->lstDeliveries,     m_DeliveryPanel->edDeliveryAmounts[0],
                                m_DeliveryPanel->edDeliveryAmounts[1], m_DeliveryPanel->edDeliveryAmounts[2],
                                m_DeliveryPanel->edDeliveryAmounts[3], m_DeliveryPanel->edDeliveryIn,
                                m_DeliveryPanel->btnAddDelivery,    m_Ui.sgCalc};
    for (std::size_t i = 0; i + 1 < std::size(deliveryOrder); ++i)
        QWidget::setTabOrder(deliveryOrder[i], deliveryOrder[i + 1]);
    // "С обменом" takes room only while trading changes a time.
    const auto showExchange = [this] {
        m_Ui.sgCalc->setColumnHidden(TAvailableModel::ExchangeColumn, !m_AvailableModel->ExchangeShown());
    };
    connect(m_AvailableModel, &QAbstractItemModel::modelReset, this, showExchange);
    connect(m_AvailableModel, &QAbstractItemModel::dataChanged, this, showExchange);
    showExchange();
    const QList<QWidget *> tabOrder{m_Ui.sgCalc,           m_QueuePanel->sgQueue,       m_BuiltPanel->tvBuilt,
                                    m_BuiltPanel->cbBuiltName, m_BuiltPanel->btnBuiltAdd,   m_BuiltPanel->btnBuiltRemove,
                                    m_BuiltPanel->btnBuiltEnqueue, m_Ui.mComments};
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder.at(i), tabOrder.at(i + 1));
    BindControls();
    BindRecord();
    FormCreate();
    m_UndoStack = undoStack != nullptr ? undoStack : MakeVillageUndoStack(document.History(), this);
    for (QAbstractItemView *table : {static_cast<QAbstractItemView *>(m_Ui.sgCalc),
                                     static_cast<QAbstractItemView *>(m_Ui.sgRes),
                                     static_cast<QAbstractItemView *>(m_QueuePanel->sgQueue)})
        AttachTableCopy(table);
    setAcceptDrops(true);
}

TFormVillage::TFormVillage(const TdmListObj &catalog, QWidget *parent)
    : TFormVillage(*(new TVillageList(catalog))->Add(), parent)
{
    m_OwnVillage = qobject_cast<TVillageList *>(m_Document->parent());
    m_OwnVillage->setParent(this);
    connect(m_Document, &TVillageDocument::AutoSaveFailed, this, &TFormVillage::ShowAutoSaveFailure);
}

TFormVillage::~TFormVillage()
{
    // Nothing that the controls report while they are taken down may reach
    // the village.
    Village().disconnect(this);
    Planner().disconnect(this);
    m_Document->disconnect(this);
    const auto children = findChildren<QObject *>();
    for (QObject *child : children)
        QObject::disconnect(child, nullptr, this, nullptr);
    // The views go before the models and the record they show.
    m_Ui.sgCalc->setModel(nullptr);
    m_Ui.sgRes->setModel(nullptr);
    m_Ui.LstBoxItems->setModel(nullptr);
    m_QueuePanel->sgQueue->setModel(nullptr);
    m_BuiltPanel->tvBuilt->setModel(nullptr);
}

TVillageData &TFormVillage::Village() const
{
    return m_Document->Village();
}

TPlanner &TFormVillage::Planner() const
{
    return m_Document->Planner();
}

TAvailableModel &TFormVillage::AvailableModel() const
{
    return *m_AvailableModel;
}

TResourceModel &TFormVillage::ResourceModel() const
{
    return *m_ResourceModel;
}

TConsideredModel &TFormVillage::ConsideredModel() const
{
    return *m_ConsideredModel;
}

TQueueModel &TFormVillage::QueueModel() const
{
    return *m_QueueModel;
}

void TFormVillage::BindControls()
{
    m_Ui.sgRes->setModel(m_ResourceModel);
    m_Ui.sgRes->setItemDelegate(new TResourceDelegate(m_Ui.sgRes));
    m_Ui.sgCalc->setModel(m_AvailableLook);
    m_AvailableLook->SetSelection(m_Ui.sgCalc->selectionModel());
    m_Ui.LstBoxItems->setModel(m_ConsideredModel);
    AttachInputRule(m_Ui.edMainLevel, &AcceptMainLevelText);
    FitTables();

    m_Ui.edMainLevel->installEventFilter(this);
    m_Ui.gbBuildings->installEventFilter(this);
    m_Ui.LstBoxItems->viewport()->installEventFilter(this);

    connect(m_Ui.edName, &QLineEdit::textChanged, this, &TFormVillage::edNameChange);
    connect(m_Ui.cbRace, &QComboBox::currentIndexChanged, this, &TFormVillage::cbRaceChange);
    connect(m_Ui.edMainLevel, &QLineEdit::textChanged, this, &TFormVillage::edMainLevelChange);
    connect(m_Ui.cbServerSpeed, &QComboBox::currentIndexChanged, this, &TFormVillage::cbServerSpeedChange);
    connect(m_Ui.edCoordinates, &QLineEdit::textChanged, this, &TFormVillage::edCoordinatesChange);
    connect(m_Ui.edTraders, &QLineEdit::textChanged, this, &TFormVillage::edTradersChange);
    connect(m_Ui.mComments, &QPlainTextEdit::textChanged, this, &TFormVillage::mCommentsChange);
    connect(m_Ui.btnImport, &QToolButton::clicked, this, &TFormVillage::btnImportClick);
    connect(m_Ui.LstBoxItems, &QWidget::customContextMenuRequested, this, &TFormVillage::LstBoxItemsContextMenu);
    connect(m_Ui.sgCalc, &QWidget::customContextMenuRequested, this, &TFormVillage::sgCalcContextMenu);
    connect(m_Ui.actChangeList, &QAction::triggered, this, &TFormVillage::actChangeListExecute);
    connect(m_Ui.btnChangeList, &QPushButton::clicked, m_Ui.actChangeList, &QAction::trigger);
    connect(m_Ui.actNextLevel, &QAction::triggered, this, &TFormVillage::actNextLevelExecute);
    connect(m_Ui.actDel, &QAction::triggered, this, &TFormVillage::actDelExecute);
    connect(m_Ui.pmiBuild, &QAction::triggered, this, &TFormVillage::pmiBuildClick);
    connect(m_Ui.pmiTimeGroup, &QActionGroup::triggered, this, &TFormVillage::pmiTime1Click);
    connect(m_Ui.actEnqueue, &QAction::triggered, this, &TFormVillage::actEnqueueExecute);
    connect(m_Ui.actExchange, &QAction::triggered, this, &TFormVillage::actExchangeExecute);
    connect(m_Ui.PopupMenu1, &QMenu::aboutToShow, this, [this] { m_EnqueueFromList = true; });
    connect(m_Ui.PopupMenu2, &QMenu::aboutToShow, this, [this] { m_EnqueueFromList = false; });
    connect(m_ConsideredModel, &QAbstractItemModel::modelAboutToBeReset, this, &TFormVillage::RememberListSelection);
    connect(m_ConsideredModel, &QAbstractItemModel::modelReset, this, &TFormVillage::RestoreListSelection);
}

void TFormVillage::FitTables()
{
    // The resource table is as high as its rows; its columns share the width.
    // The row "Заполнится" has room for two lines, so that a time with its
    // end clock wraps after the time where the window is narrow.
    QTableView *sgRes = m_Ui.sgRes;
    QHeaderView *rows = sgRes->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    const int line = rows->defaultSectionSize();
    rows->resizeSection(TResourceModel::FullRow, 2 * line);
    sgRes->setWordWrap(true);
    sgRes->setFixedHeight(sgRes->horizontalHeader()->sizeHint().height() + (m_ResourceModel->rowCount() + 1) * line
                          + 2 * sgRes->frameWidth());
    m_AvailableLook->SetFont(m_Ui.sgCalc->font());
    // The name column takes the room the others leave; the others fit their
    // texts when the rows change (a new font too), not at every tick.
    if (m_CalcFit == nullptr)
        m_CalcFit = new TColumnFit(m_Ui.sgCalc, 0);
    else
        m_CalcFit->Fit();
    m_AvailableLook->SetPalette(m_Ui.sgCalc->palette());
    // The available table and the queue show five rows at least, however
    // little room the window has.
    SetMinimumRows(m_Ui.sgCalc, MinimumTableRows);
    SetMinimumRows(m_QueuePanel->sgQueue, MinimumTableRows);
}

void TFormVillage::BindRecord()
{
    TVillageData *village = &Village();
    TPlanner *planner = &Planner();
    connect(village, &TVillageData::NameChanged, this, &TFormVillage::ShowName);
    connect(village, &TVillageData::RaceChanged, this, &TFormVillage::ShowRace);
    connect(village, &TVillageData::MainLevelChanged, this, &TFormVillage::ShowMainLevel);
    connect(village, &TVillageData::ServerSpeedChanged, this, &TFormVillage::ShowServerSpeed);
    ShowServerSpeed(village->ServerSpeedValue());
    connect(village, &TVillageData::CoordinatesChanged, this, &TFormVillage::ShowCoordinates);
    ShowCoordinates(village->Coordinates);
    connect(village, &TVillageData::TradersChanged, this, &TFormVillage::ShowTraders);
    connect(village, &TVillageData::BuiltChanged, this, &TFormVillage::ShowTraders);
    ShowTraders();
    connect(village, &TVillageData::CommentsChanged, this, &TFormVillage::ShowComments);
    connect(planner, &TPlanner::HorizonChanged, this, &TFormVillage::ShowHorizon);
    connect(planner, &TPlanner::ProgressChanged, this, &TFormVillage::ShowProgress);
    connect(village, &TVillageData::ConstructionChanged, this, &TFormVillage::ShowProgress);
    connect(m_Document, &TVillageDocument::InfoLineChanged, this, &TFormVillage::ShowInfo);
    // What a read brought (Open, or the file read again after another
    // program changed it) is marked; a file another program holds says so.
    connect(m_Document, &TVillageDocument::Loaded, this, [this] {
        ShowProgress();
        ShowNotUnderstood();
    });
    m_Ui.lbReadOnly->setText(TVillageDocument::ReadOnlyNotice());
    m_Ui.lbReadOnly->setVisible(m_Document->IsReadOnly());
    connect(m_Document, &TVillageDocument::ReadOnlyChanged, m_Ui.lbReadOnly, &QWidget::setVisible);
    // The table always has a current cell, so that its selected row is a
    // data row; when the rows are laid out anew, it keeps its place.
    connect(m_AvailableLook, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const QModelIndex cell = m_Ui.sgCalc->currentIndex();
        m_CalcCellRow = cell.isValid() ? cell.row() : 0;
        m_CalcCellColumn = cell.isValid() ? cell.column() : 0;
    });
    connect(m_AvailableLook, &QAbstractItemModel::modelReset, this, [this] {
        const int rows = m_AvailableLook->rowCount();
        const QModelIndex cell = m_AvailableLook->index(qMin(m_CalcCellRow, rows - 1), m_CalcCellColumn);
        // The blank row of an empty table is no place to stand.
        if (rows > 0 && (cell.flags() & Qt::ItemIsSelectable))
            m_Ui.sgCalc->setCurrentIndex(cell);
    });
}

void TFormVillage::FormCreate()
{
    m_Ui.gbComments->hide();
    m_Ui.gbProgress->hide();
    // The controls show the village as it stands: a page made for a village
    // opened long before shows what one made with it would show now.
    const TVillageData &village = Village();
    ShowName(village.Name);
    ShowRace(village.Race);
    ShowMainLevel(village.MainLevel);
    ShowComments();
    ShowHorizon(village.Horizon);
    ShowProgress();
    ShowInfo(m_Document->InfoLine());
    ShowNotUnderstood();
    m_Ui.sgCalc->setCurrentIndex(m_AvailableLook->index(0, 0));
    m_Ui.edName->setFocus(Qt::OtherFocusReason);
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

void TFormVillage::cbServerSpeedChange(int position)
{
    if (!m_Showing && position >= 0)
        Village().SetServerSpeed(QString::number(m_Ui.cbServerSpeed->itemData(position).toInt()));
}

void TFormVillage::edCoordinatesChange(const QString &text)
{
    if (!m_Showing)
        Village().SetCoordinates(text);
}

void TFormVillage::edTradersChange(const QString &text)
{
    if (!m_Showing)
        Village().SetTraders(text);
}

void TFormVillage::edMainLevelExit()
{
    Village().CommitMainLevel();
    ShowMainLevel(Village().MainLevel);
}

void TFormVillage::mCommentsChange()
{
    if (m_Showing)
        return;
    m_Showing = true;
    Village().SetComments(m_Ui.mComments->toPlainText());
    m_Showing = false;
}

bool TFormVillage::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusOut:
        if (watched == m_Ui.edMainLevel) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                edMainLevelExit();
        }
        break;
    case QEvent::MouseButtonDblClick:
        if ((watched == m_Ui.gbBuildings || watched == m_Ui.LstBoxItems->viewport())
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_Ui.actChangeList->trigger();
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
    // created; the bold of short costs follows.
    if (event->type() == QEvent::FontChange && m_AvailableLook)
        FitTables();
    // A colour scheme switched while the program runs: the shortage colour
    // is chosen for the new one.
    if (event->type() == QEvent::PaletteChange && m_AvailableLook) {
        m_AvailableLook->SetPalette(m_Ui.sgCalc->palette());
        m_Ui.sgCalc->viewport()->update();
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
        Village().ChooseAvBuildings(dialog.CheckedEntries());
    Planner().RecalculateAvailable();
}

int TFormVillage::SelectedListRow() const
{
    const QModelIndexList selected = m_Ui.LstBoxItems->selectionModel()->selectedIndexes();
    if (selected.isEmpty() || !m_ConsideredModel->IsKnown(selected.constFirst().row()))
        return -1;
    return selected.constFirst().row();
}

void TFormVillage::actNextLevelExecute()
{
    const int row = SelectedListRow();
    if (row >= 0)
        Planner().AdvanceToNextLevel(Village().AvBuildings.at(row).Text);
}

void TFormVillage::actDelExecute()
{
    const int row = SelectedListRow();
    if (row >= 0 && Village().RemoveAvBuilding(row))
        Planner().RecalculateAvailable();
}

void TFormVillage::RememberListSelection()
{
    const int row = SelectedListRow();
    m_SelectedRow = row;
    m_SelectedText = row >= 0 ? m_ConsideredModel->index(row).data().toString() : QString();
    m_RowsBefore = m_ConsideredModel->rowCount();
}

void TFormVillage::RestoreListSelection()
{
    // The selection follows its entry.
    if (m_SelectedRow < 0)
        return;
    int row = Village().IndexOfAvBuilding(m_SelectedText);
    if (row < 0 && m_ConsideredModel->rowCount() == m_RowsBefore)
        row = m_SelectedRow;
    m_SelectedRow = -1;
    if (row >= 0 && row < m_ConsideredModel->rowCount())
        m_Ui.LstBoxItems->setCurrentIndex(m_ConsideredModel->index(row));
}

void TFormVillage::pmiBuildClick()
{
    // The row the player chose, whatever order the table is sorted in.
    const int row = m_AvailableModel->PlannerRow(m_Ui.sgCalc->currentIndex().row());
    const QString question = Planner().ShortageQuestion(Planner().CatalogIndexOfRow(row));
    if (!question.isEmpty() && !UiSeams::Ask(this, question, UiSeams::TAnswer::No))
        return;
    Planner().Build(row);
}

void TFormVillage::pmiTime1Click(QAction *item)
{
    Planner().SetHorizon(item->data().toInt());
    item->setChecked(true);
}

void TFormVillage::actExchangeExecute()
{
    const int row = m_AvailableModel->PlannerRow(m_Ui.sgCalc->currentIndex().row());
    const std::optional<TExchangePlan> plan = Planner().ExchangeFor(row);
    if (!plan) {
        UiSeams::Beep();
        return;
    }
    const QString building = m_Catalog.Object(Planner().Available().at(row).CatalogIndex).DisplayText();
    const QString text = ExchangeAdviceText(building, *plan, CurrentDateTime());
    // An exchange due now can be recorded once it is made at the market.
    const bool due = plan->Afford == TAffordTime(0) && plan->Moves != TExchangeMoves{};
    const QStringList answers = due ? QStringList{QStringLiteral("Записать обмен"), QStringLiteral("Закрыть")}
                                    : QStringList{QStringLiteral("Закрыть")};
    if (UiSeams::Choose(this, text, answers, answers.size() - 1) == 0 && due)
        Planner().Exchange(row);
}

void TFormVillage::actEnqueueExecute()
{
    qint32 index = -1;
    if (m_EnqueueFromList) {
        const int row = SelectedListRow();
        if (row >= 0)
            index = Village().AvBuildings.at(row).CatalogIndex;
    } else {
        const int row = m_AvailableModel->PlannerRow(m_Ui.sgCalc->currentIndex().row());
        if (row >= 0 && row < Planner().Available().size())
            index = Planner().Available().at(row).CatalogIndex;
    }
    // Nothing chosen, or no further level to queue.
    if (!Planner().Enqueue(index))
        UiSeams::Beep();
}

void TFormVillage::LstBoxItemsContextMenu(const QPoint &pos)
{
    m_Ui.PopupMenu1->popup(m_Ui.LstBoxItems->viewport()->mapToGlobal(pos));
}

void TFormVillage::sgCalcContextMenu(const QPoint &pos)
{
    m_Ui.PopupMenu2->popup(m_Ui.sgCalc->viewport()->mapToGlobal(pos));
}

// --- Operations for the main window --------------------------------------

TFileResult TFormVillage::LoadFromFile()
{
    return m_Document->Load();
}

bool TFormVillage::WriteToFile(const QString &path)
{
    const TFileResult result = m_Document->Write(path);
    if (!result.Ok && !result.ChangedOutside)
        ShowMessage(TMessageKind::Error, result.Error);
    return result.Ok;
}

void TFormVillage::ShowAutoSaveFailure(const TFileResult &result)
{
    ShowMessage(TMessageKind::Error, result.Error);
}

void TFormVillage::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasText() && IsOverviewText(event->mimeData()->text()))
        event->acceptProposedAction();
    else
        QWidget::dragEnterEvent(event);
}

void TFormVillage::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasText() || !IsOverviewText(event->mimeData()->text())) {
        QWidget::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    m_Document->Import(SplitOverviewLines(event->mimeData()->text()));
}

QString TFormVillage::TablesCsv() const
{
    const QAbstractItemModel &available = *m_Ui.sgCalc->model();
    const QAbstractItemModel &queue = *m_QueuePanel->sgQueue->model();
    return TableText(available, AllRows(available), TTableTextFormat::Csv) + QStringLiteral("\r\n")
        + TableText(queue, AllRows(queue), TTableTextFormat::Csv);
}

void TFormVillage::ImportFromOverview()
{
    // A new dialog for every import, freed on every path.
    const auto dialog = std::make_unique<TFormImportRes>(window());
    if (dialog->exec() == QDialog::Accepted)
        m_Document->Import(SplitOverviewLines(dialog->Text()));
}

int TFormVillage::MissingNameWidth() const
{
    // The name column holds the whole name (ColumnFit.h); where the columns
    // need more room than the table has, it scrolls sideways: the width
    // missing is what the window needs to show it all.
    return m_Ui.sgCalc->horizontalHeader()->length() - m_Ui.sgCalc->viewport()->width();
}

bool TFormVillage::CommentsVisible() const
{
    return !m_Ui.gbComments->isHidden();
}

void TFormVillage::SetCommentsVisible(bool visible)
{
    m_Ui.gbComments->setVisible(visible);
}

bool TFormVillage::ProgressVisible() const
{
    return !m_Ui.gbProgress->isHidden();
}

void TFormVillage::SetProgressVisible(bool visible)
{
    m_Ui.gbProgress->setVisible(visible);
}

bool TFormVillage::ChartVisible() const
{
    return m_QueuePanel->ChartVisible();
}

void TFormVillage::SetChartVisible(bool visible)
{
    m_QueuePanel->SetChartVisible(visible);
}

// --- Record and planner to controls --------------------------------------

void TFormVillage::ShowName(const QString &name)
{
    if (m_Ui.edName->text() != name) {
        m_Showing = true;
        m_Ui.edName->setText(name);
        m_Showing = false;
    }
    setWindowTitle(name);
    emit CaptionChanged(name);
}

void TFormVillage::ShowRace(int race)
{
    const int position = race >= 1 && race <= 3 ? race - 1 : -1;
    if (m_Ui.cbRace->currentIndex() != position) {
        m_Showing = true;
        m_Ui.cbRace->setCurrentIndex(position);
        m_Showing = false;
    }
}

void TFormVillage::ShowMainLevel(const QString &text)
{
    if (m_Ui.edMainLevel->text() != text) {
        m_Showing = true;
        m_Ui.edMainLevel->setText(text);
        m_Showing = false;
    }
}

void TFormVillage::ShowCoordinates(const QString &text)
{
    if (m_Ui.edCoordinates->text() != text) {
        m_Showing = true;
        m_Ui.edCoordinates->setText(text);
        m_Showing = false;
    }
    const bool unread = !text.trimmed().isEmpty() && !ParseMapPoint(text);
    m_Ui.edCoordinates->setToolTip(unread ? QStringLiteral("Координаты не распознаны: нужно x|y, например -12|34")
                                          : QStringLiteral("Место деревни на карте, как в игре: -12|34"));
}

void TFormVillage::ShowTraders()
{
    const QString &text = Village().Traders;
    if (m_Ui.edTraders->text() != text) {
        m_Showing = true;
        m_Ui.edTraders->setText(text);
        m_Showing = false;
    }
    const qint32 market = MarketTraders(m_Catalog, Village().Built);
    m_Ui.edTraders->setPlaceholderText(QString::number(market));
    m_Ui.edTraders->setToolTip(
        QStringLiteral("Торговцев по рынку в списке построек: %1; введённое число заменяет его").arg(market));
}

void TFormVillage::ShowServerSpeed(qint32 speed)
{
    const int position = m_Ui.cbServerSpeed->findData(speed);
    if (m_Ui.cbServerSpeed->currentIndex() != position) {
        m_Showing = true;
        m_Ui.cbServerSpeed->setCurrentIndex(position);
        m_Showing = false;
    }
}

void TFormVillage::ShowHorizon(qint32 seconds)
{
    m_Ui.gbAvBuild->setTitle(TPlanner::HorizonTitle(seconds));
    m_Ui.pmiTime1->setChecked(seconds == m_Ui.pmiTime1->data().toInt());
    m_Ui.pmiTime2->setChecked(seconds == m_Ui.pmiTime2->data().toInt());
}

void TFormVillage::ShowProgress()
{
    // A construction of the file that could not be read shows so while no
    // other runs.
    const bool unreadConstruction = Village().BuildTotal <= 0
        && Village().KeptFileContent.NotUnderstoodCount(TKeptFileContent::RootKey(), QStringLiteral("Construction")) > 0;
    m_Ui.lbBuildingName->setText(unreadConstruction ? NotUnderstoodMark() : Village().BuildName);
    m_Ui.lbBuildTime->setText(Planner().RemainingText());
    // An idle bar is empty (a range of 0 to 0 would show a busy bar).
    if (Village().BuildTotal > 0) {
        m_Ui.ProgressBar1->setRange(0, Village().BuildTotal);
        m_Ui.ProgressBar1->setValue(qBound(0, Village().BuildElapsed, Village().BuildTotal));
    } else {
        m_Ui.ProgressBar1->setRange(0, 1);
        m_Ui.ProgressBar1->setValue(0);
    }
}

void TFormVillage::ShowComments()
{
    if (m_Showing)
        return;
    const QString text = Village().CommentsText();
    if (m_Ui.mComments->toPlainText() != text) {
        m_Showing = true;
        m_Ui.mComments->setPlainText(text);
        m_Showing = false;
    }
}

void TFormVillage::ShowNotUnderstood()
{
    const TKeptFileContent &kept = Village().KeptFileContent;
    m_Ui.lbNotUnderstood->setVisible(kept.NotUnderstoodCount() > 0);
    m_QueuePanel->lbQueueNotUnderstood->setVisible(
        kept.NotUnderstoodCount(QStringLiteral("Queue"), QStringLiteral("Item")) > 0);
}

void TFormVillage::ShowInfo(const QString &line)
{
    m_Ui.lbInfo->setText(line);
    m_Ui.lbInfo->setVisible(!line.isEmpty());
}

// The buildings' group of a village page; see BuiltPanel.h.
#include "ui/page/BuiltPanel.h"

#include "catalog/dm_ListObjects.h"
#include "models/BuiltModel.h"
#include "record/VillageData.h"
#include "rules/BuiltFigures.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

template <typename T>
T *Named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TBuiltPanel::TBuiltPanel(TBuiltModel &model, TVillageData &village, const TdmListObj &catalog, QWidget *page)
    : QObject(page)
    , m_Model(model)
    , m_Village(village)
    , m_Catalog(catalog)
{
    gbBuilt = Named(new QGroupBox(QStringLiteral("Постройки"), page), "gbBuilt");
    tvBuilt = Named(new QTableView(gbBuilt), "tvBuilt");
    tvBuilt->setAccessibleName(QStringLiteral("Постройки"));
    tvBuilt->setWordWrap(false);
    tvBuilt->setTabKeyNavigation(false);
    tvBuilt->setSelectionBehavior(QAbstractItemView::SelectRows);
    tvBuilt->setSelectionMode(QAbstractItemView::SingleSelection);
    tvBuilt->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed);
    tvBuilt->verticalHeader()->hide();
    tvBuilt->verticalHeader()->setDefaultSectionSize(tvBuilt->fontMetrics().height() + 4);
    tvBuilt->horizontalHeader()->setStretchLastSection(true);
    tvBuilt->setModel(&m_Model);

    cbBuiltName = Named(new QComboBox(gbBuilt), "cbBuiltName");
    cbBuiltName->setAccessibleName(QStringLiteral("Постройка"));
    cbBuiltName->addItems(m_Model.BuildingNames());
    btnBuiltAdd = Named(new QPushButton(QStringLiteral("Добавить"), gbBuilt), "btnBuiltAdd");
    btnBuiltRemove = Named(new QPushButton(QStringLiteral("Удалить"), gbBuilt), "btnBuiltRemove");
    btnBuiltEnqueue = Named(new QPushButton(QStringLiteral("В очередь"), gbBuilt), "btnBuiltEnqueue");
    lbBuiltSummary = Named(new QLabel(gbBuilt), "lbBuiltSummary");
    lbBuiltSummary->setWordWrap(true);
    lbBuiltSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cbBuiltName, 1);
    buttons->addWidget(btnBuiltAdd);
    buttons->addWidget(btnBuiltRemove);
    buttons->addWidget(btnBuiltEnqueue);
    auto *layout = new QVBoxLayout(gbBuilt);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(tvBuilt, 1);
    layout->addLayout(buttons);
    layout->addWidget(lbBuiltSummary);

    connect(btnBuiltAdd, &QPushButton::clicked, this, &TBuiltPanel::btnBuiltAddClick);
    connect(btnBuiltRemove, &QPushButton::clicked, this, &TBuiltPanel::btnBuiltRemoveClick);
    connect(btnBuiltEnqueue, &QPushButton::clicked, this, &TBuiltPanel::btnBuiltEnqueueClick);
    connect(tvBuilt->selectionModel(), &QItemSelectionModel::currentChanged, this, &TBuiltPanel::UpdateButtons);
    connect(&m_Model, &QAbstractItemModel::modelReset, this, &TBuiltPanel::UpdateButtons);
    connect(&m_Village, &TVillageData::BuiltChanged, this, &TBuiltPanel::ShowSummary);
    connect(&m_Village, &TVillageData::ResourcesChanged, this, &TBuiltPanel::ShowSummary);
    connect(&m_Village, &TVillageData::ServerSpeedChanged, this, &TBuiltPanel::ShowSummary);
    ShowSummary();
    UpdateButtons();
}

int TBuiltPanel::CurrentRow() const
{
    const QModelIndex current = tvBuilt->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TBuiltPanel::UpdateButtons()
{
    const int row = CurrentRow();
    btnBuiltRemove->setEnabled(row >= 0);
    btnBuiltEnqueue->setEnabled(m_Model.NextLevelOf(row).has_value());
}

void TBuiltPanel::btnBuiltAddClick()
{
    m_Model.AddBuilding(cbBuiltName->currentText());
    UpdateButtons();
}

void TBuiltPanel::btnBuiltRemoveClick()
{
    m_Model.RemoveRow(CurrentRow());
    UpdateButtons();
}

void TBuiltPanel::btnBuiltEnqueueClick()
{
    if (const std::optional<TAvBuildingEntry> entry = m_Model.NextLevelOf(CurrentRow()))
        m_Village.AppendToQueue(*entry);
}

void TBuiltPanel::ShowSummary()
{
    const QString text =
        BuiltSummaryText(m_Catalog, m_Village.Built, m_Village.ServerSpeedValue(), m_Village.Incomes());
    lbBuiltSummary->setText(text);
    lbBuiltSummary->setVisible(!text.isEmpty());
}

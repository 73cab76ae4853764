// The window of all villages; see f_AllVillages.h.
#include "ui/dialogs/f_AllVillages.h"

#include "ui/widgets/ColumnFit.h"
#include "ui/widgets/ScreenFit.h"
#include "ui/widgets/ReadableColours.h"

#include "app/AccountCulture.h"
#include "app/VillageList.h"
#include "base/Clock.h"
#include "app/NextVillageWatch.h"
#include "catalog/dm_ListObjects.h"
#include "ui/widgets/CsvExport.h"
#include "ui/widgets/TableCopy.h"
#include "models/SummaryModel.h"
#include "models/TableText.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QHeaderView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The catalog's longest building name with its level.
QString LongestDisplayText(const TdmListObj &catalog)
{
    QString longest;
    for (qint32 index = 0; index < catalog.Count(); ++index) {
        const QString text = catalog.Object(index).DisplayText();
        if (text.size() > longest.size())
            longest = text;
    }
    return longest;
}

// The storage cells of a stock that runs out (the model's RunsOutRole) in
// the shortage colour and bold, as a short cost reads on the village page.
class TRunsOutDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!index.data(TSummaryModel::RunsOutRole).toBool())
            return;
        const ReadableColours::TTextLook look =
            ReadableColours::LookOf(ReadableColours::TColourRole::Shortage, option->palette);
        option->palette.setColor(QPalette::Text, look.Text);
        option->font.setBold(true);
    }
};

} // namespace

TFormAllVillages::TFormAllVillages(TVillageList &villages, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_Villages(villages)
{
    setObjectName(QStringLiteral("FormAllVillages"));
    setWindowTitle(QStringLiteral("Все деревни"));
    setAttribute(Qt::WA_QuitOnClose, false);
    // The main window's font, as its pages have.
    setAttribute(Qt::WA_WindowPropagation);
    resize(900, 260);

    m_Model = new TSummaryModel(this);
    sgAllVillages = new QTableView(this);
    sgAllVillages->setObjectName(QStringLiteral("sgAllVillages"));
    sgAllVillages->setModel(m_Model);
    sgAllVillages->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgAllVillages->setSelectionMode(QAbstractItemView::ExtendedSelection);
    sgAllVillages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgAllVillages->setAlternatingRowColors(true);
    sgAllVillages->setItemDelegate(new TRunsOutDelegate(sgAllVillages));
    sgAllVillages->verticalHeader()->setDefaultSectionSize(sgAllVillages->fontMetrics().height() + 4);
    sgAllVillages->verticalHeader()->hide();
    sgAllVillages->horizontalHeader()->setStretchLastSection(true);
    // The columns fit their texts when villages come or go, not at every
    // tick; the buildings' columns have room for the longest name of the
    // catalog, which they may come to show at any tick.
    const QStringList longestName{LongestDisplayText(villages.Catalog())};
    new TColumnFit(sgAllVillages, -1,
                   {{TSummaryModel::NextBuildingColumn, longestName}, {TSummaryModel::ConstructionColumn, longestName}});
    connect(sgAllVillages, &QTableView::doubleClicked, this, &TFormAllVillages::sgAllVillagesDblClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(sgAllVillages);
    // The table leaves the program: Ctrl+C on its rows, or all of it as CSV.
    AttachTableCopy(sgAllVillages);
    btnExportCsv = new QPushButton(QStringLiteral("Экспорт в CSV..."), this);
    btnExportCsv->setObjectName(QStringLiteral("btnExportCsv"));
    connect(btnExportCsv, &QPushButton::clicked, this, &TFormAllVillages::btnExportCsvClick);
    lblNextVillage = new QLabel(this);
    lblNextVillage->setObjectName(QStringLiteral("lblNextVillage"));
    lblNextVillage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblNextVillage);
    buttons->addStretch();
    buttons->addWidget(btnExportCsv);
    layout->addLayout(buttons);

    // Once per tick of the villages' clock while shown, and when villages
    // come or go.
    connect(&m_Villages, &TVillageList::Ticked, this, &TFormAllVillages::RefreshIfShown);
    connect(&m_Villages, &QAbstractItemModel::rowsInserted, this, &TFormAllVillages::RefreshIfShown);
    connect(&m_Villages, &QAbstractItemModel::rowsRemoved, this, &TFormAllVillages::RefreshIfShown);
    connect(&m_Villages.NextVillage(), &TNextVillageWatch::AccountChanged, this, &TFormAllVillages::RefreshIfShown);

    actCloseWindow = new QAction(QStringLiteral("Закрыть"), this);
    actCloseWindow->setObjectName(QStringLiteral("actCloseWindow"));
    actCloseWindow->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    addAction(actCloseWindow);
    connect(actCloseWindow, &QAction::triggered, this, &QWidget::close);
}

void TFormAllVillages::CentreOver(const QWidget *window)
{
    QRect wanted(QPoint(0, 0), size());
    wanted.moveCenter(window->geometry().center());
    // Its frame, not known before it is shown, taken as the main window's.
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    const QScreen *desktop = window->screen();
    setGeometry(desktop ? FitClientGeometry(wanted, desktop->availableGeometry(), frame, false) : wanted);
}

void TFormAllVillages::Refresh()
{
    m_Model->Refresh(m_Villages.Planners());
    const QDateTime now = CurrentDateTime();
    const TCultureForecast forecast = m_Villages.NextVillage().Forecast();
    lblNextVillage->setText(CulturePerDayText(forecast.PerDay) + QStringLiteral(" · ") + ForecastText(forecast, now));
}

void TFormAllVillages::RefreshIfShown()
{
    if (isVisible())
        Refresh();
}

void TFormAllVillages::showEvent(QShowEvent *event)
{
    Refresh();
    QWidget::showEvent(event);
}

void TFormAllVillages::sgAllVillagesDblClick(const QModelIndex &index)
{
    if (const TVillageData *village = m_Model->VillageAt(index.row()))
        emit VillageActivated(village);
}

void TFormAllVillages::btnExportCsvClick()
{
    Refresh();
    ExportCsv(this, QStringLiteral("Все деревни.csv"), TableText(*m_Model, AllRows(*m_Model), TTableTextFormat::Csv));
}

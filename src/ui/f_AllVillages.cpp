// The window of all villages; see f_AllVillages.h.
#include "f_AllVillages.h"

#include "ScreenFit.h"

#include "village/SummaryModel.h"

#include <QAction>
#include <QScreen>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

TFormAllVillages::TFormAllVillages(const TdmListObj &catalog, TVillageList villages, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_Villages(std::move(villages))
{
    setObjectName(QStringLiteral("FormAllVillages"));
    setWindowTitle(QStringLiteral("Все деревни"));
    setAttribute(Qt::WA_QuitOnClose, false);
    // The main window's font, as its pages have.
    setAttribute(Qt::WA_WindowPropagation);
    resize(900, 260);

    m_Model = new TSummaryModel(catalog, this);
    sgAllVillages = new QTableView(this);
    sgAllVillages->setObjectName(QStringLiteral("sgAllVillages"));
    sgAllVillages->setModel(m_Model);
    sgAllVillages->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgAllVillages->setSelectionMode(QAbstractItemView::SingleSelection);
    sgAllVillages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgAllVillages->setAlternatingRowColors(true);
    sgAllVillages->verticalHeader()->setDefaultSectionSize(sgAllVillages->fontMetrics().height() + 4);
    sgAllVillages->verticalHeader()->hide();
    sgAllVillages->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    sgAllVillages->horizontalHeader()->setStretchLastSection(true);
    connect(sgAllVillages, &QTableView::doubleClicked, this, &TFormAllVillages::sgAllVillagesDblClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(sgAllVillages);

    TimerRefresh = new QTimer(this);
    TimerRefresh->setObjectName(QStringLiteral("TimerRefresh"));
    TimerRefresh->setInterval(1000);
    connect(TimerRefresh, &QTimer::timeout, this, &TFormAllVillages::Refresh);

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
    m_Model->Refresh(m_Villages());
}

void TFormAllVillages::showEvent(QShowEvent *event)
{
    Refresh();
    TimerRefresh->start();
    QWidget::showEvent(event);
}

void TFormAllVillages::hideEvent(QHideEvent *event)
{
    TimerRefresh->stop();
    QWidget::hideEvent(event);
}

void TFormAllVillages::sgAllVillagesDblClick(const QModelIndex &index)
{
    if (const TVillageData *village = m_Model->VillageAt(index.row()))
        emit VillageActivated(village);
}

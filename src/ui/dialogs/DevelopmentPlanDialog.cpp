// The development-plan dialog; see DevelopmentPlanDialog.h.
#include "ui/dialogs/DevelopmentPlanDialog.h"

#include "app/VillageDocument.h"
#include "app/VillagePlan.h"
#include "base/Clock.h"
#include "base/TimeText.h"
#include "models/PlanModel.h"
#include "models/PlanTargetModel.h"
#include "record/VillageData.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

namespace {

QTableView *NewTable(const QString &name, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setObjectName(name);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    return view;
}

QCheckBox *NewSwitch(const QString &name, const QString &text, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

TDevelopmentPlanDialog::TDevelopmentPlanDialog(TVillageDocument &document, QWidget *parent)
    : QDialog(parent), m_Document(document), m_Catalog(document.Catalog())
{
    setObjectName(QStringLiteral("DevelopmentPlanDialog"));
    setWindowTitle(QStringLiteral("План развития — %1").arg(document.Village().Name));

    m_Targets = new TPlanTargetModel(m_Catalog, this);
    m_Plan = new TPlanModel(m_Catalog, this);
    m_Targets->SetSlots(VillagePlanSlots(document.Village(), m_Catalog));

    tvPlanTargets = NewTable(QStringLiteral("tvPlanTargets"), this);
    tvPlanTargets->setModel(m_Targets);
    tvPlanTargets->setEditTriggers(QAbstractItemView::AllEditTriggers);

    btnPlanAllFields = new QPushButton(QStringLiteral("Все поля до уровня"), this);
    btnPlanAllFields->setObjectName(QStringLiteral("btnPlanAllFields"));
    sePlanAllFields = new QSpinBox(this);
    sePlanAllFields->setObjectName(QStringLiteral("sePlanAllFields"));
    sePlanAllFields->setRange(1, 20);
    sePlanAllFields->setValue(10);
    auto *allFields = new QHBoxLayout;
    allFields->addWidget(btnPlanAllFields);
    allFields->addWidget(sePlanAllFields);
    allFields->addStretch();

    cbPlanStorages = NewSwitch(QStringLiteral("cbPlanStorages"), QStringLiteral("Склад и Амбар по необходимости"), this);
    cbPlanFarms = NewSwitch(QStringLiteral("cbPlanFarms"), QStringLiteral("Ферма по необходимости"), this);
    cbPlanMainBuilding =
        NewSwitch(QStringLiteral("cbPlanMainBuilding"), QStringLiteral("Главное здание, если ускоряет"), this);
    cbPlanStorages->setChecked(true);
    cbPlanFarms->setChecked(true);

    btnPlanFind = new QPushButton(QStringLiteral("Найти порядок"), this);
    btnPlanFind->setObjectName(QStringLiteral("btnPlanFind"));
    btnPlanFind->setDefault(true);
    pbPlanProgress = new QProgressBar(this);
    pbPlanProgress->setObjectName(QStringLiteral("pbPlanProgress"));
    pbPlanProgress->setRange(0, 100);
    pbPlanProgress->hide();
    auto *find = new QHBoxLayout;
    find->addWidget(btnPlanFind);
    find->addWidget(pbPlanProgress, 1);

    tvPlanResult = NewTable(QStringLiteral("tvPlanResult"), this);
    tvPlanResult->setModel(m_Plan);
    tvPlanResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lblPlanSummary = new QLabel(this);
    lblPlanSummary->setObjectName(QStringLiteral("lblPlanSummary"));
    lblPlanSummary->setWordWrap(true);
    lblPlanSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    btnPlanReplace = buttons->addButton(QStringLiteral("Заменить очередь"), QDialogButtonBox::AcceptRole);
    btnPlanReplace->setObjectName(QStringLiteral("btnPlanReplace"));
    btnPlanAdd = buttons->addButton(QStringLiteral("Добавить в очередь"), QDialogButtonBox::AcceptRole);
    btnPlanAdd->setObjectName(QStringLiteral("btnPlanAdd"));
    btnPlanReplace->setEnabled(false);
    btnPlanAdd->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tvPlanTargets, 1);
    layout->addLayout(allFields);
    layout->addWidget(cbPlanStorages);
    layout->addWidget(cbPlanFarms);
    layout->addWidget(cbPlanMainBuilding);
    layout->addLayout(find);
    layout->addWidget(tvPlanResult, 2);
    layout->addWidget(lblPlanSummary);
    layout->addWidget(buttons);
    resize(640, 620);

    connect(btnPlanAllFields, &QPushButton::clicked, this, &TDevelopmentPlanDialog::btnPlanAllFieldsClick);
    connect(btnPlanFind, &QPushButton::clicked, this, &TDevelopmentPlanDialog::btnPlanFindClick);
    // The apply buttons do their work and close; Close (and Esc) reject.
    connect(btnPlanReplace, &QPushButton::clicked, this, &TDevelopmentPlanDialog::btnPlanReplaceClick);
    connect(btnPlanAdd, &QPushButton::clicked, this, &TDevelopmentPlanDialog::btnPlanAddClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &TDevelopmentPlanDialog::reject);

    if (m_Targets->rowCount() == 0) {
        lblPlanSummary->setText(NoBuiltListText());
        btnPlanFind->setEnabled(false);
        btnPlanAllFields->setEnabled(false);
    }
}

TDevelopmentPlanDialog::~TDevelopmentPlanDialog()
{
    if (m_Thread) {
        m_Cancel = true;
        m_Thread->wait();
    }
}

void TDevelopmentPlanDialog::reject()
{
    if (m_Thread) {
        m_Cancel = true;
        return;
    }
    QDialog::reject();
}

void TDevelopmentPlanDialog::btnPlanAllFieldsClick()
{
    m_Targets->SetAllFieldsTo(sePlanAllFields->value());
}

void TDevelopmentPlanDialog::btnPlanFindClick()
{
    if (m_Thread)
        return;
    m_Request = VillagePlanRequest(m_Document.Village(), m_Catalog);
    m_Request.Slots = m_Targets->Slots();
    m_Request.Targets = m_Targets->Targets();
    m_Request.Switches = {cbPlanStorages->isChecked(), cbPlanFarms->isChecked(), cbPlanMainBuilding->isChecked()};
    m_RequestedAt = CurrentDateTime();
    m_Cancel = false;
    m_Result = {};
    m_Plan->Clear();
    btnPlanReplace->setEnabled(false);
    btnPlanAdd->setEnabled(false);
    btnPlanFind->setEnabled(false);
    pbPlanProgress->setValue(0);
    pbPlanProgress->show();
    lblPlanSummary->setText(QStringLiteral("Идёт поиск порядка... (Esc — прервать)"));

    const TdmListObj &catalog = m_Catalog;
    const TPlanRequest request = m_Request;
    m_Thread = QThread::create([this, &catalog, request] {
        TPlanControl control;
        control.Cancel = &m_Cancel;
        control.Progress = [this](int percent) {
            QMetaObject::invokeMethod(
                this, [this, percent] { SearchProgressed(percent); }, Qt::QueuedConnection);
        };
        m_Result = FindDevelopmentPlan(catalog, request, control);
    });
    connect(m_Thread, &QThread::finished, this, &TDevelopmentPlanDialog::SearchFinished);
    m_Thread->start();
}

void TDevelopmentPlanDialog::SearchProgressed(int percent)
{
    if (m_Thread)
        pbPlanProgress->setValue(percent);
}

void TDevelopmentPlanDialog::SearchFinished()
{
    m_Thread->deleteLater();
    m_Thread = nullptr;
    pbPlanProgress->hide();
    btnPlanFind->setEnabled(true);
    ShowResult();
}

void TDevelopmentPlanDialog::ShowResult()
{
    if (m_Result.Cancelled) {
        lblPlanSummary->setText(QStringLiteral("Поиск прерван; очередь не изменена"));
        return;
    }
    if (!m_Result.Error.isEmpty()) {
        lblPlanSummary->setText(m_Result.Error);
        return;
    }
    TQueueProjectionInput input = m_Request.Start;
    input.Queue = PlanQueue(m_Result.Best.Played);
    m_Plan->SetPlan(m_Result.Best.Played, ProjectQueue(m_Catalog, input), m_RequestedAt);
    QList<qint32> queue;
    for (const TAvBuildingEntry &entry : std::as_const(m_Document.Village().Queue))
        queue.append(entry.CatalogIndex);
    const TPlanComparison comparison = ComparePlan(m_Catalog, m_Request, m_Result, queue);
    const QString method = m_Result.Method == TPlanMethod::Exact
                               ? QStringLiteral("точный перебор")
                               : QStringLiteral("лучшее из простых правил, улучшенное перестановками");
    lblPlanSummary->setText(
        PlanSummaryText(m_Result.Best.End, comparison, m_RequestedAt) + u'\n'
        + QStringLiteral("Раньше нельзя: %1 (без ожиданий, кроме первого). Метод: %2.")
              .arg(ClockText(m_RequestedAt.addSecs(m_Result.LowerBound), m_RequestedAt.date()), method));
    btnPlanReplace->setEnabled(true);
    btnPlanAdd->setEnabled(true);
}

void TDevelopmentPlanDialog::btnPlanReplaceClick()
{
    if (!m_Result.HasPlan())
        return;
    ApplyPlan(m_Document, PlanQueue(m_Result.Best.Played), TPlanApply::ReplaceQueue);
    accept();
}

void TDevelopmentPlanDialog::btnPlanAddClick()
{
    if (!m_Result.HasPlan())
        return;
    ApplyPlan(m_Document, PlanQueue(m_Result.Best.Played), TPlanApply::AddToQueue);
    accept();
}

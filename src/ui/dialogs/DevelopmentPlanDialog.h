// Сервис → "План развития...": the player sets a target level per building
// of the current village (or "Все поля до уровня N") and the three switches,
// and the program finds the order in which the last step ends soonest
// (rules/DevelopmentPlan). The search runs in a worker thread with a
// progress bar; Esc cancels it (and closes the dialog when none runs). The
// result shows as the queue's columns with the line comparing it with the
// queue's (or the catalog's) order; "Заменить очередь" and "Добавить в
// очередь" write it into the queue as one undo step.
#pragma once

#include "rules/DevelopmentPlan.h"

#include <QDateTime>
#include <QDialog>

#include <atomic>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;
class QThread;
class TPlanModel;
class TPlanTargetModel;
class TVillageDocument;
class TdmListObj;

class TDevelopmentPlanDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TDevelopmentPlanDialog(TVillageDocument &document, QWidget *parent = nullptr);
    ~TDevelopmentPlanDialog() override;

    bool IsSearching() const { return m_Thread != nullptr; }

public slots:
    // Esc: cancels a running search, else closes.
    void reject() override;

private:
    void btnPlanAllFieldsClick();
    void btnPlanFindClick();
    void btnPlanReplaceClick();
    void btnPlanAddClick();
    void SearchProgressed(int percent);
    void SearchFinished();
    void ShowResult();

    TVillageDocument &m_Document;
    const TdmListObj &m_Catalog;
    TPlanTargetModel *m_Targets = nullptr;
    TPlanModel *m_Plan = nullptr;

    QTableView *tvPlanTargets = nullptr;
    QSpinBox *sePlanAllFields = nullptr;
    QPushButton *btnPlanAllFields = nullptr;
    QCheckBox *cbPlanStorages = nullptr;
    QCheckBox *cbPlanFarms = nullptr;
    QCheckBox *cbPlanMainBuilding = nullptr;
    QPushButton *btnPlanFind = nullptr;
    QProgressBar *pbPlanProgress = nullptr;
    QTableView *tvPlanResult = nullptr;
    QLabel *lblPlanSummary = nullptr;
    QPushButton *btnPlanReplace = nullptr;
    QPushButton *btnPlanAdd = nullptr;

    // The search: its request, its moment, its thread and what it found.
    TPlanRequest m_Request;
    QDateTime m_RequestedAt;
    QThread *m_Thread = nullptr;
    std::atomic_bool m_Cancel{false};
    TPlanResult m_Result;
};

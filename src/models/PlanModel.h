// The steps of a development plan as the queue shows its items: "Строение",
// "Начало", "Ожидание", "Строить", "Конец", from the queue's projection of
// the plan's order (so that the plan reads as the queue will once applied).
// A step a switch added has "+ " before its name and says so in its tooltip.
//
// The development-plan dialog shows it.
#pragma once

#include "rules/DevelopmentPlan.h"
#include "rules/QueueProjection.h"

#include <QAbstractTableModel>
#include <QDateTime>

class TdmListObj;

class TPlanModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TPlanModel(const TdmListObj &catalog, QObject *parent = nullptr);

    // The plan's steps as played and the projection of their order, whose
    // times count from `at`.
    void SetPlan(const QList<TPlanStep> &played, const TQueueProjection &projection, const QDateTime &at);
    void Clear();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const TdmListObj &m_Catalog;
    QList<TPlanStep> m_Steps;
    TQueueProjection m_Projection;
    QDateTime m_At;
};

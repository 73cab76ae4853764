// The deliveries a village expects as a Qt list model, one line each in
// order of arrival: "14:32 — дерево 300, глина 1 200" (the date in front on
// another day). The page's group "Ожидается" shows it and adds to it what
// the player types: four amounts and the time until arrival ("через",
// hh:mm:ss, as the game's market shows it).
#pragma once

#include "record/VillageData.h"

#include <QAbstractListModel>
#include <QDateTime>

#include <array>
#include <optional>

// What the player typed for a new delivery.
struct TDeliveryInput
{
    // Stocks' texts: digits only, empty counts as 0.
    std::array<QString, 4> Amounts;
    // "1:30:00" (hours, minutes, seconds), as the duration rule reads it.
    QString In;
};

// The delivery typed, arriving `In` after `now`; none, with the reason in
// `error`, when it carries nothing or arrives at no time from now.
std::optional<TDelivery> DeliveryFromInput(const TDeliveryInput &input, const QDateTime &now, QString *error = nullptr);

// The line of one delivery, its clock read against `now`.
QString DeliveryText(const TDelivery &delivery, const QDateTime &now);

class TDeliveryModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit TDeliveryModel(TVillageData &village, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Adds the delivery typed; false, with the reason, when it is refused.
    bool Add(const TDeliveryInput &input, QString *error = nullptr);
    // Takes the delivery of a row off the list; false for no such row.
    bool Remove(int row);

private:
    TVillageData &m_Village;
};

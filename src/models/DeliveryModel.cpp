// The deliveries a village expects; see DeliveryModel.h.
#include "DeliveryModel.h"

#include "base/Clock.h"
#include "base/TimeText.h"
#include "base/WholeNumber.h"
#include "record/InputRules.h"
#include "rules/Exchange.h"

#include <QStringList>

std::optional<TDelivery> DeliveryFromInput(const TDeliveryInput &input, const QDateTime &now, QString *error)
{
    const auto refuse = [error](const QString &reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    TDelivery delivery;
    bool carries = false;
    for (std::size_t i = 0; i < delivery.Amounts.size(); ++i) {
        const QString text = input.Amounts[i].trimmed();
        if (!AcceptStockText(text))
            return refuse(QStringLiteral("Количество должно быть целым числом от 0."));
        delivery.Amounts[i] = WholeNumberOr(text, 0);
        carries = carries || delivery.Amounts[i] > 0;
    }
    if (!carries)
        return refuse(QStringLiteral("Поставка пуста: укажите, сколько ресурсов в пути."));
    const qint32 seconds = TextToSeconds(input.In.trimmed());
    if (seconds <= 0)
        return refuse(QStringLiteral("Укажите, через сколько прибудет поставка (чч:мм:сс)."));
    delivery.Arrives = now.addSecs(seconds);
    return delivery;
}

QString DeliveryText(const TDelivery &delivery, const QDateTime &now)
{
    QStringList parts;
    for (TResourceKind kind : AllResourceKinds) {
        if (delivery.Amounts[KindIndex(kind)] > 0)
            parts.append(ResourceName(kind).toLower() + QLatin1Char(' ')
                         + GroupedAmountText(delivery.Amounts[KindIndex(kind)]));
    }
    return ClockText(delivery.Arrives.toLocalTime(), now.date()) + QStringLiteral(" — ")
        + parts.join(QStringLiteral(", "));
}

TDeliveryModel::TDeliveryModel(TVillageData &village, QObject *parent) : QAbstractListModel(parent), m_Village(village)
{
    connect(&m_Village, &TVillageData::DeliveriesChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int TDeliveryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_Village.Deliveries.size());
}

QVariant TDeliveryModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole)
        return {};
    return DeliveryText(m_Village.Deliveries.at(index.row()), CurrentDateTime());
}

bool TDeliveryModel::Add(const TDeliveryInput &input, QString *error)
{
    const std::optional<TDelivery> delivery = DeliveryFromInput(input, CurrentDateTime(), error);
    return delivery && m_Village.AddDelivery(*delivery);
}

bool TDeliveryModel::Remove(int row)
{
    return m_Village.RemoveDelivery(row);
}

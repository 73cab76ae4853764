// How the table of available buildings looks: a cost that exceeds the stock
// of its kind (the model's ShortageRole) is red and bold. Everything else,
// sorting included, passes to TAvailableModel. The village page shows its
// sgCalc through it.
#pragma once

#include <QFont>
#include <QIdentityProxyModel>

class TAvailableLook : public QIdentityProxyModel
{
    Q_OBJECT

public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The font of a short cost, bold on the view's font.
    void SetFont(const QFont &font);

private:
    QFont m_ShortFont;
};

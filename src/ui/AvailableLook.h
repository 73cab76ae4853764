// How the table of available buildings looks: a cost that exceeds the stock
// of its kind (the model's ShortageRole) is red and bold, except in the
// selected or current cell, which keeps the table's own selection look.
// Everything else, sorting included, passes to TAvailableModel. The village
// page shows its sgCalc through it.
#pragma once

#include <QFont>
#include <QIdentityProxyModel>
#include <QPointer>

class QItemSelectionModel;

class TAvailableLook : public QIdentityProxyModel
{
    Q_OBJECT

public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The font of a short cost, bold on the view's font.
    void SetFont(const QFont &font);
    // The view's selection (over this model): its selected and current
    // cells are drawn without the shortage look. The view repaints the
    // cells whose selection changes, so no change needs announcing.
    void SetSelection(const QItemSelectionModel *selection);

private:
    QFont m_ShortFont;
    QPointer<const QItemSelectionModel> m_Selection;
};

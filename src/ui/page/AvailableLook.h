// How the table of available buildings looks: a cost that exceeds the stock
// of its kind (the model's ShortageRole) is red (a red that reads on the
// table's palette, ReadableColours) and bold, except in the
// selected or current cell, which keeps the table's own selection look.
// Everything else, sorting included, passes to TAvailableModel. The village
// page shows its sgCalc through it.
#pragma once

#include <QColor>
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
    // The colour of a short cost, for the view's palette.
    void SetPalette(const QPalette &palette);
    // The view's selection (over this model): its selected and current
    // cells are drawn without the shortage look. The view repaints the
    // cells whose selection changes, so no change needs announcing.
    void SetSelection(const QItemSelectionModel *selection);

private:
    QFont m_ShortFont;
    QColor m_ShortColour;
    QPointer<const QItemSelectionModel> m_Selection;
};

// The shortage colours of the available table.
#include "AvailableLook.h"

#include "village/AvailableModel.h"

#include <QColor>

QVariant TAvailableLook::data(const QModelIndex &index, int role) const
{
    if (role == Qt::ForegroundRole || role == Qt::FontRole) {
        if (!QIdentityProxyModel::data(index, TAvailableModel::ShortageRole).toBool())
            return {};
        if (role == Qt::ForegroundRole)
            return QColor(255, 0, 0);
        return m_ShortFont;
    }
    return QIdentityProxyModel::data(index, role);
}

void TAvailableLook::SetFont(const QFont &font)
{
    m_ShortFont = font;
    m_ShortFont.setBold(true);
}

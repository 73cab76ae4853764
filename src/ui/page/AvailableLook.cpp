// The shortage colours of the available table.
#include "ui/page/AvailableLook.h"

#include "ui/widgets/ReadableColours.h"

#include "models/AvailableModel.h"

#include <QColor>
#include <QItemSelectionModel>

QVariant TAvailableLook::data(const QModelIndex &index, int role) const
{
    if (role == Qt::ForegroundRole || role == Qt::FontRole) {
        if (!QIdentityProxyModel::data(index, TAvailableModel::ShortageRole).toBool())
            return {};
        if (m_Selection && (m_Selection->currentIndex() == index || m_Selection->isSelected(index)))
            return {};
        if (role == Qt::ForegroundRole)
            return m_ShortColour;
        return m_ShortFont;
    }
    return QIdentityProxyModel::data(index, role);
}

void TAvailableLook::SetFont(const QFont &font)
{
    m_ShortFont = font;
    m_ShortFont.setBold(true);
}

void TAvailableLook::SetPalette(const QPalette &palette)
{
    m_ShortColour = ReadableColours::LookOf(ReadableColours::TColourRole::Shortage, palette).Text;
}

void TAvailableLook::SetSelection(const QItemSelectionModel *selection)
{
    m_Selection = selection;
}

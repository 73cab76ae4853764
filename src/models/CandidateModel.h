// The check list of the building selection dialog as a Qt list model over a
// TCandidateList: each catalog entry's display text with its check box
// (Qt::CheckStateRole), in the list's sorted order. The dialog's
// CheckListBox1 shows it; the dialog's commands change the list through it.
#pragma once

#include "import/CandidateList.h"

#include <QAbstractListModel>

class TCandidateModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum TRole {
        // qint32: the catalog index of the item's entry.
        CatalogIndexRole = Qt::UserRole + 1,
    };

    explicit TCandidateModel(QObject *parent = nullptr);

    const TCandidateList &Items() const { return m_Items; }

    void FillFromCatalog(const TdmListObj &catalog);
    void SetChecks(TCheckMode mode);
    void CheckByText(QStringView text);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void ChecksChanged();

    TCandidateList m_Items;
};

// The building selection dialog: every catalog entry in a sorted check list
// with check-all, uncheck-all and invert. The village page fills it, checks
// the buildings the village considers, shows it and, after OK, takes the
// checked entries as the village's new list. One dialog is created on first
// use and shared by all village pages.
#pragma once

#include "models/CandidateModel.h"

#include <QDialog>
#include <QPointer>

class TdmListObj;

class QAction;
class QListView;
class QMenu;
class QPushButton;

class TFormSelectItems : public QDialog
{
    Q_OBJECT

public:
    explicit TFormSelectItems(QWidget *parent = nullptr);

    // Empties the list, then lists every catalog entry, unchecked, sorted.
    void FillFromCatalog(const TdmListObj &catalog);
    void SetChecks(TCheckMode mode);
    // Checks the first item whose text equals text, letter case ignored.
    void CheckByText(QStringView text);

    int Count() const;
    QString ItemText(int position) const;
    // The catalog index of the item's entry.
    qint32 ItemData(int position) const;
    bool ItemChecked(int position) const;
    // The checked items in list order.
    QList<TAvBuildingEntry> CheckedEntries() const;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void actSelectAllExecute();
    void actUnSelectAllExecute();
    void actInversExecute();
    void CheckListBox1ContextMenu(const QPoint &pos);

private:
    TCandidateModel m_Items;

    QListView *CheckListBox1 = nullptr;
    QWidget *Panel1 = nullptr;
    QPushButton *BtnOk = nullptr;
    QPushButton *BtnCancel = nullptr;
    QAction *actSelectAll = nullptr;
    QAction *actUnSelectAll = nullptr;
    QAction *actInvers = nullptr;
    QMenu *PopupMenu1 = nullptr;
};

// The one shared dialog; empty until first use, and again after the window
// that owns it is gone.
extern QPointer<TFormSelectItems> FormSelectItems;

// The shared dialog, created on first use as a child of owner's window (the
// main window), which keeps it until the program ends.
TFormSelectItems &UseFormSelectItems(QWidget *owner);

// The window "Все деревни": the summary of every open village in one table
// (sgAllVillages, over TSummaryModel), refreshed at each tick of the
// villages' clock while it is shown. A double click on a row asks the main
// window to show that village. Below the table, the villages' culture per
// day and the next village's moment (the village list's next village
// watch). Esc and Ctrl+W close it. It does not keep the
// program running when it is the last window left.
//
// Made by the main window, which gives it the list of open villages.
#pragma once

#include <QWidget>

class QAction;
class QLabel;
class QPushButton;
class QTableView;
class TSummaryModel;
class TVillageData;
class TVillageList;

class TFormAllVillages : public QWidget
{
    Q_OBJECT

public:
    TFormAllVillages(TVillageList &villages, QWidget *parent = nullptr);

    TSummaryModel &Model() const { return *m_Model; }
    // Summarises the villages now.
    void Refresh();
    // Places the window centred over `window`, on that window's screen.
    void CentreOver(const QWidget *window);

signals:
    void VillageActivated(const TVillageData *village);

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void sgAllVillagesDblClick(const QModelIndex &index);
    // "Экспорт в CSV...": the whole summary as CSV.
    void btnExportCsvClick();

private:
    void RefreshIfShown();

    TVillageList &m_Villages;
    TSummaryModel *m_Model = nullptr;
    QTableView *sgAllVillages = nullptr;
    QAction *actCloseWindow = nullptr;
    QPushButton *btnExportCsv = nullptr;
    QLabel *lblNextVillage = nullptr;
};

// The window "Все деревни": the summary of every open village in one table
// (sgAllVillages, over TSummaryModel), refreshed once per second while it is
// shown. A double click on a row asks the main window to show that village.
// Esc and Ctrl+W close it. It does not keep the program running when it is
// the last window left.
//
// Made by the main window, which gives it the villages of its tabs.
#pragma once

#include <QWidget>

#include <functional>

class QAction;
class QTableView;
class QTimer;
class TSummaryModel;
class TVillageData;
class TdmListObj;

class TFormAllVillages : public QWidget
{
    Q_OBJECT

public:
    using TVillageList = std::function<QList<const TVillageData *>()>;

    TFormAllVillages(const TdmListObj &catalog, TVillageList villages, QWidget *parent = nullptr);

    TSummaryModel &Model() const { return *m_Model; }
    // Summarises the villages now.
    void Refresh();
    // Places the window centred over `window`, on that window's screen.
    void CentreOver(const QWidget *window);

signals:
    void VillageActivated(const TVillageData *village);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private slots:
    void sgAllVillagesDblClick(const QModelIndex &index);

private:
    TVillageList m_Villages;
    TSummaryModel *m_Model = nullptr;
    QTableView *sgAllVillages = nullptr;
    QTimer *TimerRefresh = nullptr;
    QAction *actCloseWindow = nullptr;
};

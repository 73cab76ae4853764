// The view menu's toggles of the shown page: "Комментарии", "Строительство"
// and "График". The first two, as last chosen, are what each new page
// starts with in this run and the next; the chart is not remembered, so
// that pages that never show it do not make it.
#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class TFormVillage;

class TViewToggles : public QObject
{
    Q_OBJECT

public:
    // shownPage: the page of the shown tab, null for none.
    TViewToggles(QWidget &window, std::function<TFormVillage *()> shownPage);

    // Adds the toggles to the menu, checked as the shown page is whenever
    // it opens.
    void AddTo(QMenu &menu);
    // A page just made takes the remembered toggles.
    static void Apply(TFormVillage &page);

private:
    void Toggle(bool (TFormVillage::*visible)() const, void (TFormVillage::*setVisible)(bool), bool remember);
    void ShowChecks();

    std::function<TFormVillage *()> m_ShownPage;
    QAction *actViewComments = nullptr;
    QAction *actViewProgress = nullptr;
    QAction *actViewChart = nullptr;
};

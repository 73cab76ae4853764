#include "ui/main/ViewToggles.h"

#include "ui/page/f_Village.h"

#include "base/SettingsAccess.h"
#include "base/SettingsSeam.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QWidget>

namespace {

const QString ViewCommentsKey = QStringLiteral("View/Comments");
const QString ViewProgressKey = QStringLiteral("View/Progress");

QAction *NewToggle(QWidget &window, const QString &name, const QString &caption)
{
    auto *action = new QAction(caption, &window);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setProperty("category", QStringLiteral("Вид"));
    return action;
}

} // namespace

TViewToggles::TViewToggles(QWidget &window, std::function<TFormVillage *()> shownPage)
    : QObject(&window), m_ShownPage(std::move(shownPage))
{
    actViewComments = NewToggle(window, QStringLiteral("actViewComments"), QStringLiteral("&Комментарии"));
    actViewProgress = NewToggle(window, QStringLiteral("actViewProgress"), QStringLiteral("&Строительство"));
    actViewChart = NewToggle(window, QStringLiteral("actViewChart"), QStringLiteral("&График"));
    connect(actViewComments, &QAction::triggered, this,
            [this] { Toggle(&TFormVillage::CommentsVisible, &TFormVillage::SetCommentsVisible, true); });
    connect(actViewProgress, &QAction::triggered, this,
            [this] { Toggle(&TFormVillage::ProgressVisible, &TFormVillage::SetProgressVisible, true); });
    connect(actViewChart, &QAction::triggered, this,
            [this] { Toggle(&TFormVillage::ChartVisible, &TFormVillage::SetChartVisible, false); });
}

void TViewToggles::AddTo(QMenu &menu)
{
    menu.addAction(actViewComments);
    menu.addAction(actViewProgress);
    menu.addAction(actViewChart);
    connect(&menu, &QMenu::aboutToShow, this, &TViewToggles::ShowChecks);
}

void TViewToggles::Apply(TFormVillage &page)
{
    const auto settings = OpenSettings();
    if (!settings)
        return;
    if (settings->contains(ViewCommentsKey))
        page.SetCommentsVisible(settings->value(ViewCommentsKey).toBool());
    if (settings->contains(ViewProgressKey))
        page.SetProgressVisible(settings->value(ViewProgressKey).toBool());
}

void TViewToggles::Toggle(bool (TFormVillage::*visible)() const, void (TFormVillage::*setVisible)(bool),
                          bool remember)
{
    TFormVillage *page = m_ShownPage();
    if (page)
        (page->*setVisible)(!(page->*visible)());
    ShowChecks();
    const auto settings = OpenSettings();
    if (remember && page && settings) {
        StoreSetting(*settings, ViewCommentsKey, page->CommentsVisible());
        StoreSetting(*settings, ViewProgressKey, page->ProgressVisible());
    }
}

void TViewToggles::ShowChecks()
{
    const TFormVillage *page = m_ShownPage();
    actViewComments->setChecked(page != nullptr && page->CommentsVisible());
    actViewProgress->setChecked(page != nullptr && page->ProgressVisible());
    actViewChart->setChecked(page != nullptr && page->ChartVisible());
}

// The tabs that follow the village list; see VillageTabs.h.
#include "ui/main/VillageTabs.h"

#include "ui/main/VillageTab.h"
#include "ui/page/f_Village.h"

#include "app/VillageDocument.h"
#include "app/VillageFiles.h"
#include "app/VillageList.h"
#include "record/VillageData.h"

#include <QCoreApplication>
#include <QHash>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTabBar>
#include <QUndoGroup>

namespace {

// The name as it stands: an "&" is doubled, or the tab bar would hide it
// and make the next letter an Alt shortcut.
QString Caption(const QString &name)
{
    return QString(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// A tab bar that measures each caption once. QTabBar measures every tab's
// text again each time it lays its tabs out, which it does for every tab
// added or renamed: n villages opened cost n² measures. The size of a tab
// follows from its text and whether it is the current one; a change of
// font or style measures anew.
class TVillageTabBar : public QTabBar
{
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        // While the bar finds a tab's least size it asks with the elided
        // text in place: that text is a key of its own.
        const QString key = (index == currentIndex() ? QLatin1Char('1') : QLatin1Char('0')) + tabText(index);
        const auto found = m_Sizes.constFind(key);
        if (found != m_Sizes.cend())
            return *found;
        const QSize size = QTabBar::tabSizeHint(index);
        m_Sizes.insert(key, size);
        return size;
    }

    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            m_Sizes.clear();
        QTabBar::changeEvent(event);
    }

private:
    mutable QHash<QString, QSize> m_Sizes;
};

} // namespace

TVillageTabs::TVillageTabs(TVillageFiles &files, QWidget *parent)
    : QTabWidget(parent), m_Files(files)
{
    setTabBar(new TVillageTabBar(this));
    setObjectName(QStringLiteral("pcMain"));
    setMovable(true);
    tabBar()->installEventFilter(this);
    m_UndoGroup = new QUndoGroup(this);

    TVillageList &villages = files.Villages();
    VillagesInserted(0, villages.Count() - 1);
    connect(&villages, &TVillageList::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { VillagesInserted(first, last); });
    connect(&villages, &TVillageList::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &, int first, int last) { VillagesAboutToBeRemoved(first, last); });
    connect(&villages, &TVillageList::rowsMoved, this, &TVillageTabs::VillagesMoved);
    connect(tabBar(), &QTabBar::tabMoved, this, &TVillageTabs::TabMoved);
    connect(&files, &TVillageFiles::CurrentChanged, this, &TVillageTabs::ShowDocument);
    connect(this, &QTabWidget::currentChanged, this, [this] {
        TVillageTab *tab = ActiveTab();
        m_UndoGroup->setActiveStack(tab ? tab->UndoStack() : nullptr);
        m_Files.SetCurrent(tab ? &tab->Document() : nullptr);
    });
}

TVillageTabs::~TVillageTabs()
{
    // The tabs and their pages go before the villages they show; the bar
    // is not laid out again for each.
    disconnect(this, &QTabWidget::currentChanged, this, nullptr);
    setUpdatesEnabled(false);
    tabBar()->hide();
    while (count() > 0)
        delete widget(0);
}

TVillageTab *TVillageTabs::Tab(int index) const
{
    return qobject_cast<TVillageTab *>(widget(index));
}

TVillageTab *TVillageTabs::ActiveTab() const
{
    return qobject_cast<TVillageTab *>(currentWidget());
}

int TVillageTabs::IndexOfDocument(const TVillageDocument *document) const
{
    for (int i = 0; i < count(); ++i) {
        if (&Tab(i)->Document() == document)
            return i;
    }
    return -1;
}

void TVillageTabs::VillagesInserted(int first, int last)
{
    PauseTabBar();
    for (int row = first; row <= last; ++row) {
        TVillageDocument *document = m_Files.Villages().At(row);
        auto *tab = new TVillageTab(*document);
        TVillageData &village = document->Village();
        connect(&village, &TVillageData::NameChanged, tab, [this, tab](const QString &name) { SetCaption(tab, name); });
        connect(tab, &TVillageTab::PageBuilt, this, &TVillageTabs::PageBuilt);
        m_UndoGroup->addStack(tab->UndoStack());
        // The shown tab stays: the first tab alone becomes the current one.
        insertTab(row, tab, Caption(village.Name));
    }
}

void TVillageTabs::VillagesAboutToBeRemoved(int first, int last)
{
    PauseTabBar();
    setUpdatesEnabled(false);
    for (int row = last; row >= first; --row)
        delete widget(row);
    setUpdatesEnabled(true);
}

void TVillageTabs::PauseTabBar()
{
    // A tab widget not shown lays nothing out until it is.
    if (m_TabBarPaused || !isVisible())
        return;
    m_TabBarPaused = true;
    m_TabBarHadFocus = tabBar()->hasFocus();
    tabBar()->hide();
    QMetaObject::invokeMethod(this, &TVillageTabs::ResumeTabBar, Qt::QueuedConnection);
}

void TVillageTabs::ResumeTabBar()
{
    if (!m_TabBarPaused)
        return;
    m_TabBarPaused = false;
    tabBar()->show();
    // The bar and the pages are placed again at once.
    QEvent request(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(this, &request);
    if (m_TabBarHadFocus && isActiveWindow())
        tabBar()->setFocus();
}

void TVillageTabs::VillagesMoved()
{
    const TVillageList &villages = m_Files.Villages();
    const QScopedValueRollback following(m_FollowingList, true);
    for (int row = 0; row < villages.Count(); ++row) {
        const int index = IndexOfDocument(villages.At(row));
        if (index >= 0 && index != row)
            tabBar()->moveTab(index, row);
    }
}

void TVillageTabs::TabMoved(int from, int to)
{
    // The villages keep the order of their tabs.
    if (!m_FollowingList)
        m_Files.Villages().Move(from, to);
}

void TVillageTabs::ShowDocument(TVillageDocument *document)
{
    const int index = IndexOfDocument(document);
    if (index >= 0)
        setCurrentIndex(index);
}

void TVillageTabs::SetCaption(TVillageTab *tab, const QString &name)
{
    const int index = indexOf(tab);
    if (index >= 0)
        setTabText(index, Caption(name));
}

void TVillageTabs::ShowNext()
{
    if (count() > 1)
        setCurrentIndex((currentIndex() + 1) % count());
}

void TVillageTabs::ShowPrevious()
{
    if (count() > 1)
        setCurrentIndex((currentIndex() + count() - 1) % count());
}

bool TVillageTabs::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != tabBar())
        return QTabWidget::eventFilter(watched, event);

    if (event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const int index = tabBar()->tabAt(mouse->position().toPoint());
        if (mouse->button() == Qt::MiddleButton) {
            MiddleClick(index);
            return true;
        }
        if (mouse->button() == Qt::LeftButton) {
            m_DraggedPage = widget(index);
            m_DragStartIndex = index;
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && tabBar()->tabAt(mouse->position().toPoint()) < 0) {
            // The tab bar finishes its drag first, then the tab goes back.
            QMetaObject::invokeMethod(this, &TVillageTabs::DropBeside, Qt::QueuedConnection);
        } else if (mouse->button() == Qt::LeftButton) {
            m_DraggedPage.clear();
        }
    }
    return QTabWidget::eventFilter(watched, event);
}

void TVillageTabs::MiddleClick(int index)
{
    if (index < 0)
        return;
    const QPointer<QWidget> previous = currentWidget();
    const QPointer<QWidget> clicked = widget(index);
    setCurrentIndex(index);
    emit CloseRequested();
    // When another tab than the shown one went, the player stays where he was.
    if (clicked.isNull() && !previous.isNull())
        setCurrentWidget(previous);
}

void TVillageTabs::DropBeside()
{
    if (m_DraggedPage.isNull())
        return;
    const int index = indexOf(m_DraggedPage);
    m_DraggedPage.clear();
    if (index >= 0 && m_DragStartIndex >= 0 && m_DragStartIndex < count() && index != m_DragStartIndex)
        tabBar()->moveTab(index, m_DragStartIndex);
}

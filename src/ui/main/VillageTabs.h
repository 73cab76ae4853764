// The tabs of the main window, one per open village, following the village
// list (TVillageFiles::Villages) as rows are inserted, removed and moved, and
// the village shown (TVillageFiles::Current) both ways. A tab shows its
// village's name as it stands; a tab dragged and dropped where there is no
// tab goes back to where it started; the middle button on a tab asks for
// that tab to close (CloseRequested, with the tab shown meanwhile). Each tab
// makes its page when first shown (VillageTab.h); the undo group follows
// the shown tab's stack.
#pragma once

#include <QPointer>
#include <QTabWidget>

class QUndoGroup;
class TFormVillage;
class TVillageDocument;
class TVillageFiles;
class TVillageTab;

class TVillageTabs : public QTabWidget
{
    Q_OBJECT

public:
    explicit TVillageTabs(TVillageFiles &files, QWidget *parent = nullptr);
    ~TVillageTabs() override;

    TVillageTab *Tab(int index) const;
    TVillageTab *ActiveTab() const;
    QUndoGroup *UndoGroup() const { return m_UndoGroup; }

    void ShowNext();
    void ShowPrevious();

signals:
    void PageBuilt(TFormVillage *page);
    // The middle button on a tab: that tab is shown while the signal runs;
    // the tab shown before comes back when the clicked one has gone.
    void CloseRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void VillagesInserted(int first, int last);
    void VillagesAboutToBeRemoved(int first, int last);
    void VillagesMoved();
    void TabMoved(int from, int to);
    void ShowDocument(TVillageDocument *document);
    void SetCaption(TVillageTab *tab, const QString &name);
    void MiddleClick(int index);
    void DropBeside();
    int IndexOfDocument(const TVillageDocument *document) const;
    // A shown tab bar lays out all its tabs again on each tab added, closed
    // or renamed. While villages are opened or closed together it is
    // hidden, which only marks its layout out of date, and it comes back,
    // laid out once, when the event loop does: before anything is painted,
    // which waits at a lower priority.
    void PauseTabBar();
    void ResumeTabBar();

    TVillageFiles &m_Files;
    QUndoGroup *m_UndoGroup = nullptr;
    // Set while the tabs follow a move of the list, so that the tab bar's
    // own signal is not sent back.
    bool m_FollowingList = false;
    bool m_TabBarPaused = false;
    bool m_TabBarHadFocus = false;
    // The tab being dragged on the tab strip and where it started.
    QPointer<QWidget> m_DraggedPage;
    int m_DragStartIndex = -1;
};

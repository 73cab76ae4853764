// The main window: one tab per open village, the file commands (new, open,
// save, save as, save all), the view toggles of the active page, the import
// command and the About box. Closing the window saves every changed village;
// a village still not safely stored makes it ask, naming the villages, before
// it goes; closing one tab asks the same of its village. Every open village,
// shown or not, reports its notifications to the desktop; the tray icon
// (where the desktop has a tray), the settings and the window of all
// villages hang here.
#pragma once

#include "notify/NotificationSettings.h"
#include "app/RecentFiles.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QMenu;
class QScreen;
class QTabWidget;
class TAboutBox;
class TdmListObj;
class TFormVillage;
class TDesktopNotifier;
class TFormAllVillages;
class TTrayIcon;
class TTrayProbe;
enum class TTrayServiceState;
class TVillageData;
class TVillageList;
class QUndoGroup;
class TClipboardRoute;
class TClipboardOfferBar;
class TVillageDocument;
class TVillageRecovery;
class TVillageTab;

class TFormMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormMain(const TdmListObj &catalog, QWidget *parent = nullptr);
    ~TFormMain() override;

    // The village pages in tab order, and the one of the active tab. A
    // tab makes its page when first shown; asking for a page makes it.
    int PageCount() const;
    TFormVillage *Page(int index) const;
    TFormVillage *ActivePage() const;

    // Opens each file in a tab as Open does: a file open already is reported
    // and skipped, an untouched empty tab is used for the first.
    void OpenFiles(const QStringList &files);

    // Ends the program through the normal close, questions included, also
    // from the tray while the window is hidden, and when the system asks
    // the program to end.
    void QuitProgram();

    // Shows the window (also from hidden or minimised) and raises it: the
    // tray's "Показать окно", and a later start of the program.
    void ShowWindow();

    // The villages open at the last exit, opened again in their order with
    // the same tab shown; files that have gone are reported in one message.
    void RestoreSession();
    // After a crash: asks whether the villages left with unwritten edits
    // are to come back ("Восстановить": as unsaved tabs, in the tab of
    // their file when the session opened it) or go ("Удалить").
    void OfferRecovery();

    // The way notifications leave the program; chosen for this desktop on
    // the first notification unless set before (tests record them).
    void SetNotifier(std::unique_ptr<TDesktopNotifier> notifier);
    // The tray icon and its menu: made at start where the desktop has a tray;
    // tests give one where it has none.
    void SetTrayIcon(std::unique_ptr<TTrayIcon> tray);
    TTrayIcon *TrayIcon() const { return m_Tray.get(); }
    const TNotificationSettings &NotificationSettings() const { return m_NotificationSettings; }
    // The window of all villages; null until first shown.
    TFormAllVillages *AllVillages() const { return m_AllVillages; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Village files dropped on the window open as Open opens them.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void actNewExecute();
    void actOpenExecute();
    void actSaveExecute();
    void actSaveAsExecute();
    void actSaveAllExecute();
    void actSaveUpdate();
    void actCloseExecute();
    void actMenuKeyExecute();
    void actViewCommentsExecute();
    void actViewProgressExecute();
    void actViewChartExecute();
    void actImportExecute();
    void actAboutExecute();
    void mmiExitClick();
    void actNextTabExecute();
    void actPreviousTabExecute();
    void miViewClick();
    void miRecentFilesShow();
    void actAllVillagesExecute();
    void actSettingsExecute();
    void actDevelopmentPlanExecute();
    void actExportCsvExecute();

private:
    void FormCreate();
    void CreateActions();
    void CreateMenus();
    QAction *NewAction(const QString &name, const QString &caption, const QString &category,
        const QKeySequence &shortcut);
    // The tabs in order and the active one; they hold the villages'
    // documents, and their pages once made.
    TVillageTab *Tab(int index) const;
    TVillageTab *ActiveTab() const;
    // A tab for a new, empty village at the end; the shown tab stays.
    TVillageTab *AddVillageTab();
    // A tab's page has been made: it takes the view toggles.
    void VillagePageBuilt(TFormVillage *page);
    // Opens each file in a tab as OpenFiles does, without showing the
    // tabs one after the other; the tab to show at the end is returned
    // (null when no file got a tab or was open already).
    TVillageTab *OpenFilesInTabs(const QStringList &files);
    // Saves one village as the three save commands share it: nothing when it
    // is unchanged; a file name asked for when it has none (or when
    // askNewName); then written.
    void SaveVillage(TVillageDocument &document, bool askNewName);
    // Another program changed the village's file: "Загрузить" reads it
    // again, "Оставить мои" keeps the village to be written over it. True
    // for the latter.
    bool AskFileChanged(TVillageDocument *document);
    // Whether a village other than `except` has this file (the same file
    // by its canonical path).
    bool IsOpen(const QString &fileName, const TVillageDocument *except = nullptr) const;
    // The tab of the village that has this file; -1 for none.
    int OpenPageIndex(const QString &fileName, const TVillageDocument *except = nullptr) const;
    void pcMainCaptionChanged(TVillageTab *tab, const QString &caption);
    void pcMainMiddleClick(int index);
    void pcMainDropBeside();
    // What the window remembers between runs: its geometry and state, the
    // view toggles (given to each new page), the session and recent files.
    void RestoreWindowSettings();
    void SaveWindowSettings() const;
    void ApplyViewSettings(TFormVillage *page) const;
    void SaveViewSettings() const;
    void SaveSession() const;
    void AddRecentFile(const QString &file);
    void mmiRecentFileClick(const QString &file);
    // The title shows the active village and its file, with the marker for
    // changes not yet written.
    void UpdateTitle();
    // Widens the window once, after it is first shown with a size of its
    // own choosing, so that the available table's name column shows the
    // whole names of the buildings listed then (the design width was chosen
    // for a narrower font than most systems have).
    void FitWidthToTable();
    // Keeps the least size and the window on its screen's available area
    // (ScreenFit.h); centred when `centre`, else moved only as needed.
    void FitToScreen(bool centre);
    // Fits the window again when its screen or the screen's room changes.
    void WatchScreen();

    // Notifications, tray, settings, all villages.
    void CreateNotifications();
    void TrayProbeFinished(TTrayServiceState state);
    // Whether there is a tray to hide the window to.
    bool TrayPresent() const;
    void TrayPresenceChanged(bool present);
    // Feeds the village's notification rules once per tick, shown or not.
    void WatchVillage(TVillageDocument *document);
    // One notification for the village's tick, whose action shows its tab.
    void SendNotifications(TVillageDocument *document, const QList<TNotification> &notifications);
    void ApplyNotificationSettings(const TNotificationSettings &settings);
    void FormSettingsAccepted();
    void ShowVillage(const TVillageData *village);
    void RefreshAllVillages();

    // Undo and redo, the clipboard route, the CSV export (VillageUndo,
    // ClipboardRoute, CsvExport).
    void CreateExchange();
    void ClipboardPageImported(TVillageDocument *document, const QString &text);
    void ClipboardImportChosen(const QStringList &lines);
    // One notification to the desktop, outside the villages' rules.
    // A notification of one village outside the rules (a page imported from
    // the clipboard).
    void NotifyText(TVillageDocument *document, const QString &text);
    // The way notifications leave the program, chosen when first needed.
    void ChooseNotifier();

    const TdmListObj &m_Catalog;
    // The open villages, in tab order, and their clock.
    TVillageList *m_Villages = nullptr;
    // Keeps the villages' unwritten edits for the next start after a crash.
    TVillageRecovery *m_Recovery = nullptr;
    QTabWidget *pcMain = nullptr;
    QAction *actNew = nullptr;
    QAction *actOpen = nullptr;
    QAction *actSave = nullptr;
    QAction *actSaveAs = nullptr;
    QAction *actSaveAll = nullptr;
    QAction *actViewComments = nullptr;
    QAction *actViewProgress = nullptr;
    QAction *actViewChart = nullptr;
    QAction *actImport = nullptr;
    QAction *actAbout = nullptr;
    QAction *actClose = nullptr;
    QAction *actMenuKey = nullptr;
    QAction *mmiSave = nullptr;
    QAction *mmiExit = nullptr;
    QAction *actNextTab = nullptr;
    QAction *actPreviousTab = nullptr;
    bool m_ScreenWatched = false;
    QPointer<QScreen> m_WatchedScreen;
    QMenu *miView = nullptr;
    QMenu *miRecentFiles = nullptr;
    TRecentFiles m_RecentFiles;
    TAboutBox *m_AboutBox = nullptr;
    // The tab being dragged on the tab strip and where it started.
    QPointer<QWidget> m_DraggedPage;
    int m_DragStartIndex = -1;
    // Whether the window is to be fitted to the table when first shown: not
    // when it took a size remembered from an earlier run.
    bool m_FitWhenShown = true;
    QAction *actAllVillages = nullptr;
    QAction *actSettings = nullptr;
    TNotificationSettings m_NotificationSettings;
    // The tray goes after the notifier that may show its messages.
    std::unique_ptr<TTrayIcon> m_Tray;
    // Asks the bus for the tray until it has answered.
    QPointer<TTrayProbe> m_TrayProbe;
    std::unique_ptr<TDesktopNotifier> m_Notifier;
    bool m_NotifierChosen = false;
    TFormAllVillages *m_AllVillages = nullptr;
    QPointer<QWidget> m_FormSettings;
    // Set while the program really ends, so that closing does not hide.
    bool m_Quitting = false;
    QUndoGroup *m_UndoGroup = nullptr;
    QAction *actUndo = nullptr;
    QAction *actRedo = nullptr;
    QAction *actExportCsv = nullptr;
    TClipboardRoute *m_ClipboardRoute = nullptr;
    TClipboardOfferBar *m_OfferBar = nullptr;
};

// The main window: the menus and actions, forwarded to the file commands
// (TVillageFiles), the tabs (TVillageTabs) and the active page; the view
// toggles, the window's geometry, the tray, the notifications, the settings
// and the window of all villages. Closing the window ends the program
// through TVillageFiles' questions, or hides it to the tray when the player
// chose so.
#pragma once

#include "notify/NotificationSettings.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QMenu;
class QScreen;
class TFileDialogs;
class TVillageFiles;
class TVillageTabs;
class TAboutBox;
class TdmListObj;
class TFormVillage;
class TDesktopNotifier;
class TFormAllVillages;
class TTrayIcon;
class TDesktopPresence;
class TVillageData;
class TVillageList;
class TClipboardRoute;
class TClipboardOfferBar;
class TVillageDocument;
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
    TTrayIcon *TrayIcon() const;
    const TNotificationSettings &NotificationSettings() const;
    // The file commands, which the menus forward to.
    TVillageFiles &Files() const { return *m_Files; }
    // The window of all villages; null until first shown.
    TFormAllVillages *AllVillages() const { return m_AllVillages; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
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
    // Сервис → "Культура...": the account's culture and the next village.
    void actCultureExecute();
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
    // A tab's page has been made: it takes the view toggles.
    void VillagePageBuilt(TFormVillage *page);
    // What the window remembers between runs: its geometry and state, the
    // view toggles (given to each new page).
    void RestoreWindowSettings();
    void SaveWindowSettings() const;
    void ApplyViewSettings(TFormVillage *page) const;
    void SaveViewSettings() const;
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

    // The tray, settings, all villages.
    void TrayIconChanged(TTrayIcon *tray);
    void TrayGone();
    void FormSettingsAccepted();
    void ShowVillage(const TVillageData *village);
    void RefreshAllVillages();

    // Undo and redo, the clipboard route, the CSV export (VillageUndo,
    // ClipboardRoute, CsvExport).
    void CreateExchange();
    void ClipboardPageImported(TVillageDocument *document, const QString &text);
    void ClipboardImportChosen(const QStringList &lines);

    const TdmListObj &m_Catalog;
    // The open villages, in tab order, and their clock.
    TVillageList *m_Villages = nullptr;
    std::unique_ptr<TFileDialogs> m_FileDialogs;
    TVillageFiles *m_Files = nullptr;
    TVillageTabs *pcMain = nullptr;
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
    TAboutBox *m_AboutBox = nullptr;
    // Whether the window is to be fitted to the table when first shown: not
    // when it took a size remembered from an earlier run.
    bool m_FitWhenShown = true;
    QAction *actAllVillages = nullptr;
    QAction *actSettings = nullptr;
    TDesktopPresence *m_Presence = nullptr;
    TFormAllVillages *m_AllVillages = nullptr;
    QPointer<QWidget> m_FormSettings;
    // Set while the program really ends, so that closing does not hide.
    bool m_Quitting = false;
    QAction *actUndo = nullptr;
    QAction *actRedo = nullptr;
    QAction *actExportCsv = nullptr;
    TClipboardRoute *m_ClipboardRoute = nullptr;
    TClipboardOfferBar *m_OfferBar = nullptr;
};

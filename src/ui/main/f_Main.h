// The main window: a shell of menus and actions over the tabs (TVillageTabs)
// that forwards to the file commands (TVillageFiles), the shown page, the
// desktop's tray and notices (TDesktopPresence), the view toggles, the
// window's place (TWindowPlacement), the settings and the window of all
// villages. Closing the window ends the program through the file commands'
// questions, or hides it to the tray when the player chose so.
#pragma once

#include "notify/NotificationSettings.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class TFileDialogs;
class TViewToggles;
class TWindowPlacement;
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
    // Ends the program at once, asking nothing, when the system asks it to
    // end (logout, shutdown): the unwritten villages are kept for the next
    // start to offer back (TVillageFiles::EndAtOnce). Open questions close.
    void EndAtOnce();

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
    // Village files dropped on the window open as Open opens them.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void CreateActions();
    void CreateMenus();
    QAction *NewAction(const QString &name, const QString &caption, const QString &category,
        const QKeySequence &shortcut);
    // "Сохранить" and the title follow the shown village's unwritten edits.
    void actSaveUpdate();
    void TrayIconChanged(TTrayIcon *tray);
    void ShowSettings();
    void ShowAllVillages();
    void ShowVillage(const TVillageData *village);
    // The clipboard route and its offer bar, and drops.
    void CreateExchange();

    // The open villages, in tab order, and their clock.
    TVillageList *m_Villages = nullptr;
    std::unique_ptr<TFileDialogs> m_FileDialogs;
    TVillageFiles *m_Files = nullptr;
    TVillageTabs *pcMain = nullptr;
    TViewToggles *m_ViewToggles = nullptr;
    TWindowPlacement *m_Placement = nullptr;
    TDesktopPresence *m_Presence = nullptr;
    TClipboardRoute *m_ClipboardRoute = nullptr;
    QAction *actNew = nullptr;
    QAction *actOpen = nullptr;
    QAction *actSave = nullptr;
    QAction *actSaveAs = nullptr;
    QAction *actSaveAll = nullptr;
    QAction *actImport = nullptr;
    QAction *actAbout = nullptr;
    QAction *mmiSave = nullptr;
    QAction *mmiExit = nullptr;
    QAction *actAllVillages = nullptr;
    TAboutBox *m_AboutBox = nullptr;
    TFormAllVillages *m_AllVillages = nullptr;
    QPointer<QWidget> m_FormSettings;
    // Set while the program really ends, so that closing does not hide.
    bool m_Quitting = false;
    bool m_EndingAtOnce = false;
};

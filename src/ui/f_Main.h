// The main window: one tab per open village, the file commands (new, open,
// save, save as, save all), the view toggles of the active page, the import
// command and the About box. Closing the window saves every changed village;
// a village still not safely stored makes it ask, naming the villages, before
// it goes; closing one tab asks the same of its village.
#pragma once

#include "village/RecentFiles.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QMenu;
class QTabWidget;
class TAboutBox;
class TdmListObj;
class TFormVillage;

class TFormMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormMain(const TdmListObj &catalog, QWidget *parent = nullptr);
    ~TFormMain() override;

    // The village pages in tab order, and the one of the active tab.
    int PageCount() const;
    TFormVillage *Page(int index) const;
    TFormVillage *ActivePage() const;

    // Opens each file in a tab as Open does: a file open already is reported
    // and skipped, an untouched empty tab is used for the first.
    void OpenFiles(const QStringList &files);

    // The villages open at the last exit, opened again in their order with
    // the same tab shown; files that have gone are reported in one message.
    void RestoreSession();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

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
    void miViewClick();
    void miRecentFilesShow();

private:
    void FormCreate();
    void CreateActions();
    void CreateMenus();
    QAction *NewAction(const QString &name, const QString &caption, const QString &category,
        const QKeySequence &shortcut);
    // Saves one village as the three save commands share it: nothing when it
    // is unchanged; a file name asked for when it has none (or when
    // askNewName); then written.
    void SaveVillage(TFormVillage *page, bool askNewName);
    // Whether a village other than `except` has this file (the same file
    // by its canonical path).
    bool IsOpen(const QString &fileName, const TFormVillage *except = nullptr) const;
    void pcMainCaptionChanged(TFormVillage *page, const QString &caption);
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
    // Widens the window once, when first shown, so that the table of
    // available buildings shows all its columns in the font in use.
    void FitWidthToTable();

    const TdmListObj &m_Catalog;
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
    QMenu *miView = nullptr;
    QMenu *miRecentFiles = nullptr;
    TRecentFiles m_RecentFiles;
    TAboutBox *m_AboutBox = nullptr;
    // The tab being dragged on the tab strip and where it started.
    QPointer<QWidget> m_DraggedPage;
    int m_DragStartIndex = -1;
    bool m_FittedToTable = false;
};

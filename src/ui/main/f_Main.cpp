#include "ui/main/f_Main.h"

#include "ui/main/ClipboardOfferBar.h"
#include "ui/main/ClipboardRoute.h"
#include "ui/widgets/CsvExport.h"
#include "ui/desktop/DesktopNotifier.h"
#include "ui/desktop/DesktopPresence.h"
#include "ui/widgets/ProgramIcon.h"
#include "ui/widgets/ScreenFit.h"
#include "ui/desktop/TrayIcon.h"
#include "ui/widgets/UiSeams.h"
#include "ui/main/FileDialogs.h"
#include "ui/main/VillageTab.h"
#include "ui/main/VillageTabs.h"
#include "base/MessageSeam.h"
#include "ui/dialogs/f_About.h"
#include "ui/dialogs/f_AllVillages.h"
#include "ui/dialogs/f_Culture.h"
#include "ui/dialogs/f_Settings.h"
#include "ui/page/f_Village.h"
#include "ui/main/NewVillageRace.h"
#include "ui/dialogs/DevelopmentPlanDialog.h"

#include "app/VillageDocument.h"
#include "app/VillageFiles.h"
#include "app/VillageList.h"
#include "import/OverviewImport.h"
#include "app/WindowTitle.h"
#include "base/SettingsAccess.h"
#include "base/SettingsSeam.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"
#include "record/VillageFileAccess.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUrl>
#include <QIcon>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTimer>
#include <QTabWidget>
#include <QWindow>

#include <algorithm>

namespace {

const QString FileCategory = QStringLiteral("Файл");
const QString ViewCategory = QStringLiteral("Вид");
const QString GeometryKey = QStringLiteral("Window/Geometry");
const QString StateKey = QStringLiteral("Window/State");
const QString ViewCommentsKey = QStringLiteral("View/Comments");
const QString ViewProgressKey = QStringLiteral("View/Progress");
// The least size of the window where the screen has room for it.
constexpr QSize DesignMinimumSize(700, 570);

} // namespace

TFormMain::TFormMain(const TdmListObj &catalog, QWidget *parent)
    : QMainWindow(parent), m_Catalog(catalog)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(WindowTitle({}, {}));
    // The system's font at 8 points. (Asking for Tahoma, the Windows font of
    // the original design, makes the font lookup search every installed font
    // where it is missing, which cost a good part of start-up.)
    QFont windowFont = font();
    windowFont.setPointSize(8);
    setFont(windowFont);
    setMinimumSize(DesignMinimumSize);

    m_Villages = new TVillageList(catalog, this);
    m_FileDialogs = std::make_unique<TFileDialogs>(this);
    m_Files = new TVillageFiles(*m_Villages, *m_FileDialogs, this);
    connect(m_Files, &TVillageFiles::Changed, this, &TFormMain::actSaveUpdate);
    m_Presence = new TDesktopPresence(*m_Villages, this);
    connect(m_Presence, &TDesktopPresence::TrayIconChanged, this, &TFormMain::TrayIconChanged);
    connect(m_Presence, &TDesktopPresence::TrayGone, this, &TFormMain::TrayGone);
    connect(m_Presence, &TDesktopPresence::VillageActivated, this, &TFormMain::ShowVillage);

    pcMain = new TVillageTabs(*m_Files, this);
    connect(pcMain, &TVillageTabs::PageBuilt, this, &TFormMain::VillagePageBuilt);
    setCentralWidget(pcMain);

    CreateActions();
    CreateMenus();
    // The tray comes when the bus has answered, so that the window never
    // waits for it.
    m_Presence->StartTrayProbe();

    // The tabs get 712 x 596 pixels below the menu bar; the window starts
    // in the middle of the desktop.
    resize(712, 596 + menuBar()->sizeHint().height());
    if (const QScreen *desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
    RestoreWindowSettings();
    // Never larger than the screen: a design size that does not fit (a small
    // or strongly scaled screen) shrinks to it, and the window is centred.
    FitToScreen(m_FitWhenShown);
    CreateExchange();

    FormCreate();
}

TFormMain::~TFormMain()
{
    // The tabs and their pages go before the villages they show.
    delete pcMain;
}

void TFormMain::FitToScreen(bool centre)
{
    const QScreen *desktop = screen();
    if (!desktop || isMaximized() || isFullScreen())
        return;
    const QRect available = desktop->availableGeometry();
    // The frame is known once the window is on the screen.
    QMargins frame;
    if (isVisible() && frameGeometry().isValid())
        frame = QMargins(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(),
                         frameGeometry().bottom() - geometry().bottom());
    setMinimumSize(FitClientSize(DesignMinimumSize, available, frame));
    const QRect fitted = FitClientGeometry(geometry(), available, frame, centre);
    if (fitted != geometry())
        setGeometry(fitted);
}

void TFormMain::WatchScreen()
{
    QWindow *window = windowHandle();
    if (!window || m_ScreenWatched)
        return;
    m_ScreenWatched = true;
    const auto follow = [this](QScreen *desktop) {
        if (m_WatchedScreen)
            disconnect(m_WatchedScreen, &QScreen::availableGeometryChanged, this, nullptr);
        m_WatchedScreen = desktop;
        if (desktop)
            connect(desktop, &QScreen::availableGeometryChanged, this, [this] { FitToScreen(false); });
    };
    follow(window->screen());
    connect(window, &QWindow::screenChanged, this, [this, follow](QScreen *desktop) {
        follow(desktop);
        FitToScreen(false);
    });
}

void TFormMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    WatchScreen();
    FitToScreen(false);
    if (m_FitWhenShown) {
        m_FitWhenShown = false;
        // The columns take their widths in the first layout pass, after this.
        QTimer::singleShot(0, this, &TFormMain::FitWidthToTable);
    }
}

void TFormMain::FitWidthToTable()
{
    const TFormVillage *page = ActivePage();
    if (!page || isMaximized() || isFullScreen())
        return;
    const int missing = page->MissingNameWidth();
    if (missing <= 0)
        return;
    resize(this->width() + missing, height());
    FitToScreen(true);
}

QAction *TFormMain::NewAction(const QString &name, const QString &caption, const QString &category,
    const QKeySequence &shortcut)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    if (!category.isEmpty())
        action->setProperty("category", category);
    return action;
}

void TFormMain::CreateActions()
{
    actNew = NewAction(QStringLiteral("actNew"), QStringLiteral("&Новая деревня"), FileCategory,
        QKeySequence(Qt::CTRL | Qt::Key_N));
    actOpen = NewAction(QStringLiteral("actOpen"), QStringLiteral("&Открыть..."), FileCategory,
        QKeySequence(Qt::CTRL | Qt::Key_O));
    actSave = NewAction(QStringLiteral("actSave"), QStringLiteral("Сохранить..."), FileCategory,
        QKeySequence(Qt::CTRL | Qt::Key_S));
    actSaveAs = NewAction(QStringLiteral("actSaveAs"), QStringLiteral("Сохранить &как..."), FileCategory, {});
    actSaveAll = NewAction(QStringLiteral("actSaveAll"), QStringLiteral("Сохранить &все"), FileCategory,
        QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_S));
    actViewComments = NewAction(QStringLiteral("actViewComments"), QStringLiteral("&Комментарии"), ViewCategory, {});
    actViewComments->setCheckable(true);
    actViewProgress = NewAction(QStringLiteral("actViewProgress"), QStringLiteral("&Строительство"), ViewCategory, {});
    actViewProgress->setCheckable(true);
    // The queue's chart; not remembered for new pages, so that pages that
    // never show it do not make it.
    actViewChart = NewAction(QStringLiteral("actViewChart"), QStringLiteral("&График"), ViewCategory, {});
    actViewChart->setCheckable(true);
    actImport = NewAction(QStringLiteral("actImport"), QStringLiteral("&Импорт..."), {},
        QKeySequence(Qt::CTRL | Qt::Key_I));
    actImport->setToolTip(QStringLiteral("Импорт данных из игры"));
    actImport->setStatusTip(QStringLiteral("Импорт данных из игры"));
    actAbout = NewAction(QStringLiteral("actAbout"), QStringLiteral("&О программе..."), {},
        QKeySequence(Qt::Key_F1));
    // Closes the active tab: the usual close-tab keys, and the middle button
    // on a tab. It has no menu item, so the window carries its keys.
    actClose = NewAction(QStringLiteral("actClose"), QStringLiteral("Закрыть"), {}, {});
    actClose->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
    addAction(actClose);
    // F10 takes the keyboard to the menu bar, opening its first menu.
    actMenuKey = NewAction(QStringLiteral("actMenuKey"), QStringLiteral("Меню"), {}, QKeySequence(Qt::Key_F10));
    addAction(actMenuKey);

    // The menu shows "Сохранить" for the action "Сохранить...": its item is
    // an action of its own that follows the action's enabled state.
    mmiSave = NewAction(QStringLiteral("mmiSave"), QStringLiteral("&Сохранить"), {}, actSave->shortcut());
    mmiExit = NewAction(QStringLiteral("mmiExit"), QStringLiteral("В&ыход"), {},
        QKeySequence(Qt::ALT | Qt::Key_F4));
    // Ctrl+Q ends the program too, as it does in most desktop programs.
    mmiExit->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_Q)});
    // The next and the previous tab, wherever the focus is in the window.
    actNextTab = NewAction(QStringLiteral("actNextTab"), QStringLiteral("Следующая вкладка"), {}, {});
    actNextTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Tab)});
    addAction(actNextTab);
    actPreviousTab = NewAction(QStringLiteral("actPreviousTab"), QStringLiteral("Предыдущая вкладка"), {}, {});
    actPreviousTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)});
    addAction(actPreviousTab);

    connect(actNew, &QAction::triggered, this, &TFormMain::actNewExecute);
    connect(actOpen, &QAction::triggered, this, &TFormMain::actOpenExecute);
    connect(actSave, &QAction::triggered, this, &TFormMain::actSaveExecute);
    connect(mmiSave, &QAction::triggered, actSave, &QAction::trigger);
    connect(actSaveAs, &QAction::triggered, this, &TFormMain::actSaveAsExecute);
    connect(actSaveAll, &QAction::triggered, this, &TFormMain::actSaveAllExecute);
    connect(actViewComments, &QAction::triggered, this, &TFormMain::actViewCommentsExecute);
    connect(actViewProgress, &QAction::triggered, this, &TFormMain::actViewProgressExecute);
    connect(actViewChart, &QAction::triggered, this, &TFormMain::actViewChartExecute);
    connect(actImport, &QAction::triggered, this, &TFormMain::actImportExecute);
    connect(actAbout, &QAction::triggered, this, &TFormMain::actAboutExecute);
    connect(actClose, &QAction::triggered, this, &TFormMain::actCloseExecute);
    connect(actMenuKey, &QAction::triggered, this, &TFormMain::actMenuKeyExecute);
    connect(mmiExit, &QAction::triggered, this, &TFormMain::mmiExitClick);
    connect(actNextTab, &QAction::triggered, this, &TFormMain::actNextTabExecute);
    connect(pcMain, &TVillageTabs::CloseRequested, actClose, &QAction::trigger);
    connect(actPreviousTab, &QAction::triggered, this, &TFormMain::actPreviousTabExecute);
}

void TFormMain::CreateMenus()
{
    QMenu *miFile = menuBar()->addMenu(QStringLiteral("&Файл"));
    miFile->setObjectName(QStringLiteral("miFile"));
    miFile->addAction(actNew);
    miFile->addAction(actOpen);
    miFile->addAction(mmiSave);
    miFile->addAction(actSaveAs);
    miFile->addAction(actSaveAll);
    actExportCsv = NewAction(QStringLiteral("actExportCsv"), QStringLiteral("&Экспорт в CSV..."), FileCategory, {});
    connect(actExportCsv, &QAction::triggered, this, &TFormMain::actExportCsvExecute);
    miFile->addAction(actExportCsv);
    miFile->addSeparator();
    miRecentFiles = miFile->addMenu(QStringLiteral("&Последние файлы"));
    miRecentFiles->setObjectName(QStringLiteral("miRecentFiles"));
    connect(miRecentFiles, &QMenu::aboutToShow, this, &TFormMain::miRecentFilesShow);
    miFile->addSeparator();
    miFile->addAction(mmiExit);
    connect(miFile, &QMenu::aboutToShow, this, &TFormMain::actSaveUpdate);

    actUndo = pcMain->UndoGroup()->createUndoAction(this, QStringLiteral("Отменить"));
    actUndo->setObjectName(QStringLiteral("actUndo"));
    actUndo->setShortcuts(QKeySequence::Undo);
    actRedo = pcMain->UndoGroup()->createRedoAction(this, QStringLiteral("Повторить"));
    actRedo->setObjectName(QStringLiteral("actRedo"));
    actRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    QMenu *miEdit = menuBar()->addMenu(QStringLiteral("&Правка"));
    miEdit->setObjectName(QStringLiteral("miEdit"));
    miEdit->addAction(actUndo);
    miEdit->addAction(actRedo);

    miView = menuBar()->addMenu(QStringLiteral("&Вид"));
    miView->setObjectName(QStringLiteral("miView"));
    miView->addAction(actViewComments);
    miView->addAction(actViewProgress);
    miView->addAction(actViewChart);
    actAllVillages = NewAction(QStringLiteral("actAllVillages"), QStringLiteral("&Все деревни"), ViewCategory,
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    connect(actAllVillages, &QAction::triggered, this, &TFormMain::actAllVillagesExecute);
    miView->addSeparator();
    miView->addAction(actAllVillages);
    connect(miView, &QMenu::aboutToShow, this, &TFormMain::miViewClick);

    QMenu *miService = menuBar()->addMenu(QStringLiteral("&Сервис"));
    miService->setObjectName(QStringLiteral("miService"));
    miService->setToolTipsVisible(true);
    miService->addAction(actImport);
    QAction *actDevelopmentPlan =
        NewAction(QStringLiteral("actDevelopmentPlan"), QStringLiteral("&План развития..."), {}, {});
    connect(actDevelopmentPlan, &QAction::triggered, this, &TFormMain::actDevelopmentPlanExecute);
    miService->addAction(actDevelopmentPlan);
    QAction *actCulture = NewAction(QStringLiteral("actCulture"), QStringLiteral("&Культура..."), {}, {});
    connect(actCulture, &QAction::triggered, this, &TFormMain::actCultureExecute);
    miService->addAction(actCulture);
    actSettings = NewAction(QStringLiteral("actSettings"), QStringLiteral("&Настройки..."), {}, {});
    connect(actSettings, &QAction::triggered, this, &TFormMain::actSettingsExecute);
    miService->addSeparator();
    miService->addAction(actSettings);

    QMenu *miHelp = menuBar()->addMenu(QStringLiteral("&Справка"));
    miHelp->setObjectName(QStringLiteral("miHelp"));
    miHelp->addAction(actAbout);
}

void TFormMain::FormCreate()
{
    actNewExecute();
}

int TFormMain::PageCount() const
{
    return pcMain->count();
}

TVillageTab *TFormMain::Tab(int index) const
{
    return pcMain->Tab(index);
}

TVillageTab *TFormMain::ActiveTab() const
{
    return pcMain->ActiveTab();
}

TFormVillage *TFormMain::Page(int index) const
{
    TVillageTab *tab = Tab(index);
    return tab ? tab->Page() : nullptr;
}

TFormVillage *TFormMain::ActivePage() const
{
    TVillageTab *tab = ActiveTab();
    return tab ? tab->Page() : nullptr;
}


void TFormMain::VillagePageBuilt(TFormVillage *page)
{
    ApplyViewSettings(page);
}

void TFormMain::actNewExecute()
{
    m_Files->New();
}




void TFormMain::actOpenExecute()
{
    m_Files->Open();
}

void TFormMain::OpenFiles(const QStringList &files)
{
    m_Files->OpenFiles(files);
}



void TFormMain::actSaveExecute()
{
    m_Files->Save(m_Files->Current());
}

void TFormMain::actSaveAsExecute()
{
    m_Files->SaveAs(m_Files->Current());
}

void TFormMain::actSaveAllExecute()
{
    m_Files->SaveAll();
}

void TFormMain::actSaveUpdate()
{
    const TVillageTab *tab = ActiveTab();
    const bool enabled = tab != nullptr && tab->Document().HasUnwrittenEdits();
    actSave->setEnabled(enabled);
    mmiSave->setEnabled(enabled);
    UpdateTitle();
}

void TFormMain::actCloseExecute()
{
    if (m_Files->Close(m_Files->Current()))
        RefreshAllVillages();
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (!m_Quitting && m_Presence->Settings().HidesOnClose(m_Presence->TrayPresent())) {
        event->ignore();
        hide();
        return;
    }
    if (!m_Files->MayEnd()) {
        event->ignore();
        return;
    }
    event->accept();
    m_Files->End();
    SaveWindowSettings();
}

void TFormMain::actMenuKeyExecute()
{
    const QList<QAction *> menus = menuBar()->actions();
    if (!menus.isEmpty())
        menuBar()->setActiveAction(menus.constFirst());
}

void TFormMain::mmiExitClick()
{
    QuitProgram();
}

void TFormMain::actNextTabExecute()
{
    pcMain->ShowNext();
}

void TFormMain::actPreviousTabExecute()
{
    pcMain->ShowPrevious();
}

void TFormMain::miViewClick()
{
    const TFormVillage *page = ActivePage();
    actViewComments->setChecked(page != nullptr && page->CommentsVisible());
    actViewProgress->setChecked(page != nullptr && page->ProgressVisible());
    actViewChart->setChecked(page != nullptr && page->ChartVisible());
}

void TFormMain::actViewCommentsExecute()
{
    if (TFormVillage *page = ActivePage())
        page->SetCommentsVisible(!page->CommentsVisible());
    miViewClick();
    SaveViewSettings();
}

void TFormMain::actViewProgressExecute()
{
    if (TFormVillage *page = ActivePage())
        page->SetProgressVisible(!page->ProgressVisible());
    miViewClick();
    SaveViewSettings();
}

void TFormMain::actViewChartExecute()
{
    if (TFormVillage *page = ActivePage())
        page->SetChartVisible(!page->ChartVisible());
    miViewClick();
}

void TFormMain::actImportExecute()
{
    if (TFormVillage *page = ActivePage())
        page->ImportFromOverview();
    actSaveUpdate();
}

void TFormMain::actDevelopmentPlanExecute()
{
    if (TFormVillage *page = ActivePage()) {
        auto *dialog = new TDevelopmentPlanDialog(page->Document(), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    }
}

void TFormMain::actAboutExecute()
{
    if (m_AboutBox == nullptr)
        m_AboutBox = new TAboutBox(this);
    m_AboutBox->exec();
}




void TFormMain::UpdateTitle()
{
    const TVillageTab *tab = ActiveTab();
    const TVillageData *village = tab ? &tab->Document().Village() : nullptr;
    setWindowTitle(village ? WindowTitle(village->Name, village->FileName) : WindowTitle({}, {}));
    setWindowModified(tab != nullptr && tab->Document().HasUnwrittenEdits());
}

void TFormMain::RestoreWindowSettings()
{
    const auto settings = OpenSettings();
    if (!settings)
        return;
    if (restoreGeometry(settings->value(GeometryKey).toByteArray()))
        m_FitWhenShown = false;
    restoreState(settings->value(StateKey).toByteArray());
}

void TFormMain::SaveWindowSettings() const
{
    if (const auto settings = OpenSettings()) {
        StoreSetting(*settings, GeometryKey, saveGeometry());
        StoreSetting(*settings, StateKey, saveState());
    }
}

void TFormMain::ApplyViewSettings(TFormVillage *page) const
{
    const auto settings = OpenSettings();
    if (!settings)
        return;
    if (settings->contains(ViewCommentsKey))
        page->SetCommentsVisible(settings->value(ViewCommentsKey).toBool());
    if (settings->contains(ViewProgressKey))
        page->SetProgressVisible(settings->value(ViewProgressKey).toBool());
}

void TFormMain::SaveViewSettings() const
{
    // The toggles last chosen are what new pages start with.
    const TFormVillage *page = ActivePage();
    const auto settings = OpenSettings();
    if (page && settings) {
        StoreSetting(*settings, ViewCommentsKey, page->CommentsVisible());
        StoreSetting(*settings, ViewProgressKey, page->ProgressVisible());
    }
}


void TFormMain::RestoreSession()
{
    m_Files->RestoreSession();
}


void TFormMain::OfferRecovery()
{
    m_Files->OfferRecovery();
}


void TFormMain::miRecentFilesShow()
{
    miRecentFiles->clear();
    const QStringList files = m_Files->RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString file = files.at(i);
        // The number is the item's key; an "&" in the path is shown as it is.
        QString number = QString::number(i + 1);
        number.insert(number.size() - 1, QLatin1Char('&'));
        const QString caption = number + QLatin1Char(' ')
            + QDir::toNativeSeparators(file).replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *item = miRecentFiles->addAction(caption);
        item->setObjectName(QStringLiteral("mmiRecentFile%1").arg(i + 1));
        item->setData(file);
        connect(item, &QAction::triggered, this, [this, file] { m_Files->OpenRecentFile(file); });
    }
    if (files.isEmpty()) {
        QAction *none = miRecentFiles->addAction(QStringLiteral("(нет)"));
        none->setEnabled(false);
    }
}


// --- Notifications, tray, settings, all villages ----------------------------



TTrayIcon *TFormMain::TrayIcon() const
{
    return m_Presence->TrayIcon();
}

const TNotificationSettings &TFormMain::NotificationSettings() const
{
    return m_Presence->Settings();
}

void TFormMain::TrayGone()
{
    // A window hidden to a tray that has gone would have no way back.
    if (isHidden())
        ShowWindow();
}

void TFormMain::SetTrayIcon(std::unique_ptr<TTrayIcon> tray)
{
    m_Presence->SetTrayIcon(std::move(tray));
}

void TFormMain::TrayIconChanged(TTrayIcon *tray)
{
    if (!tray)
        return;
    connect(tray->pmiShowWindow, &QAction::triggered, this, &TFormMain::ShowWindow);
    connect(tray->pmiAllVillages, &QAction::triggered, this, &TFormMain::actAllVillagesExecute);
    connect(tray->pmiExit, &QAction::triggered, this, &TFormMain::QuitProgram);
}

void TFormMain::SetNotifier(std::unique_ptr<TDesktopNotifier> notifier)
{
    m_Presence->SetNotifier(std::move(notifier));
}






void TFormMain::actSettingsExecute()
{
    // Not modal on the program: the window goes on ticking behind it.
    if (m_FormSettings) {
        m_FormSettings->raise();
        return;
    }
    auto *dialog = new TFormSettings(m_Presence->TrayPresent(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->SetSettings(m_Presence->Settings());
    connect(dialog, &QDialog::accepted, this, &TFormMain::FormSettingsAccepted);
    m_FormSettings = dialog;
    dialog->open();
}

void TFormMain::FormSettingsAccepted()
{
    const auto *dialog = qobject_cast<TFormSettings *>(m_FormSettings.data());
    if (!dialog)
        return;
    const TNotificationSettings settings = dialog->Settings();
    m_Presence->ApplySettings(settings);
    m_ClipboardRoute->SetEnabled(settings.WatchClipboard);
    if (!settings.Save())
        ShowMessage(TMessageKind::Warning, QStringLiteral("Не удалось сохранить настройки."));
}

void TFormMain::actCultureExecute()
{
    auto *dialog = new TFormCulture(*m_Villages, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void TFormMain::QuitProgram()
{
    const bool wasHidden = isHidden();
    m_Quitting = true;
    const bool closed = close();
    m_Quitting = false;
    // A hidden window's close is no "last window closed".
    if (closed && wasHidden)
        QCoreApplication::quit();
}

void TFormMain::ShowWindow()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void TFormMain::RefreshAllVillages()
{
    if (m_AllVillages && m_AllVillages->isVisible())
        m_AllVillages->Refresh();
}

void TFormMain::actAllVillagesExecute()
{
    if (!m_AllVillages) {
        m_AllVillages = new TFormAllVillages(*m_Villages, this);
        connect(m_AllVillages, &TFormAllVillages::VillageActivated, this, &TFormMain::ShowVillage);
    }
    if (!m_AllVillages->isVisible())
        m_AllVillages->CentreOver(this);
    m_AllVillages->show();
    m_AllVillages->raise();
    m_AllVillages->activateWindow();
}

void TFormMain::ShowVillage(const TVillageData *village)
{
    for (int i = 0; i < m_Villages->Count(); ++i) {
        if (&m_Villages->At(i)->Village() == village) {
            m_Files->SetCurrent(m_Villages->At(i));
            ShowWindow();
            return;
        }
    }
}

// --- Undo, the clipboard, drops and the CSV export --------------------------

void TFormMain::CreateExchange()
{
    setAcceptDrops(true);
    m_OfferBar = new TClipboardOfferBar(this);
    addToolBar(Qt::TopToolBarArea, m_OfferBar);
    m_OfferBar->hide();
    connect(m_OfferBar, &TClipboardOfferBar::ImportChosen, this, &TFormMain::ClipboardImportChosen);
    m_ClipboardRoute = new TClipboardRoute(*m_Villages, QGuiApplication::clipboard(), this);
    m_ClipboardRoute->SetEnabled(m_Presence->Settings().WatchClipboard);
    connect(m_ClipboardRoute, &TClipboardRoute::Imported, this, &TFormMain::ClipboardPageImported);
    connect(m_ClipboardRoute, &TClipboardRoute::Offered, m_OfferBar, &TClipboardOfferBar::Offer);
}

void TFormMain::ClipboardPageImported(TVillageDocument *document, const QString &text)
{
    actSaveUpdate();
    m_Presence->NotifyText(document, text);
}

void TFormMain::ClipboardImportChosen(const QStringList &lines)
{
    const std::optional<int> race = RaceForNewVillage(*m_Villages, OverviewVillageName(lines), this);
    TVillageDocument *document = m_Files->New();
    if (race)
        document->Village().SetRace(*race);
    document->Import(lines);
    actSaveUpdate();
}

namespace {

// The village files among dropped URLs.
QStringList DroppedVillageFiles(const QMimeData *data)
{
    QStringList files;
    if (!data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".vlgdat"), Qt::CaseInsensitive))
            files.append(url.toLocalFile());
    }
    return files;
}

} // namespace

void TFormMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedVillageFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QMainWindow::dragEnterEvent(event);
}

void TFormMain::dropEvent(QDropEvent *event)
{
    const QStringList files = DroppedVillageFiles(event->mimeData());
    if (files.isEmpty()) {
        QMainWindow::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    // The drag's source gets its answer before any message box shows.
    QTimer::singleShot(0, this, [this, files] { OpenFiles(files); });
}

void TFormMain::actExportCsvExecute()
{
    const TFormVillage *page = ActivePage();
    if (!page)
        return;
    const QString name = page->Village().Name.isEmpty() ? QStringLiteral("Деревня") : page->Village().Name;
    ExportCsv(this, name + QStringLiteral(".csv"), page->TablesCsv());
}

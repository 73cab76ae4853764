#include "ui/main/f_Main.h"

#include "ui/main/ClipboardOfferBar.h"
#include "ui/main/ClipboardRoute.h"
#include "ui/widgets/CsvExport.h"
#include "ui/desktop/DesktopNotifier.h"
#include "ui/widgets/ProgramIcon.h"
#include "ui/widgets/ScreenFit.h"
#include "ui/desktop/TrayIcon.h"
#include "ui/desktop/TrayProbe.h"
#include "ui/widgets/UiSeams.h"
#include "ui/main/VillageTab.h"
#include "base/MessageSeam.h"
#include "ui/dialogs/f_About.h"
#include "ui/dialogs/f_AllVillages.h"
#include "ui/dialogs/f_Settings.h"
#include "ui/page/f_Village.h"
#include "ui/main/NewVillageRace.h"
#include "ui/dialogs/DevelopmentPlanDialog.h"

#include "app/CloseQuestions.h"
#include "import/OverviewImport.h"
#include "app/Session.h"
#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "app/VillageRecovery.h"
#include "app/WindowTitle.h"
#include "base/SettingsAccess.h"
#include "base/SettingsSeam.h"
#include "notify/VillageWatch.h"
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
    m_Recovery = new TVillageRecovery(*m_Villages, TRecoveryStore(), this);
    connect(m_Recovery, &TVillageRecovery::KeepingFailed, this,
            [](const QString &message) { ShowMessage(TMessageKind::Warning, message); });

    pcMain = new QTabWidget(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    pcMain->setMovable(true);
    pcMain->tabBar()->installEventFilter(this);
    // The villages keep the order of their tabs.
    connect(pcMain->tabBar(), &QTabBar::tabMoved, m_Villages, &TVillageList::Move);
    setCentralWidget(pcMain);

    CreateActions();
    CreateMenus();
    CreateNotifications();
    connect(pcMain, &QTabWidget::currentChanged, this, &TFormMain::actSaveUpdate);
    connect(pcMain, &QTabWidget::currentChanged, this, [this] {
        m_UndoGroup->setActiveStack(ActiveTab() ? ActiveTab()->UndoStack() : nullptr);
    });

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
    while (pcMain->count() > 0)
        delete pcMain->widget(0);
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

    m_UndoGroup = new QUndoGroup(this);
    actUndo = m_UndoGroup->createUndoAction(this, QStringLiteral("Отменить"));
    actUndo->setObjectName(QStringLiteral("actUndo"));
    actUndo->setShortcuts(QKeySequence::Undo);
    actRedo = m_UndoGroup->createRedoAction(this, QStringLiteral("Повторить"));
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
    return qobject_cast<TVillageTab *>(pcMain->widget(index));
}

TVillageTab *TFormMain::ActiveTab() const
{
    return qobject_cast<TVillageTab *>(pcMain->currentWidget());
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

TVillageTab *TFormMain::AddVillageTab()
{
    TVillageDocument *document = m_Villages->Add();
    auto *tab = new TVillageTab(*document);
    TVillageData &village = document->Village();
    connect(&village, &TVillageData::NameChanged, this, [this, tab](const QString &name) {
        pcMainCaptionChanged(tab, name);
        UpdateTitle();
    });
    connect(tab, &TVillageTab::PageBuilt, this, &TFormMain::VillagePageBuilt);
    WatchVillage(document);
    connect(document, &TVillageDocument::UnwrittenEditsChanged, this, &TFormMain::actSaveUpdate);
    connect(document, &TVillageDocument::FileChangedOutside, this, [this, document] { AskFileChanged(document); });
    // A failed automatic save is reported whether the page is made or not.
    connect(document, &TVillageDocument::AutoSaveFailed, this,
            [](const TFileResult &result) { ShowMessage(TMessageKind::Error, result.Error); });
    m_UndoGroup->addStack(tab->UndoStack());
    pcMain->addTab(tab, village.Name);
    return tab;
}

void TFormMain::VillagePageBuilt(TFormVillage *page)
{
    ApplyViewSettings(page);
}

void TFormMain::actNewExecute()
{
    pcMain->setCurrentWidget(AddVillageTab());
    actSaveUpdate();
}

void TFormMain::pcMainCaptionChanged(TVillageTab *tab, const QString &caption)
{
    // The tab shows the name as it stands: an "&" in it is doubled, or the
    // tab bar would hide it and make the next letter an Alt shortcut.
    const int index = pcMain->indexOf(tab);
    if (index >= 0)
        pcMain->setTabText(index, QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

bool TFormMain::IsOpen(const QString &fileName, const TVillageDocument *except) const
{
    return OpenPageIndex(fileName, except) >= 0;
}

int TFormMain::OpenPageIndex(const QString &fileName, const TVillageDocument *except) const
{
    const TVillageDocument *open = m_Villages->FindFile(fileName, except);
    for (int i = 0; open && i < PageCount(); ++i) {
        if (&Tab(i)->Document() == open)
            return i;
    }
    return -1;
}

void TFormMain::actOpenExecute()
{
    OpenFiles(UiSeams::ChooseFilesToOpen(this));
}

void TFormMain::OpenFiles(const QStringList &files)
{
    if (TVillageTab *shown = OpenFilesInTabs(files))
        pcMain->setCurrentWidget(shown);
    actSaveUpdate();
}

TVillageTab *TFormMain::OpenFilesInTabs(const QStringList &files)
{
    // The tabs are added behind the shown one; the caller shows one of them
    // once, so that only that one makes its page.
    TVillageTab *shown = nullptr;
    // An untouched empty tab shown now takes the first file.
    TVillageTab *untouched = ActiveTab();
    if (untouched != nullptr
        && (untouched->Document().Village().Modified || !untouched->Document().Village().FileName.isEmpty()))
        untouched = nullptr;
    for (const QString &file : files) {
        // The tab that has the file comes forward, and the box names it.
        if (const int open = OpenPageIndex(file); open >= 0) {
            pcMain->setCurrentIndex(open);
            shown = Tab(open);
            ShowMessage(TMessageKind::Error, AlreadyOpenMessage(file));
            continue;
        }
        // A pipe, a device, a folder or a huge file gets no tab.
        if (const QString refusal = RefusalBeforeReading(file); !refusal.isEmpty()) {
            ShowMessage(TMessageKind::Error, OpenFailureMessage({false, refusal, file}));
            continue;
        }
        TVillageTab *tab = untouched != nullptr ? untouched : AddVillageTab();
        untouched = nullptr;
        shown = tab;
        tab->Document().Village().SetFileName(file);
        const TFileResult result = tab->LoadFromFile();
        if (!result.Ok)
            ShowMessage(TMessageKind::Error, OpenFailureMessage(result));
        else
            AddRecentFile(file);
    }
    return shown;
}

void TFormMain::SaveVillage(TVillageDocument &document, bool askNewName)
{
    TVillageData &village = document.Village();
    document.SettleEdits();
    // An unchanged village is not written again; "Сохранить как..." copies
    // one that has a file.
    if (!document.HasUnwrittenEdits() && (!askNewName || village.FileName.isEmpty()))
        return;
    // A file another program holds is not written: the village goes to
    // another file.
    if (document.IsReadOnly())
        askNewName = true;
    // A file another program changed is overwritten only when the player
    // keeps his village.
    if (!askNewName && document.FileChangedOnDisk() && !AskFileChanged(&document))
        return;

    // The path to write; the village takes it as its file name only once
    // the write has succeeded.
    QString path = village.FileName;
    if (path.isEmpty()) {
        if (village.Name.isEmpty()) {
            ShowMessage(TMessageKind::Warning, QStringLiteral("Заполните название деревни!"));
            return;
        }
        path = UiSeams::ChooseFileToSave(this, QStringLiteral("Сохранить"), village.Name);
    } else if (askNewName) {
        path = UiSeams::ChooseFileToSave(this, QStringLiteral("Сохранить как"), village.FileName);
    }
    if (path.isEmpty())
        return;
    // Two tabs writing one file would overwrite each other's village.
    if (IsOpen(path, &document)) {
        ShowMessage(TMessageKind::Error, AlreadyOpenMessage(path));
        return;
    }
    const TFileResult result = document.Write(path);
    if (!result.Ok) {
        // A file changed while it was written has been asked about.
        if (!result.ChangedOutside)
            ShowMessage(TMessageKind::Error, result.Error);
        return;
    }
    AddRecentFile(village.FileName);
}

void TFormMain::actSaveExecute()
{
    if (TVillageTab *tab = ActiveTab())
        SaveVillage(tab->Document(), false);
    actSaveUpdate();
}

void TFormMain::actSaveAsExecute()
{
    if (TVillageTab *tab = ActiveTab())
        SaveVillage(tab->Document(), true);
    actSaveUpdate();
}

void TFormMain::actSaveAllExecute()
{
    for (int i = 0; i < PageCount(); ++i)
        SaveVillage(Tab(i)->Document(), false);
    actSaveUpdate();
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
    TVillageTab *tab = ActiveTab();
    if (tab == nullptr)
        return;
    TVillageDocument *document = &tab->Document();
    SaveVillage(*document, false);
    const QString question = CloseTabQuestion(*document);
    if (!question.isEmpty() && !UiSeams::Ask(this, question, UiSeams::TAnswer::No))
        return;

    pcMain->removeTab(pcMain->indexOf(tab));
    delete tab;
    m_Villages->Remove(document);
    if (PageCount() == 0)
        actNewExecute();
    actSaveUpdate();
    RefreshAllVillages();
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (!m_Quitting && m_NotificationSettings.HidesOnClose(TrayPresent())) {
        event->ignore();
        hide();
        return;
    }
    actSaveAllExecute();
    QList<const TVillageDocument *> villages;
    for (int i = 0; i < PageCount(); ++i)
        villages.append(&Tab(i)->Document());
    const QString question = CloseProgramQuestion(villages);
    if (!question.isEmpty() && !UiSeams::Ask(this, question, UiSeams::TAnswer::No)) {
        event->ignore();
        return;
    }
    event->accept();
    // A normal end: nothing is left to recover.
    m_Recovery->Finish();
    ReportSettingsProblemOnce();
    SaveSession();
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
    if (pcMain->count() > 1)
        pcMain->setCurrentIndex((pcMain->currentIndex() + 1) % pcMain->count());
}

void TFormMain::actPreviousTabExecute()
{
    if (pcMain->count() > 1)
        pcMain->setCurrentIndex((pcMain->currentIndex() + pcMain->count() - 1) % pcMain->count());
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

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != pcMain->tabBar())
        return QMainWindow::eventFilter(watched, event);

    if (event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const int index = pcMain->tabBar()->tabAt(mouse->position().toPoint());
        if (mouse->button() == Qt::MiddleButton) {
            pcMainMiddleClick(index);
            return true;
        }
        if (mouse->button() == Qt::LeftButton) {
            m_DraggedPage = pcMain->widget(index);
            m_DragStartIndex = index;
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && pcMain->tabBar()->tabAt(mouse->position().toPoint()) < 0) {
            // Dropped where there is no tab: the tab bar finishes its drag
            // first, then the dragged tab goes back to where it started.
            QMetaObject::invokeMethod(this, &TFormMain::pcMainDropBeside, Qt::QueuedConnection);
        } else if (mouse->button() == Qt::LeftButton) {
            m_DraggedPage.clear();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::pcMainMiddleClick(int index)
{
    // The middle button on a tab closes that tab ("Закрыть" acts on the
    // active one, so the tab becomes active first, and asks there when its
    // village is not stored); beside the tabs it closes nothing.
    if (index < 0)
        return;
    const QPointer<QWidget> previous = pcMain->currentWidget();
    const QPointer<QWidget> clicked = pcMain->widget(index);
    pcMain->setCurrentIndex(index);
    actClose->trigger();
    // When another tab than the shown one went, the player stays where he was.
    if (clicked.isNull() && !previous.isNull())
        pcMain->setCurrentWidget(previous);
}

void TFormMain::pcMainDropBeside()
{
    if (m_DraggedPage.isNull())
        return;
    const int index = pcMain->indexOf(m_DraggedPage);
    m_DraggedPage.clear();
    if (index >= 0 && m_DragStartIndex >= 0 && m_DragStartIndex < pcMain->count() && index != m_DragStartIndex)
        pcMain->tabBar()->moveTab(index, m_DragStartIndex);
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
    m_RecentFiles.Load(*settings);
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

void TFormMain::SaveSession() const
{
    const auto settings = OpenSettings();
    if (!settings)
        return;
    QStringList tabFiles;
    for (int i = 0; i < PageCount(); ++i)
        tabFiles.append(Tab(i)->Document().Village().FileName);
    TSession::FromTabs(tabFiles, pcMain->currentIndex()).Save(*settings);
}

void TFormMain::RestoreSession()
{
    ReportSettingsProblemOnce();
    const auto settings = OpenSettings();
    if (!settings)
        return;
    TSession session = TSession::Load(*settings);
    const QStringList missing = session.TakeMissing();
    // Opening the session again is no new use of its files: the recent
    // files keep their order.
    const QVariant recent = settings->value(TRecentFiles::SettingsKey);
    TVillageTab *shown = OpenFilesInTabs(session.Files);
    StoreSetting(*settings, TRecentFiles::SettingsKey, recent);
    m_RecentFiles.Load(*settings);
    // The tab shown at the last exit is shown, and made, alone.
    if (session.Current >= 0) {
        const QString current = session.Files.at(session.Current);
        for (int i = 0; i < PageCount(); ++i) {
            if (Tab(i)->Document().Village().FileName == current)
                shown = Tab(i);
        }
    }
    if (shown)
        pcMain->setCurrentWidget(shown);
    actSaveUpdate();
    if (!missing.isEmpty())
        ShowMessage(TMessageKind::Warning, TSession::MissingFilesMessage(missing));
}

bool TFormMain::AskFileChanged(TVillageDocument *document)
{
    // The village asked about is the one shown.
    for (int i = 0; i < PageCount(); ++i) {
        if (&Tab(i)->Document() == document)
            pcMain->setCurrentIndex(i);
    }
    // Keeping the player's village is the default: nothing is lost by Enter.
    const int answer = UiSeams::Choose(this, document->FileChangedQuestion(),
                                       {QStringLiteral("Загрузить"), QStringLiteral("Оставить мои")}, 1);
    if (answer == 0) {
        const TFileResult result = document->Reload();
        if (!result.Ok)
            ShowMessage(TMessageKind::Error, OpenFailureMessage(result));
        actSaveUpdate();
        return false;
    }
    document->KeepMine();
    return true;
}

void TFormMain::OfferRecovery()
{
    const TRecoveryStore &store = m_Recovery->Store();
    const QList<TRecoveredVillage> found = m_Recovery->LeftByEndedRuns(m_Catalog);
    if (found.isEmpty())
        return;
    const int answer = UiSeams::Choose(this, TRecoveryStore::Question(found),
                                       {QStringLiteral("Восстановить"), QStringLiteral("Удалить")}, 0);
    if (answer != 0) {
        for (const TRecoveredVillage &recovered : found)
            store.Remove(recovered);
        actSaveUpdate();
        return;
    }
    QList<QPair<TRecoveredVillage, const TVillageDocument *>> recoveredInto;
    {
        for (const TRecoveredVillage &recovered : found) {
            // A village whose file the session opened comes back in its tab.
            int index = recovered.FileName.isEmpty() ? -1 : OpenPageIndex(recovered.FileName);
            if (index < 0) {
                const TVillageTab *active = ActiveTab();
                if (active == nullptr || active->Document().Village().Modified
                    || !active->Document().Village().FileName.isEmpty())
                    actNewExecute();
                index = pcMain->currentIndex();
            }
            pcMain->setCurrentIndex(index);
            TVillageDocument &document = Tab(index)->Document();
            const TFileResult result =
                document.Recover(recovered.RecoveryFile, recovered.FileName, recovered.LastSeen);
            if (!result.Ok)
                ShowMessage(TMessageKind::Error, OpenFailureMessage(result));
            recoveredInto.append({recovered, result.Ok ? &document : nullptr});
        }
    }
    // Kept at once under this run's keys; an old copy goes only once its
    // replacement is on the disk.
    m_Recovery->TakeOver(recoveredInto);
    actSaveUpdate();
}

void TFormMain::AddRecentFile(const QString &file)
{
    // Other windows of the program may have added files since this one read
    // the list: the stored list is read again before it is changed.
    const auto settings = OpenSettings();
    if (settings)
        m_RecentFiles.Load(*settings);
    m_RecentFiles.Add(QFileInfo(file).absoluteFilePath());
    if (settings)
        m_RecentFiles.Save(*settings);
}

void TFormMain::miRecentFilesShow()
{
    if (const auto settings = OpenSettings())
        m_RecentFiles.Load(*settings);
    miRecentFiles->clear();
    const QStringList &files = m_RecentFiles.Files();
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
        connect(item, &QAction::triggered, this, [this, file] { mmiRecentFileClick(file); });
    }
    if (files.isEmpty()) {
        QAction *none = miRecentFiles->addAction(QStringLiteral("(нет)"));
        none->setEnabled(false);
    }
}

void TFormMain::mmiRecentFileClick(const QString &file)
{
    if (QFileInfo(file).isFile()) {
        OpenFiles({file});
        return;
    }
    const auto settings = OpenSettings();
    if (settings)
        m_RecentFiles.Load(*settings);
    m_RecentFiles.Remove(file);
    if (settings)
        m_RecentFiles.Save(*settings);
    ShowMessage(TMessageKind::Warning, TRecentFiles::MissingFileMessage(file));
}

// --- Notifications, tray, settings, all villages ----------------------------

void TFormMain::CreateNotifications()
{
    m_NotificationSettings = TNotificationSettings::Load();
    // The tray comes when the bus has answered, so that the window never
    // waits for it.
    auto *probe = new TTrayProbe(QDBusConnection::sessionBus(), TTrayProbe::DefaultTimeoutMs, this);
    m_TrayProbe = probe;
    connect(probe, &TTrayProbe::Finished, this, &TFormMain::TrayProbeFinished);
    probe->Start();
}

void TFormMain::TrayProbeFinished(TTrayServiceState state)
{
    delete m_TrayProbe;
    // A tray service that does not answer counts as no tray; otherwise the
    // toolkit tells, and the icon is made only where there is a tray.
    if (state != TTrayServiceState::Silent && QSystemTrayIcon::isSystemTrayAvailable())
        SetTrayIcon(TTrayIcon::CreateIfAvailable(ProgramIcon()));
}

bool TFormMain::TrayPresent() const
{
    return m_Tray && m_Tray->IsPresent();
}

void TFormMain::TrayPresenceChanged(bool present)
{
    // A window hidden to a tray that has gone would have no way back.
    if (!present && isHidden())
        ShowWindow();
}

void TFormMain::SetTrayIcon(std::unique_ptr<TTrayIcon> tray)
{
    // A tray given here wins over one the probe would make.
    delete m_TrayProbe;
    m_Tray = std::move(tray);
    if (!m_Tray)
        return;
    connect(m_Tray.get(), &TTrayIcon::PresenceChanged, this, &TFormMain::TrayPresenceChanged);
    connect(m_Tray->pmiShowWindow, &QAction::triggered, this, &TFormMain::ShowWindow);
    connect(m_Tray->pmiAllVillages, &QAction::triggered, this, &TFormMain::actAllVillagesExecute);
    connect(m_Tray->pmiExit, &QAction::triggered, this, &TFormMain::QuitProgram);
}

void TFormMain::SetNotifier(std::unique_ptr<TDesktopNotifier> notifier)
{
    m_Notifier = std::move(notifier);
    m_NotifierChosen = true;
}

void TFormMain::WatchVillage(TVillageDocument *document)
{
    TVillageWatch &watch = document->Watch();
    m_NotificationSettings.ApplyTo(watch.Rules());
    const QPointer<TVillageDocument> watched = document;
    connect(&watch, &TVillageWatch::NotificationsReady, this,
            [this, watched](const QList<TNotification> &notifications) {
                if (watched)
                    SendNotifications(watched, notifications);
            });
}

void TFormMain::NotifyText(TVillageDocument *document, const QString &text)
{
    ChooseNotifier();
    if (!m_Notifier)
        return;
    // The default action shows that village's tab while it is open.
    const QPointer<TVillageList> villages = m_Villages;
    m_Notifier->Notify(document->Village().Name, text, [this, villages, document] {
        if (villages && villages->IndexOf(document) >= 0)
            ShowVillage(&document->Village());
    });
    if (m_NotificationSettings.Sound)
        UiSeams::Beep();
}

void TFormMain::ChooseNotifier()
{
    if (!m_NotifierChosen) {
        // Asking the session bus takes a moment: once, when first needed.
        m_NotifierChosen = true;
        m_Notifier = MakeDesktopNotifier(m_Tray ? m_Tray->SystemTrayIcon() : nullptr);
    }
}

void TFormMain::SendNotifications(TVillageDocument *document, const QList<TNotification> &notifications)
{
    ChooseNotifier();
    if (!m_Notifier)
        return;
    // The default action shows the window with this village's tab, while the
    // tab is still open.
    const QPointer<TVillageDocument> shown = document;
    m_Notifier->Send(document->Village().Name, notifications, m_NotificationSettings.Sound, [this, shown] {
        if (shown)
            ShowVillage(&shown->Village());
    });
}

void TFormMain::ApplyNotificationSettings(const TNotificationSettings &settings)
{
    m_NotificationSettings = settings;
    if (m_ClipboardRoute)
        m_ClipboardRoute->SetEnabled(settings.WatchClipboard);
    for (int i = 0; i < m_Villages->Count(); ++i)
        settings.ApplyTo(m_Villages->At(i)->Watch().Rules());
}

void TFormMain::actSettingsExecute()
{
    // Not modal on the program: the window goes on ticking behind it.
    if (m_FormSettings) {
        m_FormSettings->raise();
        return;
    }
    auto *dialog = new TFormSettings(TrayPresent(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->SetSettings(m_NotificationSettings);
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
    ApplyNotificationSettings(settings);
    if (!settings.Save())
        ShowMessage(TMessageKind::Warning, QStringLiteral("Не удалось сохранить настройки."));
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
    for (int i = 0; i < PageCount(); ++i) {
        if (&Tab(i)->Document().Village() == village) {
            pcMain->setCurrentIndex(i);
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
    m_ClipboardRoute->SetEnabled(m_NotificationSettings.WatchClipboard);
    connect(m_ClipboardRoute, &TClipboardRoute::Imported, this, &TFormMain::ClipboardPageImported);
    connect(m_ClipboardRoute, &TClipboardRoute::Offered, m_OfferBar, &TClipboardOfferBar::Offer);
}

void TFormMain::ClipboardPageImported(TVillageDocument *document, const QString &text)
{
    actSaveUpdate();
    NotifyText(document, text);
}

void TFormMain::ClipboardImportChosen(const QStringList &lines)
{
    const std::optional<int> race = RaceForNewVillage(*m_Villages, OverviewVillageName(lines), this);
    actNewExecute();
    if (TVillageTab *tab = ActiveTab()) {
        if (race)
            tab->Document().Village().SetRace(*race);
        tab->Document().Import(lines);
    }
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

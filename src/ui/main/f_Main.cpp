#include "ui/main/f_Main.h"

#include "ui/desktop/DesktopNotifier.h"
#include "ui/desktop/DesktopPresence.h"
#include "ui/desktop/TrayIcon.h"
#include "ui/dialogs/DevelopmentPlanDialog.h"
#include "ui/dialogs/f_About.h"
#include "ui/dialogs/f_AllVillages.h"
#include "ui/dialogs/f_Culture.h"
#include "ui/dialogs/f_Settings.h"
#include "ui/main/ClipboardOfferBar.h"
#include "ui/main/ClipboardRoute.h"
#include "ui/main/FileDialogs.h"
#include "ui/main/NewVillageRace.h"
#include "ui/main/VillageTab.h"
#include "ui/main/VillageTabs.h"
#include "ui/main/ViewToggles.h"
#include "ui/main/WindowPlacement.h"
#include "ui/page/f_Village.h"
#include "ui/widgets/CsvExport.h"

#include "app/VillageDocument.h"
#include "app/VillageFiles.h"
#include "app/VillageList.h"
#include "app/WindowTitle.h"
#include "base/MessageSeam.h"
#include "import/OverviewImport.h"
#include "record/VillageData.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>
#include <QUndoGroup>

namespace {

const QString FileCategory = QStringLiteral("Файл");

} // namespace

TFormMain::TFormMain(const TdmListObj &catalog, QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(WindowTitle({}, {}));
    // The system's font at 8 points. (Asking for Tahoma, the Windows font of
    // the original design, makes the font lookup search every installed font
    // where it is missing, which cost a good part of start-up.)
    QFont windowFont = font();
    windowFont.setPointSize(8);
    setFont(windowFont);

    m_Villages = new TVillageList(catalog, this);
    m_FileDialogs = std::make_unique<TFileDialogs>(this);
    m_Files = new TVillageFiles(*m_Villages, *m_FileDialogs, this);
    connect(m_Files, &TVillageFiles::Changed, this, &TFormMain::actSaveUpdate);
    m_Presence = new TDesktopPresence(*m_Villages, this);
    connect(m_Presence, &TDesktopPresence::TrayIconChanged, this, &TFormMain::TrayIconChanged);
    connect(m_Presence, &TDesktopPresence::TrayGone, this, [this] {
        // A window hidden to a tray that has gone would have no way back.
        if (isHidden())
            ShowWindow();
    });
    connect(m_Presence, &TDesktopPresence::VillageActivated, this, &TFormMain::ShowVillage);
    connect(m_Presence, &TDesktopPresence::NextVillageActivated, this, &TFormMain::ShowWindow);

    pcMain = new TVillageTabs(*m_Files, this);
    connect(pcMain, &TVillageTabs::PageBuilt, this, [](TFormVillage *page) { TViewToggles::Apply(*page); });
    setCentralWidget(pcMain);
    m_ViewToggles = new TViewToggles(*this, [this] { return ActivePage(); });

    CreateActions();
    CreateMenus();
    // The tray comes when the bus has answered, so that the window never
    // waits for it.
    m_Presence->StartTrayProbe();

    m_Placement = new TWindowPlacement(*this, [this] {
        const TFormVillage *page = ActivePage();
        return page ? page->MissingNameWidth() : 0;
    });
    m_Placement->Restore();
    CreateExchange();
    m_Files->New();
}

TFormMain::~TFormMain()
{
    // The tabs and their pages go before the villages they show.
    delete pcMain;
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
    actNew = NewAction(QStringLiteral("actNew"), QStringLiteral("&Новая деревня"), FileCategory, QKeySequence::New);
    actOpen = NewAction(QStringLiteral("actOpen"), QStringLiteral("&Открыть..."), FileCategory, QKeySequence::Open);
    actSave = NewAction(QStringLiteral("actSave"), QStringLiteral("Сохранить..."), FileCategory, QKeySequence::Save);
    actSaveAs = NewAction(QStringLiteral("actSaveAs"), QStringLiteral("Сохранить &как..."), FileCategory, {});
    actSaveAll = NewAction(QStringLiteral("actSaveAll"), QStringLiteral("Сохранить &все"), FileCategory,
        QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_S));
    actImport = NewAction(QStringLiteral("actImport"), QStringLiteral("&Импорт..."), {},
        QKeySequence(Qt::CTRL | Qt::Key_I));
    actImport->setToolTip(QStringLiteral("Импорт данных из игры"));
    actImport->setStatusTip(QStringLiteral("Импорт данных из игры"));
    actAbout = NewAction(QStringLiteral("actAbout"), QStringLiteral("&О программе..."), {},
        QKeySequence(Qt::Key_F1));
    // Closes the active tab: the usual close-tab keys, and the middle button
    // on a tab. It has no menu item, so the window carries its keys.
    QAction *actClose = NewAction(QStringLiteral("actClose"), QStringLiteral("Закрыть"), {}, {});
    actClose->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
    addAction(actClose);
    // F10 takes the keyboard to the menu bar, opening its first menu.
    QAction *actMenuKey = NewAction(QStringLiteral("actMenuKey"), QStringLiteral("Меню"), {}, QKeySequence(Qt::Key_F10));
    addAction(actMenuKey);

    // The menu shows "Сохранить" for the action "Сохранить...": its item is
    // an action of its own that follows the action's enabled state.
    mmiSave = NewAction(QStringLiteral("mmiSave"), QStringLiteral("&Сохранить"), {}, actSave->shortcut());
    mmiExit = NewAction(QStringLiteral("mmiExit"), QStringLiteral("В&ыход"), {}, {});
    // Ctrl+Q ends the program too, as it does in most desktop programs.
    mmiExit->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_Q)});
    // The next and the previous tab, wherever the focus is in the window.
    QAction *actNextTab = NewAction(QStringLiteral("actNextTab"), QStringLiteral("Следующая вкладка"), {}, {});
    actNextTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Tab)});
    addAction(actNextTab);
    QAction *actPreviousTab = NewAction(QStringLiteral("actPreviousTab"), QStringLiteral("Предыдущая вкладка"), {}, {});
    actPreviousTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)});
    addAction(actPreviousTab);

    connect(actNew, &QAction::triggered, m_Files, &TVillageFiles::New);
    connect(actOpen, &QAction::triggered, m_Files, &TVillageFiles::Open);
    connect(actSave, &QAction::triggered, this, [this] { m_Files->Save(m_Files->Current()); });
    connect(mmiSave, &QAction::triggered, actSave, &QAction::trigger);
    connect(actSaveAs, &QAction::triggered, this, [this] { m_Files->SaveAs(m_Files->Current()); });
    connect(actSaveAll, &QAction::triggered, m_Files, &TVillageFiles::SaveAll);
    connect(actImport, &QAction::triggered, this, [this] {
        if (TFormVillage *page = ActivePage())
            page->ImportFromOverview();
        actSaveUpdate();
    });
    connect(actAbout, &QAction::triggered, this, [this] {
        if (m_AboutBox == nullptr)
            m_AboutBox = new TAboutBox(this);
        m_AboutBox->exec();
    });
    connect(actClose, &QAction::triggered, this, [this] {
        if (m_Files->Close(m_Files->Current()) && m_AllVillages && m_AllVillages->isVisible())
            m_AllVillages->Refresh();
    });
    connect(actMenuKey, &QAction::triggered, this, [this] {
        if (!menuBar()->actions().isEmpty())
            menuBar()->setActiveAction(menuBar()->actions().constFirst());
    });
    connect(mmiExit, &QAction::triggered, this, &TFormMain::QuitProgram);
    connect(actNextTab, &QAction::triggered, pcMain, &TVillageTabs::ShowNext);
    connect(actPreviousTab, &QAction::triggered, pcMain, &TVillageTabs::ShowPrevious);
    connect(pcMain, &TVillageTabs::CloseRequested, actClose, &QAction::trigger);
}

void TFormMain::CreateMenus()
{
    QMenu *miFile = menuBar()->addMenu(QStringLiteral("&Файл"));
    miFile->setObjectName(QStringLiteral("miFile"));
    miFile->addActions({actNew, actOpen, mmiSave, actSaveAs, actSaveAll});
    QAction *actExportCsv = NewAction(QStringLiteral("actExportCsv"), QStringLiteral("&Экспорт в CSV..."), FileCategory, {});
    connect(actExportCsv, &QAction::triggered, this, [this] {
        if (const TFormVillage *page = ActivePage()) {
            const QString name = page->Village().Name.isEmpty() ? QStringLiteral("Деревня") : page->Village().Name;
            ExportCsv(this, name + QStringLiteral(".csv"), page->TablesCsv());
        }
    });
    miFile->addAction(actExportCsv);
    miFile->addSeparator();
    QMenu *miRecentFiles = miFile->addMenu(QStringLiteral("&Последние файлы"));
    miRecentFiles->setObjectName(QStringLiteral("miRecentFiles"));
    connect(miRecentFiles, &QMenu::aboutToShow, this,
            [this, miRecentFiles] { FillRecentFilesMenu(*miRecentFiles, *m_Files); });
    miFile->addSeparator();
    miFile->addAction(mmiExit);
    connect(miFile, &QMenu::aboutToShow, this, &TFormMain::actSaveUpdate);

    QAction *actUndo = pcMain->UndoGroup()->createUndoAction(this, QStringLiteral("Отменить"));
    actUndo->setObjectName(QStringLiteral("actUndo"));
    actUndo->setShortcuts(QKeySequence::Undo);
    QAction *actRedo = pcMain->UndoGroup()->createRedoAction(this, QStringLiteral("Повторить"));
    actRedo->setObjectName(QStringLiteral("actRedo"));
    actRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    QMenu *miEdit = menuBar()->addMenu(QStringLiteral("&Правка"));
    miEdit->setObjectName(QStringLiteral("miEdit"));
    miEdit->addActions({actUndo, actRedo});

    QMenu *miView = menuBar()->addMenu(QStringLiteral("&Вид"));
    miView->setObjectName(QStringLiteral("miView"));
    m_ViewToggles->AddTo(*miView);
    actAllVillages = NewAction(QStringLiteral("actAllVillages"), QStringLiteral("&Все деревни"),
        QStringLiteral("Вид"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    connect(actAllVillages, &QAction::triggered, this, &TFormMain::ShowAllVillages);
    miView->addSeparator();
    miView->addAction(actAllVillages);

    QMenu *miService = menuBar()->addMenu(QStringLiteral("&Сервис"));
    miService->setObjectName(QStringLiteral("miService"));
    miService->setToolTipsVisible(true);
    miService->addAction(actImport);
    QAction *actDevelopmentPlan =
        NewAction(QStringLiteral("actDevelopmentPlan"), QStringLiteral("&План развития..."), {}, {});
    connect(actDevelopmentPlan, &QAction::triggered, this, [this] {
        if (TFormVillage *page = ActivePage()) {
            auto *dialog = new TDevelopmentPlanDialog(page->Document(), this);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->open();
        }
    });
    miService->addAction(actDevelopmentPlan);
    QAction *actCulture = NewAction(QStringLiteral("actCulture"), QStringLiteral("&Культура..."), {}, {});
    connect(actCulture, &QAction::triggered, this, [this] {
        auto *dialog = new TFormCulture(*m_Villages, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
    miService->addAction(actCulture);
    QAction *actSettings = NewAction(QStringLiteral("actSettings"), QStringLiteral("&Настройки..."), {}, {});
    connect(actSettings, &QAction::triggered, this, &TFormMain::ShowSettings);
    miService->addSeparator();
    miService->addAction(actSettings);

    QMenu *miHelp = menuBar()->addMenu(QStringLiteral("&Справка"));
    miHelp->setObjectName(QStringLiteral("miHelp"));
    miHelp->addAction(actAbout);
}

int TFormMain::PageCount() const
{
    return pcMain->count();
}

TFormVillage *TFormMain::Page(int index) const
{
    TVillageTab *tab = pcMain->Tab(index);
    return tab ? tab->Page() : nullptr;
}

TFormVillage *TFormMain::ActivePage() const
{
    TVillageTab *tab = pcMain->ActiveTab();
    return tab ? tab->Page() : nullptr;
}

void TFormMain::OpenFiles(const QStringList &files)
{
    m_Files->OpenFiles(files);
}

void TFormMain::RestoreSession()
{
    m_Files->RestoreSession();
}

void TFormMain::OfferRecovery()
{
    m_Files->OfferRecovery();
}

void TFormMain::actSaveUpdate()
{
    const TVillageDocument *document = m_Files->Current();
    const bool unwritten = document != nullptr && document->HasUnwrittenEdits();
    actSave->setEnabled(unwritten);
    mmiSave->setEnabled(unwritten);
    // The title shows the shown village and its file, with the marker for
    // changes not yet written.
    const TVillageData *village = document ? &document->Village() : nullptr;
    setWindowTitle(village ? WindowTitle(village->Name, village->FileName) : WindowTitle({}, {}));
    setWindowModified(unwritten);
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (m_EndingAtOnce) {
        event->accept();
        return;
    }
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
    m_Placement->Save();
}

TTrayIcon *TFormMain::TrayIcon() const
{
    return m_Presence->TrayIcon();
}

const TNotificationSettings &TFormMain::NotificationSettings() const
{
    return m_Presence->Settings();
}

void TFormMain::SetTrayIcon(std::unique_ptr<TTrayIcon> tray)
{
    m_Presence->SetTrayIcon(std::move(tray));
}

void TFormMain::SetNotifier(std::unique_ptr<TDesktopNotifier> notifier)
{
    m_Presence->SetNotifier(std::move(notifier));
}

void TFormMain::TrayIconChanged(TTrayIcon *tray)
{
    if (!tray)
        return;
    connect(tray->pmiShowWindow, &QAction::triggered, this, &TFormMain::ShowWindow);
    connect(tray->pmiAllVillages, &QAction::triggered, this, &TFormMain::ShowAllVillages);
    connect(tray->pmiExit, &QAction::triggered, this, &TFormMain::QuitProgram);
}

void TFormMain::ShowSettings()
{
    // Not modal on the program: the window goes on ticking behind it.
    if (m_FormSettings) {
        m_FormSettings->raise();
        return;
    }
    auto *dialog = new TFormSettings(m_Presence->TrayPresent(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->SetSettings(m_Presence->Settings());
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const TNotificationSettings settings = dialog->Settings();
        m_Presence->ApplySettings(settings);
        m_ClipboardRoute->SetEnabled(settings.WatchClipboard);
        if (!settings.Save())
            ShowMessage(TMessageKind::Warning, QStringLiteral("Не удалось сохранить настройки."));
    });
    m_FormSettings = dialog;
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

void TFormMain::EndAtOnce()
{
    if (m_EndingAtOnce)
        return;
    m_EndingAtOnce = true;
    m_Placement->Save();
    m_Files->EndAtOnce();
    // Every event loop ends, those of open questions too, and no window is
    // asked whether it may close.
    QCoreApplication::exit(0);
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

void TFormMain::ShowAllVillages()
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

void TFormMain::CreateExchange()
{
    setAcceptDrops(true);
    auto *offerBar = new TClipboardOfferBar(this);
    addToolBar(Qt::TopToolBarArea, offerBar);
    offerBar->hide();
    connect(offerBar, &TClipboardOfferBar::ImportChosen, this, [this](const QStringList &lines) {
        const std::optional<int> race = RaceForNewVillage(*m_Villages, OverviewVillageName(lines), this);
        TVillageDocument *document = m_Files->New();
        if (race)
            document->Village().SetRace(*race);
        document->Import(lines);
        actSaveUpdate();
    });
    m_ClipboardRoute = new TClipboardRoute(*m_Villages, QGuiApplication::clipboard(), this);
    m_ClipboardRoute->SetEnabled(m_Presence->Settings().WatchClipboard);
    connect(m_ClipboardRoute, &TClipboardRoute::Imported, this,
            [this](TVillageDocument *document, const QString &text) {
                actSaveUpdate();
                m_Presence->NotifyText(document, text);
            });
    connect(m_ClipboardRoute, &TClipboardRoute::Offered, offerBar, &TClipboardOfferBar::Offer);
}

void TFormMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedVillageFiles(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QMainWindow::dragEnterEvent(event);
}

void TFormMain::dropEvent(QDropEvent *event)
{
    const QStringList files = DroppedVillageFiles(*event->mimeData());
    if (files.isEmpty()) {
        QMainWindow::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    // The drag's source gets its answer before any message box shows.
    QTimer::singleShot(0, this, [this, files] { OpenFiles(files); });
}

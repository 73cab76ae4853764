#include "f_Main.h"

#include "UiSeams.h"
#include "catalog/MessageSeam.h"
#include "f_About.h"
#include "f_Village.h"
#include "village/VillageData.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

const QString TFormMain::UnsavedQuestion =
    QStringLiteral("Есть несохранённые деревни. Закрыть программу без сохранения?");

namespace {

const QString FileCategory = QStringLiteral("Файл");
const QString ViewCategory = QStringLiteral("Вид");

} // namespace

TFormMain::TFormMain(const TdmListObj &catalog, QWidget *parent)
    : QMainWindow(parent), m_Catalog(catalog)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Менеджер для игры Ливарон"));
    // The system's font at 8 points. (Asking for Tahoma, the Windows font of
    // the original design, makes the font lookup search every installed font
    // where it is missing, which cost a good part of start-up.)
    QFont windowFont = font();
    windowFont.setPointSize(8);
    setFont(windowFont);
    setMinimumSize(700, 570);

    pcMain = new QTabWidget(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    pcMain->setMovable(true);
    pcMain->tabBar()->installEventFilter(this);
    setCentralWidget(pcMain);

    CreateActions();
    CreateMenus();
    connect(pcMain, &QTabWidget::currentChanged, this, &TFormMain::actSaveUpdate);

    // The tabs get 712 x 596 pixels below the menu bar; the window starts
    // in the middle of the desktop.
    resize(712, 596 + menuBar()->sizeHint().height());
    if (const QScreen *desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());

    FormCreate();
}

TFormMain::~TFormMain() = default;

void TFormMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_FittedToTable) {
        m_FittedToTable = true;
        QTimer::singleShot(0, this, &TFormMain::FitWidthToTable);
    }
}

void TFormMain::FitWidthToTable()
{
    // The window's size was chosen for a narrow font; where the system font
    // is wider, the columns "Время" and "Строить" would need scrolling.
    TFormVillage *page = ActivePage();
    const auto *table = page ? page->findChild<QTableView *>(QStringLiteral("sgCalc")) : nullptr;
    if (!table || isMaximized() || isFullScreen())
        return;
    int needed = table->horizontalHeader()->length() + table->frameWidth() * 2;
    if (table->verticalScrollBar()->isVisible())
        needed += table->verticalScrollBar()->width();
    const int missing = needed - table->width();
    if (missing <= 0)
        return;
    const QRect available = screen() ? screen()->availableGeometry() : QRect();
    int width = this->width() + missing;
    if (available.isValid())
        width = std::min(width, available.width());
    resize(width, height());
    if (available.isValid())
        move(available.center() - rect().center());
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
    actNew = NewAction(QStringLiteral("actNew"), QStringLiteral("Новая деревня"), FileCategory,
        QKeySequence(Qt::CTRL | Qt::Key_N));
    actOpen = NewAction(QStringLiteral("actOpen"), QStringLiteral("Открыть..."), FileCategory,
        QKeySequence(Qt::CTRL | Qt::Key_O));
    actSave = NewAction(QStringLiteral("actSave"), QStringLiteral("Сохранить..."), FileCategory,
        QKeySequence(Qt::CTRL | Qt::Key_S));
    actSaveAs = NewAction(QStringLiteral("actSaveAs"), QStringLiteral("Сохранить как..."), FileCategory, {});
    actSaveAll = NewAction(QStringLiteral("actSaveAll"), QStringLiteral("Сохранить все"), FileCategory,
        QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_S));
    actViewComments = NewAction(QStringLiteral("actViewComments"), QStringLiteral("Комментарии"), ViewCategory, {});
    actViewComments->setCheckable(true);
    actViewProgress = NewAction(QStringLiteral("actViewProgress"), QStringLiteral("Строительство"), ViewCategory, {});
    actViewProgress->setCheckable(true);
    actImport = NewAction(QStringLiteral("actImport"), QStringLiteral("Импорт..."), {},
        QKeySequence(Qt::CTRL | Qt::Key_I));
    actImport->setToolTip(QStringLiteral("Импорт данных из игры"));
    actImport->setStatusTip(QStringLiteral("Импорт данных из игры"));
    actAbout = NewAction(QStringLiteral("actAbout"), QStringLiteral("О программе..."), {},
        QKeySequence(Qt::Key_F1));
    actClose = NewAction(QStringLiteral("actClose"), QStringLiteral("Закрыть"), {}, {});

    // The menu shows "Сохранить" for the action "Сохранить...": its item is
    // an action of its own that follows the action's enabled state.
    mmiSave = NewAction(QStringLiteral("mmiSave"), QStringLiteral("Сохранить"), {}, actSave->shortcut());
    mmiExit = NewAction(QStringLiteral("mmiExit"), QStringLiteral("Выход"), {},
        QKeySequence(Qt::ALT | Qt::Key_F4));

    connect(actNew, &QAction::triggered, this, &TFormMain::actNewExecute);
    connect(actOpen, &QAction::triggered, this, &TFormMain::actOpenExecute);
    connect(actSave, &QAction::triggered, this, &TFormMain::actSaveExecute);
    connect(mmiSave, &QAction::triggered, actSave, &QAction::trigger);
    connect(actSaveAs, &QAction::triggered, this, &TFormMain::actSaveAsExecute);
    connect(actSaveAll, &QAction::triggered, this, &TFormMain::actSaveAllExecute);
    connect(actViewComments, &QAction::triggered, this, &TFormMain::actViewCommentsExecute);
    connect(actViewProgress, &QAction::triggered, this, &TFormMain::actViewProgressExecute);
    connect(actImport, &QAction::triggered, this, &TFormMain::actImportExecute);
    connect(actAbout, &QAction::triggered, this, &TFormMain::actAboutExecute);
    connect(actClose, &QAction::triggered, this, &TFormMain::actCloseExecute);
    connect(mmiExit, &QAction::triggered, this, &TFormMain::mmiExitClick);
}

void TFormMain::CreateMenus()
{
    QMenu *miFile = menuBar()->addMenu(QStringLiteral("Файл"));
    miFile->setObjectName(QStringLiteral("miFile"));
    miFile->addAction(actNew);
    miFile->addAction(actOpen);
    miFile->addAction(mmiSave);
    miFile->addAction(actSaveAs);
    miFile->addAction(actSaveAll);
    miFile->addSeparator();
    miFile->addAction(mmiExit);
    connect(miFile, &QMenu::aboutToShow, this, &TFormMain::actSaveUpdate);

    miView = menuBar()->addMenu(QStringLiteral("Вид"));
    miView->setObjectName(QStringLiteral("miView"));
    miView->addAction(actViewComments);
    miView->addAction(actViewProgress);
    connect(miView, &QMenu::aboutToShow, this, &TFormMain::miViewClick);

    QMenu *miService = menuBar()->addMenu(QStringLiteral("Сервис"));
    miService->setObjectName(QStringLiteral("miService"));
    miService->setToolTipsVisible(true);
    miService->addAction(actImport);

    QMenu *miHelp = menuBar()->addMenu(QStringLiteral("Справка"));
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

TFormVillage *TFormMain::Page(int index) const
{
    return qobject_cast<TFormVillage *>(pcMain->widget(index));
}

TFormVillage *TFormMain::ActivePage() const
{
    return qobject_cast<TFormVillage *>(pcMain->currentWidget());
}

void TFormMain::actNewExecute()
{
    auto *page = new TFormVillage(m_Catalog);
    TVillageData &village = page->Village();
    connect(page, &TFormVillage::CaptionChanged, this,
        [this, page](const QString &caption) { pcMainCaptionChanged(page, caption); });
    connect(&village, &TVillageData::ModifiedChanged, this, &TFormMain::actSaveUpdate);

    pcMain->setCurrentIndex(pcMain->addTab(page, village.Name));
    actSaveUpdate();
}

void TFormMain::pcMainCaptionChanged(TFormVillage *page, const QString &caption)
{
    // The tab shows the name as it stands: an "&" in it is doubled, or the
    // tab bar would hide it and make the next letter an Alt shortcut.
    const int index = pcMain->indexOf(page);
    if (index >= 0)
        pcMain->setTabText(index, QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

bool TFormMain::IsOpen(const QString &fileName) const
{
    for (int i = 0; i < PageCount(); ++i) {
        if (Page(i)->Village().FileName == fileName)
            return true;
    }
    return false;
}

void TFormMain::actOpenExecute()
{
    const QStringList files = UiSeams::ChooseFilesToOpen(this);
    for (const QString &file : files) {
        if (IsOpen(file)) {
            ShowMessage(TMessageKind::Error, QStringLiteral("Файл уже открыт!"));
            continue;
        }
        TFormVillage *page = ActivePage();
        if (page == nullptr || page->Village().Modified || !page->Village().FileName.isEmpty()) {
            actNewExecute();
            page = ActivePage();
        }
        page->Village().SetFileName(file);
        page->LoadFromFile();
    }
    actSaveUpdate();
}

void TFormMain::SaveVillage(TFormVillage *page, bool askNewName)
{
    TVillageData &village = page->Village();
    if (!village.Modified)
        return;

    if (village.FileName.isEmpty()) {
        if (village.Name.isEmpty()) {
            ShowMessage(TMessageKind::Warning, QStringLiteral("Заполните название деревни!"));
            return;
        }
        village.SetFileName(UiSeams::ChooseFileToSave(this, QStringLiteral("Сохранить"), village.Name));
    } else if (askNewName) {
        const QString chosen = UiSeams::ChooseFileToSave(this, QStringLiteral("Сохранить как"), village.FileName);
        if (chosen.isEmpty())
            return;
        village.SetFileName(chosen);
    }

    if (!village.FileName.isEmpty())
        page->WriteToFile();
}

void TFormMain::actSaveExecute()
{
    if (TFormVillage *page = ActivePage())
        SaveVillage(page, false);
    actSaveUpdate();
}

void TFormMain::actSaveAsExecute()
{
    if (TFormVillage *page = ActivePage())
        SaveVillage(page, true);
    actSaveUpdate();
}

void TFormMain::actSaveAllExecute()
{
    for (int i = 0; i < PageCount(); ++i)
        SaveVillage(Page(i), false);
    actSaveUpdate();
}

void TFormMain::actSaveUpdate()
{
    const TFormVillage *page = ActivePage();
    const bool enabled = page != nullptr && page->Village().Modified;
    actSave->setEnabled(enabled);
    mmiSave->setEnabled(enabled);
}

bool TFormMain::IsUnsaved(const TFormVillage *page)
{
    return page->Village().Modified && page->Village().FileName.isEmpty();
}

void TFormMain::actCloseExecute()
{
    TFormVillage *page = ActivePage();
    if (page == nullptr)
        return;
    SaveVillage(page, false);
    if (IsUnsaved(page) && !UiSeams::Ask(this, UnsavedQuestion))
        return;

    pcMain->removeTab(pcMain->indexOf(page));
    delete page;
    if (PageCount() == 0)
        actNewExecute();
    actSaveUpdate();
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    actSaveAllExecute();
    for (int i = 0; i < PageCount(); ++i) {
        if (IsUnsaved(Page(i))) {
            if (!UiSeams::Ask(this, UnsavedQuestion)) {
                event->ignore();
                return;
            }
            break;
        }
    }
    event->accept();
}

void TFormMain::mmiExitClick()
{
    close();
}

void TFormMain::miViewClick()
{
    const TFormVillage *page = ActivePage();
    actViewComments->setChecked(page != nullptr && page->CommentsVisible());
    actViewProgress->setChecked(page != nullptr && page->ProgressVisible());
}

void TFormMain::actViewCommentsExecute()
{
    if (TFormVillage *page = ActivePage())
        page->SetCommentsVisible(!page->CommentsVisible());
    miViewClick();
}

void TFormMain::actViewProgressExecute()
{
    if (TFormVillage *page = ActivePage())
        page->SetProgressVisible(!page->ProgressVisible());
    miViewClick();
}

void TFormMain::actImportExecute()
{
    if (TFormVillage *page = ActivePage())
        page->ImportFromOverview();
    actSaveUpdate();
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
    // village has no file); beside the tabs it closes nothing.
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

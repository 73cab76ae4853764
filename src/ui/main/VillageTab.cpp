// A tab that makes its village page when first shown; see VillageTab.h.
#include "ui/main/VillageTab.h"

#include "ui/page/VillageUndo.h"
#include "ui/page/f_Village.h"

#include "app/VillageDocument.h"
#include "base/NextPass.h"

#include <QUndoStack>
#include <QVBoxLayout>
#include <QWindow>

TVillageTab::TVillageTab(TVillageDocument &document, QWidget *parent)
    : QWidget(parent), m_Document(document)
{
    setObjectName(QStringLiteral("VillageTab"));
    m_UndoStack = MakeVillageUndoStack(document.History(), this);
    m_Layout = new QVBoxLayout(this);
    m_Layout->setContentsMargins(0, 0, 0, 0);
}

TVillageTab::~TVillageTab()
{
    // The page goes before the stack it pushes to.
    delete m_Page;
}

TFormVillage *TVillageTab::Page()
{
    if (m_Page == nullptr) {
        m_Page = new TFormVillage(m_Document, m_UndoStack, this);
        m_Layout->addWidget(m_Page);
        // Made while the tab shows, the page is shown with it; made before,
        // it shows when the tab does.
        m_Page->show();
        emit PageBuilt(m_Page);
    }
    return m_Page;
}

TFileResult TVillageTab::LoadFromFile()
{
    return m_Page != nullptr ? m_Page->LoadFromFile() : m_Document.Load();
}

void TVillageTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_Page != nullptr)
        return;
    // Shown in a window that is on the screen already (the player chose the
    // tab): the page now, before the tab is painted. Shown with the window
    // itself, at start: the page at the next pass of the event loop, still
    // before the window is first painted, and only if the tab is still the
    // one shown then; files opened right after the window shows (a session,
    // the command line) take other tabs forward meanwhile.
    const QWindow *shownIn = window()->windowHandle();
    if (shownIn != nullptr && shownIn->isExposed()) {
        Page();
        return;
    }
    CallAtNextPass(this, [this] {
        if (isVisible())
            Page();
    });
}

// A tab that makes its village page when first shown; see VillageTab.h.
#include "VillageTab.h"

#include "VillageUndo.h"
#include "f_Village.h"

#include "app/VillageDocument.h"

#include <QUndoStack>
#include <QVBoxLayout>

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
    Page();
    QWidget::showEvent(event);
}

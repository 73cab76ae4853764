// The clipboard route; see ClipboardRoute.h.
#include "ui/main/ClipboardRoute.h"

#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "import/OverviewImport.h"
#include "record/VillageData.h"

#include <QClipboard>
#include <QMimeData>

TClipboardRoute::TClipboardRoute(TVillageList &villages, QClipboard *clipboard, QObject *parent)
    : QObject(parent), m_Villages(villages), m_Clipboard(clipboard)
{
    if (m_Clipboard)
        connect(m_Clipboard, &QClipboard::dataChanged, this, &TClipboardRoute::ClipboardChanged);
}

QString TClipboardRoute::ImportedText(const QString &village)
{
    return QStringLiteral("%1: импортирована страница «Обзор деревни»").arg(village);
}

void TClipboardRoute::ClipboardChanged()
{
    if (!m_Enabled || m_ReadPosted)
        return;
    m_ReadPosted = true;
    QMetaObject::invokeMethod(this, &TClipboardRoute::ReadClipboard, Qt::QueuedConnection);
}

void TClipboardRoute::ReadClipboard()
{
    m_ReadPosted = false;
    if (!m_Enabled || !m_Clipboard)
        return;
    const QMimeData *data = m_Clipboard->mimeData();
    if (!data || !data->hasText())
        return;
    const QString text = data->text();

    QList<TClipboardVillage> villages;
    for (int i = 0; i < m_Villages.Count(); ++i) {
        const TVillageDocument *document = m_Villages.At(i);
        villages.append({document->Village().Name, document->LastImportedPage()});
    }
    const TClipboardDecision decision = DecideClipboardPage(text, villages);
    switch (decision.Action) {
    case TClipboardAction::Ignore:
        break;
    case TClipboardAction::Import: {
        TVillageDocument *document = m_Villages.At(decision.Village);
        if (document->Import(decision.Lines).Accepted)
            emit Imported(document, ImportedText(document->Village().Name));
        break;
    }
    case TClipboardAction::Offer:
        emit Offered(decision);
        break;
    }
}

// The clipboard route's decision; see ClipboardPage.h.
#include "ClipboardPage.h"

#include "base/TextCompare.h"
#include "import/OverviewImport.h"

QDebug operator<<(QDebug debug, TClipboardAction action)
{
    QDebugStateSaver saver(debug);
    switch (action) {
    case TClipboardAction::Ignore:
        return debug.noquote() << "Ignore";
    case TClipboardAction::Import:
        return debug.noquote() << "Import";
    case TClipboardAction::Offer:
        return debug.noquote() << "Offer";
    }
    return debug;
}

QDebug operator<<(QDebug debug, const TClipboardDecision &decision)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TClipboardDecision(" << decision.Action << ", village " << decision.Village << ", "
                    << decision.Name << ", " << decision.Lines.size() << " lines)";
    return debug;
}

TClipboardDecision DecideClipboardPage(const QString &text, const QList<TClipboardVillage> &villages)
{
    // Most copies are no overview page: the cheap test on the first lines
    // comes before splitting the whole text.
    if (!IsOverviewText(text))
        return {};
    TClipboardDecision decision;
    decision.Lines = SplitOverviewLines(text);
    decision.Name = OverviewVillageName(decision.Lines);
    if (decision.Name.isEmpty())
        return {};
    for (int i = 0; i < villages.size(); ++i) {
        const TClipboardVillage &village = villages.at(i);
        if (!SameText(village.Name, decision.Name))
            continue;
        if (village.LastImportedPage == decision.Lines)
            return {};
        decision.Action = TClipboardAction::Import;
        decision.Village = i;
        return decision;
    }
    decision.Action = TClipboardAction::Offer;
    return decision;
}

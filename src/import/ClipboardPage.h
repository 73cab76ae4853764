// What to do with a text copied to the clipboard while the program runs:
// nothing (it is no overview page, or the same page as the last one
// imported into its village), import it into the open village whose name
// it carries, or offer a new tab for a village that is not open.
//
// The main window asks this for every change of the clipboard and carries
// out the answer.
#pragma once

#include <QDebug>
#include <QList>
#include <QString>
#include <QStringList>

// One open village as the clipboard route sees it.
struct TClipboardVillage
{
    QString Name;
    // The lines of the page last imported into it; empty for none.
    QStringList LastImportedPage;
};

enum class TClipboardAction { Ignore, Import, Offer };

QDebug operator<<(QDebug debug, TClipboardAction action);

struct TClipboardDecision
{
    TClipboardAction Action = TClipboardAction::Ignore;
    // Import: the village's position in the list given.
    int Village = -1;
    // The name the page carries (Import and Offer).
    QString Name;
    // The page split into lines (Import and Offer).
    QStringList Lines;

    friend bool operator==(const TClipboardDecision &, const TClipboardDecision &) = default;
};

QDebug operator<<(QDebug debug, const TClipboardDecision &decision);

// A text that fails the import's acceptance test, or whose village name
// (line 12) is empty, is ignored. The first village whose name is the
// page's, letter case ignored as everywhere names are compared, takes it,
// unless its last imported page has the same lines; with no such village
// the page is offered.
TClipboardDecision DecideClipboardPage(const QString &text, const QList<TClipboardVillage> &villages);

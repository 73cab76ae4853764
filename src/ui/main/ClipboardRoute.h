// The clipboard route: while the program runs, every overview page copied
// anywhere goes to its village. It follows the clipboard's changes, asks
// the core (DecideClipboardPage) what the copied text is, imports it into
// the open village that carries its name, and tells the main window of a
// page whose village is not open. Reading the clipboard waits for the next
// pass of the event loop, so that a burst of changes is read once.
//
// The main window owns it and shows what it reports.
#pragma once

#include "import/ClipboardPage.h"

#include <QObject>

class QClipboard;
class TVillageDocument;
class TVillageList;

class TClipboardRoute : public QObject
{
    Q_OBJECT

public:
    TClipboardRoute(TVillageList &villages, QClipboard *clipboard, QObject *parent = nullptr);

    // "Следить за буфером обмена".
    void SetEnabled(bool enabled) { m_Enabled = enabled; }
    bool IsEnabled() const { return m_Enabled; }

    // Reads the clipboard and acts on what it holds.
    void ReadClipboard();

    // "Северная: импортирована страница «Обзор деревни»".
    static QString ImportedText(const QString &village);

signals:
    // The page went into this village.
    void Imported(TVillageDocument *document, const QString &text);
    // A page of a village that is not open.
    void Offered(const TClipboardDecision &decision);

private:
    void ClipboardChanged();

    TVillageList &m_Villages;
    QClipboard *m_Clipboard = nullptr;
    bool m_Enabled = true;
    bool m_ReadPosted = false;
};

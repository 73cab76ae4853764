// The bar over the tabs that offers a copied overview page of a village
// that is not open: "Скопирована страница деревни «Южная». Открыть новую
// вкладку и импортировать?" with "Импортировать" and "Не сейчас". Not modal:
// the window goes on working while it shows.
//
// The main window shows it for the clipboard route's offers.
#pragma once

#include "import/ClipboardPage.h"

#include <QToolBar>

class QLabel;
class QPushButton;

class TClipboardOfferBar : public QToolBar
{
    Q_OBJECT

public:
    explicit TClipboardOfferBar(QWidget *parent = nullptr);

    // Shows the offer (a later one replaces it).
    void Offer(const TClipboardDecision &decision);
    const TClipboardDecision &Decision() const { return m_Decision; }

    static QString OfferText(const QString &village);

    QLabel *lbClipboardOffer = nullptr;
    QPushButton *btnClipboardImport = nullptr;
    QPushButton *btnClipboardLater = nullptr;

signals:
    // "Импортировать": the page to import into a new tab.
    void ImportChosen(const QStringList &lines);

private:
    void btnClipboardImportClick();

    TClipboardDecision m_Decision;
};

// The offer of a copied page; see ClipboardOfferBar.h.
#include "ui/main/ClipboardOfferBar.h"

#include <QLabel>
#include <QPushButton>

TClipboardOfferBar::TClipboardOfferBar(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("tbClipboardOffer"));
    setMovable(false);
    setFloatable(false);
    // Only the offer shows or hides it, never the window's context menu.
    toggleViewAction()->setVisible(false);
    lbClipboardOffer = new QLabel(this);
    lbClipboardOffer->setObjectName(QStringLiteral("lbClipboardOffer"));
    lbClipboardOffer->setTextFormat(Qt::PlainText);
    btnClipboardImport = new QPushButton(QStringLiteral("Импортировать"), this);
    btnClipboardImport->setObjectName(QStringLiteral("btnClipboardImport"));
    btnClipboardLater = new QPushButton(QStringLiteral("Не сейчас"), this);
    btnClipboardLater->setObjectName(QStringLiteral("btnClipboardLater"));
    addWidget(lbClipboardOffer);
    addWidget(btnClipboardImport);
    addWidget(btnClipboardLater);
    connect(btnClipboardImport, &QPushButton::clicked, this, &TClipboardOfferBar::btnClipboardImportClick);
    connect(btnClipboardLater, &QPushButton::clicked, this, &QWidget::hide);
    hide();
}

QString TClipboardOfferBar::OfferText(const QString &village)
{
    return QStringLiteral("Скопирована страница деревни «%1». Открыть новую вкладку и импортировать?").arg(village);
}

void TClipboardOfferBar::Offer(const TClipboardDecision &decision)
{
    m_Decision = decision;
    lbClipboardOffer->setText(OfferText(decision.Name));
    show();
}

void TClipboardOfferBar::btnClipboardImportClick()
{
    hide();
    emit ImportChosen(m_Decision.Lines);
}

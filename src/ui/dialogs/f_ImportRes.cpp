#include "ui/dialogs/f_ImportRes.h"

#include "ui/widgets/ReadableColours.h"

#include "import/OverviewImport.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TFormImportRes::TFormImportRes(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormImportRes"));
    setWindowTitle(QStringLiteral("Импорт данных о ресурсах"));
    setFixedSize(435, 346);

    // The caption strip with the instructions.
    pnlCaption = new QWidget(this);
    pnlCaption->setObjectName(QStringLiteral("pnlCaption"));
    lbCaption = new QLabel(CaptionText(), pnlCaption);
    lbCaption->setObjectName(QStringLiteral("lbCaption"));
    lbCaption->setWordWrap(true);
    lbCaption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *captionLayout = new QVBoxLayout(pnlCaption);
    captionLayout->setContentsMargins(8, 4, 8, 4);
    captionLayout->addWidget(lbCaption);
    // The caption keeps its design height unless the font needs more.
    pnlCaption->setFixedHeight(
        qMax(49, lbCaption->heightForWidth(435 - 16) + 8));

    // Each pasted line stays one line; Enter starts a new line here.
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Текст страницы «Обзор деревни»"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab goes on to the buttons; a pasted page brings its own tabs.
    Memo1->setTabChangesFocus(true);

    lbError = new QLabel(this);
    lbError->setObjectName(QStringLiteral("lbError"));
    lbError->setWordWrap(true);
    ShowRefusalColour();
    lbError->hide();

    // The button strip: OK and Cancel at their design places.
    pnlButton = new QWidget(this);
    pnlButton->setObjectName(QStringLiteral("pnlButton"));
    pnlButton->setFixedHeight(36);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), pnlButton);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(272, 3, 75, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), pnlButton);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(353, 3, 75, 25);
    BitBtn2->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnlCaption);
    auto *memoLayout = new QVBoxLayout;
    memoLayout->setContentsMargins(8, 3, 8, 3);
    memoLayout->addWidget(Memo1);
    memoLayout->addWidget(lbError);
    layout->addLayout(memoLayout, 1);
    layout->addWidget(pnlButton);

    connect(BitBtn1, &QPushButton::clicked, this, &TFormImportRes::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TFormImportRes::Memo1Change);
}

QString TFormImportRes::Text() const
{
    return Memo1->toPlainText();
}

QString TFormImportRes::CaptionText()
{
    return QStringLiteral(
        "Для импорта количества накопленных ресурсов необходимо в браузере зайти в игру, "
        "открыть «Обзор деревни» (первая кнопка в верхнем меню игры), затем нажать Ctrl+A, "
        "затем Ctrl+C и вставить скопированный текст в поле ниже:");
}

void TFormImportRes::ShowRefusalColour()
{
    QPalette colours = lbError->palette();
    colours.setColor(QPalette::WindowText,
                     ReadableColours::LookOf(ReadableColours::TColourRole::Refusal, palette()).Text);
    lbError->setPalette(colours);
}

void TFormImportRes::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        ShowRefusalColour();
}

void TFormImportRes::showEvent(QShowEvent *event)
{
    // FormShow: every showing starts with an empty field that has the focus.
    QDialog::showEvent(event);
    Memo1->clear();
    lbError->clear();
    lbError->hide();
    Memo1->setFocus(Qt::OtherFocusReason);
}

void TFormImportRes::Memo1Change()
{
    // The reason given belongs to the text it was given for.
    lbError->clear();
    lbError->hide();
    if (isVisible() && IsOverviewText(Memo1->toPlainText()))
        accept();
}

void TFormImportRes::BitBtn1Click()
{
    const QString rejection = OverviewRejection(SplitOverviewLines(Memo1->toPlainText()));
    if (rejection.isEmpty()) {
        accept();
        return;
    }
    lbError->setText(rejection);
    lbError->show();
    Memo1->setFocus(Qt::OtherFocusReason);
}

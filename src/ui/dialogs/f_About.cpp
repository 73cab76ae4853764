#include "ui/dialogs/f_About.h"

#include "ui/widgets/ReadableColours.h"
#include "ui/widgets/UiSeams.h"
#include "Version.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString ReleaseDate = QStringLiteral("07.12.2026");
const QString AuthorLine = QStringLiteral("команда JorLivaronMng");
const int SeparatorWidth = 353;
const int ClientHeight = 273;
const int BlinkInterval = 700;

// Key caps of the Latin QWERTY layout and what the same keys give with the
// Russian ЙЦУКЕН layout, position by position.
const QString LatinKeys = QStringLiteral("QWERTYUIOP[]ASDFGHJKL;'ZXCVBNM,.`");
const QString CyrillicKeys = QStringLiteral("ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮЁ");

QFont SizedFont(const QFont &base, int pointSize, bool bold)
{
    QFont font = base;
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

// The program's picture: a village house of timber under a clay roof,
// with a sheaf of grain and an iron bar beside it.
QPixmap DrawProgramPicture()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x9c, 0xc5, 0x6b));
    painter.drawEllipse(QRectF(2, 34, 44, 12));

    painter.setPen(QPen(QColor(0x5a, 0x3a, 0x1c), 1));
    painter.setBrush(QColor(0xa8, 0x6c, 0x38));
    painter.drawRect(QRectF(9, 22, 24, 18));
    for (int y = 26; y < 40; y += 4)
        painter.drawLine(QPointF(9, y), QPointF(33, y));

    QPainterPath roof;
    roof.moveTo(5, 23);
    roof.lineTo(21, 8);
    roof.lineTo(37, 23);
    roof.closeSubpath();
    painter.setBrush(QColor(0xc8, 0x4b, 0x2a));
    painter.drawPath(roof);

    painter.setBrush(QColor(0x3b, 0x25, 0x12));
    painter.drawRect(QRectF(18, 30, 6, 10));

    painter.setPen(QPen(QColor(0xd9, 0xa4, 0x1e), 2));
    for (int x = 38; x <= 44; x += 3)
        painter.drawLine(QPointF(41, 40), QPointF(x, 27));

    painter.setPen(QPen(QColor(0x50, 0x55, 0x5c), 1));
    painter.setBrush(QColor(0x9a, 0xa1, 0xab));
    painter.drawRect(QRectF(34, 41, 11, 4));
    return pixmap;
}

// The game's picture: the four resources side by side (a log, a brick, an
// iron bar and a heap of grain).
QPixmap DrawResourcesPicture()
{
    QPixmap pixmap(92, 28);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(QPen(QColor(0x5a, 0x3a, 0x1c), 1));
    painter.setBrush(QColor(0xa8, 0x6c, 0x38));
    painter.drawRoundedRect(QRectF(1, 9, 20, 10), 5, 5);
    painter.setBrush(QColor(0xe3, 0xbd, 0x85));
    painter.drawEllipse(QRectF(15, 9, 7, 10));

    painter.setPen(QPen(QColor(0x7a, 0x2e, 0x16), 1));
    painter.setBrush(QColor(0xc8, 0x5a, 0x32));
    painter.drawRect(QRectF(25, 8, 20, 12));
    painter.drawLine(QPointF(25, 14), QPointF(45, 14));
    painter.drawLine(QPointF(35, 8), QPointF(35, 14));

    painter.setPen(QPen(QColor(0x50, 0x55, 0x5c), 1));
    painter.setBrush(QColor(0x9a, 0xa1, 0xab));
    QPainterPath bar;
    bar.moveTo(49, 20);
    bar.lineTo(52, 9);
    bar.lineTo(66, 9);
    bar.lineTo(69, 20);
    bar.closeSubpath();
    painter.drawPath(bar);

    painter.setPen(QPen(QColor(0x9a, 0x73, 0x10), 1));
    painter.setBrush(QColor(0xe8, 0xc0, 0x3a));
    QPainterPath heap;
    heap.moveTo(72, 20);
    heap.quadTo(81, 2, 90, 20);
    heap.closeSubpath();
    painter.drawPath(heap);
    return pixmap;
}

QLabel *CaptionLabel(const QString &text, QWidget *parent, const QString &name)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

const QString TAboutBox::BoldKeyWord = QStringLiteral("AUTHOR");
const QString TAboutBox::BlinkKeyWord = QStringLiteral("BLINK");

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
    setModal(true);
    QFont boxFont = font();
    boxFont.setPointSize(8);
    setFont(boxFont);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(DrawProgramPicture());
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    Image1->installEventFilter(this);

    auto *lbProductName = CaptionLabel(QStringLiteral("Менеджер для игры Ливарон"), this,
        QStringLiteral("lbProductName"));
    lbProductName->setFont(SizedFont(font(), 12, true));

    auto *lbVersion = CaptionLabel(QStringLiteral("Версия ") + QStringLiteral(JOR_VERSION), this,
        QStringLiteral("lbVersion"));
    lbVersion->setFont(SizedFont(font(), 10, true));

    auto *lbReleaseDate = CaptionLabel(ReleaseDate, this, QStringLiteral("lbReleaseDate"));
    lbReleaseDate->setFont(SizedFont(font(), 10, true));
    lbReleaseDate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *lbAuthorCaption = CaptionLabel(QStringLiteral("Автор:"), this,
        QStringLiteral("lbAuthorCaption"));
    lbAuthorCaption->setFont(SizedFont(font(), 10, false));
    lbAuthor = CaptionLabel(AuthorLine, this, QStringLiteral("lbAuthor"));
    lbAuthor->setFont(SizedFont(font(), 10, false));
    // Blinking must not make the line's neighbours move.
    QSizePolicy authorPolicy = lbAuthor->sizePolicy();
    authorPolicy.setRetainSizeWhenHidden(true);
    lbAuthor->setSizePolicy(authorPolicy);
    m_NormalPalette = lbAuthor->palette();

    auto *bvSeparator = new QFrame(this);
    bvSeparator->setObjectName(QStringLiteral("bvSeparator"));
    bvSeparator->setFrameShape(QFrame::HLine);
    bvSeparator->setFrameShadow(QFrame::Sunken);
    bvSeparator->setFixedWidth(SeparatorWidth);

    auto *Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(DrawResourcesPicture());
    Image2->setAlignment(Qt::AlignRight | Qt::AlignBottom);

    auto *authorRow = new QHBoxLayout;
    authorRow->setSpacing(6);
    authorRow->addWidget(lbAuthorCaption);
    authorRow->addWidget(lbAuthor);
    authorRow->addStretch(1);

    auto *versionRow = new QHBoxLayout;
    versionRow->addWidget(lbVersion);
    versionRow->addStretch(1);
    versionRow->addWidget(lbReleaseDate);

    auto *titleBlock = new QVBoxLayout;
    titleBlock->setSpacing(2);
    titleBlock->addWidget(lbProductName);
    titleBlock->addLayout(versionRow);
    titleBlock->addLayout(authorRow);

    auto *head = new QHBoxLayout;
    head->setSpacing(10);
    head->addWidget(Image1, 0, Qt::AlignTop);
    head->addLayout(titleBlock, 1);

    auto *links = new QGridLayout;
    links->setHorizontalSpacing(8);
    links->setVerticalSpacing(3);
    const struct
    {
        const char *caption;
        QStringList addresses;
    } groups[] = {
        {"Страничка программы:",
            {QStringLiteral("https://jorlivaron.example/"), QStringLiteral("https://jorlivaron.example/news/"),
                QStringLiteral("jorlivaron@example.org")}},
        {"Страничка игры Ливарон:",
            {QStringLiteral("https://livaron.example/"), QStringLiteral("https://forum.livaron.example/")}},
        {"Ливарон FAQ:",
            {QStringLiteral("https://livaron.example/faq/"), QStringLiteral("https://wiki.livaron.example/")}},
    };
    int row = 0;
    int captionNumber = 0;
    for (const auto &group : groups) {
        links->addWidget(CaptionLabel(QString::fromUtf8(group.caption), this,
                             QStringLiteral("lbLinkCaption%1").arg(++captionNumber)),
            row, 0, Qt::AlignLeft | Qt::AlignTop);
        for (const QString &address : group.addresses)
            links->addWidget(AddLink(address, QStringLiteral("lbLink%1").arg(m_Links.size() + 1)), row++, 1,
                Qt::AlignLeft);
    }
    links->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->addLayout(head);
    layout->addWidget(bvSeparator);
    layout->addLayout(links);
    layout->addStretch(1);
    layout->addWidget(Image2, 0, Qt::AlignRight | Qt::AlignBottom);

    tmBlink = new QTimer(this);
    tmBlink->setObjectName(QStringLiteral("tmBlink"));
    tmBlink->setInterval(BlinkInterval);
    connect(tmBlink, &QTimer::timeout, this, &TAboutBox::tmBlinkTimer);

    setFixedSize(bvSeparator->width() + 20, ClientHeight);
}

TAboutBox::~TAboutBox() = default;

QString TAboutBox::LinkTarget(const QString &text)
{
    if (text.indexOf(QLatin1Char('@')) > 0)
        return QStringLiteral("mailto:") + text;
    return text;
}

QString TAboutBox::OtherLayout(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar character : text) {
        const QChar upper = character.toUpper();
        qsizetype position = LatinKeys.indexOf(upper);
        if (position >= 0) {
            result.append(CyrillicKeys.at(position));
            continue;
        }
        position = CyrillicKeys.indexOf(upper);
        result.append(position >= 0 ? LatinKeys.at(position) : character);
    }
    return result;
}

QLabel *TAboutBox::AddLink(const QString &text, const QString &name)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    QFont linkFont = label->font();
    linkFont.setUnderline(true);
    label->setFont(linkFont);
    ShowLinkColour(label);
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(LinkTarget(text));
    label->installEventFilter(this);
    m_Links.append(label);
    return label;
}

void TAboutBox::ShowLinkColour(QLabel *label) const
{
    // The palette's link colour, where it reads on the box's background.
    QPalette linkPalette = label->palette();
    linkPalette.setColor(QPalette::WindowText,
                         ReadableColours::LookOf(ReadableColours::TColourRole::Link, palette()).Text);
    label->setPalette(linkPalette);
}

void TAboutBox::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        for (QLabel *link : std::as_const(m_Links))
            ShowLinkColour(link);
    }
}

void TAboutBox::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}

void TAboutBox::mousePressEvent(QMouseEvent *event)
{
    // A click is one of the left button; the other buttons do nothing.
    event->accept();
    if (event->button() == Qt::LeftButton)
        close();
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image1) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                close();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }

    auto *link = qobject_cast<QLabel *>(watched);
    if (link == nullptr || !m_Links.contains(link))
        return QDialog::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // The click belongs to the link, not to the box (which would close).
        return true;
    case QEvent::MouseButtonDblClick:
        // The first click of a double click has opened the address already;
        // the second one's release must not open it again.
        m_LinkDoubleClicked = true;
        return true;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_LinkDoubleClicked)
            m_LinkDoubleClicked = false;
        else if (mouse->button() == Qt::LeftButton && link->rect().contains(mouse->position().toPoint()))
            QDesktopServices::openUrl(QUrl(LinkTarget(link->text())));
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void TAboutBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        close();
        return;
    }
    const QString text = event->text();
    for (const QChar character : text) {
        if (character.isPrint())
            KeyTyped(character);
    }
    event->accept();
}

void TAboutBox::KeyTyped(QChar character)
{
    if (m_TypedKeys.size() > 20)
        m_TypedKeys.remove(0, 10);
    m_TypedKeys.append(character);

    const QString typed = m_TypedKeys.toUpper();
    if (typed.contains(BoldKeyWord) || typed.contains(OtherLayout(BoldKeyWord)))
        ToggleBold();
    else if (typed.contains(BlinkKeyWord) || typed.contains(OtherLayout(BlinkKeyWord)))
        ToggleBlink();
}

void TAboutBox::ToggleBold()
{
    QFont authorFont = lbAuthor->font();
    const bool bold = !authorFont.bold();
    if (bold)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    authorFont.setBold(bold);
    lbAuthor->setFont(authorFont);
    UiSeams::Beep();
    m_TypedKeys.clear();
}

void TAboutBox::ToggleBlink()
{
    if (tmBlink->isActive()) {
        tmBlink->stop();
        lbAuthor->setPalette(m_NormalPalette);
        lbAuthor->setHidden(false);
    } else {
        tmBlink->start();
    }
    UiSeams::Beep();
    m_TypedKeys.clear();
}

void TAboutBox::SetAuthorColour(const QColor &colour)
{
    QPalette palette = m_NormalPalette;
    palette.setColor(QPalette::WindowText, colour);
    lbAuthor->setPalette(palette);
}

void TAboutBox::tmBlinkTimer()
{
    lbAuthor->setHidden(!lbAuthor->isHidden());
    ++m_BlinkTicks;
    switch (m_BlinkTicks) {
    case 6:
        SetAuthorColour(QColor(255, 0, 0));
        break;
    case 12:
        SetAuthorColour(QColor(255, 255, 0));
        break;
    case 18:
        SetAuthorColour(QColor(0, 255, 0));
        break;
    case 24:
        SetAuthorColour(QColor(0, 0, 255));
        break;
    case 30:
        SetAuthorColour(QColor(255, 0, 255));
        break;
    case 36:
        m_BlinkTicks = 0;
        lbAuthor->setPalette(m_NormalPalette);
        break;
    default:
        break;
    }
}

void TAboutBox::RestoreAuthorLine()
{
    tmBlink->stop();
    lbAuthor->setPalette(m_NormalPalette);
    QFont authorFont = lbAuthor->font();
    authorFont.setBold(false);
    lbAuthor->setFont(authorFont);
    lbAuthor->setHidden(false);
}

void TAboutBox::hideEvent(QHideEvent *event)
{
    RestoreAuthorLine();
    QDialog::hideEvent(event);
}

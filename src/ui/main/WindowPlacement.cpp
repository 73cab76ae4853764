#include "ui/main/WindowPlacement.h"

#include "ui/widgets/ScreenFit.h"

#include "base/SettingsAccess.h"
#include "base/SettingsSeam.h"

#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWindow>

namespace {

const QString GeometryKey = QStringLiteral("Window/Geometry");
const QString StateKey = QStringLiteral("Window/State");

} // namespace

TWindowPlacement::TWindowPlacement(QMainWindow &window, std::function<int()> missingWidth)
    : QObject(&window), m_Window(window), m_MissingWidth(std::move(missingWidth))
{
    m_Window.setMinimumSize(DesignMinimumSize);
    m_Window.installEventFilter(this);
    m_SaveSoon = new QTimer(this);
    m_SaveSoon->setSingleShot(true);
    m_SaveSoon->setInterval(1000);
    connect(m_SaveSoon, &QTimer::timeout, this, &TWindowPlacement::Save);
}

void TWindowPlacement::Restore()
{
    m_Window.resize(712, 596 + m_Window.menuBar()->sizeHint().height());
    if (const QScreen *desktop = m_Window.screen())
        m_Window.move(desktop->availableGeometry().center() - m_Window.rect().center());
    if (const auto settings = OpenSettings()) {
        if (m_Window.restoreGeometry(settings->value(GeometryKey).toByteArray()))
            m_FitWhenShown = false;
        m_Window.restoreState(settings->value(StateKey).toByteArray());
    }
    // A design size that does not fit (a small or strongly scaled screen)
    // shrinks to it, and the window is centred.
    FitToScreen(m_FitWhenShown);
}

void TWindowPlacement::Save() const
{
    if (const auto settings = OpenSettings()) {
        StoreSetting(*settings, GeometryKey, m_Window.saveGeometry());
        StoreSetting(*settings, StateKey, m_Window.saveState());
    }
}

bool TWindowPlacement::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == &m_Window && m_Window.isVisible()
        && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::WindowStateChange))
        m_SaveSoon->start();
    if (watched == &m_Window && type == QEvent::Show) {
        WatchScreen();
        FitToScreen(false);
        if (m_FitWhenShown) {
            m_FitWhenShown = false;
            // The columns take their widths in the first layout pass, after this.
            QTimer::singleShot(0, this, &TWindowPlacement::FitWidthToTable);
        }
    }
    return QObject::eventFilter(watched, event);
}

void TWindowPlacement::FitToScreen(bool centre)
{
    const QScreen *desktop = m_Window.screen();
    if (!desktop || m_Window.isMaximized() || m_Window.isFullScreen())
        return;
    const QRect available = desktop->availableGeometry();
    // The frame is known once the window is on the screen.
    QMargins frame;
    const QRect inner = m_Window.geometry();
    const QRect outer = m_Window.frameGeometry();
    if (m_Window.isVisible() && outer.isValid())
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    m_Window.setMinimumSize(FitClientSize(DesignMinimumSize, available, frame));
    const QRect fitted = FitClientGeometry(inner, available, frame, centre);
    if (fitted != inner)
        m_Window.setGeometry(fitted);
}

void TWindowPlacement::WatchScreen()
{
    QWindow *window = m_Window.windowHandle();
    if (!window || m_ScreenWatched)
        return;
    m_ScreenWatched = true;
    const auto follow = [this](QScreen *desktop) {
        if (m_WatchedScreen)
            disconnect(m_WatchedScreen, &QScreen::availableGeometryChanged, this, nullptr);
        m_WatchedScreen = desktop;
        if (desktop)
            connect(desktop, &QScreen::availableGeometryChanged, this, [this] { FitToScreen(false); });
    };
    follow(window->screen());
    connect(window, &QWindow::screenChanged, this, [this, follow](QScreen *desktop) {
        follow(desktop);
        FitToScreen(false);
    });
}

void TWindowPlacement::FitWidthToTable()
{
    if (m_Window.isMaximized() || m_Window.isFullScreen())
        return;
    const int missing = m_MissingWidth();
    if (missing <= 0)
        return;
    m_Window.resize(m_Window.width() + missing, m_Window.height());
    FitToScreen(true);
}

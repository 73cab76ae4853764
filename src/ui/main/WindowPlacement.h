// Where the main window lies and how large it is: 712 × 596 below the menu
// bar, centred, on the first run; the geometry and state of the last end on
// later runs; never larger than its screen's available area, fitted again
// when the screen or its room changes (ScreenFit.h). On its first showing
// with a size of its own choosing the window widens once by what the table
// of the shown page lacks for its whole names. A moved or resized window is
// remembered a second after it comes to rest, so that a crash keeps it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

#include <functional>

class QMainWindow;
class QScreen;
class QTimer;

class TWindowPlacement : public QObject
{
    Q_OBJECT

public:
    // missingWidth: the pixels the shown page's table lacks (0 for none).
    TWindowPlacement(QMainWindow &window, std::function<int()> missingWidth);

    // Sets the first size and place, or the remembered ones, before the
    // window is shown.
    void Restore();
    void Save() const;

    // The least size where the screen has room for it.
    static constexpr QSize DesignMinimumSize{700, 570};

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FitToScreen(bool centre);
    void WatchScreen();
    void FitWidthToTable();

    QMainWindow &m_Window;
    std::function<int()> m_MissingWidth;
    bool m_FitWhenShown = true;
    bool m_ScreenWatched = false;
    QPointer<QScreen> m_WatchedScreen;
    QTimer *m_SaveSoon = nullptr;
};

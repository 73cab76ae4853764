// Helpers shared by the suites of the windows (they link the UI library):
// a desktop notifier that records instead of showing.
#pragma once

#include "ui/desktop/DesktopNotifier.h"

#include <QList>
#include <QStringList>

// What reached the desktop: each notification as "title: text", its text
// alone, and its action (kept to be run by the test).
struct TRecordedNotifications
{
    QStringList Sent;
    QStringList Texts;
    QList<TDesktopNotifier::TActivation> Actions;
};

// Records each notification in lists the test keeps, since a window owns
// its notifier. With activateAtOnce the action runs as the notification
// comes, as a click on it would, instead of being kept.
class TRecordingNotifier : public TDesktopNotifier
{
public:
    explicit TRecordingNotifier(TRecordedNotifications &recorded, bool activateAtOnce = false)
        : m_Recorded(recorded), m_ActivateAtOnce(activateAtOnce)
    {
    }

    void Notify(const QString &title, const QString &text, TActivation activated) override
    {
        m_Recorded.Sent.append(title + QStringLiteral(": ") + text);
        m_Recorded.Texts.append(text);
        if (!m_ActivateAtOnce)
            m_Recorded.Actions.append(std::move(activated));
        else if (activated)
            activated();
    }

private:
    TRecordedNotifications &m_Recorded;
    bool m_ActivateAtOnce;
};

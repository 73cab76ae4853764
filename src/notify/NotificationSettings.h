// The player's choices about notifications and the main window: which kinds
// of notification the program sends, whether a sound goes with them, and
// whether closing the window hides it to the tray instead of ending the
// program. Kept in the program's QSettings.
//
// Used by the settings dialog (which edits a copy) and the main window (which
// applies it to each village's notification rules, to the sound and to
// closing).
#pragma once

#include "notify/NotificationRules.h"

#include <QDebug>

#include <array>

class QSettings;

struct TNotificationSettings
{
    // Per TNotificationKind, in its order: all on at first.
    std::array<bool, AllNotificationKinds.size()> Kinds{true, true, true, true, true, true};
    bool Sound = false;
    bool HideToTray = false;
    // Whether an overview page copied anywhere is imported (or offered).
    bool WatchClipboard = true;

    bool IsKindEnabled(TNotificationKind kind) const;
    void SetKindEnabled(TNotificationKind kind, bool enabled);

    // Switches the kinds of one village's rules.
    void ApplyTo(TNotificationRules &rules) const;

    // Whether closing the window hides it: only where a tray icon is there to
    // bring it back.
    bool HidesOnClose(bool trayAvailable) const;

    // Reads the choices; a missing or unreadable value keeps its default.
    static TNotificationSettings Load(const QSettings &settings);
    void Save(QSettings &settings) const;

    // The same with the program's settings file (SettingsSeam): the defaults
    // while the settings are off; Save is false only when the file could not
    // be written.
    static TNotificationSettings Load();
    bool Save() const;

    friend bool operator==(const TNotificationSettings &, const TNotificationSettings &) = default;
};

QDebug operator<<(QDebug debug, const TNotificationSettings &settings);

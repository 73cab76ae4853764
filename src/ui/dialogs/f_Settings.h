// The settings dialog (Сервис → "Настройки..."): a check box for each kind
// of notification, one for the sound and one for hiding the window to the
// tray on closing. It edits a copy of the settings; the caller takes them
// back after OK and saves them.
#pragma once

#include "notify/NotificationSettings.h"

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QGroupBox;

class TFormSettings : public QDialog
{
    Q_OBJECT

public:
    // Without a tray, hiding to it cannot be chosen.
    explicit TFormSettings(bool trayAvailable, QWidget *parent = nullptr);

    void SetSettings(const TNotificationSettings &settings);
    TNotificationSettings Settings() const;

    QGroupBox *gbNotifications = nullptr;
    QCheckBox *chkAffordable = nullptr;
    QCheckBox *chkConstructionEnded = nullptr;
    QCheckBox *chkStorageNearlyFull = nullptr;
    QCheckBox *chkStorageFull = nullptr;
    QCheckBox *chkResourceRunningOut = nullptr;
    QCheckBox *chkNextVillage = nullptr;
    QCheckBox *chkSound = nullptr;
    QGroupBox *gbWindow = nullptr;
    QCheckBox *chkHideToTray = nullptr;
    QCheckBox *chkWatchClipboard = nullptr;
    QDialogButtonBox *ButtonBox = nullptr;

private:
    // The kind's box, in TNotificationKind order.
    QCheckBox *KindBox(TNotificationKind kind) const;

    // Kept as given for a choice the dialog cannot offer.
    bool m_HideToTray = false;
    bool m_TrayAvailable = false;
};

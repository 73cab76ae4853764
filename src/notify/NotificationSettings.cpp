// The notification and window settings; see NotificationSettings.h.
#include "NotificationSettings.h"

#include "base/SettingsSeam.h"

#include <QSettings>
#include <QString>
#include <QVariant>

namespace {

const QString SoundKey = QStringLiteral("Notifications/Sound");
const QString HideToTrayKey = QStringLiteral("Window/HideToTray");
const QString WatchClipboardKey = QStringLiteral("Clipboard/Watch");

QString KindKey(TNotificationKind kind)
{
    switch (kind) {
    case TNotificationKind::Affordable:
        return QStringLiteral("Notifications/Affordable");
    case TNotificationKind::ConstructionEnded:
        return QStringLiteral("Notifications/ConstructionEnded");
    case TNotificationKind::StorageNearlyFull:
        return QStringLiteral("Notifications/StorageNearlyFull");
    case TNotificationKind::StorageFull:
        return QStringLiteral("Notifications/StorageFull");
    case TNotificationKind::ResourceRunningOut:
        return QStringLiteral("Notifications/ResourceRunningOut");
    case TNotificationKind::NextVillage:
        return QStringLiteral("Notifications/NextVillage");
    }
    return {};
}

constexpr std::size_t Slot(TNotificationKind kind)
{
    return static_cast<std::size_t>(kind);
}

// A flag as written by Save ("true"/"false") or by hand ("1"/"0", any case,
// blanks around); anything else keeps the default, so that a damaged file
// does not switch on what the player left off.
bool ReadFlag(const QSettings &settings, const QString &key, bool fallback)
{
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed().toLower();
    if (text == u"true" || text == u"1")
        return true;
    if (text == u"false" || text == u"0")
        return false;
    return fallback;
}

} // namespace

bool TNotificationSettings::IsKindEnabled(TNotificationKind kind) const
{
    return Kinds[Slot(kind)];
}

void TNotificationSettings::SetKindEnabled(TNotificationKind kind, bool enabled)
{
    Kinds[Slot(kind)] = enabled;
}

void TNotificationSettings::ApplyTo(TNotificationRules &rules) const
{
    for (const TNotificationKind kind : AllNotificationKinds)
        rules.SetKindEnabled(kind, IsKindEnabled(kind));
}

bool TNotificationSettings::HidesOnClose(bool trayAvailable) const
{
    return HideToTray && trayAvailable;
}

TNotificationSettings TNotificationSettings::Load(const QSettings &settings)
{
    TNotificationSettings result;
    for (const TNotificationKind kind : AllNotificationKinds)
        result.SetKindEnabled(kind, ReadFlag(settings, KindKey(kind), result.IsKindEnabled(kind)));
    result.Sound = ReadFlag(settings, SoundKey, result.Sound);
    result.HideToTray = ReadFlag(settings, HideToTrayKey, result.HideToTray);
    result.WatchClipboard = ReadFlag(settings, WatchClipboardKey, result.WatchClipboard);
    return result;
}

void TNotificationSettings::Save(QSettings &settings) const
{
    for (const TNotificationKind kind : AllNotificationKinds)
        StoreSetting(settings, KindKey(kind), IsKindEnabled(kind));
    StoreSetting(settings, SoundKey, Sound);
    StoreSetting(settings, HideToTrayKey, HideToTray);
    StoreSetting(settings, WatchClipboardKey, WatchClipboard);
}

TNotificationSettings TNotificationSettings::Load()
{
    const auto settings = OpenSettings();
    return settings ? Load(*settings) : TNotificationSettings();
}

bool TNotificationSettings::Save() const
{
    const auto settings = OpenSettings();
    if (!settings)
        return true;
    Save(*settings);
    return FlushSettings();
}

QDebug operator<<(QDebug debug, const TNotificationSettings &settings)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TNotificationSettings(kinds";
    for (const bool on : settings.Kinds)
        debug << ' ' << on;
    debug << ", sound " << settings.Sound << ", hide to tray " << settings.HideToTray << ", clipboard "
          << settings.WatchClipboard << ')';
    return debug;
}

// The settings dialog; see f_Settings.h.
#include "ui/dialogs/f_Settings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QCheckBox *NewCheckBox(QWidget *parent, const QString &name, const QString &text)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(name);
    parent->layout()->addWidget(box);
    return box;
}

QGroupBox *NewGroupBox(QWidget *parent, const QString &name, const QString &title)
{
    auto *group = new QGroupBox(title, parent);
    group->setObjectName(name);
    new QVBoxLayout(group);
    parent->layout()->addWidget(group);
    return group;
}

} // namespace

TFormSettings::TFormSettings(bool trayAvailable, QWidget *parent)
    : QDialog(parent)
    , m_TrayAvailable(trayAvailable)
{
    setObjectName(QStringLiteral("FormSettings"));
    setWindowTitle(QStringLiteral("Настройки"));
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    gbNotifications = NewGroupBox(this, QStringLiteral("gbNotifications"), QStringLiteral("Уведомления"));
    chkAffordable = NewCheckBox(gbNotifications, QStringLiteral("chkAffordable"),
                                QStringLiteral("Строение можно строить"));
    chkConstructionEnded = NewCheckBox(gbNotifications, QStringLiteral("chkConstructionEnded"),
                                       QStringLiteral("Строительство завершено"));
    chkStorageNearlyFull = NewCheckBox(gbNotifications, QStringLiteral("chkStorageNearlyFull"),
                                       QStringLiteral("Склад или амбар заполнится в течение 10 минут"));
    chkStorageFull = NewCheckBox(gbNotifications, QStringLiteral("chkStorageFull"),
                                 QStringLiteral("Склад или амбар полон"));
    chkResourceRunningOut = NewCheckBox(gbNotifications, QStringLiteral("chkResourceRunningOut"),
                                        QStringLiteral("Ресурс закончится в течение 10 минут или закончился"));
    chkNextVillage = NewCheckBox(gbNotifications, QStringLiteral("chkNextVillage"),
                                 QStringLiteral("Можно основать новую деревню"));
    chkSound = NewCheckBox(gbNotifications, QStringLiteral("chkSound"), QStringLiteral("Звуковой сигнал"));

    gbWindow = NewGroupBox(this, QStringLiteral("gbWindow"), QStringLiteral("Окно"));
    chkHideToTray = NewCheckBox(gbWindow, QStringLiteral("chkHideToTray"),
                                QStringLiteral("Закрытие окна прячет его в область уведомлений"));
    if (!m_TrayAvailable) {
        chkHideToTray->setEnabled(false);
        chkHideToTray->setToolTip(QStringLiteral("Область уведомлений недоступна"));
    }

    chkWatchClipboard = NewCheckBox(gbWindow, QStringLiteral("chkWatchClipboard"),
                                    QStringLiteral("Следить за буфером обмена"));

    ButtonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ButtonBox->setObjectName(QStringLiteral("ButtonBox"));
    ButtonBox->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    ButtonBox->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    layout->addWidget(ButtonBox);
    connect(ButtonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ButtonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    SetSettings(TNotificationSettings());
}

QCheckBox *TFormSettings::KindBox(TNotificationKind kind) const
{
    switch (kind) {
    case TNotificationKind::Affordable:
        return chkAffordable;
    case TNotificationKind::ConstructionEnded:
        return chkConstructionEnded;
    case TNotificationKind::StorageNearlyFull:
        return chkStorageNearlyFull;
    case TNotificationKind::StorageFull:
        return chkStorageFull;
    case TNotificationKind::ResourceRunningOut:
        return chkResourceRunningOut;
    case TNotificationKind::NextVillage:
        return chkNextVillage;
    }
    return nullptr;
}

void TFormSettings::SetSettings(const TNotificationSettings &settings)
{
    for (const TNotificationKind kind : AllNotificationKinds)
        KindBox(kind)->setChecked(settings.IsKindEnabled(kind));
    chkSound->setChecked(settings.Sound);
    m_HideToTray = settings.HideToTray;
    chkHideToTray->setChecked(m_TrayAvailable && settings.HideToTray);
    chkWatchClipboard->setChecked(settings.WatchClipboard);
}

TNotificationSettings TFormSettings::Settings() const
{
    TNotificationSettings settings;
    for (const TNotificationKind kind : AllNotificationKinds)
        settings.SetKindEnabled(kind, KindBox(kind)->isChecked());
    settings.Sound = chkSound->isChecked();
    settings.HideToTray = m_TrayAvailable ? chkHideToTray->isChecked() : m_HideToTray;
    settings.WatchClipboard = chkWatchClipboard->isChecked();
    return settings;
}

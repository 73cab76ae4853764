// Watches the account's culture for the next village: it holds the
// account's typed values (AccountCulture.h), makes the forecast of the open
// villages on demand, and after each tick of the villages' clock says once
// that the next village can be founded:
//
// - when the forecast's time reaches 0 between two ticks, and again only
//   after it rose above 0 (new values typed, a village closed) or became
//   never;
// - not on the first tick: a moment passed while the program was closed is
//   shown in the window of all villages and the culture dialog, not told;
// - not when the player types new values (SetAccount): the dialog shows the
//   result already;
// - not while the kind is switched off; its state follows all the same, so
//   that switching it on again brings back nothing that happened meanwhile.
//
// The village list owns one; the desktop presence passes what it says to
// the desktop notifier and switches it with the notification settings.
#pragma once

#include "app/AccountCulture.h"

#include <QObject>
#include <QString>

class TVillageList;

class TNextVillageWatch : public QObject
{
    Q_OBJECT

public:
    // The account's values from the program's settings.
    explicit TNextVillageWatch(TVillageList &villages, QObject *parent = nullptr);

    const TAccountCulture &Account() const { return m_Account; }
    // Takes the player's values and keeps them in the settings; false when
    // the settings file could not be written (the values hold for this run).
    bool SetAccount(const TAccountCulture &account);

    // The forecast of the open villages now (the program's clock).
    TCultureForecast Forecast() const;
    // The same for other values (the dialog's, before they are taken).
    TCultureForecast Forecast(const TAccountCulture &account) const;

    // Looks at the forecast now; what each tick of the villages calls.
    void Check();

    // On at first.
    void SetEnabled(bool enabled) { m_Enabled = enabled; }
    bool IsEnabled() const { return m_Enabled; }

    // "Можно основать новую деревню", the notification's line; its title
    // is "Новая деревня".
    static QString NotificationTitle();
    static QString NotificationText();

signals:
    // The moment has come; sent once, see above.
    void NextVillageReady();
    // The account's values changed.
    void AccountChanged();

private:
    TVillageList &m_Villages;
    TAccountCulture m_Account;
    bool m_Enabled = true;
    // Whether a tick was seen, and whether the moment had come at the last.
    bool m_Started = false;
    bool m_Reached = false;
};

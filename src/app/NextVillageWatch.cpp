// The watch of the next village; see NextVillageWatch.h.
#include "NextVillageWatch.h"

#include "app/VillageList.h"
#include "base/Clock.h"

TNextVillageWatch::TNextVillageWatch(TVillageList &villages, QObject *parent)
    : QObject(parent)
    , m_Villages(villages)
    , m_Account(TAccountCulture::Load())
{
}

bool TNextVillageWatch::SetAccount(const TAccountCulture &account)
{
    const bool saved = account.Save();
    if (account == m_Account)
        return saved;
    m_Account = account;
    // What the new values give is taken as it stands.
    const TCultureForecast forecast = Forecast();
    m_Reached = forecast.Seconds.value_or(-1) == 0;
    emit AccountChanged();
    return saved;
}

TCultureForecast TNextVillageWatch::Forecast() const
{
    return Forecast(m_Account);
}

TCultureForecast TNextVillageWatch::Forecast(const TAccountCulture &account) const
{
    return ForecastNextVillage(account, m_Villages.Planners(), m_Villages.Catalog(), CurrentDateTime());
}

void TNextVillageWatch::Check()
{
    const TCultureForecast forecast = Forecast();
    const bool reached = forecast.Seconds.value_or(-1) == 0;
    const bool comes = m_Started && reached && !m_Reached;
    m_Started = true;
    m_Reached = reached;
    if (comes && m_Enabled)
        emit NextVillageReady();
}

QString TNextVillageWatch::NotificationTitle()
{
    return QStringLiteral("Новая деревня");
}

QString TNextVillageWatch::NotificationText()
{
    return QStringLiteral("Можно основать новую деревню");
}

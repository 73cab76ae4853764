// Texts of durations and moments; see TimeText.h.
#include "TimeText.h"

#include "WholeNumber.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr qint64 SecondsPerMinute = 60;
constexpr qint64 SecondsPerHour = 3600;
constexpr qint64 SecondsPerDay = 86400;

// The user's short time format without its seconds; looked up again only
// when the locale changes, for the many texts a tick makes.
const QString &ShortTimeFormatWithoutSeconds(const QLocale &locale)
{
    static QLocale cachedLocale = QLocale::c();
    static QString cachedFormat;
    static bool cached = false;
    if (!cached || !(locale == cachedLocale)) {
        static const QRegularExpression seconds(QStringLiteral("[.:]?s{1,2}(\\.z{1,3})?"));
        cachedFormat = locale.timeFormat(QLocale::ShortFormat).remove(seconds).trimmed();
        cachedLocale = locale;
        cached = true;
    }
    return cachedFormat;
}

void AppendTwoDigits(QString &text, qint64 value)
{
    if (value < 10)
        text += u'0';
    text += QString::number(value);
}

} // namespace

QString DurationText(qint64 seconds)
{
    const qint64 span = ClampToInt32(seconds);
    const qint64 magnitude = std::abs(span);
    QString text;
    text.reserve(12);
    if (span < 0)
        text += u'-';
    // From a day on the days stand apart: "28 д 07:00:00" reads at a glance
    // where "679:00:00" does not.
    if (magnitude >= SecondsPerDay) {
        text += QString::number(magnitude / SecondsPerDay);
        text += QStringLiteral(" д ");
    }
    AppendTwoDigits(text, magnitude % SecondsPerDay / SecondsPerHour);
    text += u':';
    AppendTwoDigits(text, magnitude % SecondsPerHour / SecondsPerMinute);
    text += u':';
    AppendTwoDigits(text, magnitude % SecondsPerMinute);
    return text;
}

QString ClockText(const QDateTime &moment, const QDate &today)
{
    const QLocale locale;
    const QString clock = locale.toString(moment.time(), ShortTimeFormatWithoutSeconds(locale));
    const QDate day = moment.date();
    if (day == today)
        return clock;
    const QString date = day.year() == today.year() ? QStringLiteral("dd.MM") : QStringLiteral("dd.MM.yyyy");
    return locale.toString(day, date) + u' ' + clock;
}

QString DurationWithEndText(qint64 seconds, const QDateTime &now)
{
    const qint64 span = ClampToInt32(seconds);
    return DurationText(span) + QStringLiteral(" (") + ClockText(now.addSecs(span), now.date()) + u')';
}

QString ElapsedText(qint64 seconds)
{
    if (seconds < SecondsPerMinute)
        return QStringLiteral("%1 сек").arg(std::max<qint64>(seconds, 0));
    const qint64 days = seconds / SecondsPerDay;
    const qint64 hours = seconds % SecondsPerDay / SecondsPerHour;
    const qint64 minutes = seconds % SecondsPerHour / SecondsPerMinute;
    QStringList parts;
    if (days > 0)
        parts.append(QStringLiteral("%1 дн").arg(days));
    if (hours > 0)
        parts.append(QStringLiteral("%1 ч").arg(hours));
    if (minutes > 0)
        parts.append(QStringLiteral("%1 мин").arg(minutes));
    return parts.join(u' ');
}

qint32 TextToSeconds(QStringView text)
{
    if (text.isEmpty())
        return 0;
    QStringView rest = text;
    auto takePart = [&rest]() {
        const qsizetype colon = rest.indexOf(u':');
        if (colon < 0)
            return QStringView();
        const QStringView part = rest.left(colon);
        rest = rest.mid(colon + 1);
        return part;
    };
    const QStringView hours = takePart();
    const QStringView minutes = takePart();
    const qint64 total = qint64(WholeNumberOr(hours, 0)) * SecondsPerHour
        + qint64(WholeNumberOr(minutes, 0)) * SecondsPerMinute + WholeNumberOr(rest, 0);
    return ClampToInt32(total);
}

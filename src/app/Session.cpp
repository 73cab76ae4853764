#include "Session.h"

#include <QDir>
#include <QFileInfo>
#include "base/SettingsSeam.h"

#include <QSettings>

namespace {

const QString FilesKey = QStringLiteral("Session/Files");
const QString CurrentKey = QStringLiteral("Session/Current");

// Keeps the entries of files for which keep is true; the returned session
// shows the kept entry of shown, or the nearest kept one before it, or after it.
template <typename TKeep>
TSession Kept(const QStringList &files, int shown, TKeep keep)
{
    TSession session;
    int nearestBefore = -1;
    int nearestAfter = -1;
    for (int i = 0; i < files.size(); ++i) {
        if (!keep(files, i))
            continue;
        const int position = int(session.Files.size());
        session.Files.append(files.at(i));
        if (i == shown)
            session.Current = position;
        else if (i < shown)
            nearestBefore = position;
        else if (nearestAfter < 0)
            nearestAfter = position;
    }
    if (session.Current < 0)
        session.Current = nearestBefore >= 0 ? nearestBefore : nearestAfter;
    return session;
}

} // namespace

TSession TSession::FromTabs(const QStringList &tabFiles, int shownTab)
{
    return Kept(tabFiles, shownTab, [](const QStringList &files, int i) {
        const QString &file = files.at(i);
        return !file.isEmpty() && QFileInfo(file).isFile() && files.indexOf(file) == i;
    });
}

TSession TSession::Load(const QSettings &settings)
{
    TSession session;
    session.Files = settings.value(FilesKey).toStringList();
    // Read wide: a number past 32 bits would otherwise wrap into the range.
    bool ok = false;
    const qlonglong current = settings.value(CurrentKey).toLongLong(&ok);
    session.Current = ok && current >= 0 && current < session.Files.size() ? int(current) : -1;
    return session;
}

void TSession::Save(QSettings &settings) const
{
    StoreSetting(settings, FilesKey, Files);
    StoreSetting(settings, CurrentKey, Current);
}

QStringList TSession::TakeMissing()
{
    QStringList missing;
    *this = Kept(Files, Current, [&missing](const QStringList &files, int i) {
        const QString &file = files.at(i);
        // What is there but no village file (a pipe, a folder) stays, so
        // that opening it says why it is refused.
        if (QFileInfo::exists(file))
            return true;
        if (!file.isEmpty())
            missing.append(file);
        return false;
    });
    return missing;
}

QString TSession::MissingFilesMessage(const QStringList &files)
{
    QStringList lines{QStringLiteral("Не удалось снова открыть файлы прошлого сеанса, их больше нет:")};
    for (const QString &file : files)
        lines.append(QDir::toNativeSeparators(file));
    return lines.join(QStringLiteral("\r\n"));
}

QDebug operator<<(QDebug debug, const TSession &session)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TSession(" << session.Files << ", current " << session.Current << ')';
    return debug;
}

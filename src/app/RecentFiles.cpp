#include "RecentFiles.h"

#include "base/SettingsSeam.h"

#include <QDir>
#include <QSettings>

const QString TRecentFiles::SettingsKey = QStringLiteral("RecentFiles");

void TRecentFiles::Add(const QString &file)
{
    if (file.isEmpty())
        return;
    m_Files.removeAll(file);
    m_Files.prepend(file);
    while (m_Files.size() > MaxCount)
        m_Files.removeLast();
}

bool TRecentFiles::Remove(const QString &file)
{
    return m_Files.removeAll(file) > 0;
}

void TRecentFiles::Load(const QSettings &settings)
{
    const QStringList stored = settings.value(SettingsKey).toStringList();
    m_Files.clear();
    for (const QString &file : stored) {
        if (!file.isEmpty() && !m_Files.contains(file) && m_Files.size() < MaxCount)
            m_Files.append(file);
    }
}

void TRecentFiles::Save(QSettings &settings) const
{
    StoreSetting(settings, SettingsKey, m_Files);
}

QString TRecentFiles::MissingFileMessage(const QString &file)
{
    return QStringLiteral("Файл «%1» не найден. Он убран из списка последних файлов.")
        .arg(QDir::toNativeSeparators(file));
}

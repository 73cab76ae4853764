// The list of recently used village files behind Файл → "Последние файлы":
// newest first, each file once, at most ten. The main window adds a file when
// it is opened or written and removes one that has gone when it is chosen; the
// list lives in the program's settings between runs.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

class TRecentFiles
{
public:
    static constexpr int MaxCount = 10;
    // Where Save keeps the list.
    static const QString SettingsKey;

    const QStringList &Files() const { return m_Files; }

    // Puts file first; an entry for the same file further down goes, and
    // the oldest falls off past MaxCount. An empty name changes nothing.
    void Add(const QString &file);
    // Returns whether the file was in the list.
    bool Remove(const QString &file);

    // Reads the list as Save left it; empty names, repeats and entries past
    // MaxCount in a hand-edited settings file are dropped.
    void Load(const QSettings &settings);
    void Save(QSettings &settings) const;

    // The message shown when a chosen file has gone.
    static QString MissingFileMessage(const QString &file);

private:
    QStringList m_Files;
};

// Where the program keeps what it remembers between runs (the session, the
// recent files, the window's geometry, the view toggles, the file dialogs'
// last folder). The program points it at the user's settings file at start;
// until then, and so in every test that does not point it at a file of its
// own, nothing is read or written.
#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// The settings file in use; an empty path turns the settings off. Returns the
// path it replaces.
QString SetSettingsFile(const QString &path);

// The user's settings file: <config folder>/jorlivaron/JorLivaronMng.conf.
QString UserSettingsFile();

// The settings, or null while they are off.
std::unique_ptr<QSettings> OpenSettings();

// The folder a file dialog starts in: the remembered one while it exists,
// else the user's documents folder, else the home folder.
QString DialogStartFolder(const QString &remembered);

// The settings key of the file dialogs' last folder.
extern const QString DialogFolderKey;

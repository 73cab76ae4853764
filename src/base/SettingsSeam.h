// Where the program keeps what it remembers between runs (the session, the
// recent files, the window's geometry, the view toggles, the file dialogs'
// last folder). The program points it at the user's settings file at start;
// until then, and so in every test that does not point it at a file of its
// own, nothing is read or written.
//
// One settings object serves the whole run: the file is read once, and
// the changes made in one pass of the event loop are written together at
// the next pass (one write, not one for each value), and what is still
// unwritten when the application ends is written then. A value stored
// again as it stands changes nothing and writes nothing.
#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>


// The settings file in use; an empty path turns the settings off. Returns the
// path it replaces.
QString SetSettingsFile(const QString &path);
// The settings file in use; empty while the settings are off.
QString CurrentSettingsFile();

// The user's settings file: <config folder>/jorlivaron/JorLivaronMng.conf.
QString UserSettingsFile();

// The settings, or null while they are off or the file is no regular file
// (a pipe would hold the program for ever). The object belongs to the
// seam; it stays valid until the settings file is changed or the
// application ends.
QSettings *OpenSettings();

// Stores value under key unless the settings hold that value already (as
// stored, or as the text the file gives back), so that storing what is
// stored writes nothing.
void StoreSetting(QSettings &settings, const QString &key, const QVariant &value);

// Writes what is not written yet, now; true when the settings are off or
// the write succeeded.
bool FlushSettings();

// How many times the settings file has been written in this run (the
// tests count the writes by it).
qint64 SettingsWriteCount();

// The folder a file dialog starts in: the remembered one while it exists,
// else the user's documents folder, else the home folder.
QString DialogStartFolder(const QString &remembered);

// The settings key of the file dialogs' last folder.
extern const QString DialogFolderKey;

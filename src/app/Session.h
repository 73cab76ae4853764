// The villages open at exit, to be opened again at the next start: their
// files in tab order and the tab that was shown. The main window makes it
// from its tabs when it closes and opens it again when the program starts;
// it lives in the program's settings between runs.
#pragma once

#include <QDebug>
#include <QString>
#include <QStringList>

class QSettings;

class TSession
{
public:
    // The files in tab order; Current is the position of the file of the
    // shown tab in Files, -1 when there are no files.
    QStringList Files;
    int Current = -1;

    // The session of the tabs' file names (in tab order; empty for a village
    // that has no file) with tab shownTab in front. A tab without a file, a
    // file that no longer exists and a second tab of the same file are left
    // out; when the shown tab is left out, the nearest kept tab before it
    // (else after it) is shown instead.
    static TSession FromTabs(const QStringList &tabFiles, int shownTab);

    // Reads the session as Save left it; a shown position outside the files
    // becomes -1.
    static TSession Load(const QSettings &settings);
    void Save(QSettings &settings) const;

    // The files that no longer exist, in order; Files keeps only the others
    // (an empty name goes unlisted) and Current follows its file, or falls
    // back as in FromTabs. Whatever exists stays, also what is no regular
    // file (a pipe, a folder): Open refuses it with its reason.
    QStringList TakeMissing();

    // The one message about the files of the last session that could not be
    // opened again.
    static QString MissingFilesMessage(const QStringList &files);

    friend bool operator==(const TSession &, const TSession &) = default;
};

QDebug operator<<(QDebug debug, const TSession &session);

// Recovery after a crash: every 30 seconds each open village with unwritten
// edits (also one that never had a file) is written to a recovery file of
// its own in the program's data folder (never to the player's file), and the
// recovery file of a village without such edits is removed. A normal exit
// removes them all, so files found there at the next start are what a
// crashed program left: the main window offers them back, opening each as
// an unsaved tab with its file name, when it had one.
//
// In the folder, one village is "<key>.vlgdat" (a village file) and, when
// the village had a file, "<key>.origin" holding that file's path as UTF-8;
// the key is the process id and a number of the village, so that no run
// writes over another's. Both are written atomically.
//
// The main window keeps a TVillageRecovery on its village list; the store is
// a value of its own, so that a test can point it at a folder.

#pragma once

#include "record/VillageFile.h"

#include <QDebug>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class QTimer;
class TdmListObj;
class TVillageData;
class TVillageDocument;
class TVillageList;

// The folder in which the program keeps recovery files: set at start to
// TRecoveryStore::DefaultFolder(). Empty (until then, and so in every test
// that sets none) keeps nothing. Returns the folder it replaces.
QString SetRecoveryFolder(const QString &folder);
QString RecoveryFolder();

// A village found in the recovery folder.
struct TRecoveredVillage
{
    QString Name;
    // The player's file it had; empty for a village never saved.
    QString FileName;
    // Its recovery file, a village file to be read.
    QString RecoveryFile;

    friend bool operator==(const TRecoveredVillage &, const TRecoveredVillage &) = default;
};

QDebug operator<<(QDebug debug, const TRecoveredVillage &village);

class TRecoveryStore
{
public:
    explicit TRecoveryStore(const QString &folder = RecoveryFolder());

    // "recovery" in the program's local data folder
    // (~/.local/share/jorlivaron/JorLivaronMng/recovery).
    static QString DefaultFolder();
    const QString &Folder() const { return m_Folder; }

    // Writes the village under key, atomically; the folder is made when
    // missing. A failure is a value (the keeper tries again 30 s later).
    // A store without a folder keeps nothing and finds nothing.
    TFileResult Write(const QString &key, const TVillageData &village) const;
    // Removes what is kept under key.
    void Remove(const QString &key) const;
    // Every village in the folder, in the order of their keys; a recovery
    // file that cannot be read whole is left out.
    QList<TRecoveredVillage> Found(const TdmListObj &catalog) const;
    // Removes a found village's files.
    void Remove(const TRecoveredVillage &village) const;

    // "Программа была закрыта аварийно. Восстановить несохранённые деревни:
    // «Test», «Северная»?"
    static QString Question(const QList<TRecoveredVillage> &villages);

private:
    QString m_Folder;
};

class TVillageRecovery : public QObject
{
    Q_OBJECT

public:
    // Keeps the villages of the list in the store, every 30 seconds.
    TVillageRecovery(TVillageList &villages, const TRecoveryStore &store, QObject *parent = nullptr);

    const TRecoveryStore &Store() const { return m_Store; }
    // The 30-second clock.
    QTimer &Clock() const { return *m_Clock; }

    // Writes each village with unwritten edits and removes the files of the
    // others, now.
    void WriteNow();
    // The program ends normally: nothing is left to recover.
    void Finish();

    static constexpr int PeriodMs = 30 * 1000;

private:
    QString KeyOf(const TVillageDocument *document);
    void Forget(const TVillageDocument *document);

    TVillageList &m_Villages;
    TRecoveryStore m_Store;
    QTimer *m_Clock = nullptr;
    QHash<const TVillageDocument *, QString> m_Keys;
    int m_NextNumber = 1;
};

// Recovery after a crash: every 30 seconds each open village with unwritten
// edits (also one that never had a file) is written to a recovery file of
// its own in the program's data folder (never to the player's file), and the
// recovery file of a village without such edits is removed. A normal exit
// removes them all, so files found there at the next start are what a
// crashed program left: the main window offers them back, opening each as
// an unsaved tab with its file name, when it had one.
//
// In the folder, one village is "<key>.vlgdat" (a village file) and, when
// the village had a file, "<key>.origin" holding that file's path as UTF-8,
// then (since this version) a NUL and the SHA-256 of the file as the run
// last read or wrote it, in hexadecimal (nothing after the NUL: there was
// no file). The key is a random key of the keeper and a number of the
// village, so that no run writes over another's, also a run that has the
// process id of one that crashed. Both are written atomically and synced,
// and a village's old copy goes only once its new one is on the disk.
//
// The origin is not trusted: a village comes back with its file only when
// the path is absolute and holds a village file or nothing, and the file
// as it is now is compared with the one the crashed run knew, so that a
// change made since is asked about before anything overwrites it.
//
// The main window keeps a TVillageRecovery on its village list; the store is
// a value of its own, so that a test can point it at a folder.

#pragma once

#include "app/VillageFileGuard.h"
#include "record/VillageFile.h"

#include <QDebug>
#include <QHash>
#include <QMultiHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class QLockFile;
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
    // The player's file as the crashed run last read or wrote it; none when
    // not known (a copy kept by an older version) or when it has no file.
    std::optional<TFileStamp> LastSeen = std::nullopt;

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

    // Writes the village under key, atomically, and syncs the folder; the
    // folder is made when missing. lastSeen: the village's file as last
    // read or written. A failure is a value (the keeper tries again 30 s
    // later). A store without a folder keeps nothing and finds nothing.
    TFileResult Write(const QString &key, const TVillageData &village,
                      const std::optional<TFileStamp> &lastSeen = std::nullopt) const;
    // Removes what is kept under key.
    void Remove(const QString &key) const;
    // Every village in the folder, in the order of their keys; a recovery
    // file that cannot be read whole is left out. An origin that is no
    // absolute path, or names something that is not a village file, gives
    // the village no file.
    QList<TRecoveredVillage> Found(const TdmListObj &catalog) const;
    // Removes a found village's files.
    void Remove(const TRecoveredVillage &village) const;

    // Whether the run of this key (the part before its last "-") is
    // running: it holds "<run>.lock" in the folder.
    bool RunIsLive(const QString &key) const;
    // Removes what a run killed between a write and its rename left and
    // no running program holds: half-written copies ("<key>.vlgdat.XXXXXX"),
    // origins without their village, and stale run locks.
    void RemoveLeftovers() const;

    // "Программа была закрыта аварийно. Восстановить несохранённые деревни:
    // «Test», «Северная» (/дом/Северная.vlgdat)?", each with the file it
    // goes back to; the first MaxNamedInQuestion, then "и ещё N".
    static QString Question(const QList<TRecoveredVillage> &villages);
    static constexpr int MaxNamedInQuestion = 10;

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
    // others, now; true when every copy was written. The first failure of
    // the run is said once (KeepingFailed).
    bool WriteNow();
    // The found villages have come back into these documents (none for one
    // that did not): they are kept under this keeper's keys, and each old
    // copy is removed only once its replacement is on the disk (at a later
    // WriteNow when not now), or when its document leaves nothing to
    // recover (saved, closed, the program's normal end).
    void TakeOver(const QList<QPair<TRecoveredVillage, const TVillageDocument *>> &recovered);
    // At start: what ended runs left in the store (leftovers removed
    // first); copies of a run still going are not this program's to offer.
    QList<TRecoveredVillage> LeftByEndedRuns(const TdmListObj &catalog) const;
    // The keeper's key, unique to it; every key it gives starts with it.
    const QString &RunKey() const { return m_RunKey; }
    // The program ends normally: nothing is left to recover.
    void Finish();
    ~TVillageRecovery() override;

    static constexpr int PeriodMs = 30 * 1000;

signals:
    // "Не удалось сохранить копию для восстановления: …", at the first
    // copy that could not be written.
    void KeepingFailed(const QString &message);

private:
    QString KeyOf(const TVillageDocument *document);
    void Forget(const TVillageDocument *document);
    void RemoveTakenOver(const TVillageDocument *document);

    TVillageList &m_Villages;
    TRecoveryStore m_Store;
    QTimer *m_Clock = nullptr;
    QHash<const TVillageDocument *, QString> m_Keys;
    // The documents whose latest copy is on the disk.
    QSet<const TVillageDocument *> m_Kept;
    // Copies of a crashed run taken over by a document, still on the disk.
    QMultiHash<const TVillageDocument *, TRecoveredVillage> m_TakenOver;
    QString m_RunKey;
    // Held in the folder while this keeper has copies there.
    std::unique_ptr<QLockFile> m_RunLock;
    int m_NextNumber = 1;
    bool m_FailureSaid = false;
};

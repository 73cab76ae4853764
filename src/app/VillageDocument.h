// One open village: the single owner of its record, its planner (which
// keeps the village's one evaluation) and the models that present them,
// with the watch that feeds its notification rules. Open, save and import
// go through it; the automatic save is done here, so that a village whose
// page is hidden saves like one that is shown.
//
// It also keeps what the player has changed and not yet written (the title's
// marker, "Сохранить" and the close questions follow it), and the file's
// lock and the file as last read or written (VillageFileGuard): a file
// locked by another program is read-only here, and a file another program
// changed is never overwritten without the player's word.
//
// The village list owns the documents and ticks them; a village page takes
// one and binds its controls to it.
#pragma once

#include "app/VillageFileGuard.h"
#include "record/VillageFile.h"
#include "record/VillageState.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

class TdmListObj;
class TVillageFileGuard;
class TVillageData;
class TPlanner;
class TAvailableModel;
class TResourceModel;
class TConsideredModel;
class TQueueModel;
class TBuiltModel;
class TVillageWatch;
class TVillageHistory;
struct TOverviewImportResult;

class TVillageDocument : public QObject
{
    Q_OBJECT

public:
    explicit TVillageDocument(const TdmListObj &catalog, QObject *parent = nullptr);
    ~TVillageDocument() override;

    const TdmListObj &Catalog() const { return m_Catalog; }
    TVillageData &Village() const { return *m_Village; }
    TPlanner &Planner() const { return *m_Planner; }
    TAvailableModel &AvailableModel() const { return *m_AvailableModel; }
    TResourceModel &ResourceModel() const { return *m_ResourceModel; }
    TConsideredModel &ConsideredModel() const { return *m_ConsideredModel; }
    TQueueModel &QueueModel() const { return *m_QueueModel; }
    TBuiltModel &BuiltModel() const { return *m_BuiltModel; }
    TVillageWatch &Watch() const { return *m_Watch; }
    // The player's changes cut into undo steps.
    TVillageHistory &History() const { return *m_History; }

    // Reads the village from its FileName; a whole read of a file that
    // gives its moment of writing lets the stocks catch up with the time
    // since (by the Clock seam), and the info line says so; otherwise the
    // info line is cleared. The evaluation follows every read, partial ones
    // included.
    TFileResult Load();
    // Names the village's file and loads it: the file is read once, and
    // its stamp taken from the bytes read. After a failure the file as it
    // is now is what a later write may replace.
    TFileResult Open(const QString &path);
    // Takes a village back from its recovery file (VillageRecovery): read
    // as Load reads it, the stocks caught up with the time since it was
    // kept; then it has the player's file it had (none when empty) and its
    // edits count as unwritten. lastSeen: that file as the crashed run
    // last read or wrote it, so that a change made since is asked about
    // before a write replaces it; none takes the file as it is now.
    TFileResult Recover(const QString &recoveryFile, const QString &fileName,
                        const std::optional<TFileStamp> &lastSeen = std::nullopt);
    // Writes the village to path (its FileName when empty), which becomes
    // its FileName only when written; marks a failed write. A successful
    // write clears the unwritten edits. Refused without writing: a file
    // locked by another program, and the village's own file when another
    // program has changed it since it was last read or written here (see
    // KeepMine).
    TFileResult Write(const QString &path = QString());
    // The pasted overview page, split into lines, applied to the village;
    // an accepted page sets the info line to its report and is one undo
    // step, "импорт".
    TOverviewImportResult Import(const QStringList &lines);
    // The lines of the last page accepted by Import; empty for none.
    const QStringList &LastImportedPage() const { return m_LastImportedPage; }

    // The identity of the village's file (VillageFileIdentity), worked out
    // when the file name changes and after each read and write, so that
    // finding an open file costs no look at the file system per village.
    const QString &FileIdentity() const { return m_FileIdentity; }

    // One line about the last Open or import; empty for none.
    const QString &InfoLine() const { return m_InfoLine; }

    // The one-second tick: the planner's tick, then the notifications;
    // then the deliveries that have arrived go into the stocks, one undo
    // step ("поставку") with one line on the page. A
    // construction that ends on it changes the village (FinishedConstruction):
    // one undo step, "завершение постройки", an unwritten edit, and the info
    // line says what it did. So does one that Load finds ended.
    void Tick();

    // Whether the player changed the village since it was last read or
    // written: set by every step of the undo history (each change the
    // player makes, an import, the build command) and by undo and redo;
    // cleared by a good write and a good read. Open, the catch-up and the
    // tick's growth leave it alone.
    bool HasUnwrittenEdits() const { return m_UnwrittenEdits; }
    // Makes the changes announced in this pass of the event loop a step now
    // (they are one at the next pass anyway), so that the flag counts them.
    void SettleEdits();
    // Sets it for a village that comes back with edits (recovery).
    void MarkUnwrittenEdits();

    // The file is locked by another running program: it is not written here.
    bool IsReadOnly() const;
    // What the page says of such a file: "Файл открыт в другой программе:
    // изменения не будут сохранены в него."
    static QString ReadOnlyNotice();
    // The village's file differs from what was last read or written here.
    bool FileChangedOnDisk() const;
    // The village's file as last read or written here (kept with its
    // recovery copy); none without a file.
    std::optional<TFileStamp> FileLastSeen() const;
    // Looks at the file after a change on disk was reported: a file that
    // differs from what was last read or written is read again when the
    // village has no unwritten edits (the info line says so), else
    // FileChangedOutside asks the player. Nothing for the program's own
    // writes.
    void CheckFileOnDisk();
    // The two answers to FileChangedOutside: read the file again (the
    // edits are lost), or keep the village as it is, to be written over the
    // file at the next save.
    TFileResult Reload();
    void KeepMine();
    // "Файл «Северная.vlgdat» изменён другой программой. Загрузить его
    // (ваши изменения будут потеряны) или оставить ваши?"
    QString FileChangedQuestion() const;

signals:
    // Load has read the village, whole or in part.
    void Loaded();
    void UnwrittenEditsChanged(bool unwritten);
    void ReadOnlyChanged(bool readOnly);
    // The file was changed by another program while the village has
    // unwritten edits (or a write found it so): the window asks the player
    // and answers with Reload or KeepMine. Not repeated while unanswered.
    void FileChangedOutside();
    // The village was written to its file.
    void Written(const QString &path);
    void InfoLineChanged(const QString &line);
    // The automatic save failed; the window says so.
    void AutoSaveFailed(const TFileResult &result);

private:
    void AutoSave();
    void SetInfoLine(const QString &line);
    void SetUnwrittenEdits(bool unwritten);
    void VillageChanged();
    // Locks the file the village now has, releasing the one before.
    void FollowFileName();
    void AskAboutOutsideChange();
    TFileResult LoadAndRemember();
    void UpdateFileIdentity();
    // After an undo or redo: the notifications take the village as it is
    // without a word, and the info line follows the import steps.
    void StepApplied();

    // An accepted import that changed the village: its step's states, and
    // the info line before and after it, so that the line goes with the step.
    struct TImportLine
    {
        TVillageState Before;
        TVillageState After;
        QString LineBefore;
        QString Line;
    };

    const TdmListObj &m_Catalog;
    std::unique_ptr<TVillageData> m_Village;
    std::unique_ptr<TPlanner> m_Planner;
    TAvailableModel *m_AvailableModel = nullptr;
    TResourceModel *m_ResourceModel = nullptr;
    TConsideredModel *m_ConsideredModel = nullptr;
    TQueueModel *m_QueueModel = nullptr;
    TBuiltModel *m_BuiltModel = nullptr;
    TVillageWatch *m_Watch = nullptr;
    TVillageHistory *m_History = nullptr;
    QString m_InfoLine;
    QString m_FileIdentity;
    QStringList m_LastImportedPage;
    // Since the village was last read, newest last.
    QList<TImportLine> m_ImportLines;
    // Set while a failed automatic save is being reported, so that the
    // ticks that go on meanwhile do not pile up further reports.
    bool m_ReportingWriteFailure = false;
    bool m_UnwrittenEdits = false;
    // Set while the village takes in what is no edit of the player's: a
    // read, the tick.
    bool m_TakingIn = false;
    // Set while Open names the file it reads next: its stamp comes from
    // the read.
    bool m_NamingForRead = false;
    std::unique_ptr<TVillageFileGuard> m_FileGuard;
    // The construction the planner's tick ended; empty for none.
    QString m_EndedConstruction;
    // Set from FileChangedOutside until the player has answered.
    bool m_AskingAboutFile = false;
};

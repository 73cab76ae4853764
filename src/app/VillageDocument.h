// One open village: the single owner of its record, its planner (which
// keeps the village's one evaluation) and the models that present them,
// with the watch that feeds its notification rules. Open, save and import
// go through it; the automatic save is done here, so that a village whose
// page is hidden saves like one that is shown.
//
// The village list owns the documents and ticks them; a village page takes
// one and binds its controls to it.
#pragma once

#include "record/VillageFile.h"

#include <QObject>
#include <QStringList>

#include <memory>

class TdmListObj;
class TVillageData;
class TPlanner;
class TAvailableModel;
class TResourceModel;
class TConsideredModel;
class TQueueModel;
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
    TVillageWatch &Watch() const { return *m_Watch; }
    // The player's changes cut into undo steps.
    TVillageHistory &History() const { return *m_History; }

    // Reads the village from its FileName; a whole read of a file that
    // gives its moment of writing lets the stocks catch up with the time
    // since (by the Clock seam), and the info line says so; otherwise the
    // info line is cleared. The evaluation follows every read, partial ones
    // included.
    TFileResult Load();
    // Writes the village to path (its FileName when empty), which becomes
    // its FileName only when written; marks a failed write.
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

    // The one-second tick: the planner's tick, then the notifications.
    void Tick();

signals:
    void InfoLineChanged(const QString &line);
    // The automatic save failed; the window says so.
    void AutoSaveFailed(const TFileResult &result);

private:
    void AutoSave();
    void SetInfoLine(const QString &line);
    void UpdateFileIdentity();

    const TdmListObj &m_Catalog;
    std::unique_ptr<TVillageData> m_Village;
    std::unique_ptr<TPlanner> m_Planner;
    TAvailableModel *m_AvailableModel = nullptr;
    TResourceModel *m_ResourceModel = nullptr;
    TConsideredModel *m_ConsideredModel = nullptr;
    TQueueModel *m_QueueModel = nullptr;
    TVillageWatch *m_Watch = nullptr;
    TVillageHistory *m_History = nullptr;
    QString m_InfoLine;
    QString m_FileIdentity;
    QStringList m_LastImportedPage;
    // Set while a failed automatic save is being reported, so that the
    // ticks that go on meanwhile do not pile up further reports.
    bool m_ReportingWriteFailure = false;
};

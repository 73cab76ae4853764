// One open village; see VillageDocument.h.
#include "VillageDocument.h"

#include "app/VillageHistory.h"
#include "import/OverviewImport.h"
#include "models/AvailableModel.h"
#include "models/ConsideredModel.h"
#include "models/QueueModel.h"
#include "models/ResourceModel.h"
#include "notify/VillageWatch.h"
#include "record/VillageData.h"
#include "rules/CatchUp.h"
#include "rules/Planner.h"

#include "base/Clock.h"

#include <QScopedValueRollback>

TVillageDocument::TVillageDocument(const TdmListObj &catalog, QObject *parent)
    : QObject(parent)
    , m_Catalog(catalog)
    , m_Village(std::make_unique<TVillageData>())
    , m_Planner(std::make_unique<TPlanner>(*m_Village, catalog))
{
    m_AvailableModel = new TAvailableModel(*m_Planner, catalog, this);
    m_ResourceModel = new TResourceModel(*m_Village, this);
    m_ConsideredModel = new TConsideredModel(*m_Village, this);
    m_QueueModel = new TQueueModel(*m_Planner, this);
    m_Watch = new TVillageWatch(*m_Planner);
    m_History = new TVillageHistory(*m_Village, this);
    connect(m_Planner.get(), &TPlanner::AutoSaveDue, this, &TVillageDocument::AutoSave);
    connect(m_Village.get(), &TVillageData::FileNameChanged, this, &TVillageDocument::UpdateFileIdentity);
}

void TVillageDocument::UpdateFileIdentity()
{
    m_FileIdentity = VillageFileIdentity(m_Village->FileName);
}

TVillageDocument::~TVillageDocument()
{
    // The models go before the planner and the record they show.
    delete m_AvailableModel;
    delete m_ResourceModel;
    delete m_ConsideredModel;
    delete m_QueueModel;
}

TFileResult TVillageDocument::Load()
{
    QDateTime saved;
    const TFileResult result = ReadVillageFile(*m_Village, m_Catalog, &saved);
    UpdateFileIdentity();
    SetInfoLine(result.Ok ? CatchUpSinceSaved(*m_Village, saved, CurrentDateTime()) : QString());
    m_Planner->RecalculateAvailable();
    m_History->Forget();
    return result;
}

TFileResult TVillageDocument::Write(const QString &path)
{
    const TFileResult result = SaveVillageFile(*m_Village, path.isEmpty() ? m_Village->FileName : path);
    // A file made by the write may now resolve to another path.
    if (result.Ok)
        UpdateFileIdentity();
    return result;
}

TOverviewImportResult TVillageDocument::Import(const QStringList &lines)
{
    m_History->Settle();
    TOverviewImportResult imported = ImportOverviewText(lines, *m_Village, m_Catalog);
    if (imported.Accepted) {
        m_History->NameNextStep(QStringLiteral("импорт"));
        m_History->Settle();
        m_LastImportedPage = lines;
        SetInfoLine(imported.Report);
    }
    return imported;
}

void TVillageDocument::Tick()
{
    // What the player changed before the tick is a step of its own; the
    // tick's growth is none.
    m_History->Settle();
    m_Planner->Tick();
    m_History->TakeIn();
}

void TVillageDocument::AutoSave()
{
    if (m_ReportingWriteFailure)
        return;
    const TFileResult result = Write();
    if (result.Ok)
        return;
    // The report may hold a message box open while the clock ticks on.
    const QScopedValueRollback reporting(m_ReportingWriteFailure, true);
    emit AutoSaveFailed(result);
}

void TVillageDocument::SetInfoLine(const QString &line)
{
    m_InfoLine = line;
    emit InfoLineChanged(line);
}

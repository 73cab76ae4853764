// One open village; see VillageDocument.h.
#include "VillageDocument.h"

#include "app/VillageFileGuard.h"
#include "app/VillageHistory.h"
#include "import/OverviewImport.h"
#include "models/AvailableModel.h"
#include "models/BuiltModel.h"
#include "models/ConsideredModel.h"
#include "models/QueueModel.h"
#include "models/ResourceModel.h"
#include "notify/VillageWatch.h"
#include "base/MessageSeam.h"
#include "record/VillageData.h"
#include "record/VillageState.h"
#include "rules/CatchUp.h"
#include "rules/FinishedConstruction.h"
#include "rules/Deliveries.h"
#include "rules/Planner.h"

#include "base/Clock.h"

#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <optional>
#include <utility>

namespace {

const QString ReadOnlyLine = QStringLiteral("Файл открыт в другой программе: изменения не будут сохранены в него.");
const QString FinishedStepName = QStringLiteral("завершение постройки");

// The state before a finished construction as the undo step puts it back:
// the village as it stands, with the figures the construction changed as
// they were, so that undoing it takes back no growth of the stocks.
TVillageState StateBeforeFinish(const TVillageState &before, const TVillageState &now)
{
    TVillageState state = now;
    state.MainLevel = before.MainLevel;
    state.ResourceAdd = before.ResourceAdd;
    state.Capacity = before.Capacity;
    state.Built = before.Built;
    return state;
}

} // namespace

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
    m_BuiltModel = new TBuiltModel(*m_Village, catalog, this);
    m_Watch = new TVillageWatch(*m_Planner);
    m_History = new TVillageHistory(*m_Village, this);
    m_FileGuard = std::make_unique<TVillageFileGuard>();
    connect(m_Planner.get(), &TPlanner::AutoSaveDue, this, &TVillageDocument::AutoSave);
    connect(m_Planner.get(), &TPlanner::ConstructionEnded, this,
            [this](const QString &name) { m_EndedConstruction = name; });
    // Every step the player makes, and every undo or redo, is an edit not
    // yet written.
    connect(m_History, &TVillageHistory::StepMade, this, [this] { SetUnwrittenEdits(true); });
    // The marker follows at once, not only at the step: every change the
    // village announces outside a read and the tick is the player's.
    for (const auto signal : {&TVillageData::ResourcesChanged, &TVillageData::AvBuildingsChanged,
                              &TVillageData::CommentsChanged, &TVillageData::QueueChanged,
                              &TVillageData::ConstructionChanged})
        connect(m_Village.get(), signal, this, &TVillageDocument::VillageChanged);
    connect(m_Village.get(), &TVillageData::NameChanged, this, &TVillageDocument::VillageChanged);
    connect(m_Village.get(), &TVillageData::RaceChanged, this, &TVillageDocument::VillageChanged);
    connect(m_Village.get(), &TVillageData::MainLevelChanged, this, &TVillageDocument::VillageChanged);
    connect(m_Village.get(), &TVillageData::ServerSpeedChanged, this, &TVillageDocument::VillageChanged);
    connect(m_Village.get(), &TVillageData::BuiltChanged, this, &TVillageDocument::VillageChanged);
    connect(m_History, &TVillageHistory::Applied, this, &TVillageDocument::StepApplied);
    connect(m_Village.get(), &TVillageData::FileNameChanged, this, &TVillageDocument::FollowFileName);
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
    delete m_BuiltModel;
}

void TVillageDocument::VillageChanged()
{
    if (!m_TakingIn)
        SetUnwrittenEdits(true);
}

TFileResult TVillageDocument::Load()
{
    const QScopedValueRollback takingIn(m_TakingIn, true);
    FollowFileName();
    QDateTime saved;
    QByteArray bytesRead;
    TEndedConstruction ended;
    const TFileResult result = ReadVillageFile(*m_Village, m_Catalog, &saved, &bytesRead, &ended);
    UpdateFileIdentity();
    // A construction that ended while the program was closed changes the
    // village at its end, between the growth before and after it.
    QString finishedLine;
    std::optional<TVillageState> beforeFinish;
    QString line;
    if (result.Ok && !ended.Name.isEmpty()) {
        line = CatchUpSinceSaved(*m_Village, saved, CurrentDateTime(), ended.Ends, [&] {
            beforeFinish = TakeVillageState(*m_Village);
            finishedLine = ApplyFinishedConstruction(*m_Village, m_Catalog, ended.Name);
        });
    } else if (result.Ok) {
        line = CatchUpSinceSaved(*m_Village, saved, CurrentDateTime());
    }
    if (!finishedLine.isEmpty())
        line = line.isEmpty() ? finishedLine : finishedLine + QLatin1Char(' ') + line;
    SetInfoLine(line);
    m_Planner->RecalculateAvailable();
    m_History->Forget();
    m_ImportLines.clear();
    if (result.Ok) {
        m_FileGuard->Remember(bytesRead);
        SetUnwrittenEdits(false);
    }
    // The change is the player's to keep or undo: a step, and an edit the
    // file does not hold yet.
    if (beforeFinish)
        m_History->MakeStep(FinishedStepName,
                            StateBeforeFinish(*beforeFinish, TakeVillageState(*m_Village)));
    emit Loaded();
    return result;
}

TFileResult TVillageDocument::Open(const QString &path)
{
    {
        const QScopedValueRollback naming(m_NamingForRead, true);
        m_Village->SetFileName(path);
    }
    const TFileResult result = Load();
    if (!result.Ok && !m_Village->FileName.isEmpty())
        m_FileGuard->Remember();
    return result;
}

TFileResult TVillageDocument::Recover(const QString &recoveryFile, const QString &fileName,
                                      const std::optional<TFileStamp> &lastSeen)
{
    m_Village->SetFileName(recoveryFile);
    const TFileResult result = Load();
    m_Village->SetFileName(result.Ok ? fileName : QString());
    if (result.Ok) {
        if (lastSeen && !fileName.isEmpty())
            m_FileGuard->Remember(*lastSeen);
        SetUnwrittenEdits(true);
    }
    return result;
}

TFileResult TVillageDocument::Write(const QString &path)
{
    // What the player typed in this pass of the event loop is written too,
    // and is no edit left over after the write.
    m_History->Settle();
    TVillageData &village = *m_Village;
    const QString target = path.isEmpty() ? village.FileName : path;
    const bool ownFile = !village.FileName.isEmpty() && SameVillageFile(target, village.FileName);
    // Another file is locked before it is written, and replaces the file
    // the village had only when written; the save dialog has asked before
    // replacing what it holds.
    std::unique_ptr<TVillageFileGuard> otherFile;
    if (!ownFile && !target.isEmpty()) {
        otherFile = std::make_unique<TVillageFileGuard>(target);
        otherFile->Remember();
    }
    TVillageFileGuard &guard = otherFile ? *otherFile : *m_FileGuard;
    const bool wasReadOnly = IsReadOnly();
    if (guard.HeldElsewhere() && !guard.TryAgain())
        return {false, JoinMessageLines(QDir::toNativeSeparators(target), ReadOnlyLine), target};
    // The file as it is before the look at its bytes: a write by another
    // program after that look, while this one is written, is caught by
    // comparing the two right before the replace.
    const TFileLook lookBefore = ownFile ? TFileLook::Now(target) : TFileLook();
    if (ownFile && guard.ChangedOnDisk())
        return {false,
                JoinMessageLines(QDir::toNativeSeparators(target),
                                 QStringLiteral("Файл изменён другой программой: он не перезаписан.")),
                target};

    QByteArray bytesWritten;
    std::function<bool()> unchangedSince;
    if (ownFile)
        unchangedSince = [&target, &lookBefore] { return TFileLook::Now(target) == lookBefore; };
    const TFileResult result = WriteVillageFile(village, target, &bytesWritten, unchangedSince);
    village.SetLastWriteFailed(!result.Ok && !result.ChangedOutside);
    if (result.ChangedOutside) {
        // The other program's version stays; the player is asked as for
        // any change made outside.
        CheckFileOnDisk();
        return result;
    }
    if (!result.Ok) {
        if (wasReadOnly != IsReadOnly())
            emit ReadOnlyChanged(IsReadOnly());
        return result;
    }
    if (otherFile)
        m_FileGuard = std::move(otherFile);
    // What was written is what the file holds: no reading it back.
    m_FileGuard->Remember(bytesWritten);
    village.SetFileName(target);
    // A file made by the write may now resolve to another path.
    UpdateFileIdentity();
    SetUnwrittenEdits(false);
    if (wasReadOnly != IsReadOnly())
        emit ReadOnlyChanged(IsReadOnly());
    emit Written(target);
    return result;
}

void TVillageDocument::SettleEdits()
{
    m_History->Settle();
}

void TVillageDocument::MarkUnwrittenEdits()
{
    SetUnwrittenEdits(true);
}

void TVillageDocument::SetUnwrittenEdits(bool unwritten)
{
    if (m_UnwrittenEdits == unwritten)
        return;
    m_UnwrittenEdits = unwritten;
    emit UnwrittenEditsChanged(unwritten);
}

QString TVillageDocument::ReadOnlyNotice()
{
    return ReadOnlyLine;
}

bool TVillageDocument::IsReadOnly() const
{
    return m_FileGuard->HeldElsewhere();
}

void TVillageDocument::FollowFileName()
{
    const QString &fileName = m_Village->FileName;
    if (m_FileGuard->Path() == fileName)
        return;
    const bool wasReadOnly = IsReadOnly();
    // The lock of the file before goes first: a village may take a file
    // whose lock it held under another name.
    m_FileGuard.reset();
    m_FileGuard = std::make_unique<TVillageFileGuard>(fileName);
    if (!m_NamingForRead)
        m_FileGuard->Remember();
    if (wasReadOnly != IsReadOnly())
        emit ReadOnlyChanged(IsReadOnly());
}

std::optional<TFileStamp> TVillageDocument::FileLastSeen() const
{
    if (m_Village->FileName.isEmpty())
        return std::nullopt;
    return m_FileGuard->Remembered();
}

bool TVillageDocument::FileChangedOnDisk() const
{
    return m_FileGuard->ChangedOnDisk();
}

void TVillageDocument::CheckFileOnDisk()
{
    if (!FileChangedOnDisk())
        return;
    if (m_UnwrittenEdits)
        AskAboutOutsideChange();
    else
        Reload();
}

void TVillageDocument::AskAboutOutsideChange()
{
    if (m_AskingAboutFile)
        return;
    const QScopedValueRollback asking(m_AskingAboutFile, true);
    emit FileChangedOutside();
}

TFileResult TVillageDocument::Reload()
{
    // A file caught half written by another program, or one that is no
    // village file now, leaves the village as it is.
    TVillageData probe;
    probe.SetFileName(m_Village->FileName);
    const TFileResult probed = ReadVillageFile(probe, m_Catalog);
    if (!probed.Ok)
        return probed;
    // The file's village replaces this one whole: what the file leaves out
    // is not kept from before.
    TVillageState empty;
    empty.MainLevel = QStringLiteral("1");
    {
        const QScopedValueRollback takingIn(m_TakingIn, true);
        ApplyVillageState(*m_Village, empty);
        m_Village->UnknownBuildings.clear();
    }
    const TFileResult result = Load();
    if (result.Ok) {
        const QString line = QStringLiteral("Файл изменён другой программой и загружен заново.");
        SetInfoLine(m_InfoLine.isEmpty() ? line : line + QLatin1Char(' ') + m_InfoLine);
    }
    return result;
}

void TVillageDocument::KeepMine()
{
    // The file as it is now is what the next write may replace.
    m_FileGuard->Remember();
}

QString TVillageDocument::FileChangedQuestion() const
{
    return QStringLiteral("Файл «%1» изменён другой программой. Загрузить его (ваши изменения будут потеряны) "
                          "или оставить ваши?")
        .arg(QFileInfo(m_Village->FileName).fileName());
}

TOverviewImportResult TVillageDocument::Import(const QStringList &lines)
{
    m_History->Settle();
    const TVillageState before = m_History->Settled();
    TOverviewImportResult imported = ImportOverviewText(lines, *m_Village, m_Catalog);
    if (imported.Accepted) {
        m_History->NameNextStep(QStringLiteral("импорт"));
        m_History->Settle();
        m_LastImportedPage = lines;
        if (!(m_History->Settled() == before))
            m_ImportLines.append({before, m_History->Settled(), m_InfoLine, imported.Report});
        SetInfoLine(imported.Report);
    }
    return imported;
}

void TVillageDocument::StepApplied()
{
    SetUnwrittenEdits(true);
    // What an undo brings back is a state the player had: nothing to tell.
    m_Watch->TakeIn();
    // Undone, an import takes its line with it; redone, it brings it back.
    const TVillageState &now = m_History->Settled();
    for (auto import = m_ImportLines.crbegin(); import != m_ImportLines.crend(); ++import) {
        if (import->Before == now) {
            SetInfoLine(import->LineBefore);
            return;
        }
        if (import->After == now) {
            SetInfoLine(import->Line);
            return;
        }
    }
}

void TVillageDocument::Tick()
{
    // What the player changed before the tick is a step of its own; the
    // tick's growth is none.
    m_History->Settle();
    m_EndedConstruction.clear();
    {
        const QScopedValueRollback takingIn(m_TakingIn, true);
        m_Planner->Tick();
    }
    m_History->TakeIn();
    // A delivery that has arrived is added to the stocks: one step of its
    // own, and one line on the page.
    QList<TDelivery> received;
    if (ReceiveArrivedDeliveries(*m_Village, CurrentDateTime(), &received)) {
        m_History->NameNextStep(QStringLiteral("поставку"));
        m_History->Settle();
        SetInfoLine(ArrivedDeliveriesText(received));
    }
    if (m_EndedConstruction.isEmpty())
        return;
    // The construction that ended changes the village as the queue's
    // projection assumed: one step of its own, an edit not yet written.
    const QString ended = std::exchange(m_EndedConstruction, QString());
    m_History->NameNextStep(FinishedStepName);
    const QString line = ApplyFinishedConstruction(*m_Village, m_Catalog, ended);
    m_History->Settle();
    // A building that changes nothing makes no step: the name is not left
    // for the player's next one.
    m_History->NameNextStep(QString());
    SetInfoLine(line);
}

void TVillageDocument::AutoSave()
{
    if (m_ReportingWriteFailure)
        return;
    // A file another program holds is not written; one it changed waits
    // for the player's answer.
    if (IsReadOnly()) {
        if (!m_FileGuard->TryAgain())
            return;
        emit ReadOnlyChanged(false);
    }
    if (FileChangedOnDisk()) {
        CheckFileOnDisk();
        return;
    }
    // A file nobody touched stays as it is, byte for byte: the tick's growth
    // is no edit, and the catch-up at the next open grows the stocks anyway.
    if (!HasUnwrittenEdits())
        return;
    const TFileResult result = Write();
    // A file changed while it was written has been asked about.
    if (result.Ok || result.ChangedOutside)
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

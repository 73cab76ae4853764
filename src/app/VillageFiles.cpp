// The file commands on the open villages; see VillageFiles.h.
#include "app/VillageFiles.h"

#include "app/CloseQuestions.h"
#include "app/FileQuestions.h"
#include "app/Session.h"
#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "app/VillageRecovery.h"
#include "base/MessageSeam.h"
#include "base/SettingsAccess.h"
#include "base/SettingsSeam.h"
#include "record/VillageData.h"
#include "record/VillageFileAccess.h"

#include <QFileInfo>

#include <algorithm>
#include <QSettings>

TVillageFiles::TVillageFiles(TVillageList &villages, TFileQuestions &questions, QObject *parent)
    : QObject(parent), m_Villages(villages), m_Questions(questions)
{
    m_Recovery = new TVillageRecovery(villages, TRecoveryStore(), this);
    connect(m_Recovery, &TVillageRecovery::KeepingFailed, this,
            [](const QString &message) { ShowMessage(TMessageKind::Warning, message); });
    for (int i = 0; i < villages.Count(); ++i)
        Follow(villages.At(i));
    connect(&villages, &TVillageList::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        for (int row = first; row <= last; ++row)
            Follow(m_Villages.At(row));
    });
}

void TVillageFiles::Follow(TVillageDocument *document)
{
    connect(document, &TVillageDocument::UnwrittenEditsChanged, this, &TVillageFiles::Changed);
    connect(document, &TVillageDocument::FileChangedOutside, this, [this, document] { AskFileChanged(document); });
    // A failed automatic save is reported whether the village is shown or not.
    connect(document, &TVillageDocument::AutoSaveFailed, this,
            [](const TFileResult &result) { ShowMessage(TMessageKind::Error, result.Error); });
}

bool TVillageFiles::IsUntouched(const TVillageDocument *document)
{
    return document != nullptr && !document->Village().Modified && document->Village().FileName.isEmpty();
}

void TVillageFiles::SetCurrent(TVillageDocument *document)
{
    if (m_Current == document)
        return;
    m_Current = document;
    emit CurrentChanged(document);
    emit Changed();
}

TVillageDocument *TVillageFiles::New()
{
    TVillageDocument *document = m_Villages.Add();
    SetCurrent(document);
    emit Changed();
    return document;
}

void TVillageFiles::Open()
{
    OpenFiles(m_Questions.ChooseFilesToOpen());
}

void TVillageFiles::OpenFiles(const QStringList &files)
{
    if (TVillageDocument *shown = OpenWithoutShowing(files))
        SetCurrent(shown);
    if (!files.isEmpty())
        SaveSession();
    emit Changed();
}

TVillageDocument *TVillageFiles::OpenWithoutShowing(const QStringList &files)
{
    TVillageDocument *shown = nullptr;
    TVillageDocument *untouched = IsUntouched(m_Current) ? m_Current.data() : nullptr;
    for (const QString &file : files) {
        // The village that has the file comes forward, and the box names it.
        if (TVillageDocument *open = m_Villages.FindFile(file)) {
            SetCurrent(open);
            shown = open;
            ShowMessage(TMessageKind::Error, AlreadyOpenMessage(file));
            continue;
        }
        // A pipe, a device, a folder or a huge file gets no village.
        if (const QString refusal = RefusalBeforeReading(file); !refusal.isEmpty()) {
            ShowMessage(TMessageKind::Error, OpenFailureMessage({false, refusal, file}));
            continue;
        }
        TVillageDocument *document = untouched != nullptr ? untouched : m_Villages.Add();
        untouched = nullptr;
        shown = document;
        // Named and read in one go: the file is read once.
        const TFileResult result = document->Open(file);
        if (!result.Ok)
            ShowMessage(TMessageKind::Error, OpenFailureMessage(result));
        else
            AddRecentFile(file);
    }
    return shown;
}

void TVillageFiles::Save(TVillageDocument *document)
{
    if (document != nullptr)
        SaveVillage(*document, false);
    emit Changed();
}

void TVillageFiles::SaveAs(TVillageDocument *document)
{
    if (document != nullptr)
        SaveVillage(*document, true);
    emit Changed();
}

void TVillageFiles::SaveAll()
{
    for (int i = 0; i < m_Villages.Count(); ++i)
        SaveVillage(*m_Villages.At(i), false);
    emit Changed();
}

void TVillageFiles::SaveVillage(TVillageDocument &document, bool askNewName)
{
    if (m_Ending)
        return;
    TVillageData &village = document.Village();
    document.SettleEdits();
    if (!document.HasUnwrittenEdits() && (!askNewName || village.FileName.isEmpty()))
        return;
    if (document.IsReadOnly())
        askNewName = true;
    if (!askNewName && document.FileChangedOnDisk() && (!AskFileChanged(&document) || m_Ending))
        return;

    // The village takes the path as its file name only once it is written.
    const QString previousPath = village.FileName;
    QString path = village.FileName;
    if (path.isEmpty()) {
        if (village.Name.isEmpty()) {
            ShowMessage(TMessageKind::Warning, QStringLiteral("Заполните название деревни!"));
            return;
        }
        path = m_Questions.ChooseFileToSave(QStringLiteral("Сохранить"), village.Name);
    } else if (askNewName) {
        path = m_Questions.ChooseFileToSave(QStringLiteral("Сохранить как"), village.FileName);
    }
    if (path.isEmpty() || m_Ending)
        return;
    if (m_Villages.FindFile(path, &document) != nullptr) {
        ShowMessage(TMessageKind::Error, AlreadyOpenMessage(path));
        return;
    }
    const TFileResult result = document.Write(path);
    if (!result.Ok) {
        // A file changed while it was written has been asked about.
        if (!result.ChangedOutside)
            ShowMessage(TMessageKind::Error, result.Error);
        return;
    }
    AddRecentFile(village.FileName);
    if (path != previousPath)
        SaveSession();
}

bool TVillageFiles::Close(TVillageDocument *document)
{
    if (document == nullptr)
        return false;
    SaveVillage(*document, false);
    if (m_Ending)
        return false;
    const QString question = CloseTabQuestion(*document);
    if (!question.isEmpty() && !m_Questions.Ask(question)) {
        emit Changed();
        return false;
    }
    const int row = m_Villages.IndexOf(document);
    m_Villages.Remove(document);
    if (m_Villages.Count() == 0)
        New();
    // The shown village gone, the one after it is shown, as the tabs do.
    if (m_Current == nullptr)
        SetCurrent(m_Villages.At(std::min(row, m_Villages.Count() - 1)));
    SaveSession();
    emit Changed();
    return true;
}

bool TVillageFiles::MayEnd()
{
    if (m_Ending)
        return true;
    SaveAll();
    QList<const TVillageDocument *> villages;
    for (int i = 0; i < m_Villages.Count(); ++i)
        villages.append(m_Villages.At(i));
    const QString question = CloseProgramQuestion(villages);
    return question.isEmpty() || m_Questions.Ask(question);
}

void TVillageFiles::End()
{
    // Ended at once already: the recovery copies stay for the next start.
    if (m_Ending)
        return;
    m_Recovery->Finish();
    ReportSettingsProblemOnce();
    SaveSession();
}

bool TVillageFiles::EndAtOnce()
{
    m_Ending = true;
    // Nobody is there to read a box: a copy that fails is said on the
    // standard error only.
    disconnect(m_Recovery, &TVillageRecovery::KeepingFailed, this, nullptr);
    for (int i = 0; i < m_Villages.Count(); ++i)
        m_Villages.At(i)->SettleEdits();
    const bool kept = m_Recovery->WriteNow();
    if (!kept)
        qWarning("Не все несохранённые деревни удалось сохранить для восстановления.");
    SaveSession();
    FlushSettings();
    return kept;
}

bool TVillageFiles::AskFileChanged(TVillageDocument *document)
{
    // The village asked about is the one shown.
    SetCurrent(document);
    const int answer = m_Questions.Choose(document->FileChangedQuestion(),
                                          {QStringLiteral("Загрузить"), QStringLiteral("Оставить мои")}, 1);
    if (answer == 0) {
        const TFileResult result = document->Reload();
        if (!result.Ok)
            ShowMessage(TMessageKind::Error, OpenFailureMessage(result));
        emit Changed();
        return false;
    }
    document->KeepMine();
    return true;
}

void TVillageFiles::OfferRecovery()
{
    const TRecoveryStore &store = m_Recovery->Store();
    const QList<TRecoveredVillage> found = m_Recovery->LeftByEndedRuns(m_Villages.Catalog());
    if (found.isEmpty())
        return;
    const int answer = m_Questions.Choose(TRecoveryStore::Question(found),
                                          {QStringLiteral("Восстановить"), QStringLiteral("Удалить")}, 0);
    // Asked to end meanwhile: the copies stay for the next start.
    if (m_Ending)
        return;
    if (answer != 0) {
        for (const TRecoveredVillage &recovered : found)
            store.Remove(recovered);
        emit Changed();
        return;
    }
    QList<QPair<TRecoveredVillage, const TVillageDocument *>> recoveredInto;
    for (const TRecoveredVillage &recovered : found) {
        // A village whose file the session opened comes back in its village.
        TVillageDocument *document
            = recovered.FileName.isEmpty() ? nullptr : m_Villages.FindFile(recovered.FileName);
        if (document == nullptr)
            document = IsUntouched(m_Current) ? m_Current.data() : New();
        SetCurrent(document);
        const TFileResult result = document->Recover(recovered.RecoveryFile, recovered.FileName, recovered.LastSeen);
        if (!result.Ok)
            ShowMessage(TMessageKind::Error, OpenFailureMessage(result));
        recoveredInto.append({recovered, result.Ok ? document : nullptr});
    }
    // Kept at once under this run's keys; an old copy goes only once its
    // replacement is on the disk.
    m_Recovery->TakeOver(recoveredInto);
    emit Changed();
}

void TVillageFiles::RestoreSession()
{
    ReportSettingsProblemOnce();
    QSettings *settings = OpenSettings();
    if (!settings)
        return;
    TSession session = TSession::Load(*settings);
    const QStringList missing = session.TakeMissing();
    // Opening the session again is no new use of its files: the recent
    // files keep their order.
    const QVariant recent = settings->value(TRecentFiles::SettingsKey);
    TVillageDocument *shown = OpenWithoutShowing(session.Files);
    StoreSetting(*settings, TRecentFiles::SettingsKey, recent);
    m_RecentFiles.Load(*settings);
    // The village shown at the last end is shown, and made, alone.
    if (session.Current >= 0) {
        const QString current = session.Files.at(session.Current);
        for (int i = 0; i < m_Villages.Count(); ++i) {
            if (m_Villages.At(i)->Village().FileName == current)
                shown = m_Villages.At(i);
        }
    }
    if (shown)
        SetCurrent(shown);
    emit Changed();
    if (!missing.isEmpty())
        ShowMessage(TMessageKind::Warning, TSession::MissingFilesMessage(missing));
}

void TVillageFiles::SaveSession() const
{
    QSettings *settings = OpenSettings();
    if (!settings)
        return;
    QStringList files;
    for (int i = 0; i < m_Villages.Count(); ++i)
        files.append(m_Villages.At(i)->Village().FileName);
    TSession::FromTabs(files, m_Villages.IndexOf(m_Current)).Save(*settings);
}

void TVillageFiles::AddRecentFile(const QString &file)
{
    // Other running programs may have added files since the list was read:
    // the stored list is read again before it is changed.
    QSettings *settings = OpenSettings();
    if (settings)
        m_RecentFiles.Load(*settings);
    m_RecentFiles.Add(QFileInfo(file).absoluteFilePath());
    if (settings)
        m_RecentFiles.Save(*settings);
}

QStringList TVillageFiles::RecentFiles()
{
    if (QSettings *settings = OpenSettings())
        m_RecentFiles.Load(*settings);
    return m_RecentFiles.Files();
}

void TVillageFiles::OpenRecentFile(const QString &file)
{
    if (QFileInfo(file).isFile()) {
        OpenFiles({file});
        return;
    }
    QSettings *settings = OpenSettings();
    if (settings)
        m_RecentFiles.Load(*settings);
    m_RecentFiles.Remove(file);
    if (settings)
        m_RecentFiles.Save(*settings);
    ShowMessage(TMessageKind::Warning, TRecentFiles::MissingFileMessage(file));
}

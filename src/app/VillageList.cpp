// The open villages and their clock; see VillageList.h.
#include "VillageList.h"

#include "app/VillageDocument.h"
#include "app/NextVillageWatch.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QSet>
#include <QTimer>

TVillageList::TVillageList(const TdmListObj &catalog, QObject *parent)
    : QAbstractListModel(parent)
    , m_Catalog(catalog)
{
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TVillageList::Tick);
    Timer1->start();
    m_Watcher = new QFileSystemWatcher(this);
    connect(m_Watcher, &QFileSystemWatcher::fileChanged, this, &TVillageList::FileChanged);
    m_NextVillage = new TNextVillageWatch(*this, this);
}

TVillageList::~TVillageList()
{
    Timer1->stop();
}

TVillageDocument *TVillageList::Add()
{
    const int row = Count();
    beginInsertRows({}, row, row);
    auto *document = new TVillageDocument(m_Catalog, this);
    m_Documents.append(document);
    endInsertRows();
    connect(&document->Village(), &TVillageData::NameChanged, this, [this, document] { FollowName(document); });
    connect(&document->Village(), &TVillageData::FileNameChanged, this, &TVillageList::WatchFiles);
    connect(document, &TVillageDocument::Written, this, &TVillageList::Rearm);
    return document;
}

void TVillageList::Remove(TVillageDocument *document)
{
    const int row = IndexOf(document);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    m_Documents.removeAt(row);
    endRemoveRows();
    delete document;
    WatchFiles();
}

void TVillageList::Move(int from, int to)
{
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to)
        return;
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    m_Documents.move(from, to);
    endMoveRows();
}

TVillageDocument *TVillageList::At(int index) const
{
    return index >= 0 && index < Count() ? m_Documents.at(index) : nullptr;
}

int TVillageList::IndexOf(const TVillageDocument *document) const
{
    return int(m_Documents.indexOf(const_cast<TVillageDocument *>(document)));
}

QList<const TPlanner *> TVillageList::Planners() const
{
    QList<const TPlanner *> planners;
    planners.reserve(Count());
    for (const TVillageDocument *document : m_Documents)
        planners.append(&document->Planner());
    return planners;
}

std::optional<int> TVillageList::SharedRace() const
{
    std::optional<int> shared;
    for (const TVillageDocument *document : m_Documents) {
        const int race = document->Village().Race;
        if (race == 0)
            continue;
        if (shared && *shared != race - 1)
            return std::nullopt;
        shared = race - 1;
    }
    return shared;
}

TVillageDocument *TVillageList::FindFile(const QString &fileName, const TVillageDocument *except) const
{
    // The asked path is resolved once; each village's file was resolved when
    // it was opened or saved.
    const QString identity = VillageFileIdentity(fileName);
    if (identity.isEmpty())
        return nullptr;
    for (TVillageDocument *document : m_Documents) {
        if (document != except && document->FileIdentity() == identity)
            return document;
    }
    return nullptr;
}

void TVillageList::Tick()
{
    // Guarded: a tick may report a failed save, and the report may let a
    // village be closed meanwhile.
    QList<QPointer<TVillageDocument>> documents;
    documents.reserve(m_Documents.size());
    for (TVillageDocument *document : std::as_const(m_Documents))
        documents.append(document);
    for (const QPointer<TVillageDocument> &document : std::as_const(documents)) {
        if (document)
            document->Tick();
    }
    m_NextVillage->Check();
    emit Ticked();
}

int TVillageList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Count();
}

QVariant TVillageList::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole)
        return {};
    return m_Documents.at(index.row())->Village().Name;
}

void TVillageList::WatchFiles()
{
    QSet<QString> wanted;
    for (const TVillageDocument *document : std::as_const(m_Documents)) {
        if (!document->Village().FileName.isEmpty())
            wanted.insert(document->Village().FileName);
    }
    // Sets on both sides: opening the n-th file looks at n paths, not n².
    const QStringList watchedList = m_Watcher->files();
    const QSet<QString> watched(watchedList.cbegin(), watchedList.cend());
    QStringList gone;
    for (const QString &path : watched) {
        if (!wanted.contains(path))
            gone.append(path);
    }
    QStringList added;
    for (const QString &path : std::as_const(wanted)) {
        if (!watched.contains(path) && QFileInfo::exists(path))
            added.append(path);
    }
    if (!gone.isEmpty())
        m_Watcher->removePaths(gone);
    if (!added.isEmpty())
        m_Watcher->addPaths(added);
}

void TVillageList::Rearm(const QString &path)
{
    if (path.isEmpty())
        return;
    m_Watcher->removePath(path);
    if (QFileInfo::exists(path))
        m_Watcher->addPath(path);
}

void TVillageList::FileChanged(const QString &path)
{
    Rearm(path);
    // Guarded: a village may ask its player, and the answer may close it.
    QList<QPointer<TVillageDocument>> concerned;
    for (TVillageDocument *document : std::as_const(m_Documents)) {
        if (SameVillageFile(document->Village().FileName, path))
            concerned.append(document);
    }
    for (const QPointer<TVillageDocument> &document : std::as_const(concerned)) {
        if (document)
            document->CheckFileOnDisk();
    }
}

void TVillageList::FollowName(TVillageDocument *document)
{
    const int row = IndexOf(document);
    if (row >= 0)
        emit dataChanged(index(row), index(row), {Qt::DisplayRole});
}

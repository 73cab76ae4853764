// Recovery after a crash; see VillageRecovery.h.
#include "VillageRecovery.h"

#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "base/ProcessLocks.h"
#include "record/VillageData.h"
#include "record/VillageFileAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const QString VillageSuffix = QStringLiteral(".vlgdat");
const QString OriginSuffix = QStringLiteral(".origin");
const QString LockSuffix = QStringLiteral(".lock");

QString &Folder()
{
    static QString folder;
    return folder;
}

// An origin holds a path and the stamp of its file: far less than this.
constexpr qint64 MaxOriginSize = 64 * 1024;
// The longest path the system takes.
constexpr qsizetype MaxPathBytes = 4096;

// The folder's entries on the disk: a file renamed into it survives a
// crash of the machine too.
void SyncFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

// The origin's bytes: the path, and after a NUL the file's stamp.
QByteArray OriginBytes(const QString &fileName, const std::optional<TFileStamp> &lastSeen)
{
    QByteArray bytes = fileName.toUtf8();
    if (lastSeen) {
        bytes += '\0';
        if (lastSeen->Exists)
            bytes += lastSeen->Hash.toHex();
    }
    return bytes;
}

// Whether path may be given back to a recovered village: an absolute path
// where there is nothing, or a village file the reader takes.
bool TakesRecoveredVillage(const QString &path, const TdmListObj &catalog)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path) || path.toUtf8().size() > MaxPathBytes
        || path.contains(QChar(0)))
        return false;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (!RefusalBeforeReading(path).isEmpty())
        return false;
    TVillageData probe;
    probe.SetFileName(path);
    return ReadVillageFile(probe, catalog).Ok;
}

// The path and stamp an origin file holds; an empty path for an origin
// that cannot be read or cannot be trusted.
QPair<QString, std::optional<TFileStamp>> ReadOrigin(const QString &originPath, const TdmListObj &catalog)
{
    if (!QFileInfo::exists(originPath))
        return {};
    const TBoundedRead read = ReadBounded(originPath, MaxOriginSize);
    if (!read.Ok)
        return {};
    const qsizetype nul = read.Data.indexOf('\0');
    const QString path = QString::fromUtf8(nul < 0 ? read.Data : read.Data.left(nul));
    if (!TakesRecoveredVillage(path, catalog))
        return {};
    std::optional<TFileStamp> lastSeen;
    if (nul >= 0) {
        const QByteArray hex = read.Data.mid(nul + 1);
        lastSeen = hex.isEmpty() ? TFileStamp{} : TFileStamp{true, QByteArray::fromHex(hex)};
    }
    return {path, lastSeen};
}

// The reason of a failed write: its last line (the first names the file).
QString ReasonOf(const TFileResult &result)
{
    const QStringList lines = result.Error.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QStringLiteral("Неизвестная ошибка") : lines.constLast();
}

} // namespace

QString SetRecoveryFolder(const QString &folder)
{
    return std::exchange(Folder(), folder);
}

QString RecoveryFolder()
{
    return Folder();
}

QDebug operator<<(QDebug debug, const TRecoveredVillage &village)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TRecoveredVillage(" << village.Name << ", " << village.FileName << ", "
                    << village.RecoveryFile << ')';
    return debug;
}

TRecoveryStore::TRecoveryStore(const QString &folder) : m_Folder(folder)
{
}

QString TRecoveryStore::DefaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("recovery"));
}

TFileResult TRecoveryStore::Write(const QString &key, const TVillageData &village,
                                  const std::optional<TFileStamp> &lastSeen) const
{
    if (m_Folder.isEmpty())
        return {};
    const QDir folder(m_Folder);
    const QString path = folder.filePath(key + VillageSuffix);
    if (!folder.mkpath(QStringLiteral(".")))
        return {false, QStringLiteral("Папка недоступна: %1").arg(m_Folder), path};
    // The origin first: a village file without one is a village never saved.
    const QString origin = folder.filePath(key + OriginSuffix);
    if (village.FileName.isEmpty()) {
        QFile::remove(origin);
    } else {
        const QByteArray bytes = OriginBytes(village.FileName, lastSeen);
        QSaveFile file(origin);
        errno = 0;
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return {false, WriteFailureReason(errno, file.errorString()), origin};
        }
        errno = 0;
        if (file.write(bytes) != bytes.size()) {
            const QString reason = WriteFailureReason(errno, file.errorString());
            file.cancelWriting();
            return {false, reason, origin};
        }
        errno = 0;
        if (!file.commit())
            return {false, WriteFailureReason(errno, file.errorString()), origin};
    }
    const TFileResult result = WriteVillageFile(village, path);
    if (result.Ok)
        SyncFolder(m_Folder);
    return result;
}

void TRecoveryStore::Remove(const QString &key) const
{
    if (m_Folder.isEmpty())
        return;
    const QDir folder(m_Folder);
    QFile::remove(folder.filePath(key + VillageSuffix));
    QFile::remove(folder.filePath(key + OriginSuffix));
}

void TRecoveryStore::Remove(const TRecoveredVillage &village) const
{
    QFile::remove(village.RecoveryFile);
    QString origin = village.RecoveryFile;
    origin.chop(VillageSuffix.size());
    QFile::remove(origin + OriginSuffix);
}

bool TRecoveryStore::RunIsLive(const QString &key) const
{
    const qsizetype dash = key.lastIndexOf(u'-');
    const QString run = dash > 0 ? key.left(dash) : key;
    const QString path = QDir(m_Folder).filePath(run + LockSuffix);
    if (m_Folder.isEmpty() || !QFileInfo::exists(path))
        return false;
    QLockFile lock(path);
    if (TryLockOnce(lock)) {
        // Left by a run that is gone: taken, and so removed.
        lock.unlock();
        return false;
    }
    return lock.error() == QLockFile::LockFailedError;
}

void TRecoveryStore::RemoveLeftovers() const
{
    if (m_Folder.isEmpty())
        return;
    const QDir folder(m_Folder);
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    // "<key>.vlgdat.XXXXXX", "<key>.origin.XXXXXX": a write's temporary file.
    static const QRegularExpression halfWritten(QStringLiteral("^(.+)\\.(vlgdat|origin)\\.[^.]{6}$"));
    for (const QString &name : names) {
        const QString path = folder.filePath(name);
        if (name.endsWith(LockSuffix)) {
            RunIsLive(name.chopped(LockSuffix.size()) + QStringLiteral("-0"));
        } else if (const QRegularExpressionMatch match = halfWritten.match(name); match.hasMatch()) {
            if (!RunIsLive(match.captured(1)))
                QFile::remove(path);
        } else if (name.endsWith(OriginSuffix)) {
            const QString key = name.chopped(OriginSuffix.size());
            if (!names.contains(key + VillageSuffix) && !RunIsLive(key))
                QFile::remove(path);
        }
    }
}

QList<TRecoveredVillage> TRecoveryStore::Found(const TdmListObj &catalog) const
{
    QList<TRecoveredVillage> found;
    if (m_Folder.isEmpty())
        return found;
    const QDir folder(m_Folder);
    const QStringList files =
        folder.entryList({QLatin1Char('*') + VillageSuffix}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &file : files) {
        TVillageData village;
        village.SetFileName(folder.filePath(file));
        if (!ReadVillageFile(village, catalog).Ok)
            continue;
        QString key = file;
        key.chop(VillageSuffix.size());
        const auto [origin, lastSeen] = ReadOrigin(folder.filePath(key + OriginSuffix), catalog);
        found.append({village.Name, origin, folder.filePath(file), origin.isEmpty() ? std::nullopt : lastSeen});
    }
    return found;
}

QString TRecoveryStore::Question(const QList<TRecoveredVillage> &villages)
{
    QStringList names;
    for (const TRecoveredVillage &village : villages.first(std::min<qsizetype>(villages.size(), MaxNamedInQuestion))) {
        QString name = village.Name.isEmpty() ? QStringLiteral("без названия") : QStringLiteral("«%1»").arg(village.Name);
        if (!village.FileName.isEmpty())
            name += QStringLiteral(" (%1)").arg(QDir::toNativeSeparators(village.FileName));
        names.append(name);
    }
    if (villages.size() > MaxNamedInQuestion)
        names.append(QStringLiteral("и ещё %1").arg(villages.size() - MaxNamedInQuestion));
    return QStringLiteral("Программа была закрыта аварийно. Восстановить несохранённые деревни: %1?")
        .arg(names.join(QStringLiteral(", ")));
}

TVillageRecovery::TVillageRecovery(TVillageList &villages, const TRecoveryStore &store, QObject *parent)
    : QObject(parent), m_Villages(villages), m_Store(store), m_RunKey(UniqueRunKey())
{
    m_Clock = new QTimer(this);
    m_Clock->setInterval(PeriodMs);
    connect(m_Clock, &QTimer::timeout, this, &TVillageRecovery::WriteNow);
    m_Clock->start();
    // A village closed, or written to its file, leaves nothing to recover.
    connect(&villages, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &, int first, int last) {
                for (int row = first; row <= last; ++row)
                    Forget(m_Villages.At(row));
            });
    const auto follow = [this](TVillageDocument *document) {
        connect(document, &TVillageDocument::UnwrittenEditsChanged, this, [this, document](bool unwritten) {
            if (!unwritten)
                Forget(document);
        });
    };
    for (int row = 0; row < villages.Count(); ++row)
        follow(villages.At(row));
    connect(&villages, &QAbstractItemModel::rowsInserted, this,
            [this, follow](const QModelIndex &, int first, int last) {
                for (int row = first; row <= last; ++row)
                    follow(m_Villages.At(row));
            });
}

QString TVillageRecovery::KeyOf(const TVillageDocument *document)
{
    auto key = m_Keys.constFind(document);
    if (key == m_Keys.constEnd())
        key = m_Keys.insert(document,
                            QStringLiteral("%1-%2").arg(m_RunKey).arg(m_NextNumber++));
    return *key;
}

void TVillageRecovery::Forget(const TVillageDocument *document)
{
    m_Kept.remove(document);
    RemoveTakenOver(document);
    const QString key = m_Keys.take(document);
    if (!key.isEmpty())
        m_Store.Remove(key);
    if (m_Keys.isEmpty() && m_TakenOver.isEmpty())
        m_RunLock.reset();
}

bool TVillageRecovery::WriteNow()
{
    std::optional<TFileResult> failure;
    // The run's lock tells a later start that these copies are no crashed
    // run's; it is there while a copy is.
    bool edited = false;
    for (int row = 0; row < m_Villages.Count() && !edited; ++row)
        edited = m_Villages.At(row)->HasUnwrittenEdits();
    if (edited && !m_RunLock && !m_Store.Folder().isEmpty() && QDir().mkpath(m_Store.Folder())) {
        m_RunLock = std::make_unique<QLockFile>(QDir(m_Store.Folder()).filePath(m_RunKey + LockSuffix));
        if (!TryLockOnce(*m_RunLock))
            m_RunLock.reset();
    }
    for (int row = 0; row < m_Villages.Count(); ++row) {
        const TVillageDocument *document = m_Villages.At(row);
        if (!document->HasUnwrittenEdits()) {
            Forget(document);
            continue;
        }
        const TFileResult result = m_Store.Write(KeyOf(document), document->Village(), document->FileLastSeen());
        if (result.Ok) {
            m_Kept.insert(document);
            RemoveTakenOver(document);
        } else {
            m_Kept.remove(document);
            if (!failure)
                failure = result;
        }
    }
    if (failure && !m_FailureSaid) {
        m_FailureSaid = true;
        emit KeepingFailed(QStringLiteral("Не удалось сохранить копию для восстановления: %1").arg(ReasonOf(*failure)));
    }
    return !failure;
}

void TVillageRecovery::TakeOver(const QList<QPair<TRecoveredVillage, const TVillageDocument *>> &recovered)
{
    for (const auto &[village, document] : recovered) {
        if (document != nullptr)
            m_TakenOver.insert(document, village);
    }
    WriteNow();
}

void TVillageRecovery::RemoveTakenOver(const TVillageDocument *document)
{
    const QList<TRecoveredVillage> villages = m_TakenOver.values(document);
    m_TakenOver.remove(document);
    for (const TRecoveredVillage &village : villages)
        m_Store.Remove(village);
}

TVillageRecovery::~TVillageRecovery() = default;

QList<TRecoveredVillage> TVillageRecovery::LeftByEndedRuns(const TdmListObj &catalog) const
{
    m_Store.RemoveLeftovers();
    QList<TRecoveredVillage> found = m_Store.Found(catalog);
    found.removeIf([this](const TRecoveredVillage &village) {
        const QString key = QFileInfo(village.RecoveryFile).completeBaseName();
        return !key.startsWith(m_RunKey) && m_Store.RunIsLive(key);
    });
    return found;
}

void TVillageRecovery::Finish()
{
    m_Clock->stop();
    QList<const TVillageDocument *> documents = m_Keys.keys();
    documents += m_TakenOver.uniqueKeys();
    for (const TVillageDocument *document : documents)
        Forget(document);
    m_RunLock.reset();
}

// Recovery after a crash; see VillageRecovery.h.
#include "VillageRecovery.h"

#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "record/VillageData.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>

#include <utility>

namespace {

const QString VillageSuffix = QStringLiteral(".vlgdat");
const QString OriginSuffix = QStringLiteral(".origin");

QString &Folder()
{
    static QString folder;
    return folder;
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

TFileResult TRecoveryStore::Write(const QString &key, const TVillageData &village) const
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
        QSaveFile file(origin);
        if (!file.open(QIODevice::WriteOnly) || file.write(village.FileName.toUtf8()) < 0 || !file.commit())
            return {false, file.errorString(), origin};
    }
    return WriteVillageFile(village, path);
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
        QString origin;
        QFile originFile(folder.filePath(key + OriginSuffix));
        if (originFile.open(QIODevice::ReadOnly))
            origin = QString::fromUtf8(originFile.read(64 * 1024));
        found.append({village.Name, origin, folder.filePath(file)});
    }
    return found;
}

QString TRecoveryStore::Question(const QList<TRecoveredVillage> &villages)
{
    QStringList names;
    for (const TRecoveredVillage &village : villages)
        names.append(village.Name.isEmpty() ? QStringLiteral("без названия")
                                            : QStringLiteral("«%1»").arg(village.Name));
    return QStringLiteral("Программа была закрыта аварийно. Восстановить несохранённые деревни: %1?")
        .arg(names.join(QStringLiteral(", ")));
}

TVillageRecovery::TVillageRecovery(TVillageList &villages, const TRecoveryStore &store, QObject *parent)
    : QObject(parent), m_Villages(villages), m_Store(store)
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
                            QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(m_NextNumber++));
    return *key;
}

void TVillageRecovery::Forget(const TVillageDocument *document)
{
    const QString key = m_Keys.take(document);
    if (!key.isEmpty())
        m_Store.Remove(key);
}

void TVillageRecovery::WriteNow()
{
    for (int row = 0; row < m_Villages.Count(); ++row) {
        const TVillageDocument *document = m_Villages.At(row);
        if (document->HasUnwrittenEdits())
            m_Store.Write(KeyOf(document), document->Village());
        else
            Forget(document);
    }
}

void TVillageRecovery::Finish()
{
    m_Clock->stop();
    const QList<const TVillageDocument *> documents = m_Keys.keys();
    for (const TVillageDocument *document : documents)
        Forget(document);
}

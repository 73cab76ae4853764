// Shared by the fuzz targets: a silent message handler, a scratch file for
// inputs that the program reads from disk, and the catalog the village
// readers resolve buildings against.
#pragma once

#include "base/MessageSeam.h"
#include "catalog/dm_ListObjects.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

inline void SilenceMessages()
{
    static const bool silenced = [] {
        SetMessageHandler([](TMessageKind, const QString &) {});
        return true;
    }();
    (void)silenced;
}

// A file in the temporary folder, one per fuzzing process.
inline QString ScratchPath(const char *suffix)
{
    return QDir::tempPath() + QStringLiteral("/jorfuzz-%1%2").arg(getpid()).arg(QLatin1String(suffix));
}

inline bool WriteScratch(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    return true;
}

// The shipped catalog, loaded once.
inline const TdmListObj &FuzzCatalog()
{
    static TdmListObj catalog;
    static const bool loaded = [] {
        const QString exe = ScratchPath("-catalog");
        QFile::remove(exe + QStringLiteral(".xml"));
        QFile::copy(QStringLiteral(JOR_SHIPPED_CATALOG), exe + QStringLiteral(".xml"));
        const bool ok = catalog.LoadCatalog(exe).Ok;
        QFile::remove(exe + QStringLiteral(".xml"));
        return ok;
    }();
    (void)loaded;
    return catalog;
}

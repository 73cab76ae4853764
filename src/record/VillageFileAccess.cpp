// Village files on disk; see VillageFileAccess.h.
#include "VillageFileAccess.h"

#include "base/MessageSeam.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString TooLargeReason(qint64 size, qint64 maxSize)
{
    constexpr double Mebibyte = 1024.0 * 1024.0;
    return QStringLiteral("Файл слишком большой (%1 МиБ); файл деревни не бывает больше %2 МиБ.")
        .arg(QLocale().toString(double(size) / Mebibyte, 'f', 1), QLocale().toString(double(maxSize) / Mebibyte, 'g', 6));
}

QString FolderReason()
{
    return QStringLiteral("Это папка, а не файл деревни.");
}

QString NotRegularReason()
{
    return QStringLiteral("Это не обычный файл (канал, устройство или сокет).");
}

QString SystemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString RefusalBeforeReading(const QString &path, qint64 maxSize)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (info.isDir())
        return FolderReason();
    if (!info.isFile())
        return NotRegularReason();
    if (info.size() > maxSize)
        return TooLargeReason(info.size(), maxSize);
    return {};
}

TBoundedRead ReadBounded(const QString &path, qint64 maxSize)
{
    TBoundedRead result;
#ifdef Q_OS_UNIX
    // Opened without waiting (a pipe would wait for a writer), then looked
    // at through the descriptor, so that what is read is what was checked.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.Error = SystemText(errno);
        return result;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        result.Error = SystemText(errno);
        ::close(fd);
        return result;
    }
    if (!S_ISREG(status.st_mode)) {
        result.Error = S_ISDIR(status.st_mode) ? FolderReason() : NotRegularReason();
        ::close(fd);
        return result;
    }
    if (status.st_size > maxSize) {
        result.Error = TooLargeReason(status.st_size, maxSize);
        ::close(fd);
        return result;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        result.Error = file.errorString();
        ::close(fd);
        return result;
    }
#else
    if (const QString refusal = RefusalBeforeReading(path, maxSize); !refusal.isEmpty()) {
        result.Error = refusal;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.Error = file.errorString();
        return result;
    }
#endif
    // A file that grows while it is read is cut off one byte past the
    // limit, and refused.
    result.Data = file.read(maxSize + 1);
    if (file.error() != QFileDevice::NoError) {
        result.Error = file.errorString();
        result.Data.clear();
        return result;
    }
    if (result.Data.size() > maxSize) {
        result.Error = TooLargeReason(result.Data.size(), maxSize);
        result.Data.clear();
        return result;
    }
    result.Ok = true;
    return result;
}

QString RefusalBeforeWriting(qint64 size, qint64 maxSize)
{
    if (size <= maxSize)
        return {};
    constexpr double Mebibyte = 1024.0 * 1024.0;
    return QStringLiteral("Файл получился бы слишком большим (%1 МиБ): файл деревни не бывает больше %2 МиБ, "
                          "и программа не смогла бы его открыть. Прежний файл не изменён.")
        .arg(QLocale().toString(double(size) / Mebibyte, 'f', 1), QLocale().toString(double(maxSize) / Mebibyte, 'g', 6));
}

QString WriteFailureReason(int systemError, const QString &systemText)
{
    if (systemError == ENOSPC
#ifdef EDQUOT
        || systemError == EDQUOT
#endif
    )
        return QStringLiteral("Недостаточно места на диске");
    if (!systemText.isEmpty())
        return systemText;
    return systemError != 0 ? SystemText(systemError) : QStringLiteral("Неизвестная ошибка");
}

QString AlreadyOpenMessage(const QString &path)
{
    return JoinMessageLines(QStringLiteral("Файл уже открыт!"), QDir::toNativeSeparators(path));
}

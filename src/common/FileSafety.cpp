#include "FileSafety.h"

#include "AppError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace nerina {

namespace {

const QString kPartialSuffix = QStringLiteral(".partial");

[[noreturn]] void failWith(int systemError) { throw AppError(fileErrorText(systemError)); }

// Flushes an open descriptor, keeping the first error.
int syncDescriptor(int fd) { return ::fsync(fd) == 0 ? 0 : errno; }

} // namespace

QString fileErrorText(int systemError, FileAccess access)
{
    const bool reading = access == FileAccess::Read;
    switch (systemError) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("ディスクに空きがないため、書き込めませんでした。");
    case EFBIG: return QStringLiteral("ファイルの大きさの上限を超えるため、書き込めませんでした。");
    case EEXIST: return QStringLiteral("同じ名前のファイルがすでにあります。");
    case EACCES:
    case EPERM:
        return reading ? QStringLiteral("ファイルを読む権限がありません。")
                       : QStringLiteral("書き込む権限がないため、書き込めませんでした。");
    case EROFS: return QStringLiteral("読み取り専用の場所のため、書き込めませんでした。");
    case ENOENT:
    case ENOTDIR:
        return reading ? QStringLiteral("ファイルがありません。") : QStringLiteral("保存先のフォルダがありません。");
    case EISDIR: return QStringLiteral("同じ名前のフォルダがあるため、書き込めませんでした。");
    case ENAMETOOLONG: return QStringLiteral("ファイル名が長すぎます。");
    case EIO: return QStringLiteral("ディスクの読み書きに失敗しました。");
    default:
        return (reading ? QStringLiteral("ファイルを読めませんでした（エラー番号 %1）。")
                        : QStringLiteral("ファイルを書き込めませんでした（エラー番号 %1）。"))
            .arg(systemError);
    }
}

QString partialPathFor(const QString &path) { return path + kPartialSuffix; }

void syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        failWith(errno);
    const int error = syncDescriptor(fd);
    ::close(fd);
    if (error != 0)
        failWith(error);
}

void renameIntoPlace(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        failWith(errno);
    // The new name lives in the folder: flush it too. A folder that cannot be opened
    // for this (rare, and not an error of the copy) is left to the system's own flush.
    const int dir
        = ::open(QFile::encodeName(QFileInfo(to).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        const int error = syncDescriptor(dir);
        ::close(dir);
        if (error != 0 && error != EINVAL)
            failWith(error);
    }
}

void writeFileSafely(const QString &path, const QByteArray &data)
{
    const QString partial = partialPathFor(path);
    const QByteArray partialName = QFile::encodeName(partial);
    ::unlink(partialName.constData()); // a leftover of an earlier attempt that was cut off
    // Made private before anything is in it, whatever the umask is.
    const int fd = ::open(partialName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        failWith(errno);
    int error = 0;
    for (qsizetype done = 0; done < data.size() && error == 0;) {
        const ssize_t n = ::write(fd, data.constData() + done, std::size_t(data.size() - done));
        if (n < 0 && errno != EINTR)
            error = errno;
        else if (n > 0)
            done += n;
    }
    if (error == 0)
        error = syncDescriptor(fd);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(partialName.constData());
        failWith(error);
    }
    try {
        renameIntoPlace(partial, path);
    } catch (...) {
        ::unlink(partialName.constData());
        throw;
    }
}

} // namespace nerina

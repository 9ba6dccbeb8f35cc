#include "FileSafety.h"

#include "AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nerina {

namespace {

const QString kPartialSuffix = QStringLiteral(".partial");

[[noreturn]] void failWith(int systemError) { throw AppError(fileErrorText(systemError)); }

// Flushes an open descriptor, keeping the first error.
int syncDescriptor(int fd) { return ::fsync(fd) == 0 ? 0 : errno; }

// A file as the system knows it, whichever name reaches it; none when nothing is there.
std::optional<std::pair<dev_t, ino_t>> fileId(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return std::pair(st.st_dev, st.st_ino);
}

// The folder of `path` with its own links resolved, as far as it exists.
QString realFolder(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QString real = QFileInfo(folder).canonicalFilePath();
    return real.isEmpty() ? QDir::cleanPath(folder) : real;
}

// The name that `path` stands for: its symbolic links followed as far as they lead (one
// that leads nowhere yet, to the name it points at), in its real folder.
QString placeOf(const QString &path)
{
    QString place = QFileInfo(path).absoluteFilePath();
    for (int hop = 0; hop < 40; ++hop) { // the system's own limit on links in a row
        char target[PATH_MAX];
        const ssize_t n = ::readlink(QFile::encodeName(place).constData(), target, sizeof target);
        if (n <= 0 || std::size_t(n) == sizeof target)
            break;
        place = QDir(realFolder(place)).absoluteFilePath(QFile::decodeName(QByteArray(target, int(n))));
    }
    return realFolder(place) + QLatin1Char('/') + QFileInfo(place).fileName();
}

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

QString keptFileProblem(const QString &target, const KeptFiles &kept)
{
    const QString place = placeOf(target);
    const auto id = fileId(target);
    const auto isKept = [&](const QString &file) { return placeOf(file) == place || (id && fileId(file) == id); };
    const auto refused = [](const QString &what) {
        return QStringLiteral("選んだファイルは%1です。上書きすると失われるため、別の名前で保存して下さい。").arg(what);
    };

    if (!kept.diary.isEmpty()) {
        if (isKept(kept.diary))
            return refused(QStringLiteral("日記のデータファイルそのもの"));
        for (const char *journal : {"-journal", "-wal", "-shm"}) {
            if (isKept(kept.diary + QLatin1String(journal)))
                return refused(QStringLiteral("日記のデータファイルの作業用ファイル"));
        }
        // Its backups beside it (<base>-backup-*.<suffix>), those still to be made and their
        // partial copies included.
        const QFileInfo diary(kept.diary);
        const QString prefix = diary.completeBaseName() + QStringLiteral("-backup-");
        const QString suffix = QLatin1Char('.') + diary.suffix();
        const auto isBackupName = [&](QString name) {
            if (name.endsWith(kPartialSuffix))
                name.chop(kPartialSuffix.size());
            return name.size() >= prefix.size() + suffix.size() && name.startsWith(prefix) && name.endsWith(suffix);
        };
        const QString folder = realFolder(kept.diary);
        const QFileInfo at(place);
        bool isBackup = at.path() == folder && isBackupName(at.fileName());
        if (!isBackup && id) {
            const QDir backups(folder);
            for (const QString &name : backups.entryList(QDir::Files | QDir::Hidden | QDir::System))
                isBackup = isBackup || (isBackupName(name) && fileId(backups.filePath(name)) == id);
        }
        if (isBackup)
            return refused(QStringLiteral("日記のバックアップ"));
    }
    if (!kept.program.isEmpty() && isKept(kept.program))
        return refused(QStringLiteral("このプログラム自身"));
    return QString();
}

void writeFileSafely(const QString &path, const QByteArray &data, const KeptFiles &kept)
{
    if (const QString problem = keptFileProblem(path, kept); !problem.isEmpty())
        throw AppError(problem);
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

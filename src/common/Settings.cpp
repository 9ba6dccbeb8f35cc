#include "Settings.h"

#include "AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nerina {

namespace {

const QString kKey = QStringLiteral("G_CYCLE/DATA");

// The store's file: where the native format keeps the settings of "NERINAS" for this user.
QString storeFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/NERINAS.conf");
}

// Whether the store can be opened without waiting: it is absent or a plain file. The toolkit
// reads the store as it opens it, and would wait for ever on a pipe in its place.
bool openable(const QString &file)
{
    struct stat st;
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    return S_ISREG(st.st_mode);
}

} // namespace

QString readCycleSetting()
{
    const QString file = storeFile();
    if (!openable(file))
        throw AppError(QStringLiteral("設定を読み込めませんでした。"));
    QSettings settings(file, QSettings::NativeFormat);
    if (settings.status() == QSettings::AccessError)
        throw AppError(QStringLiteral("設定を読み込めませんでした。"));
    return settings.value(kKey).toString();
}

void writeCycleSetting(const QString &value)
{
    const QString file = storeFile();
    if (!openable(file))
        throw AppError(QStringLiteral("設定を保存できませんでした。"));
    // Private before anything is in it: the toolkit writes a new store readable by all, and
    // keeps the permissions of one that is there. A failure here is the toolkit's to report.
    QDir().mkpath(QFileInfo(file).absolutePath());
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::close(fd);
    }
    QSettings settings(file, QSettings::NativeFormat);
    settings.setValue(kKey, value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw AppError(QStringLiteral("設定を保存できませんでした。"));
}

int readReportCycles()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NERINAS"));
    if (settings.status() == QSettings::AccessError)
        throw AppError(QStringLiteral("設定を読み込めませんでした。"));
    return settings.value(QStringLiteral("G_REPORT/CYCLES")).toInt();
}

void writeReportCycles(int cycles)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NERINAS"));
    settings.setValue(QStringLiteral("G_REPORT/CYCLES"), cycles);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw AppError(QStringLiteral("設定を保存できませんでした。"));
}

} // namespace nerina

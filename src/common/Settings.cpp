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

const QString kReadFailed = QStringLiteral("設定を読み込めませんでした。");
const QString kWriteFailed = QStringLiteral("設定を保存できませんでした。");

QVariant readValue(const QString &key)
{
    const QString file = storeFile();
    if (!openable(file))
        throw AppError(kReadFailed);
    QSettings settings(file, QSettings::NativeFormat);
    if (settings.status() == QSettings::AccessError)
        throw AppError(kReadFailed);
    return settings.value(key);
}

void writeValue(const QString &key, const QVariant &value)
{
    const QString file = storeFile();
    if (!openable(file))
        throw AppError(kWriteFailed);
    // Private before anything is in it: the toolkit writes a new store readable by all, and
    // keeps the permissions of one that is there. A failure here is the toolkit's to report.
    QDir().mkpath(QFileInfo(file).absolutePath());
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::close(fd);
    }
    QSettings settings(file, QSettings::NativeFormat);
    settings.setValue(key, value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw AppError(kWriteFailed);
}

const QString kReportKey = QStringLiteral("G_REPORT/CYCLES");

} // namespace

QString readCycleSetting() { return readValue(kKey).toString(); }

void writeCycleSetting(const QString &value) { writeValue(kKey, value); }

int readReportCycles() { return readValue(kReportKey).toInt(); }

void writeReportCycles(int cycles) { writeValue(kReportKey, cycles); }

} // namespace nerina

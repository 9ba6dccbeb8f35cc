// What an import of a million days costs: the time from the menu command to the message
// after it, and the memory at its peak, each run in a child process of its own so that
// nothing else raises the high-water mark. The file goes into the 100-year diary (whose
// days it holds too, and overwrites). Prints milliseconds and kB; run by hand, never as
// a test.
#include "BenchDiary.h"
#include "TestWindows.h"
#include "records/DiaryCsv.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <cstdio>

#include <sqlite3.h>
#include <sys/resource.h>

using namespace nerina;
using nerina::bench::statusValue;

namespace {

constexpr int kRows = 1'000'000;

// A million days from 0001-01-01 on: a reading every day, a condition every third day, a
// diary every fifth, a period of six days in thirty. As the program writes it (UTF-8 with
// a byte order mark), or as a Japanese spreadsheet saves it (Shift_JIS, days as 1/1/1,
// some conditions in half-width katakana).
bool writeCsv(const QString &path, bool spreadsheet)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QStringEncoder cp932("windows-31j");
    QByteArray chunk = spreadsheet ? QByteArray() : QByteArray("\xEF\xBB\xBF");
    chunk += "date,temperature,condition,diary,period,intercourse\r\n";
    const QDate first(1, 1, 1);
    for (int i = 0; i < kRows; ++i) {
        const QDate day = first.addDays(i);
        const QString condition = i % 3 != 0   ? QString()
                                  : i % 7 == 0 ? QStringLiteral("ﾌｸﾂｳ")
                                               : QStringLiteral("だるい");
        const QString line
            = QStringLiteral("%1,%2,%3,%4,%5,0\r\n")
                  .arg(day.toString(spreadsheet ? QStringLiteral("yyyy/M/d") : QStringLiteral("yyyy-MM-dd")))
                  .arg(36.2 + (i % 30 < 15 ? 0.45 : 0.0) + (i % 7) * 0.01, 0, 'f', 2)
                  .arg(condition, i % 5 == 0 ? QStringLiteral("今日は雨でした") : QString())
                  .arg(i % 30 >= 24 ? 1 : 0);
        chunk += spreadsheet ? QByteArray(cp932.encode(line)) : line.toUtf8();
        if (chunk.size() > (1 << 20) || i + 1 == kRows) {
            if (file.write(chunk) != chunk.size())
                return false;
            chunk.clear();
        }
    }
    return true;
}

// The processor time this process has used, user and system, in milliseconds: on a busy
// machine the elapsed time says little.
double cpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The child: the main window on a copy of the diary, then the import, answered Import and
// Yes to overwriting. Prints ms|processor ms|VmHWM before|VmHWM after|rows|the messages.
int importChild(const QString &csv, const QString &diary)
{
    test::ShownForm env;
    QFile::remove(env.diary.path());
    if (!QFile::copy(diary, env.diary.path()) || !env.start())
        return 1;
    const QString before = statusValue("VmHWM");
    env.dialogs.fileNames << csv;
    env.dialogs.answer(QStringLiteral("IY"));
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuMs();
    env.ui().mnuImport->trigger();
    const qint64 ms = timer.elapsed();
    std::printf("%lld|%.0f|%s|%s|%lld|%s\n", ms, cpuMs() - cpu, qPrintable(before), qPrintable(statusValue("VmHWM")),
                env.diary.db().rowCount(), qPrintable(env.dialogs.texts().join(u' ').replace(u'\n', u' ')));
    return 0;
}

// The floor: the same number of rows through the bare SQLite C API, one prepared INSERT
// OR REPLACE in one transaction, synchronous=FULL; prints its times.
bool rawInsert(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    const double cpu = cpuMs();
    QElapsedTimer timer;
    timer.start();
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO DATA_FIL VALUES (?, ?, ?, ?, ?, 0)", -1, &insert, nullptr);
    const QDate first(1, 1, 1);
    for (int i = 0; i < kRows; ++i) {
        const QByteArray day = first.addDays(i).toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
        sqlite3_bind_text(insert, 1, day.constData(), int(day.size()), SQLITE_TRANSIENT);
        sqlite3_bind_double(insert, 2, 36.2 + (i % 7) * 0.01);
        sqlite3_bind_text(insert, 3, i % 3 == 0 ? "だるい" : "", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, i % 5 == 0 ? "今日は雨でした" : "", -1, SQLITE_STATIC);
        sqlite3_bind_int(insert, 5, i % 30 >= 24 ? 1 : 0);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    const bool committed = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    std::printf("floor: %d rows by one prepared INSERT OR REPLACE in one transaction, synchronous=FULL: "
                "%.0f ms, processor %.0f ms\n",
                kRows, double(timer.nsecsElapsed()) / 1e6, cpuMs() - cpu);
    sqlite3_close(db);
    return committed;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--import") == 0)
        return importChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    QTemporaryDir folder;
    const QString diary = folder.filePath(QStringLiteral("base.mdb"));
    {
        test::TestDiary empty; // the delivered schema
        if (!QFile::copy(empty.path(), diary) || !bench::fillDiary(diary))
            return 1;
    }
    int failures = 0;
    std::printf("import of %d days into the 100-year diary, child processes; ms, kB\n", kRows);
    for (const bool spreadsheet : {false, true}) {
        const QString csv = folder.filePath(spreadsheet ? QStringLiteral("sjis.csv") : QStringLiteral("utf8.csv"));
        if (!writeCsv(csv, spreadsheet))
            return 1;
        QFile bytes(csv);
        bytes.open(QIODevice::ReadOnly);
        const QByteArray text = bytes.readAll();
        const double cpu = cpuMs();
        const ImportCheck check = checkImport(text, std::nullopt, {}, bench::kNewest);
        const double checkMs = cpuMs() - cpu;
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--import"), csv, diary});
        child.waitForFinished(600000);
        const QStringList out = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed().split(u'|');
        const bool good = check.ok() && check.days == kRows && out.size() == 6 && out[4].toInt() == kRows;
        failures += good ? 0 : 1;
        std::printf("%s, %lld KiB: import %s ms, processor %s ms (reading and checking it once: %.0f), "
                    "peak VmHWM %s (before %s)\n",
                    spreadsheet ? "Shift_JIS, no mark" : "UTF-8 with a mark", bytes.size() / 1024,
                    qPrintable(out.value(0)), qPrintable(out.value(1)), checkMs, qPrintable(out.value(3)),
                    qPrintable(out.value(2)));
        std::printf("  %s\n", good ? qPrintable(out.value(5)) : "did not go as planned");
    }
    const QString floorFile = folder.filePath(QStringLiteral("floor.mdb"));
    QFile::copy(diary, floorFile);
    failures += rawInsert(floorFile) ? 0 : 1;
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}

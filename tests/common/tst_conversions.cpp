// The text, number and date rules the whole program shares, and the private file writer.
#include "TestDiary.h"
#include "common/AppError.h"
#include "common/Conversions.h"
#include "common/FileSafety.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h> // umask
#include <unistd.h>   // link, symlink

using namespace nerina;
using test::row;

class TestConversions final : public QObject
{
    Q_OBJECT
private slots:
    void halfWidth()
    {
        QCOMPARE(toHalfWidth(QStringLiteral("\u3000１１．５！～Ａｚ体温ｶｾﾞ")), QStringLiteral(" 11.5!~Az体温ｶｾﾞ"));
    }

    // The numeric test, and the 16-bit value or the error of the conversion.
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<QString>("int16");
        const QString overflow = QStringLiteral("オーバーフローしました。");
        QTest::newRow("half down to even") << "10.5" << true << "10";
        QTest::newRow("half up to even") << "11.5" << true << "12";
        QTest::newRow("negative half") << "-2.5" << true << "-2";
        QTest::newRow("leading point") << ".5" << true << "0";
        QTest::newRow("trailing point") << "5." << true << "5";
        QTest::newRow("blanks around") << "  +30 " << true << "30";
        QTest::newRow("full-width") << "\u3000５９．４\u3000" << true << "59";
        QTest::newRow("upper limit") << "32767" << true << "32767";
        QTest::newRow("lower limit") << "-32768" << true << "-32768";
        QTest::newRow("rounds over") << "32767.5" << true << overflow;
        QTest::newRow("-32769") << "-32769" << true << overflow;
        QTest::newRow("beyond a double") << QString(400, QLatin1Char('9')) << true << overflow;
        for (const char *text : {"", "   ", "abc", "30日", "36.5.1", ".", "--1", "1e5", "1,000", "3 0", "-"})
            QTest::addRow("not '%s'", text) << QString::fromUtf8(text) << false << "型が一致しません。";
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(QString, int16);
        QCOMPARE(isNumeric(text), numeric);
        QString got;
        try {
            got = QString::number(toInt16(text));
        } catch (const AppError &e) {
            got = e.message();
        }
        QCOMPARE(got, int16);
    }

    void dateSerial_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("d");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("day 0 is the leap day") << 2024 << 3 << 0 << QDate(2024, 2, 29);
        QTest::newRow("back across the year") << 2026 << 1 << (5 - 180) << QDate(2025, 7, 9);
        QTest::newRow("forward into April") << 2024 << 3 << 32 << QDate(2024, 4, 1);
    }
    void dateSerial()
    {
        QFETCH(int, y);
        QFETCH(int, m);
        QFETCH(int, d);
        QFETCH(QDate, expected);
        QCOMPARE(nerina::dateSerial(y, m, d), expected);
    }

    // Private whatever the umask lets through; a partial file left by a write that was cut
    // off is no obstacle; a failed write leaves nothing behind.
    void fileSafety()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        QVERIFY(QFile(partialPathFor(path)).open(QIODevice::WriteOnly));
        const mode_t before = ::umask(0);
        writeFileSafely(path, "old", {});
        writeFileSafely(path, "new", {});
        ::umask(before);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("new"));
        QCOMPARE(file.permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken")));
        QVERIFY_THROWS_EXCEPTION(AppError, writeFileSafely(dir.filePath(QStringLiteral("taken")), "x", {}));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("out.csv")});
    }

    // What no written file may replace, however its name reaches it: the diary d/nerina.mdb,
    // its journal files, its backups and the program d/nerina; o/ holds links to them. A word
    // of the reason ("" when the file may be written); a refused file is left as it was.
    void keptFiles_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        const auto rows = [](const char *reason, std::initializer_list<const char *> targets) {
            for (const char *target : targets)
                row(target, QString::fromUtf8(target), QString::fromUtf8(reason));
        };
        rows("データファイルそのもの", {"d/nerina.mdb", "o/d/nerina.mdb", "o/soft", "o/hard"});
        rows("作業用", {"d/nerina.mdb-wal", "o/dangling"});
        rows("バックアップ", {"d/nerina-backup-1.mdb", "d/nerina-backup-2.mdb.partial", "o/hard-backup"});
        rows("プログラム", {"d/nerina", "o/hard-program"});
        rows("", {"d/out.csv", "o/nerina.mdb"});
    }
    void keptFiles()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const auto at = [&](const char *name) { return QFile::encodeName(dir.filePath(QLatin1String(name))); };
        QVERIFY(!::mkdir(at("d"), 0700) && !::mkdir(at("o"), 0700) && !::symlink(at("d"), at("o/d")));
        for (const char *name : {"d/nerina.mdb", "d/nerina-backup-1.mdb", "d/nerina"})
            QVERIFY(QFile(QFile::decodeName(at(name))).open(QIODevice::WriteOnly));
        QVERIFY(!::symlink(at("d/nerina.mdb"), at("o/soft")) && !::symlink("../d/nerina.mdb-journal", at("o/dangling"))
                && !::link(at("d/nerina.mdb"), at("o/hard")) && !::link(at("d/nerina"), at("o/hard-program"))
                && !::link(at("d/nerina-backup-1.mdb"), at("o/hard-backup")));
        const QString path = dir.filePath(target);
        QString refused;
        try {
            writeFileSafely(path, "new",
                            {dir.filePath(QStringLiteral("d/nerina.mdb")), dir.filePath(QStringLiteral("d/nerina"))});
        } catch (const AppError &e) {
            refused = e.message();
        }
        QVERIFY2(reason.isEmpty() ? refused.isEmpty() : refused.contains(reason), qPrintable(refused));
        QCOMPARE(QFileInfo(path).size(), qint64(reason.isEmpty() ? 3 : 0));
    }
};

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"

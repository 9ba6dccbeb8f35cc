// The text, number and date rules the whole program shares, and the private file writer.
#include "common/AppError.h"
#include "common/Conversions.h"
#include "common/FileSafety.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h> // umask

using namespace nerina;

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

    // Private whatever the umask lets through; a failed write leaves nothing behind.
    void fileSafety()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        const mode_t before = ::umask(0);
        writeFileSafely(path, "old");
        writeFileSafely(path, "new");
        ::umask(before);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("new"));
        QCOMPARE(file.permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken")));
        QVERIFY_THROWS_EXCEPTION(AppError, writeFileSafely(dir.filePath(QStringLiteral("taken")), "x"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("out.csv")});
    }
};

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"

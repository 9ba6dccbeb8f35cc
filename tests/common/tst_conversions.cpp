// The numeric test, the 16-bit conversion and the date rules the whole program shares.
#include "common/AppError.h"
#include "common/Conversions.h"

#include <QTest>

using namespace nerina;

class TestConversions final : public QObject
{
    Q_OBJECT
private slots:
    void numericTest_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("integer") << "28" << true;
        QTest::newRow("decimal") << "36.5" << true;
        QTest::newRow("leading point") << ".5" << true;
        QTest::newRow("trailing point") << "5." << true;
        QTest::newRow("signs") << "-3" << true;
        QTest::newRow("plus") << "+3" << true;
        QTest::newRow("blanks around") << "  30 " << true;
        QTest::newRow("full-width digits") << "２８" << true;
        QTest::newRow("full-width point") << "３６．５" << true;
        QTest::newRow("ideographic space") << "\u3000３０\u3000" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank") << "   " << false;
        QTest::newRow("letters") << "abc" << false;
        QTest::newRow("digits and letters") << "30日" << false;
        QTest::newRow("two points") << "36.5.1" << false;
        QTest::newRow("lone point") << "." << false;
        QTest::newRow("double sign") << "--1" << false;
        QTest::newRow("exponent") << "1e999" << false;
        QTest::newRow("group separator") << "1,000" << false;
        QTest::newRow("inner blank") << "3 0" << false;
        QTest::newRow("sign alone") << "-" << false;
    }
    void numericTest()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(isNumeric(text), numeric);
    }

    void halfWidth()
    {
        QCOMPARE(toHalfWidth(QStringLiteral("３０")), QStringLiteral("30"));
        QCOMPARE(toHalfWidth(QStringLiteral("１１．５")), QStringLiteral("11.5"));
        QCOMPARE(toHalfWidth(QStringLiteral("体温３６")), QStringLiteral("体温36"));
    }

    void int16Rounding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("whole") << "30" << 30;
        QTest::newRow("half down to even") << "10.5" << 10;
        QTest::newRow("half up to even") << "11.5" << 12;
        QTest::newRow("59.5 to 60") << "59.5" << 60;
        QTest::newRow("59.4") << "59.4" << 59;
        QTest::newRow("negative half") << "-2.5" << -2;
        QTest::newRow("upper limit") << "32767" << 32767;
        QTest::newRow("lower limit") << "-32768" << -32768;
        QTest::newRow("full-width") << "２８" << 28;
    }
    void int16Rounding()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(int(toInt16(text)), value);
    }

    void int16Overflow_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("100000") << "100000";
        QTest::newRow("32768") << "32768";
        QTest::newRow("32767.5 rounds over") << "32767.5";
        QTest::newRow("-32769") << "-32769";
        QTest::newRow("400 digits") << QString(400, QLatin1Char('9'));
    }
    void int16Overflow()
    {
        QFETCH(QString, text);
        try {
            toInt16(text);
            QFAIL("no overflow");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), QStringLiteral("オーバーフローしました。"));
        }
    }

    void int16RejectsNonNumbers() { QVERIFY_THROWS_EXCEPTION(AppError, toInt16(QStringLiteral("abc"))); }

    void dateSerialRollsOver_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("d");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("plain") << 2026 << 3 << 5 << QDate(2026, 3, 5);
        QTest::newRow("day 0 is the leap day") << 2024 << 3 << 0 << QDate(2024, 2, 29);
        QTest::newRow("180 back across months") << 2026 << 12 << (6 - 180) << QDate(2026, 6, 9);
        QTest::newRow("back across the year") << 2026 << 1 << (5 - 180) << QDate(2025, 7, 9);
        QTest::newRow("forward past the month") << 2024 << 3 << 31 << QDate(2024, 3, 31);
        QTest::newRow("forward into April") << 2024 << 3 << 32 << QDate(2024, 4, 1);
        QTest::newRow("month 13") << 2025 << 13 << 1 << QDate(2026, 1, 1);
        QTest::newRow("month 0") << 2026 << 0 << 1 << QDate(2025, 12, 1);
        QTest::newRow("month -12") << 2026 << -12 << 1 << QDate(2024, 12, 1);
    }
    void dateSerialRollsOver()
    {
        QFETCH(int, y);
        QFETCH(int, m);
        QFETCH(int, d);
        QFETCH(QDate, expected);
        QCOMPARE(dateSerial(y, m, d), expected);
    }

    void weekdays()
    {
        QCOMPARE(weekdaySundayFirst(QDate(2026, 12, 6)), 1); // a Sunday
        QCOMPARE(weekdayCharacter(QDate(2026, 12, 6)), QStringLiteral("日"));
        QCOMPARE(weekdayCharacter(QDate(2026, 12, 12)), QStringLiteral("土"));
        QCOMPARE(weekdayCharacter(QDate(2024, 3, 5)), QStringLiteral("火"));
        QCOMPARE(daysBetween(QDate(2024, 3, 1), QDate(2024, 2, 20)), qint64(-10));
    }

    void japaneseDatesWhateverTheSystemLocale()
    {
        QLocale::setDefault(QLocale::c());
        QCOMPARE(japaneseLocale().toString(QDate(2026, 12, 6), QStringLiteral("yyyy年MM月dd日 dddd")),
                 QStringLiteral("2026年12月06日 日曜日"));
    }
};

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"

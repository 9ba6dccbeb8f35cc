#include "TestWindows.h"

#include <QDir>
#include <QTest>

using namespace nerina;

class TstStartup final : public QObject
{
    Q_OBJECT

private slots:
    // What stands where the diary belongs: nothing or a folder ends the program before the
    // window shows; a file that is no diary is refused through the error box, unchanged.
    void diaryFile_data()
    {
        QTest::addColumn<QString>("there");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QString>("title");
        QTest::newRow("nothing") << "" << false << QStringLiteral("ｴﾗｰ");
        QTest::newRow("a folder") << "folder" << false << QStringLiteral("ｴﾗｰ");
        QTest::newRow("not a diary") << "junk" << true << QStringLiteral("PG-Error");
    }
    void diaryFile()
    {
        QFETCH(QString, there);
        test::ShownForm f;
        QFile file(f.diary.path());
        QVERIFY(file.remove());
        if (there == "folder")
            QVERIFY(QDir().mkdir(f.diary.path()));
        if (there == "junk")
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(4096, 'x')) == 4096);
        file.close();
        QTEST(f.start(false), "goesOn");
        QCOMPARE(f.dialogs.shown.size(), 1);
        QTEST(f.dialogs.last().title, "title");
        QVERIFY(!f.form->state().G_DB);
        const QFileInfo after(f.diary.path());
        QCOMPARE(after.isFile() ? after.size() : -1, there == "junk" ? 4096 : -1);
    }

    // A stored cycle length that is missing, not a number or cannot be read gives 30,
    // silently; any number passes as it is.
    void cycleSetting_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("used");
        QTest::newRow("absent") << "<absent>" << QStringLiteral("30");
        QTest::newRow("letters") << "abc" << QStringLiteral("30");
        QTest::newRow("28") << "28" << QStringLiteral("28");
        QTest::newRow("out of range") << "100" << QStringLiteral("100");
        QTest::newRow("store is a folder") << "<folder>" << QStringLiteral("30");
    }
    void cycleSetting()
    {
        QFETCH(QString, stored);
        test::ShownForm f;
        if (stored == "<folder>")
            QVERIFY(QDir().mkpath(f.diary.settingsFile()));
        else if (stored != "<absent>")
            f.diary.setCycleSetting(stored);
        QVERIFY(f.start(false));
        QTEST(f.form->state().G_CYCLE_DAYS, "used");
        QVERIFY(f.form->panelText(1).contains(f.form->state().G_CYCLE_DAYS));
        QCOMPARE(f.dialogs.shown.size(), 0);
        QVERIFY(f.form->state().G_READY);
    }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"

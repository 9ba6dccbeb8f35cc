// The entry tab, and the export and import commands of the file menu.
#include "TestWindows.h"
#include "common/FileSafety.h"
#include "records/DayEditor.h"
#include "records/DiaryCsv.h"
#include "records/TempEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <sys/stat.h>

using namespace nerina;
using test::day;
using test::row;

namespace {

const QDate kToday(2026, 12, 6);
const QString kOverwrite = QStringLiteral("上書きしますか？");
const QString kEmoji = QStringLiteral("\U0001F600");

QString todaysRow(test::ShownForm &s) { return test::text(s.diary.db().findDay(kToday)); }

} // namespace

class TestRecordsWindows final : public QObject
{
    Q_OBJECT
private slots:
    // An edit, then a save by the register button or by picking another day: the questions
    // asked, today's row afterwards, and whether the edits are still pending. A row written
    // after the load by another program is asked about; a locked diary fails after waiting.
    void saving_data()
    {
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QString>("diary"); // today's row: stored before, meanwhile, with a NULL; failing or locked
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("today");
        QTest::addColumn<bool>("pending");
        const QString old = QStringLiteral("2026-12-06|36.5|old||0|0");
        const QStringList ask {kOverwrite}, save {QStringLiteral("ﾃﾞｰﾀが変更されています。保存しますか？")};
        const QString busy
            = QStringLiteral("データファイルが他のプログラムで使用中です。しばらくしてからやり直して下さい。");
        row("Yes saves the temperature", "TEMP_TEXT", "", false, "Y", save, "2026-12-06|3|||0|0", false);
        row("Yes saves the condition", "CONDITION_TEXT", "", false, "Y", save, "2026-12-06|0|3\u00A0||0|0", false);
        row("Yes saves the period box", "GUEST_CHK", "", false, "Y", save, "2026-12-06|0|||1|0", false);
        row("No drops the intercourse box", "LOVE_CHK", "", false, "N", save, "none", false);
        row("Yes saves a sign alone", "MUCUS_CMB", "", false, "Y", save, "2026-12-06|0|||0|0|0,,,0,0,,,", false);
        row("no overwrite drops the diary", "DIARY_TEXT", "stored", false, "YN", save + ask, old, false);
        row("no overwrite comes before a bad number", "TEMP_TEXT", "stored", false, "YN", save + ask, old, false);
        row("a failed save stays", "DIARY_TEXT", "failing", false, "Y", save + QStringList {"no"}, "none", true);
        row("button, No keeps the row", "DIARY_TEXT", "stored", true, "N", ask, old, true);
        row("button, Yes replaces", "DIARY_TEXT", "stored", true, "Y", ask, "2026-12-06|36.5|old|3\u00A0\n|0|0", false);
        row("button, written meanwhile", "DIARY_TEXT", "meanwhile", true, "N", ask, old, true);
        row("button, over a NULL", "DIARY_TEXT", "null", true, "Y",
            QStringList {QStringLiteral("Null の使い方が不正です。"), kOverwrite}, "2026-12-06|0||3\u00A0\n|0|0",
            false);
        row("button, locked", "DIARY_TEXT", "locked", true, "Y", ask + QStringList {busy}, old, true);
    }
    void saving()
    {
        QFETCH(QString, edited);
        QFETCH(QString, diary);
        QFETCH(bool, byButton);
        QFETCH(QString, answers);
        QFETCH(QStringList, boxes);
        QFETCH(QString, today);
        QFETCH(bool, pending);
        test::ShownForm s;
        const DayRecord old = day(kToday, 36.5, QStringLiteral("old"));
        if (diary == "stored" || diary == "locked")
            s.diary.db().saveDay(old);
        if (diary == "null")
            s.diary.insertRaw({DiaryDb::storedDay(kToday), QVariant(), "c", "d", 1, 1});
        if (diary == "failing")
            s.diary.exec("CREATE TRIGGER no BEFORE INSERT ON DATA_FIL BEGIN SELECT RAISE(ABORT, 'no'); END");
        QVERIFY(s.start());
        if (auto *check = s.form->findChild<QCheckBox *>(edited))
            check->click();
        else if (auto *choices = s.form->findChild<QComboBox *>(edited))
            QTest::keyClick(choices, Qt::Key_Down);
        else // a no-break space stays one; a stored temperature is made no number
            test::typeText(s.form->findChild<QWidget *>(edited), edited != "TEMP_TEXT" ? QStringLiteral("3\u00A0")
                                                                 : diary == "stored"   ? QStringLiteral(".")
                                                                                       : QStringLiteral("3"));
        if (edited == "DIARY_TEXT") // a line break as Enter makes it, stored as "\n"
            QTest::keyClick(s.ui().entry->DIARY_TEXT, Qt::Key_Return);
        if (diary == "meanwhile")
            s.diary.db().saveDay(old);
        s.dialogs.answer(answers);
        const auto save = [&](sqlite3 * = nullptr) {
            if (byButton)
                QTest::mouseClick(s.ui().entry->REG_BTN, Qt::LeftButton);
            else
                s.ui().entry->DTPicker1->setDate(kToday.addDays(1));
        };
        if (diary == "locked")
            s.diary.db().deleteUpTo(QDate(1, 1, 1), save); // saves while this holds the write lock
        else
            save();
        QCOMPARE(s.dialogs.texts(), boxes);
        QCOMPARE(todaysRow(s), today);
        QCOMPARE(s.form->state().G_DIRTY, pending);
        QCOMPARE(s.form->state().G_SEL_DATE, kToday.addDays(byButton || pending ? 0 : 1));
        QCOMPARE(s.ui().entry->DTPicker1->date(), s.form->state().G_SEL_DATE);
    }

    void enterChecksTheTemperature_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("box"); // what she is told, if anything
        const QString noNumber = QStringLiteral("数値を入力して下さい！");
        const QString outside = QStringLiteral("34.00℃～43℃の間で入力して下さい。");
        row("empty", "", noNumber);
        row("abc", "abc", noNumber);
        for (const char *text : {"33.99", "43.01"})
            row(text, text, outside);
        for (const char *text : {"34.00", "36.5", "43"})
            row(text, text, "");
    }
    void enterChecksTheTemperature()
    {
        QFETCH(QString, typed);
        QFETCH(QString, box);
        const bool passes = box.isEmpty();
        test::ShownForm s;
        QVERIFY(s.start());
        const DayEditor &ui = *s.ui().entry;
        test::typeText(ui.TEMP_TEXT, typed);
        QTest::keyClick(ui.TEMP_TEXT, Qt::Key_Return);
        QCOMPARE(s.dialogs.texts(), passes ? QStringList() : QStringList {box});
        QCOMPARE(ui.TEMP_TEXT->hasFocus(), !passes);
        QCOMPARE(ui.TEMP_TEXT->rawText(), typed); // shown with two decimals, still the value typed
        if (passes) {
            QTest::keyClick(ui.CONDITION_TEXT, Qt::Key_Return);
            QVERIFY(ui.DIARY_TEXT->hasFocus());
        }
    }

    // What is typed (a character) or pasted (a longer text) beyond a box's limit is cut
    // off, never half a character.
    void typingLimits_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        const QString a28(28, u'a'), x498(498, u'x');
        row("condition, pasted", "CONDITION_TEXT", "", QString(35, u'x'), QString(30, u'x'));
        row("condition, emoji at the limit", "CONDITION_TEXT", a28, kEmoji, a28 + kEmoji);
        row("condition, emoji past it", "CONDITION_TEXT", a28 + u'a', kEmoji, a28 + u'a');
        row("diary, emoji at the limit", "DIARY_TEXT", x498, kEmoji, x498 + kEmoji);
        row("diary, emoji past it", "DIARY_TEXT", x498 + u'x', kEmoji, x498 + u'x');
        row("diary, pasted", "DIARY_TEXT", "", QString(600, u'y'), QString(500, u'y'));
    }
    void typingLimits()
    {
        QFETCH(QString, box);
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        test::ShownForm s;
        QVERIFY(s.start());
        auto *line = s.form->findChild<QLineEdit *>(box);
        auto *diary = s.form->findChild<QPlainTextEdit *>(box);
        line ? line->setText(before) : diary->setPlainText(before);
        if (diary)
            diary->moveCursor(QTextCursor::End);
        if (typed.size() > 2)
            line ? line->insert(typed) : diary->insertPlainText(typed);
        else
            test::typeText(s.form->findChild<QWidget *>(box), typed);
        QCOMPARE(line ? line->text() : diary->toPlainText(), after);
    }

    // What is stored shows whole, however long, and goes back unchanged when the day is
    // saved without edits; typing still cannot lengthen a text beyond the limit.
    void storedValuesStayExact_data()
    {
        QTest::addColumn<QVariant>("temp");
        QTest::addColumn<QString>("shown"); // while its box has no focus
        row("two decimals", QVariant(36.5), "36.50");
        row("three decimals", QVariant(36.125), "36.125");
        row("float noise", QVariant(36.1 + 1e-14), "36.10");
        row("another tool's text", QVariant("abc"), "abc");
    }
    void storedValuesStayExact()
    {
        QFETCH(QVariant, temp);
        QFETCH(QString, shown);
        test::ShownForm s;
        const QString condition(40, u'長'), diary(600, u'日');
        s.diary.insertRaw({DiaryDb::storedDay(kToday), temp, condition, diary, 1, 0});
        // Another tool's reason without the mark: shown, not counted, and kept.
        s.diary.insertRaw({DiaryDb::storedDay(kToday), 0, QStringLiteral("寝不足"), 2, 0, 3, 1, {}, " 葉酸 "});
        const QString stored = todaysRow(s);
        QVERIFY(s.start());
        const DayEditor &ui = *s.ui().entry;
        QCOMPARE(ui.TEMP_TEXT->text(), shown);
        QVERIFY(ui.CONDITION_TEXT->text() == condition && ui.DIARY_TEXT->toPlainText() == diary);
        QVERIFY(ui.GUEST_CHK->isChecked() && !ui.LOVE_CHK->isChecked());
        QVERIFY(!ui.EXCLUDE_REASON_CMB->isEnabled()
                && ui.EXCLUDE_REASON_CMB->currentText() == QStringLiteral("寝不足"));
        s.dialogs.answers << Dialogs::Answer::Yes;
        QVERIFY(s.form->SaveDayRecord() == SaveOutcome::Stored);
        QCOMPARE(todaysRow(s), stored);
        test::typeText(ui.CONDITION_TEXT, QStringLiteral("xy"));
        QCOMPARE(ui.CONDITION_TEXT->text(), condition);
        test::typeText(ui.DIARY_TEXT, QStringLiteral("x")); // a long stored diary is not cut by typing
        QCOMPARE(ui.DIARY_TEXT->toPlainText(), diary);
    }

    // Every sign set from the keyboard, after the designed controls in Tab order, and saved
    // with the day; another day shows none, and the day comes back with them all.
    void signs()
    {
        test::ShownForm s;
        s.diary.db().saveDay(day(kToday.addDays(-1), 36.4));
        QVERIFY(s.start());
        const DayEditor &ui = *s.ui().entry;
        ui.EXCLUDE_CHK->click();
        ui.SET_BTN->setFocus();
        QStringList order;
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *box = QApplication::focusWidget();
            order << box->objectName();
            const QList<int> downs {0, 0, 3, 0, 2, 1, 5, 0}; // 多い, 陽性, 陰性, like egg white
            for (int n = 0; n < downs[i]; ++n)
                QTest::keyClick(box, Qt::Key_Down);
        }
        test::typeText(ui.EXCLUDE_REASON_CMB, QStringLiteral("風邪"));
        ui.SPOTTING_CHK->click();
        test::typeText(ui.MEDICATION_TEXT, QStringLiteral("葉酸"));
        QCOMPARE(order, QStringList({"EXCLUDE_CHK", "EXCLUDE_REASON_CMB", "BLEEDING_CMB", "SPOTTING_CHK", "LH_CMB",
                                     "PREGNANCY_CMB", "MUCUS_CMB", "MEDICATION_TEXT"}));
        QTest::mouseClick(ui.REG_BTN, Qt::LeftButton);
        QCOMPARE(todaysRow(s), QStringLiteral("2026-12-06|0|||0|0|1,風邪,3,1,4,1,0,葉酸"));
        const auto shown = [&ui] {
            return QStringList {QString::number(ui.EXCLUDE_CHK->isChecked()),
                                QString::number(ui.EXCLUDE_REASON_CMB->isEnabled()),
                                ui.EXCLUDE_REASON_CMB->currentText(),
                                QString::number(ui.BLEEDING_CMB->currentIndex()),
                                QString::number(ui.SPOTTING_CHK->isChecked()),
                                QString::number(ui.MUCUS_CMB->currentIndex()),
                                QString::number(ui.LH_CMB->currentIndex()),
                                QString::number(ui.PREGNANCY_CMB->currentIndex()),
                                ui.MEDICATION_TEXT->text()}
                .join(u',');
        };
        ui.DTPicker1->setDate(kToday.addDays(-1));
        QCOMPARE(shown(), QStringLiteral("0,0,,0,0,0,0,0,"));
        ui.DTPicker1->setDate(kToday);
        QCOMPARE(shown(), QStringLiteral("1,1,風邪,3,1,5,2,1,葉酸"));
        QVERIFY(s.dialogs.shown.isEmpty() && !s.form->state().G_DIRTY);
    }

    // The diary goes out as stored, from a dialog in her home without a documents folder,
    // to the file the message names, past a partial file of a cut-off export; the diary
    // itself is refused, saying why in Japanese.
    void exportDiary()
    {
        test::ShownForm s;
        s.diary.insertRaw({"2026-03-06", "abc", "", "", 0, 0}); // another tool's word for a temperature
        QVERIFY(s.start());
        QTemporaryDir home; // without a documents folder
        const QByteArray realHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        const QString path = s.diary.folder() + QStringLiteral("/out.csv");
        QVERIFY(QFile(partialPathFor(path)).open(QIODevice::WriteOnly));
        s.dialogs.fileNames << s.diary.path() << path;
        s.ui().mnuExport->trigger();
        s.ui().mnuExport->trigger();
        qputenv("HOME", realHome);
        QCOMPARE(s.dialogs.offered.first(), home.filePath(QStringLiteral("nerina-20261206.csv")));
        QVERIFY(s.dialogs.texts().first().startsWith(
            QStringLiteral("ﾌｧｲﾙに書き込めません。\n選んだファイルは日記のデータ")));
        QCOMPARE(s.diary.db().rowCount(), 1);
        QVERIFY(s.dialogs.texts().last().contains(QStringLiteral("うち 1 行"))); // the row the import would refuse
        QVERIFY(s.dialogs.texts().last().contains(path));
        QVERIFY(!QFile::exists(partialPathFor(path)));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), diaryToCsv(s.diary.db().storedRows()).text);
    }

    // The preview first, where she may read the file in the other encoding or cancel; then
    // one question for the stored days, No by default; a cancel while writing writes
    // nothing. The day on screen shows what came in for it unless it holds unsaved edits;
    // what cannot be read writes nothing.
    void importDiary_data()
    {
        QTest::addColumn<QByteArray>("file"); // or a pipe, a file of so many bytes, an endless device
        QTest::addColumn<QString>("answers");
        QTest::addColumn<int>("cancelAt"); // the day at which writing is cancelled
        QTest::addColumn<bool>("edited");
        QTest::addColumn<QString>("after"); // yesterday's and today's condition, the box | previews | last message
        const QByteArray header("date,temperature,condition,diary,period,intercourse\r\n");
        const QByteArray both = "\xEF\xBB\xBF" + header + "2026-12-05,36.5,file,,0,0\n2026-12-06,36.6,file,,0,0";
        const char *none = "old none  |  | ";
        row("Yes replaces stored days", both, "IY", -1, false,
            "file file file | UTF-8 1+1 file | 2 日分のﾃﾞｰﾀを取り込みました。");
        row("No keeps them", both, "IN", -1, false, "old file file | UTF-8 1+1 file | 1 日分のﾃﾞｰﾀを取り込みました。");
        row("unsaved edits stay", both, "IN", -1, true, "old file 3 | UTF-8 1+1 file | 1 日分のﾃﾞｰﾀを取り込みました。");
        row("cancelled in the preview", both, "C", -1, false, "old none  | UTF-8 1+1 file | ");
        row("cancelled while writing", both, "IY", 1, false, "old none  | UTF-8 1+1 file | 取り込みを中止しました。");
        row("read in the other encoding", header + "2026-12-06,36.6,\xcc\xb8\xc2\xb3,,0,0\r\n2062/11/26,,,,1,0", "EI",
            -1, false,
            "old \u0338\u00B3 \u0338\u00B3 | Shift_JIS 2+0 ﾌｸﾂｳ 2062/11/26（月経） / "
            "UTF-8 2+0 \u0338\u00B3 2062/11/26（月経） | 2 日分のﾃﾞｰﾀを取り込みました。");
        row("signs come along", QByteArray("date,temperature,condition,diary,period,intercourse,excluded,exclude_reason,bleeding,"
            "spotting,mucus,lh_test,pregnancy_test,medication\n2026-12-06,36.6,file,,0,0,1,飲酒,,,4,1,,\n"),
            "I", -1, false,
            QStringLiteral("old file file | UTF-8 1+0 file 除外（飲酒）・おりもの 透明でよく伸びる（卵の白身のよう）・排卵検査薬 陽性 | "
            "1 日分のﾃﾞｰﾀを取り込みました。"));
        row("a bad line writes nothing", both + "\n2026-12-07,36.5", "", -1, false,
            QString::fromUtf8(none) + "4 行目が正しくありません。");
        const QString notAFile = QString::fromUtf8(none) + "通常のﾌｧｲﾙではないため、読み込めません。";
        row("pipe", QByteArray("pipe"), "", -1, false, notAFile);
        row("64 MiB", QByteArray("67108864"), "", -1, false, QString::fromUtf8(none) + "1 行目が正しくありません。");
        row("a byte more", QByteArray("67108865"), "", -1, false, QString::fromUtf8(none) + "ﾌｧｲﾙが大きすぎます。");
        row("/dev/zero", QByteArray("/dev/zero"), "", -1, false, notAFile);
    }
    void importDiary()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, answers);
        QFETCH(int, cancelAt);
        QFETCH(bool, edited);
        QFETCH(QString, after);
        test::ShownForm s;
        s.diary.db().saveDay(day(kToday.addDays(-1), 36.1, QStringLiteral("old")));
        QFile in(file.startsWith('/') ? QString::fromLatin1(file) : s.diary.folder() + QStringLiteral("/in.csv"));
        bool sized = false;
        const qint64 size = file.toLongLong(&sized); // a bad first line, then zeros
        if (file == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(in.fileName()).constData(), 0600), 0);
        else if (!file.startsWith('/'))
            QVERIFY(in.open(QIODevice::WriteOnly)
                    && (sized ? in.write("\"x\"y\n") == 5 && in.resize(size) : in.write(file) == file.size()));
        in.close();
        QVERIFY(s.start());
        if (edited)
            test::typeText(s.ui().entry->CONDITION_TEXT, QStringLiteral("3"));
        s.dialogs.answer(answers);
        s.dialogs.cancelAt = {-1, cancelAt}; // reading the file, then writing it
        s.dialogs.fileNames << in.fileName();
        s.ui().mnuImport->trigger();
        QVERIFY(s.dialogs.unscriptedQuestions == 0 && s.dialogs.answers.isEmpty()
                && s.dialogs.previewAnswers.isEmpty());
        if (answers.contains(u'Y') || answers.contains(u'N'))
            QVERIFY(s.dialogs.shown.first().defaultButton == Dialogs::Answer::No);
        QStringList previews;
        for (const Dialogs::ImportPreview &p : s.dialogs.previews)
            previews << QStringLiteral("%1 %2+%3 %4 %5 %6")
                            .arg(p.encoding)
                            .arg(p.newDays)
                            .arg(p.storedDays)
                            .arg(p.rows.value(0).value(2), p.rows.value(0).value(6), p.laterDays.join(u','))
                            .simplified();
        const auto condition = [&](const QDate &d) {
            const std::optional<DayRecord> r = s.diary.db().findDay(d);
            return r ? *r->CONDITION : QStringLiteral("none");
        };
        QCOMPARE(QStringList({condition(kToday.addDays(-1)), condition(kToday), s.ui().entry->CONDITION_TEXT->text(),
                              QStringLiteral("|"), previews.join(QStringLiteral(" / ")), QStringLiteral("|"),
                              s.dialogs.shown.isEmpty() ? QString() : s.dialogs.last().text.section(u'\n', 0, 0)})
                     .join(u' '),
                 after);
    }
};

QTEST_MAIN(TestRecordsWindows)
#include "tst_records_windows.moc"

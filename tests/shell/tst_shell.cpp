// The main window: start-up, the ways out, the list tab, commands and keys, screen readers.
#include "TestWindows.h"
#include "common/Fonts.h"
#include "cycle/FRM_CYCLE.h"
#include "graph/FRM_DISP.h"
#include "history/FlexGrid.h"
#include "history/HistoryRows.h"
#include "maintenance/FRM_DELETE.h"
#include "maintenance/FRM_RESTORE.h"
#include "shell/Form2.h"

#include <QAccessible>
#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h> // mkfifo

using namespace nerina;

namespace {

const QString kSave = QStringLiteral("ﾃﾞｰﾀが変更されています。保存しますか？");
const QString kDiscard = QStringLiteral("編集を破棄して終了します。よろしいですか？");
const QString kOverwrite = QStringLiteral("上書きしますか？");

// Every control a screen reader offers below `iface`, with its name. Cells and headers are
// the list's data; hidden controls (the other tab's) are not offered, closed menus' items are.
void controls(QAccessibleInterface *iface, QStringList &seen)
{
    const QAccessible::Role role = iface->role();
    if (role == QAccessible::Cell || role == QAccessible::ColumnHeader || role == QAccessible::RowHeader
        || (iface->state().invisible && role != QAccessible::MenuItem && role != QAccessible::PopupMenu))
        return;
    if (QList {QAccessible::PushButton, QAccessible::CheckBox, QAccessible::EditableText, QAccessible::ComboBox,
               QAccessible::SpinBox, QAccessible::PageTab, QAccessible::MenuItem, QAccessible::Table,
               QAccessible::ButtonMenu, QAccessible::ButtonDropDown}
            .contains(role))
        seen << QString::number(role, 16) + QLatin1Char(':') + iface->text(QAccessible::Name).trimmed();
    for (int i = 0; i < iface->childCount(); ++i)
        controls(iface->child(i), seen);
}

// The list's rows as texts, from the rule's rows or from the grid.
QStringList texts(const std::vector<HistoryRow> &rows)
{
    QStringList out;
    for (const HistoryRow &row : rows)
        out << QStringList(row.begin(), row.end()).join(u'|');
    return out;
}

QStringList gridTexts(const FlexGrid &grid)
{
    QStringList out;
    for (int r = 1; r <= kHistoryDays; ++r) {
        QStringList row;
        for (int c = 0; c < kHistoryColumns; ++c)
            row << grid.textMatrix(r, c);
        out << row.join(u'|');
    }
    return out;
}

// Every text a user sees below `iface` (names, values, tips; closed menus too), but the cells
// of a list's first column: they name her own things (files, days).
void seen(QAccessibleInterface *iface, QStringList &out)
{
    const QAccessible::Role role = iface->role();
    if (iface->state().invisible && role != QAccessible::MenuItem && role != QAccessible::PopupMenu)
        return;
    if (!iface->tableCellInterface() || iface->tableCellInterface()->columnIndex() > 0)
        for (QAccessible::Text t : {QAccessible::Name, QAccessible::Description, QAccessible::Value})
            out << iface->text(t);
    for (int i = 0; i < iface->childCount(); ++i)
        seen(iface->child(i), out);
}

void seen(QWidget *w, QStringList &out) { seen(QAccessible::queryAccessibleInterface(w), out); }

// Opens a box that waits for the user, walks it once it shows (a file list once
// it has filled), and closes it.
void whileOpen(QStringList &out, const std::function<void()> &open)
{
    QTimer::singleShot(0, [&out] {
        QWidget *shown = QApplication::activeModalWidget();
        if (!shown)
            return;
        if (auto *files = shown->findChild<QFileSystemModel *>())
            if (!QTest::qWaitFor([files] { return files->rowCount(files->index(files->rootPath())) == 2; }))
                out << QStringLiteral("the file list never filled");
        seen(shown, out);
        shown->close();
    });
    open();
}

} // namespace

class TstShell final : public QObject
{
    Q_OBJECT

private slots:
    // What stands where the diary belongs: nothing or a folder ends the program before the
    // window shows; a file that is no diary is refused through the error box, unchanged.
    void diaryFile_data()
    {
        QTest::addColumn<QString>("there");
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("nothing") << "" << false;
        QTest::newRow("a folder") << "folder" << false;
        QTest::newRow("not a diary") << "junk" << true;
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
        QTest::newRow("store is a pipe") << "<pipe>" << QStringLiteral("30"); // never waited on
    }
    void cycleSetting()
    {
        QFETCH(QString, stored);
        test::ShownForm f;
        if (stored == "<folder>")
            QVERIFY(QDir().mkpath(f.diary.settingsFile()));
        else if (stored == "<pipe>")
            QCOMPARE(::mkfifo(QFile::encodeName(f.diary.settingsFile()).constData(), 0600), 0);
        else if (stored != "<absent>")
            f.diary.setCycleSetting(stored);
        QVERIFY(f.start(false));
        QTEST(f.form->state().G_CYCLE_DAYS, "used");
        QVERIFY(f.form->panelText(1).contains(f.form->state().G_CYCLE_DAYS));
        QCOMPARE(f.dialogs.shown.size(), 0);
        QVERIFY(f.form->state().G_READY);
    }

    // Every way out asks the same questions; the program ends only after a stored save or
    // a confirmed discard, and otherwise keeps the edits on the entry tab.
    void closeApp_data()
    {
        // What the diary holds and what is typed into the diary box: "-" nothing typed, "new"
        // no row for today, "row" a row, "failing" writes fail; then the way out (Ctrl+Z in
        // the diary box, the close box on the list tab) and the answers given.
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<QString>("stored"); // today's diary text afterwards; "-": no row
        QTest::newRow("no edits") << "- menu -" << QStringList() << true << "-";
        QTest::newRow("yes stores") << "new toolbar Y" << QStringList {kSave} << true << "abc";
        QTest::newRow("yes, overwrite declined") << "row menu YN" << QStringList {kSave, kOverwrite} << false << "前";
        QTest::newRow("yes, save fails") << "failing menu Y" << QStringList {kSave, "full"} << false << "-";
        QTest::newRow("no, yes discards") << "new Ctrl+Z NY" << QStringList {kSave, kDiscard} << true << "-";
        QTest::newRow("close box declined") << "new closebox NN" << QStringList {kSave, kDiscard} << false << "-";
    }
    void closeApp()
    {
        QFETCH(QString, how);
        QFETCH(bool, ends);
        const QString diary = how.section(QLatin1Char(' '), 0, 0), way = how.section(QLatin1Char(' '), 1, 1);
        test::ShownForm f;
        const QDate today = f.clock.now().date();
        if (diary == "row")
            f.diary.db().saveDay(test::day(today, 36.5, QString(), QStringLiteral("前")));
        if (diary == "failing")
            f.diary.exec("CREATE TRIGGER full BEFORE INSERT ON DATA_FIL BEGIN SELECT RAISE(ABORT, 'full'); END");
        QVERIFY(f.start());
        QPlainTextEdit *box = f.ui().entry->DIARY_TEXT;
        test::typeText(box, diary == "-" ? QString() : QStringLiteral("abc"));
        const QString shown = box->toPlainText();
        f.dialogs.answer(how.section(QLatin1Char(' '), 2));
        if (way == "menu")
            f.ui().mnuClose->trigger();
        if (way == "toolbar")
            f.ui().toolbarButtons[3]->trigger();
        if (way == "Ctrl+Z")
            QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        if (way == "closebox") {
            f.ui().SSTab1->setCurrentIndex(1);
            QCOMPARE(f.form->close(), ends);
        }

        QTEST(f.dialogs.texts(), "boxes");
        QCOMPARE(!f.form->state().G_DB, ends);
        QCOMPARE(f.form->isVisible(), !ends);
        const std::optional<DayRecord> row = f.diary.db().findDay(today);
        QTEST(row ? row->DIARY.value_or(QString()) : QStringLiteral("-"), "stored");
        if (!ends) {
            QCOMPARE(box->toPlainText(), shown);
            QVERIFY(f.form->state().G_DIRTY);
            QCOMPARE(f.ui().SSTab1->currentIndex(), 0);
        }
    }

    // The switch to the list tab fills the grid with the list's rows, marked; a cycle
    // length that does not convert ends only the marking, in the usual box.
    void listTab()
    {
        test::ShownForm f;
        const QDate today = f.clock.now().date();
        f.diary.db().saveDay(test::day(QDate(2026, 11, 16), 36.3, QStringLiteral("始まり"), {}, true));
        f.diary.db().saveDay(test::day(today, 36.6, QStringLiteral("今日"), {}, false, true));
        QVERIFY(f.start(false));
        std::vector<HistoryRow> rows = historyRows(today, f.diary.db().daysBetween(historyCutOff(today), today));
        const QStringList unmarked = texts(rows);
        markFertileDays(rows, QStringLiteral("30"));
        QVERIFY(texts(rows) != unmarked);
        for (bool converts : {true, false}) {
            f.form->state().G_CYCLE_DAYS = converts ? QStringLiteral("30") : QStringLiteral("abc");
            f.ui().SSTab1->setCurrentIndex(1);
            QCOMPARE(gridTexts(*f.ui().list->DATA_FLX), converts ? texts(rows) : unmarked);
            QCOMPARE(f.dialogs.shown.size(), converts ? 0 : 1);
            f.ui().SSTab1->setCurrentIndex(0);
        }
    }

    // Register and settings on the entry tab only, the graph on the list tab only, the
    // toolbar's buttons being those commands by position. The about window blocks the main
    // window until its OK; Esc closes the graph and cancels the purge, where Return presses
    // the focused button. A session that ends asks as any other way out, when it may; a
    // graph opened without blocking closes with the program.
    void commands()
    {
        test::ShownForm f;
        QVERIFY(f.start());
        const auto &bar = f.ui().toolbarButtons;
        for (int tab : {1, 0}) {
            f.ui().SSTab1->setCurrentIndex(tab);
            for (QAction *a : {f.ui().mnuRegister, f.ui().mnuSet, bar[0], bar[1]})
                QCOMPARE(a->isEnabled(), tab == 0);
            for (QAction *a : {f.ui().mnuGraph, bar[2]})
                QCOMPARE(a->isEnabled(), tab == 1);
        }
        test::typeText(f.ui().entry->DIARY_TEXT, QStringLiteral("x"));
        bar[0]->trigger();
        QVERIFY(f.diary.db().findDay(f.clock.now().date()));
        f.dialogs.inputs << QStringLiteral("28");
        bar[1]->trigger();
        QCOMPARE(f.form->state().G_CYCLE_DAYS, QStringLiteral("28"));

        f.ui().mnuVERSION->trigger();
        QPointer<Form2> about = f.form->aboutWindow();
        QCOMPARE(about->windowModality(), Qt::ApplicationModal);
        QTest::mouseClick(about->Command1(), Qt::LeftButton);
        QTRY_VERIFY(!about);
        f.ui().mnuFileDataMente->trigger();
        QPointer<FRM_DELETE> purge = f.form->purgeWindow();
        purge->cmdRun()->setFocus();
        QTest::keyClick(purge->cmdRun(), Qt::Key_Return);
        QCOMPARE(f.dialogs.unscriptedQuestions, 1); // the purge's question, answered No
        QTest::keyClick(purge, Qt::Key_Escape);
        QTRY_VERIFY(!purge);
        test::typeText(f.ui().entry->DIARY_TEXT, QStringLiteral("x"));
        f.ui().SSTab1->setCurrentIndex(1);
        f.ui().mnuGraph->trigger();
        QPointer<FRM_DISP> graph = f.form->graphWindow();
        QTest::keyClick(graph, Qt::Key_Escape);
        QTRY_VERIFY(!graph);

        bar[2]->trigger();
        graph = f.form->graphWindow();
        QVERIFY(graph && graph->isVisible());
        QCOMPARE(graph->windowModality(), Qt::NonModal);
        QVERIFY(f.form->sessionEnding(false)); // may not ask: nothing asked, nothing stops
        QCOMPARE(f.dialogs.unscriptedQuestions, 1);
        QVERIFY(!f.form->sessionEnding(true)); // asked, declined twice: the logout stops
        QCOMPARE(f.dialogs.unscriptedQuestions, 3);
        f.dialogs.answer(QStringLiteral("NY"));
        f.ui().mnuClose->trigger();
        QTRY_VERIFY(!graph);
    }

    // Nothing a user sees is in English: every window, the toolkit's boxes, the file dialog
    // and the calendar popups show Japanese, whatever the system's locale; each calendar's
    // header reads year then month.
    void nothingInEnglish()
    {
        QVERIFY(useJapanese());
        test::ShownForm f;
        QVERIFY(f.start());
        QStringList texts;
        const auto calendar = [&texts](QDateEdit *picker) {
            QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(picker->width() - 4, picker->height() / 2));
            QWidget *popup = QApplication::activePopupWidget();
            QVERIFY(popup);
            seen(popup, texts);
            QList<QToolButton *> header = popup->findChildren<QToolButton *>();
            std::sort(header.begin(), header.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
            popup->close();
            const QDate day = picker->date();
            QCOMPARE(header.at(1)->text() + header.at(2)->text(),
                     QStringLiteral("%1年%2月").arg(day.year()).arg(day.month()));
        };
        for (int tab : {1, 0}) {
            f.ui().SSTab1->setCurrentIndex(tab);
            seen(f.form.get(), texts);
        }
        calendar(f.ui().entry->DTPicker1);
        QtDialogs dialogs;
        whileOpen(texts, [&] { dialogs.question(nullptr, QStringLiteral("？"), QStringLiteral("確認")); });
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("写真")));
        QVERIFY(QFile(folder.filePath(QStringLiteral("日記.csv"))).open(QIODevice::WriteOnly));
        whileOpen(texts, [&] {
            dialogs.saveFileName(f.form.get(), QStringLiteral("保存"), folder.filePath(QStringLiteral("日記.csv")),
                                 QStringLiteral("CSV (*.csv)"));
        });
        f.form->mnuCycle_Click();
        f.form->mnuVERSION_Click();
        f.form->mnuRestore_Click();
        f.form->mnuFileDataMente_Click();
        f.ui().SSTab1->setCurrentIndex(1);
        f.form->mnuGraph_Click();
        for (QWidget *w : QList<QWidget *> {f.form->graphWindow(), f.form->cycleWindow(), f.form->aboutWindow(),
                                            f.form->restoreWindow(), f.form->purgeWindow()})
            seen(w, texts);
        calendar(f.form->purgeWindow()->DTPicker1());
        // Latin letters a user may see: the program's own names and marks, mnemonics, and the
        // names of files and folders (a word holding a dot or a slash).
        const QRegularExpression own(
            QStringLiteral("Nerina's (Diary|Checker)|PG-Error|Ver 2\\.00|SEX|CD|OK|PDF|CSV|\\(&?\\w\\)"));
        const QRegularExpression english(QStringLiteral("(^|\\s)[^\\s/.]*[A-Za-z][^\\s/.]*(\\s|$)"));
        QStringList found;
        for (QString text : texts)
            if (text.remove(own).contains(english))
                found << text;
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    // The real choice box: Return takes the option offered, an arrow key first the next
    // one; Esc takes none.
    void choiceBox()
    {
        QtDialogs dialogs;
        for (const auto &[keys, expected] : {std::pair {QList {Qt::Key_Return}, 1},
                                             {QList {Qt::Key_Down, Qt::Key_Return}, 2},
                                             {QList {Qt::Key_Escape}, -1}}) {
            QTimer::singleShot(0, [keys] {
                QVERIFY(QTest::qWaitForWindowActive(QApplication::activeModalWidget()));
                for (Qt::Key key : keys)
                    QTest::keyClick(QApplication::focusWidget(), key);
            });
            QCOMPARE(dialogs.choice(nullptr, "t", "?", {"a", "b", "c"}, 1), expected);
        }
    }

    void everyControlIsNamed()
    {
        QAccessible::setActive(true);
        test::ShownForm f;
        QVERIFY(f.start());
        QStringList seen;
        for (int tab : {0, 1}) {
            f.ui().SSTab1->setCurrentIndex(tab);
            controls(QAccessible::queryAccessibleInterface(f.form.get()), seen);
        }
        f.form->mnuGraph_Click();
        QVERIFY(QTest::qWaitForWindowActive(f.form->graphWindow()));
        f.form->mnuFileDataMente_Click();
        f.form->mnuVERSION_Click();
        for (QWidget *w : QList<QWidget *> {f.form->graphWindow(), f.form->purgeWindow(), f.form->aboutWindow()})
            controls(QAccessible::queryAccessibleInterface(w), seen);
        QVERIFY(seen.size() > 20);
        QVERIFY2(seen.filter(QRegularExpression(QStringLiteral(":$"))).isEmpty(),
                 qPrintable(seen.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TstShell)
#include "tst_shell.moc"

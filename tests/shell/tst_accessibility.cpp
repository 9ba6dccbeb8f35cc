// A screen reader's view of the windows: every control the user can act on carries a
// name, the status bar panels say what they hold, and the list and the graph's title
// line can be read.
#include "TestSupport.h"
#include "graph/FRM_DISP.h"
#include "history/FlexGrid.h"
#include "maintenance/FRM_DELETE.h"
#include "records/DiaryDb.h"
#include "shell/Form1.h"
#include "shell/Form2.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace nerina;

namespace {

const QDate kToday(2026, 12, 6);

bool interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Table:
    case QAccessible::Slider: return true;
    default: return false;
    }
}

QString describe(QAccessibleInterface *iface)
{
    const QObject *o = iface->object();
    return QStringLiteral("%1 (role 0x%2, object %3 \"%4\")")
        .arg(iface->text(QAccessible::Name))
        .arg(int(iface->role()), 0, 16)
        .arg(o ? QString::fromLatin1(o->metaObject()->className()) : QStringLiteral("-"))
        .arg(o ? o->objectName() : QString());
}

// Walks the tree below `iface` and collects every unnamed interactive node. Table cells
// and headers are the grid's data, not controls.
void walk(QAccessibleInterface *iface, QStringList &unnamed, QStringList &seen, int depth = 0)
{
    if (!iface || !iface->isValid() || depth > 40)
        return;
    const QAccessible::Role role = iface->role();
    if (role == QAccessible::Cell || role == QAccessible::ColumnHeader || role == QAccessible::RowHeader)
        return;
    // Hidden controls (the other tab's, the toolbar's overflow button) are not offered;
    // the closed menus' items are, as a screen reader lists them when the menu opens.
    if (iface->state().invisible && role != QAccessible::MenuItem && role != QAccessible::PopupMenu)
        return;
    if (interactive(role)) {
        seen << describe(iface);
        const QString name = iface->text(QAccessible::Name).trimmed();
        if (name.isEmpty())
            unnamed << describe(iface);
    }
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), unnamed, seen, depth + 1);
}

QStringList unnamedControls(QWidget *window, QStringList *seen = nullptr)
{
    QStringList unnamed;
    QStringList all;
    walk(QAccessible::queryAccessibleInterface(window), unnamed, all);
    if (seen)
        *seen = all;
    return unnamed;
}

QString accessibleName(QObject *o)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(o);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QString accessibleDescription(QObject *o)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(o);
    return iface ? iface->text(QAccessible::Description) : QString();
}

} // namespace

class TestAccessibility final : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QAccessible::setActive(true); }

    void mainWindowControlsAreNamed()
    {
        TestEnv env(QDateTime(kToday, QTime(9, 30)));
        auto form = env.makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        for (int tab : {0, 1}) {
            form->ui().SSTab1->setCurrentIndex(tab);
            QStringList seen;
            const QStringList unnamed = unnamedControls(form.get(), &seen);
            QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("\n"))));
            QVERIFY2(seen.size() >= 8, qPrintable(seen.join(QStringLiteral("\n"))));
        }
    }

    // The entry controls read as the label the user sees beside them, or their caption.
    void entryControlsReadAsTheirLabels_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("temperature") << "TEMP_TEXT" << QStringLiteral("体温");
        QTest::newRow("condition") << "CONDITION_TEXT" << QStringLiteral("体調");
        QTest::newRow("diary") << "DIARY_TEXT" << QStringLiteral("ひとこと日記");
        QTest::newRow("period") << "GUEST_CHK" << QStringLiteral("月経");
        QTest::newRow("sex") << "LOVE_CHK" << QStringLiteral("SEX");
        QTest::newRow("register") << "REG_BTN" << QStringLiteral("登録(R)");
        QTest::newRow("settings") << "SET_BTN" << QStringLiteral("設定(S)");
        QTest::newRow("graph") << "CMD_GRAPH" << QStringLiteral("ｸﾞﾗﾌ(G)");
        QTest::newRow("close") << "Command1" << QStringLiteral("閉じる");
    }
    void entryControlsReadAsTheirLabels()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        TestEnv env(QDateTime(kToday, QTime(9, 30)));
        auto form = env.makeForm();
        QWidget *w = form->findChild<QWidget *>(control);
        QVERIFY(w);
        QCOMPARE(accessibleName(w), name);
    }

    void statusPanelsCarryTheirHints()
    {
        TestEnv env(QDateTime(kToday, QTime(9, 30)));
        auto form = env.makeForm();
        const QString hints[] = {
            QStringLiteral("設定されている月経周期"),
            QStringLiteral("次回月経予定日"),
            QStringLiteral("妊娠の可能性"),
        };
        for (int i = 0; i < 3; ++i) {
            QLabel *panel = form->ui().panels[std::size_t(i)];
            QCOMPARE(accessibleDescription(panel), hints[i]);
            // What the panel holds is what is read out, and follows its changes.
            QVERIFY(!form->panelText(i + 1).isEmpty());
            QCOMPARE(accessibleName(panel), form->panelText(i + 1));
        }
        form->setPanelText(2, QStringLiteral("次回月経予定日は2026年12月20日 日曜日です"));
        QCOMPARE(accessibleName(form->ui().panels[1]), QStringLiteral("次回月経予定日は2026年12月20日 日曜日です"));
    }

    // The list is a named table whose cells read as the grid's texts.
    void gridIsReadable()
    {
        TestEnv env(QDateTime(kToday, QTime(9, 30)));
        env.db().saveDay(makeDay(kToday, 36.55, QStringLiteral("元気")));
        auto form = env.makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->ui().SSTab1->setCurrentIndex(1);
        FlexGrid *grid = form->ui().DATA_FLX;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(grid);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Table);
        QVERIFY(!iface->text(QAccessible::Name).isEmpty());
        QAccessibleTableInterface *table = iface->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->columnCount(), 8);
        bool found = false;
        for (int r = 0; r < table->rowCount() && !found; ++r) {
            QAccessibleInterface *cell = table->cellAt(r, 5);
            found = cell && cell->text(QAccessible::Name) == QStringLiteral("元気");
        }
        QVERIFY(found);
    }

    void secondaryWindowsAreNamed()
    {
        TestEnv env(QDateTime(kToday, QTime(9, 30)));
        env.db().saveDay(makeDay(kToday, 36.55));
        auto form = env.makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));

        form->ui().SSTab1->setCurrentIndex(1);
        form->mnuGraph_Click();
        QVERIFY(form->graphWindow());
        // The window reads the list when it becomes active.
        form->graphWindow()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form->graphWindow()));
        QStringList unnamed = unnamedControls(form->graphWindow());
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("\n"))));
        // The title line reads as one: the chart says which days it shows.
        QWidget *chart = form->graphWindow()->findChild<QWidget *>(QStringLiteral("G_CHART"));
        QVERIFY(chart);
        QTRY_VERIFY(!accessibleName(chart).isEmpty());
        const QString title = accessibleName(chart);
        QVERIFY2(title.contains(QStringLiteral("の基礎体温グラフ")), qPrintable(title));
        QVERIFY2(title.contains(QStringLiteral("～2026/12/6")), qPrintable(title));
        form->graphWindow()->close();
        form->ui().SSTab1->setCurrentIndex(0);

        form->mnuFileDataMente_Click();
        QVERIFY(form->purgeWindow());
        unnamed = unnamedControls(form->purgeWindow());
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("\n"))));
        form->purgeWindow()->close();

        form->mnuVERSION_Click();
        QVERIFY(form->aboutWindow());
        unnamed = unnamedControls(form->aboutWindow());
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("\n"))));
        form->aboutWindow()->close();
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"

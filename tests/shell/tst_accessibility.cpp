#include "TestWindows.h"
#include "graph/FRM_DISP.h"
#include "maintenance/FRM_DELETE.h"
#include "shell/Form2.h"

#include <QAccessible>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

using namespace nerina;

namespace {

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

} // namespace

class TstAccessibility final : public QObject
{
    Q_OBJECT

private slots:
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

QTEST_MAIN(TstAccessibility)
#include "tst_accessibility.moc"

// Development tool, not a test: starts the main window on a program folder and saves
// pictures of it, so the layout can be looked at. usage:
//   nerina_snapshot FOLDER OUT_PREFIX [yyyy-MM-dd]
// writes OUT_PREFIX-entry.png, -list.png, -graph.png, -restore.png, -cycle.png and the
// graph's PDF as OUT_PREFIX.pdf (the cycles within the graph's days).
#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/Fonts.h"
#include "cycle/FRM_CYCLE.h"
#include "graph/FRM_DISP.h"
#include "graph/SystemPrinter.h"
#include "maintenance/FRM_RESTORE.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>

namespace {

// No box is shown: questions are answered No, the PDF's file dialog with the file asked
// for, and the choice of cycles is taken as it stands.
class SnapshotDialogs final : public nerina::Dialogs
{
public:
    explicit SnapshotDialogs(QString pdf) : m_pdf(std::move(pdf)) { }
    QString input(QWidget *, const QString &, const QString &, const QString &) override { return QString(); }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return m_pdf; }
    PreviewAnswer importPreview(QWidget *, const QString &, const ImportPreview &) override
    {
        return PreviewAnswer::Cancel;
    }
    std::unique_ptr<Progress> progress(QWidget *, const QString &, const QString &, qint64) override { return {}; }

protected:
    Answer show(QWidget *, const Message &message) override
    {
        return message.buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }

private:
    QString m_pdf;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    nerina::useJapanese();
    SnapshotDialogs dialogs(args.at(2) + QStringLiteral(".pdf"));
    nerina::SystemPrinter printer;
    const nerina::FixedClock clock(args.size() > 3 ? QDateTime(QDate::fromString(args.at(3), Qt::ISODate), QTime(8, 0))
                                                   : QDateTime::currentDateTime());
    nerina::Form1 form(nerina::AppContext {dialogs, clock, args.at(1), printer});
    if (!form.Form_Load())
        return 1;
    form.show();
    QTest::qWait(300);
    form.grab().save(args.at(2) + QStringLiteral("-entry.png"));
    form.ui().SSTab1->setCurrentIndex(1);
    QTest::qWait(300);
    form.grab().save(args.at(2) + QStringLiteral("-list.png"));
    form.mnuGraph_Click();
    QTest::qWait(500);
    if (form.graphWindow()) {
        form.graphWindow()->grab().save(args.at(2) + QStringLiteral("-graph.png"));
        form.graphWindow()->CMD_PDF_Click();
        form.graphWindow()->close();
    }
    form.ui().SSTab1->setCurrentIndex(0);
    form.mnuRestore_Click();
    QTest::qWait(300);
    if (form.restoreWindow()) {
        form.restoreWindow()->grab().save(args.at(2) + QStringLiteral("-restore.png"));
        form.restoreWindow()->close();
    }
    form.mnuCycle_Click();
    QTest::qWait(300);
    if (form.cycleWindow())
        form.cycleWindow()->grab().save(args.at(2) + QStringLiteral("-cycle.png"));
    return 0;
}

#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/Fonts.h"
#include "graph/SystemPrinter.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    nerina::useJapanese();
    // Every window carries the flower, and the desktop ties them to the installed entry.
    QApplication::setWindowIcon(QIcon(nerina::flowerPicture(64)));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.nerina.Diary"));

    nerina::QtDialogs dialogs;
    nerina::SystemClock clock;
    nerina::SystemPrinter printer;
    // The diary lies beside the program, or in the folder given: the packaged program's
    // launcher gives each user's own data folder.
    const QStringList arguments = QApplication::arguments();
    const QString folder = arguments.size() > 1 ? arguments.at(1) : QApplication::applicationDirPath();
    nerina::Form1 window(nerina::AppContext {dialogs, clock, folder, printer, QApplication::applicationFilePath()});
    if (!window.Form_Load())
        return 1;
    QObject::connect(&window, &nerina::Form1::ended, &app, &QApplication::quit, Qt::QueuedConnection);
    window.show();
    return app.exec();
}

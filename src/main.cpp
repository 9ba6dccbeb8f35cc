#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/Fonts.h"
#include "graph/SystemPrinter.h"
#include "shell/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    nerina::installFontSubstitutions();

    nerina::QtDialogs dialogs;
    nerina::SystemClock clock;
    nerina::SystemPrinter printer;
    nerina::Form1 window(nerina::AppContext {dialogs, clock, QApplication::applicationDirPath(), printer});
    if (!window.Form_Load())
        return 1;
    QObject::connect(&window, &nerina::Form1::ended, &app, &QApplication::quit, Qt::QueuedConnection);
    window.show();
    return app.exec();
}

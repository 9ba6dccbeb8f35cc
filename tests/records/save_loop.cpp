// Test helper, not part of the program: saves entries through DiaryDb one after another
// and reports each save on stdout only after saveDay has returned. The durability test
// kills it at random moments and then checks that every reported save is in the file.
//
// usage: save_loop DIARY FIRST   saves entry FIRST, FIRST+1, ... until killed
#include "SaveLoopEntry.h"
#include "common/AppError.h"
#include "records/DiaryDb.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    bool ok = false;
    long long n = args.at(2).toLongLong(&ok);
    if (!ok)
        return 2;
    try {
        nerina::DiaryDb db(args.at(1));
        for (;; ++n) {
            db.saveDay(nerina::saveLoopEntry(n));
            std::printf("%lld\n", n);
            std::fflush(stdout);
        }
    } catch (const nerina::AppError &e) {
        std::fprintf(stderr, "save_loop: %s\n", e.message().toUtf8().constData());
        return 1;
    }
}

// Build step: lays an empty diary file beside the program unless one is already there.
#include "DiaryFile.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: nerina_mkdb SCHEMA.sql OUTPUT.mdb\n";
        return 2;
    }
    QString error;
    switch (nerina::createDiaryFile(args.at(1), args.at(2), &error)) {
    case nerina::CreateResult::Created:
    case nerina::CreateResult::AlreadyThere: return 0;
    case nerina::CreateResult::Failed: break;
    }
    err << "nerina_mkdb: " << error << '\n';
    return 1;
}

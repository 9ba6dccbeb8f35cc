#pragma once

#include <QString>

namespace nerina {

class Clock;
class Dialogs;
class PrintTarget;

// What the program takes from its surroundings; tests hand in their own.
struct AppContext
{
    Dialogs &dialogs;
    const Clock &clock;
    QString programFolder; // where nerina.mdb lies
    PrintTarget &printer;
    QString programFile = {}; // the program's own executable, which no file it writes may replace
};

} // namespace nerina

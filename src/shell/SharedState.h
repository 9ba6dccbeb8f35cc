#pragma once

#include <QDate>
#include <QString>

namespace nerina {

class DiaryDb;

// The program-wide state every part of the main window shares. It starts empty; the
// start-up sequence fills it.
struct SharedState
{
    DiaryDb *G_DB = nullptr;  // the open diary; owned by the main window, null when it could not be opened
    QDate G_SEL_DATE;         // the day the editor shows
    bool G_READY = false;     // start-up has reached the point where date changes take effect
    bool G_DIRTY = false;     // the day entry has unsaved edits
    QString G_CYCLE_DAYS;     // the cycle length in days, as text; numeric text after start-up
};

} // namespace nerina

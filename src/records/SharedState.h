#pragma once

#include "DiaryDb.h"
#include "common/AppError.h"

#include <QDate>
#include <QString>

#include <memory>

namespace nerina {

// The program-wide state every window shares. It starts empty; the start-up sequence
// fills it.
struct SharedState
{
    std::unique_ptr<DiaryDb> G_DB; // the open diary; none when start-up could not open it
    QDate G_SEL_DATE;              // the day the editor shows
    bool G_READY = false;          // start-up has reached the point where date changes take effect
    bool G_DIRTY = false;          // the day entry has unsaved edits
    QString G_CYCLE_DAYS;          // the cycle length in days, as text; numeric text after start-up

    // The open diary. Throws AppError when start-up could not open one, so that the
    // caller's error trap tells the user.
    DiaryDb &db() const
    {
        if (!G_DB)
            throw AppError(QStringLiteral("データベースが開かれていません。"));
        return *G_DB;
    }
};

} // namespace nerina

#pragma once

#include <QString>

namespace nerina {

// The one per-user setting: the cycle length in days, as text. Stored in the platform's
// native settings store under application "NERINAS", section "G_CYCLE", key "DATA".
// Reading an absent value gives the empty text. Failures throw AppError.
QString readCycleSetting();
void writeCycleSetting(const QString &value);

} // namespace nerina

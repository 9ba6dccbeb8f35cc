#pragma once

#include <QString>

namespace nerina {

// The one per-user setting: the cycle length in days, as text. Stored in the platform's
// native settings store under application "NERINAS", section "G_CYCLE", key "DATA".
// Reading an absent value gives the empty text. Failures throw AppError.
QString readCycleSetting();
void writeCycleSetting(const QString &value);

// The cycles the PDF of the graph charts, as she last chose them: 0 for those within the
// graph's days, else how many of the last ones. Section "G_REPORT", key "CYCLES"; 0 when
// nothing is stored. Failures throw AppError.
int readReportCycles();
void writeReportCycles(int cycles);

} // namespace nerina

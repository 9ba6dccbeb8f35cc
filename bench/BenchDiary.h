#pragma once

#include <QDate>
#include <QString>

#include <functional>

// What both timing programs share: the 100-year diary and the median of timed runs.
namespace nerina::bench {

constexpr int kDays = 36525; // 100 years
inline const QDate kNewest {2026, 12, 6};

// Writes kDays daily entries ending on kNewest into an empty diary file, in one
// transaction with bound values: a period of six days in every thirty (a fifth of all
// days), temperatures that rise in the second half of each cycle, now and then a note;
// with `signs`, signs on every third day (mucus, the bleeding of period days, now and
// then a reading left out, a positive ovulation test, spotting, a medicine).
bool fillDiary(const QString &path, bool signs = true);

// Median of `runs` timings of `timed` in milliseconds, each run prepared by `before`
// (not timed).
double medianMs(int runs, const std::function<void(int)> &before, const std::function<void()> &timed);

// A line of /proc/self/status ("VmHWM", "VmRSS") as it stands there, "?" when unread.
QString statusValue(const char *key);

} // namespace nerina::bench

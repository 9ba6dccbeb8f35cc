#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace nerina {

// The strength of a period's bleeding; the values are the stored codes.
enum class Bleeding { Light = 1, Normal = 2, Heavy = 3 };

// Cervical mucus, from the least to the most fertile kind; the values are the stored codes,
// so a higher kind compares greater.
enum class Mucus {
    Dry = 0,      // dry, rough or itchy; nothing seen
    Nothing = 1,  // nothing felt, nothing seen
    Moist = 2,    // moist; nothing seen
    Creamy = 3,   // thick, creamy, whitish, cloudy or sticky
    Slippery = 4, // wet and slippery; clear and stretchy like raw egg white
};

// An ovulation (LH) or pregnancy test; the values are the stored codes.
enum class TestResult { Negative = 0, Positive = 1 };

// What she noted of a day besides the five fields of its diary row. Every field may be
// left empty: none means "not recorded", never "negative" or "dry".
struct DaySigns
{
    bool excluded = false; // the reading is disturbed: the temperature rules skip it
    QString excludeReason = {};
    std::optional<Bleeding> bleeding = {};
    bool spotting = false; // bleeding outside a period
    std::optional<Mucus> mucus = {};
    std::optional<TestResult> lhTest = {};
    std::optional<TestResult> pregnancyTest = {};
    QString medication = {};

    // Nothing noted: such a day keeps no signs at all.
    bool isEmpty() const { return *this == DaySigns {}; }

    bool operator==(const DaySigns &) const = default;
};

// The reasons offered for leaving a reading out; she may type her own instead.
QStringList excludeReasons();

// The words the program shows for each value.
QString signText(Bleeding bleeding);
QString signText(Mucus mucus); // what she feels and sees, never the letter codes
QString signText(TestResult result);

} // namespace nerina

#include "SymptoThermal.h"

#include <algorithm>

namespace nerina {

namespace {

constexpr int kLowerDays = 3; // recorded days of lower mucus that make the day before them the peak

} // namespace

std::optional<DoubleCheck> doubleCheck(const QList<std::optional<Mucus>> &mucus, std::optional<int> confirmed)
{
    if (!confirmed)
        return std::nullopt;
    QList<int> recorded; // the days with a mucus entry: only those are counted
    for (int d = 0; d < mucus.size(); ++d) {
        if (mucus[d])
            recorded.append(d);
    }
    std::optional<Mucus> best;
    for (int i = 0; i + kLowerDays < recorded.size() && recorded[i] <= *confirmed; ++i) {
        const Mucus kind = *mucus[recorded[i]];
        best = std::max(best.value_or(kind), kind);
        if (kind != *best || kind < Mucus::Moist)
            continue;
        // The three days after it must be lower, and no day as good or better may follow
        // up to the confirming day: such a day, if any, is the one to look at.
        bool later = false;
        for (int j = i + 1; j < recorded.size() && (j <= i + kLowerDays || recorded[j] <= *confirmed); ++j)
            later = later || *mucus[recorded[j]] >= kind;
        if (!later)
            return DoubleCheck {recorded[i], std::max(*confirmed, recorded[i + kLowerDays])};
    }
    return std::nullopt;
}

} // namespace nerina

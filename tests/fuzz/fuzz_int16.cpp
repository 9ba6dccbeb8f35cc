// The 16-bit conversion: never crashes, always within range, an exact half goes to the
// even neighbour, and anything outside the range is the overflow error.
#include "FuzzText.h"
#include "common/AppError.h"
#include "common/Conversions.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

using namespace nerina;

namespace {

// Half to even, worked out without the rounding mode the conversion relies on.
std::optional<qint16> expected(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0))
        rounded = below + 1;
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(rounded);
}

void check(double value, const QString &shownAs)
{
    const std::optional<qint16> want = expected(value);
    try {
        const qint16 got = toInt16(value);
        if (!want)
            fuzz::broken("toInt16 returned a value it should have refused", shownAs);
        if (got != *want)
            fuzz::broken("toInt16 rounded differently from half to even", shownAs);
    } catch (const AppError &error) {
        if (want)
            fuzz::broken("toInt16 refused a value within range", shownAs);
        if (error.message() != QStringLiteral("オーバーフローしました。"))
            fuzz::broken("toInt16 refused with another error than overflow", shownAs);
    }
}

// What a conversion gives: the value, or the text of its error.
template<typename Convert> QString outcome(Convert &&convert)
{
    try {
        return QString::number(convert());
    } catch (const AppError &error) {
        return error.message();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == sizeof(double) + 1 && data[0] == 'd') {
        // Raw doubles reach NaN, infinities, denormals and every exact half.
        double value = 0;
        std::memcpy(&value, data + 1, sizeof value);
        check(value, QString::number(value, 'g', 17));
        return 0;
    }
    // As text: a numeric text converts like its value, refusals included; anything else
    // is refused as numericValue refuses it.
    const QString text = fuzz::textFrom(data, size);
    QString expectedOutcome;
    try {
        const double value = numericValue(text);
        check(value, text);
        expectedOutcome = outcome([&] { return toInt16(value); });
    } catch (const AppError &error) {
        expectedOutcome = error.message();
    }
    if (outcome([&] { return toInt16(text); }) != expectedOutcome)
        fuzz::broken("toInt16 of a text differs from toInt16 of its value", text);
    return 0;
}

// The 16-bit conversion: never crashes, an exact half goes to the even neighbour, anything
// outside the range is the overflow error, and a text converts as its value does.
#include "FuzzText.h"
#include "common/AppError.h"
#include "common/Conversions.h"

#include <cmath>
#include <cstring>

using namespace nerina;

namespace {

// What a conversion gives: the value, or the text of its error.
template<typename Convert> QString outcome(Convert &&convert)
{
    try {
        return QString::number(convert());
    } catch (const AppError &error) {
        return error.message();
    }
}

// Half to even, worked out without the rounding mode the conversion relies on.
QString expected(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    const double rounded = fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0) ? below + 1 : below;
    if (!std::isfinite(value) || rounded < -32768 || rounded > 32767)
        return QStringLiteral("オーバーフローしました。");
    return QString::number(qint16(rounded));
}

void check(double value, const QString &shownAs)
{
    if (outcome([&] { return toInt16(value); }) != expected(value))
        fuzz::broken("toInt16 is not half to even within 16 bits, the overflow error beyond", shownAs);
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
    QString want;
    try {
        const double value = numericValue(text);
        check(value, text);
        want = expected(value);
    } catch (const AppError &error) {
        want = error.message();
    }
    if (outcome([&] { return toInt16(text); }) != want)
        fuzz::broken("toInt16 of a text differs from toInt16 of its value", text);
    return 0;
}

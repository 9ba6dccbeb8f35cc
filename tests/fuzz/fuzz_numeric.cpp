// The numeric test and the numeric value must agree on every text, and narrowing to half
// width must be settled after one pass.
#include "FuzzText.h"
#include "common/AppError.h"
#include "common/Conversions.h"

#include <cmath>

using namespace nerina;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzz::textFrom(data, size);
    const QString typeMismatch = QStringLiteral("型が一致しません。");

    const QString half = toHalfWidth(text);
    if (toHalfWidth(half) != half)
        fuzz::broken("toHalfWidth is not idempotent", text);
    if (half.size() != text.size())
        fuzz::broken("toHalfWidth changed the length", text);
    if (isNumeric(half) != isNumeric(text))
        fuzz::broken("isNumeric differs on the half-width form", text);

    const bool numeric = isNumeric(text);
    try {
        const double value = numericValue(text);
        if (!numeric)
            fuzz::broken("numericValue accepted a text isNumeric refuses", text);
        if (!std::isfinite(value))
            fuzz::broken("numericValue returned a value that is not finite", text);
    } catch (const AppError &error) {
        if (numeric && error.message() == typeMismatch)
            fuzz::broken("numericValue gave a type error on a numeric text", text);
        if (!numeric && error.message() != typeMismatch)
            fuzz::broken("numericValue refused a non-numeric text with another error", text);
    }
    return 0;
}

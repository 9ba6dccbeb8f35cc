#include "Conversions.h"

#include "AppError.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace nerina {

QString toHalfWidth(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(char16_t(u - 0xFF01 + 0x21));
        else if (u == 0x3000)
            c = QLatin1Char(' ');
    }
    return out;
}

namespace {

QString normalisedNumber(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    const QString t = toHalfWidth(text).trimmed();
    return pattern.match(t).hasMatch() ? t : QString();
}

} // namespace

bool isNumeric(const QString &text) { return !normalisedNumber(text).isEmpty(); }

double numericValue(const QString &text)
{
    const QString t = normalisedNumber(text);
    if (t.isEmpty())
        throw AppError(QStringLiteral("型が一致しません。"));
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    // A well-formed number too small for a double (0.000...1 with hundreds of zeros) is
    // reported as a failure with the value 0: it is zero, not an overflow.
    if (!ok && value == 0)
        return 0.0;
    if (!ok || !std::isfinite(value))
        throw AppError(QStringLiteral("オーバーフローしました。"));
    return value;
}

std::optional<double> numberIn(const QString &text)
{
    if (!isNumeric(text))
        return std::nullopt;
    try {
        return numericValue(text);
    } catch (const AppError &) {
        return std::nullopt; // beyond a double
    }
}

qint16 toInt16(double value)
{
    if (!std::isfinite(value))
        throw AppError(QStringLiteral("オーバーフローしました。"));
    const double rounded = std::nearbyint(value); // the default mode ties to even
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        throw AppError(QStringLiteral("オーバーフローしました。"));
    return static_cast<qint16>(rounded);
}

qint16 toInt16(const QString &text) { return toInt16(numericValue(text)); }

QDate dateSerial(int year, int month, int day)
{
    // Work in whole months from year 0 so that negative months roll back correctly.
    const qint64 months = qint64(year) * 12 + (month - 1);
    const int y = int(months >= 0 ? months / 12 : -((-months + 11) / 12));
    const int m = int(months - qint64(y) * 12) + 1;
    return QDate(y, m, 1).addDays(day - 1);
}

int weekdaySundayFirst(const QDate &date)
{
    return date.dayOfWeek() % 7 + 1; // Qt: Monday 1 ... Sunday 7
}

QString weekdayCharacter(const QDate &date)
{
    static const QString names[] = {
        QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
        QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土"),
    };
    return names[weekdaySundayFirst(date) - 1];
}

QLocale japaneseLocale() { return QLocale(QLocale::Japanese, QLocale::Japan); }

QString japaneseLongDateFormat() { return QStringLiteral("yyyy年MM月dd日 dddd"); }

QString japaneseLongDate(const QDate &date) { return japaneseLocale().toString(date, japaneseLongDateFormat()); }

qint64 daysBetween(const QDate &from, const QDate &to) { return from.daysTo(to); }

} // namespace nerina

#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

#include <optional>

// Text, number and date rules shared by the whole program.
namespace nerina {

// Full-width ASCII forms (Ａ, ３, ．, －, the ideographic space ...) become their
// half-width counterparts; everything else is kept.
QString toHalfWidth(const QString &text);

// The numeric test: a plain decimal number with an optional sign, surrounded by blanks
// or not; full-width digits, sign and point count as their half-width forms. Letters,
// exponents, group separators, the empty text, a lone point and two points fail.
bool isNumeric(const QString &text);

// The value of a text that passes isNumeric. Throws AppError when it does not, or when
// the value is too large for a double.
double numericValue(const QString &text);

// The value of a text that passes isNumeric and fits a double; none for any other text.
std::optional<double> numberIn(const QString &text);

// A number as a signed 16-bit integer: a fraction rounds to the nearest integer and an
// exact half to the even neighbour. Throws AppError on overflow or on a text that is not
// a number.
qint16 toInt16(double value);
qint16 toInt16(const QString &text);

// The date of year, month and day where month and day may be zero, negative or beyond
// their range and roll over into the neighbouring months and years.
QDate dateSerial(int year, int month, int day);

// Weekday 1 = Sunday ... 7 = Saturday, and its one-character Japanese name.
int weekdaySundayFirst(const QDate &date);
QString weekdayCharacter(const QDate &date);

// Dates are shown the Japanese way whatever the system's locale is.
QLocale japaneseLocale();

// The long form of a day, "2024年03月05日 火曜日", as the date picker and the forecast show it.
QString japaneseLongDateFormat();
QString japaneseLongDate(const QDate &date);

// Whole days from `from` to `to`: negative when `to` lies before `from`.
qint64 daysBetween(const QDate &from, const QDate &to);

} // namespace nerina

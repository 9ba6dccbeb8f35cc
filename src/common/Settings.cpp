#include "Settings.h"

#include "AppError.h"

#include <QSettings>

namespace nerina {

namespace {

const QString kKey = QStringLiteral("G_CYCLE/DATA");

} // namespace

QString readCycleSetting()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NERINAS"));
    if (settings.status() == QSettings::AccessError)
        throw AppError(QStringLiteral("設定を読み込めませんでした。"));
    return settings.value(kKey).toString();
}

void writeCycleSetting(const QString &value)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NERINAS"));
    settings.setValue(kKey, value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw AppError(QStringLiteral("設定を保存できませんでした。"));
}

int readReportCycles()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NERINAS"));
    if (settings.status() == QSettings::AccessError)
        throw AppError(QStringLiteral("設定を読み込めませんでした。"));
    return settings.value(QStringLiteral("G_REPORT/CYCLES")).toInt();
}

void writeReportCycles(int cycles)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NERINAS"));
    settings.setValue(QStringLiteral("G_REPORT/CYCLES"), cycles);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw AppError(QStringLiteral("設定を保存できませんでした。"));
}

} // namespace nerina

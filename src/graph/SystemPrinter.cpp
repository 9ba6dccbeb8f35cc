#include "SystemPrinter.h"

#include <QImage>

namespace nerina {

bool SystemPrinter::print(const QImage &, QString *error)
{
    if (error)
        *error = QStringLiteral("印刷できませんでした。");
    return false;
}

} // namespace nerina

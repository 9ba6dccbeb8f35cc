#pragma once

#include "PrintTarget.h"

namespace nerina {

// The system's default printer.
class SystemPrinter final : public PrintTarget
{
public:
    bool print(const QImage &image, QString *error) override;
};

} // namespace nerina

#pragma once

#include <QString>

class QImage;

namespace nerina {

// Where the graph window's image goes when it is printed. Tests hand in their own.
class PrintTarget
{
public:
    virtual ~PrintTarget() = default;
    // Prints the image; returns false and says why in *error when it cannot.
    virtual bool print(const QImage &image, QString *error) = 0;
};

} // namespace nerina

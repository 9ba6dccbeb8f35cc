#pragma once

#include <QFont>

namespace nerina {

// The family the windows are designed with; Debian's IPA P Gothic stands in for it.
QString designFontFamily();
void installFontSubstitutions();
QFont designFont(int pointSize = 9);

} // namespace nerina

#include "Fonts.h"

#include <QStringList>

namespace nerina {

QString designFontFamily() { return QStringLiteral("ＭＳ Ｐゴシック"); }

void installFontSubstitutions()
{
    const QStringList families
        = {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")};
    QFont::insertSubstitutions(designFontFamily(), families);
}

QFont designFont(int pointSize)
{
    installFontSubstitutions();
    QFont font(designFontFamily());
    font.setPointSize(pointSize);
    return font;
}

} // namespace nerina

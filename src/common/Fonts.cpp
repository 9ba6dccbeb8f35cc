#include "Fonts.h"

#include "Conversions.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPainter>
#include <QStringList>
#include <QTranslator>

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

QPixmap flowerPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 72.0, size / 72.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF4, 0xA6, 0xC0));
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(36, 36);
        p.rotate(i * 72.0);
        p.drawEllipse(QRectF(-10, -30, 20, 26));
        p.restore();
    }
    p.setBrush(QColor(0xF9, 0xD8, 0x5A));
    p.drawEllipse(QRectF(28, 28, 16, 16));
    return pixmap;
}

bool useJapanese()
{
    installFontSubstitutions();
    QLocale::setDefault(japaneseLocale());
    // qt_ja loads the catalogues of every Qt module that has one (qtbase_ja, ...).
    auto *translator = new QTranslator(QCoreApplication::instance());
    const bool loaded = translator->load(QLocale(QLocale::Japanese), QStringLiteral("qt"), QStringLiteral("_"),
                                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded)
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    return loaded;
}

} // namespace nerina

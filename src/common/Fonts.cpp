#include "Fonts.h"

#include "Conversions.h"

#include <QBoxLayout>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLibraryInfo>
#include <QPainter>
#include <QSpinBox>
#include <QStringList>
#include <QToolButton>
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

void useJapaneseCalendar(QDateEdit *picker)
{
    picker->setLocale(japaneseLocale());
    picker->setCalendarPopup(true);
    // The header's buttons are the toolkit's own, found by their names; should a version
    // name them otherwise, its header stays as it is.
    QCalendarWidget *calendar = picker->calendarWidget();
    auto *bar = calendar->findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar"));
    auto *layout = bar ? qobject_cast<QBoxLayout *>(bar->layout()) : nullptr;
    auto *month = calendar->findChild<QToolButton *>(QStringLiteral("qt_calendar_monthbutton"));
    auto *year = calendar->findChild<QToolButton *>(QStringLiteral("qt_calendar_yearbutton"));
    auto *yearEdit = calendar->findChild<QSpinBox *>(QStringLiteral("qt_calendar_yearedit"));
    if (!layout || !month || !year || !yearEdit)
        return;
    // The month goes right of the year; the place the year's edit box takes while the year
    // is typed stays left of the year.
    layout->removeWidget(month);
    layout->insertWidget(layout->indexOf(year) + 1, month);
    const auto showYear = [calendar, year] { year->setText(QStringLiteral("%1年").arg(calendar->yearShown())); };
    QObject::connect(calendar, &QCalendarWidget::currentPageChanged, year, showYear);
    QObject::connect(yearEdit, &QSpinBox::editingFinished, year, showYear);
    showYear();
}

} // namespace nerina

#include "Form2.h"

#include "common/Fonts.h"
#include "common/Twips.h"

#include <QLabel>
#include <QPushButton>

namespace nerina {

Form2::Form2(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Nerina's Diaryのﾊﾞｰｼﾞｮﾝ情報"));

    const int dpi = logicalDpi(this);
    auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    setFixedSize(px(4530), px(1935));

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setPixmap(flowerPicture(px(480)));
    m_picture->setGeometry(px(240), px(240), px(480), px(480));

    auto label = [&](const char *name, const QString &text, int top, int pointSize) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setFont(designFont(pointSize));
        l->setGeometry(px(960), px(top), px(3360), px(pointSize > 9 ? 360 : 300));
        return l;
    };
    m_label1 = label("Label1", QStringLiteral("Nerina's Diary"), 180, 12);
    m_label2 = label("Label2", QStringLiteral("Ver 2.00"), 600, 9);
    m_label3 = label("Label3", QStringLiteral("体温は毎朝、目覚めてすぐに測りましょう。"), 960, 9);
    // The notice is the longest line; it takes the whole width under the icon.
    m_label3->setGeometry(px(240), px(960), px(4050), px(300));

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_ok->setDefault(true);
    m_ok->setGeometry(px(3120), px(1440), px(1215), px(375));
    connect(m_ok, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void Form2::Command1_Click() { close(); }

} // namespace nerina

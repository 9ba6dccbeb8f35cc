#include "Form2.h"

namespace nerina {

Form2::Form2(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Nerina's Diaryのﾊﾞｰｼﾞｮﾝ情報"));
}

} // namespace nerina

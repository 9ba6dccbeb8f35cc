#include "FRM_DELETE.h"

#include "shell/AppContext.h"

namespace nerina {

FRM_DELETE::FRM_DELETE(DiaryDb *db, AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window), m_db(db), m_context(context)
{
    setObjectName(QStringLiteral("FRM_DELETE"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ﾃﾞｰﾀﾍﾞｰｽﾌｧｲﾙのﾒﾝﾃﾅﾝｽ"));
}

} // namespace nerina

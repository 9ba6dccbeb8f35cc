#include "FRM_DISP.h"

#include "shell/AppContext.h"
#include "shell/FlexGrid.h"

namespace nerina {

FRM_DISP::FRM_DISP(const FlexGrid &grid, AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window), m_grid(grid), m_context(context)
{
    setObjectName(QStringLiteral("FRM_DISP"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ｸﾞﾗﾌ表示"));
}

} // namespace nerina

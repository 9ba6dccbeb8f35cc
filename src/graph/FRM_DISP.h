#pragma once

#include <QWidget>

namespace nerina {

class FlexGrid;
struct AppContext;

// The temperature graph of the 180 days the list holds, and its quick print.
class FRM_DISP final : public QWidget
{
    Q_OBJECT
public:
    FRM_DISP(const FlexGrid &grid, AppContext &context, QWidget *parent);

private:
    const FlexGrid &m_grid;
    AppContext &m_context;
};

} // namespace nerina

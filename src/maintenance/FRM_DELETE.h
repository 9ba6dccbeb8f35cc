#pragma once

#include <QWidget>

namespace nerina {

class DiaryDb;
struct AppContext;

// Deletes every entry dated on or before a chosen day.
class FRM_DELETE final : public QWidget
{
    Q_OBJECT
public:
    FRM_DELETE(DiaryDb *db, AppContext &context, QWidget *parent);

private:
    DiaryDb *m_db;
    AppContext &m_context;
};

} // namespace nerina

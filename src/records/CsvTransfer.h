#pragma once

#include "common/FileSafety.h"

#include <QObject>
#include <QString>

class QWidget;

namespace nerina {

class Clock;
class Dialogs;
struct SharedState;

// The export and import commands: the diary to a CSV file and back.
class CsvTransfer final : public QObject
{
    Q_OBJECT
public:
    // `kept` are the files an export must never write over.
    CsvTransfer(SharedState &state, Dialogs &dialogs, const Clock &clock, QWidget *window, KeptFiles kept);

    void exportDiary();
    void importDiary();

signals:
    // Days were written into the diary; `selectedDay` tells whether the selected day was.
    void diaryChanged(bool selectedDay);

private:
    QString defaultPath() const;
    void importFile(const QString &path);

    SharedState &m_state;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    QWidget *m_window;
    KeptFiles m_kept;
};

} // namespace nerina

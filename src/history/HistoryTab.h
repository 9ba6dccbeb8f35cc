#pragma once

namespace nerina {

class Form1;

// The list tab: command states per tab, the 180-day grid and its fertile-day marks.
class HistoryTab final
{
public:
    explicit HistoryTab(Form1 &form);

    void SSTab1_Click(int previousTab);
    void FillHistoryGrid();
    void MarkFertileDays();

private:
    Form1 &m_form;
};

} // namespace nerina

#pragma once

namespace nerina {

class Form1;

// The list tab: command states per tab, the 180-day grid and its fertile-day marks.
class HistoryTab final
{
public:
    explicit HistoryTab(Form1 &form);

    // Runs on every change of the current tab (and once at start-up). Only the save,
    // cycle-setting and graph commands follow the tab; the day entry is left alone.
    void SSTab1_Click(int previousTab);

    // Rewrites rows 1 to 180 of the list for the selected day, then marks them. Errors
    // are shown here; the rows written so far stay.
    void FillHistoryGrid();

    // Marks the fertile windows in the list as it stands. Errors are shown here and end
    // only the marking.
    void MarkFertileDays();

private:
    Form1 &m_form;
};

} // namespace nerina

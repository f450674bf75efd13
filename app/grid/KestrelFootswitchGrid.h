#pragma once

#include "app/grid/FootswitchGridPanel.h"

// The unit's footswitch grid: what may be assigned to a switch and the block
// menu of a tile.
//
// Per-preset page: the blocks of the current preset, then the footswitch
// functions (X/Y, looper control, scene, preset/bank, control switch).
// Global page: every block the unit has.
class KestrelFootswitchGrid : public FootswitchGridPanel
{
public:
    using FootswitchGridPanel::FootswitchGridPanel;

    // Message 110, the warning of a per-preset assignment on a global switch.
    static constexpr int globalModeWarningId = 110, presetTitleId = 103;

    std::unique_ptr<juce::PopupMenu> createBlockMenu (int row, int column) override;
    void fillChoices() override;
};

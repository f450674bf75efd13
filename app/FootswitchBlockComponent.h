#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class FootswitchGridPanel;

// One switch position of the footswitch grid: a tile showing the block
// assigned to the switch. A click selects it (one tile at a time), a right
// click opens its block menu, Delete clears it. A tile of a global switch on
// the per-preset page is locked: it shows the global block and takes no
// assignment.
class FootswitchBlockComponent : public juce::Button
{
public:
    FootswitchBlockComponent (FootswitchGridPanel& owner, int row, int column);

    const int row, column;

    void setBlockId (int id);
    int getBlockId() const { return blockId; }

    // Drawn dimmed when not engaged.
    void setEngaged (bool shouldBeEngaged);
    bool isEngaged() const { return engaged; }

    bool isGlobalLocked = false;

    void setSelected (bool shouldBeSelected);
    bool isSelected() const { return selected; }

    void mouseDown (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;

private:
    FootswitchGridPanel& grid;
    int blockId = 0;
    bool engaged = true;
    bool selected = false;
};

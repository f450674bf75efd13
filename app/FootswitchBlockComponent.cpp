#include "app/FootswitchBlockComponent.h"

#include "app/FootswitchGridPanel.h"
#include "model/IdTables.h"

namespace
{
const juce::Colour emptyColour{ 0xff2c2f34 }, blockColour{ 0xff3a3e44 }, edgeColour{ 0xff111214 },
    selectedColour{ 0xffe8a33d }, textColour{ 0xffe8e6e3 }, quietTextColour{ 0xffa7abb1 };
} // namespace

FootswitchBlockComponent::FootswitchBlockComponent (FootswitchGridPanel& owner, int tileRow, int tileColumn)
    : juce::Button ("Footswitch"),
      row (tileRow),
      column (tileColumn),
      grid (owner)
{
    setWantsKeyboardFocus (true);
}

void FootswitchBlockComponent::setBlockId (int id)
{
    if (id == blockId)
        return;

    blockId = id;
    repaint();
}

void FootswitchBlockComponent::setEngaged (bool shouldBeEngaged)
{
    if (engaged != shouldBeEngaged)
    {
        engaged = shouldBeEngaged;
        repaint();
    }
}

void FootswitchBlockComponent::setSelected (bool shouldBeSelected)
{
    if (selected != shouldBeSelected)
    {
        selected = shouldBeSelected;
        repaint();
    }
}

void FootswitchBlockComponent::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
    {
        grid.showBlockMenu (*this);
        return;
    }

    juce::Button::mouseDown (e);
}

bool FootswitchBlockComponent::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::deleteKey && isEnabled() && ! (grid.getMode() == 0 && isGlobalLocked))
    {
        setBlockId (0);
        grid.commitAssignments();
    }

    // Arrow keys go on to the grid.
    return false;
}

void FootswitchBlockComponent::paintButton (juce::Graphics& g, bool highlighted, bool)
{
    auto area = getLocalBounds().toFloat().reduced (1.0f);
    const float alpha = (isEnabled() ? 1.0f : 0.5f) * (engaged ? 1.0f : 0.45f);

    g.setColour ((blockId != 0 ? blockColour : emptyColour).withMultipliedAlpha (alpha));
    g.fillRoundedRectangle (area, 4.0f);
    g.setColour (selected ? selectedColour : (highlighted ? quietTextColour : edgeColour));
    g.drawRoundedRectangle (area, 4.0f, selected ? 2.0f : 1.0f);

    const auto name = blockId != 0 ? getNameForId (BlockDisplayNames, (juce::uint32) blockId) : juce::String ("None");
    g.setColour ((blockId != 0 ? textColour : quietTextColour).withMultipliedAlpha (alpha));
    g.setFont (juce::Font (13.0f, blockId != 0 ? juce::Font::bold : juce::Font::plain));
    g.drawFittedText (name, getLocalBounds().reduced (6, 4), juce::Justification::centred, 2, 0.8f);
}

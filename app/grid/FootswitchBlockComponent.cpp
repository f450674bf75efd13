#include "app/grid/FootswitchBlockComponent.h"

#include "app/grid/FootswitchGridPanel.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "skin/engine/ImageDepot.h"

FootswitchBlockComponent::FootswitchBlockComponent (FootswitchGridPanel& owner, int tileRow, int tileColumn,
                                                    juce::Rectangle<int> cellArea, int tileMargin,
                                                    const ImageDepot* depot)
    : BlockComponent (tileColumn, tileRow, cellArea, tileMargin, depot)
    , grid (owner)
{
    setWantsKeyboardFocus (true);
}

juce::uint16 FootswitchBlockComponent::assignedIdOf (const BlockComponent& source)
{
    const auto id = source.getBlockId();
    return id == looperBlockId ? looperControlBlockId : id;
}

void FootswitchBlockComponent::mouseUp (const juce::MouseEvent& e)
{
    BlockComponent::mouseUp (e);
    shownDropMode = 0;
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

void FootswitchBlockComponent::showBlockMenu()
{
    grid.showBlockMenu (*this);
}

//==============================================================================
// Dragging and dropping.

void FootswitchBlockComponent::updateDragCursor()
{
    const int mode = grid.getDropMode();

    if (mode == shownDropMode)
        return;

    shownDropMode = mode;
    const juce::MouseCursor* skinCursor = nullptr;

    if (imageDepot != nullptr)
        skinCursor = imageDepot->getCursor (mode == dropSwap ? ImageDepot::swapCursor : ImageDepot::moveCursor);

    setMouseCursor (skinCursor != nullptr ? *skinCursor : juce::MouseCursor (juce::MouseCursor::DraggingHandCursor));
}

void FootswitchBlockComponent::dragEnteredTile()
{
    grid.setHoveredBlockId (getBlockId());
}

void FootswitchBlockComponent::dragLeftTile()
{
    grid.setHoveredBlockId (0);
}

void FootswitchBlockComponent::dragStarted()
{
    grid.setHoveredBlockId (0);
}

bool FootswitchBlockComponent::isInterestedInDragSource (const SourceDetails& details)
{
    auto* source = dynamic_cast<BlockComponent*> (details.sourceComponent.get());

    if (source == nullptr || source == this || ! isEnabled())
        return false;

    if (auto* other = dynamic_cast<FootswitchBlockComponent*> (source))
    {
        // Only a tile of this grid; a locked one on the per-preset page is not ours to move.
        if (&other->grid != &grid)
            return false;

        return ! (grid.getMode() == 0 && (isGlobalLocked || other->isGlobalLocked));
    }

    if (grid.getMode() == 0 && isGlobalLocked)
        return false;

    // A block of the effect grid: only one the switches may hold (no shunt,
    // no grid input or output).
    return grid.canAssign (assignedIdOf (*source));
}

void FootswitchBlockComponent::itemDropped (const SourceDetails& details)
{
    const int mode = grid.getDropMode();
    clearDragOver();
    grid.setHoveredBlockId (0);

    if (! isInterestedInDragSource (details))
        return;

    auto* source = dynamic_cast<BlockComponent*> (details.sourceComponent.get());

    if (auto* other = dynamic_cast<FootswitchBlockComponent*> (source))
    {
        const auto mine = getBlockId();
        setBlockId (other->getBlockId());
        other->setBlockId (mode == dropSwap ? mine : 0);
    }
    else
    {
        const auto id = assignedIdOf (*source);
        grid.clearBlockId (id);
        setBlockId (id);
    }

    grid.commitAssignments();
    grid.showAssignments();
}

//==============================================================================
void FootswitchBlockComponent::paintOverlay (juce::Graphics& g, juce::Rectangle<int> iconArea)
{
    const auto id = getBlockId();
    const int type = effectTypeOfBlock (id);

    // The footswitch functions are no instances of an effect.
    if (type >= 43 && type <= 46)
        return;

    const auto name = getNameForId (BlockDisplayNames, (juce::uint32) id);
    const auto& style = id != 0 ? effectStyle : emptyStyle;
    const juce::Image* badge = nullptr;

    if (name.endsWithChar ('1'))
        badge = &style.overlay1;
    else if (name.endsWithChar ('2'))
        badge = &style.overlay2;

    if (badge == nullptr || ! badge->isValid())
        return;

    const int x = iconArea.getX() + (int) (iconArea.getWidth() * 0.5 - badge->getWidth() * 0.5 + 0.5);
    g.setOpacity (isEngaged() ? style.overlayAlphaActive : style.overlayAlphaInactive);
    g.drawImageAt (*badge, x, iconArea.getY() + 1);
    g.setOpacity (1.0f);
}

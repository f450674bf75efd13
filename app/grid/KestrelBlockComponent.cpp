#include "app/grid/KestrelBlockComponent.h"

#include "app/grid/GridUnitContent.h"

KestrelBlockComponent::KestrelBlockComponent (GridUnitContent& owner, int cellIndex, juce::Rectangle<int> cellArea,
                                              int tileMargin, const ImageDepot* depot)
    : BlockComponent (cellIndex % 4, cellIndex / 4, cellArea, tileMargin, depot)
    , grid (owner)
    , cell (cellIndex)
{
}

bool KestrelBlockComponent::isInterestedInDragSource (const SourceDetails& details)
{
    return dynamic_cast<KestrelBlockComponent*> (details.sourceComponent.get()) != nullptr
           && BlockComponent::isInterestedInDragSource (details);
}

void KestrelBlockComponent::itemDropped (const SourceDetails& details)
{
    clearDragOver();
    grid.setHoveredCell (-1);

    if (auto* source = dynamic_cast<KestrelBlockComponent*> (details.sourceComponent.get()))
        grid.dropTile (source->getCell(), cell, isCopyModifier (juce::ModifierKeys::currentModifiers));
}

void KestrelBlockComponent::showBlockMenu()
{
    grid.showTileMenu (cell);
}

void KestrelBlockComponent::updateDragCursor()
{
    // Over no tile of this grid (or back over itself) a drop does nothing:
    // not allowed, unless a tile of another kind (a footswitch) takes it.
    auto kind = grid.classifyDrop (cell, grid.getHoveredCell(), isCopyModifier (juce::ModifierKeys::currentModifiers));

    if (grid.getHoveredCell() < 0 && isOverInterestedTile())
        kind = GridUnitContent::DropKind::move;

    if (auto* skinCursor = grid.cursorFor (kind))
        setMouseCursor (*skinCursor);
    else
        setMouseCursor (kind == GridUnitContent::DropKind::refused ? juce::MouseCursor::NormalCursor
                                                                   : juce::MouseCursor::DraggingHandCursor);
}

void KestrelBlockComponent::dragEnteredTile()
{
    grid.setHoveredCell (cell);
}

void KestrelBlockComponent::dragLeftTile()
{
    if (grid.getHoveredCell() == cell)
        grid.setHoveredCell (-1);
}

void KestrelBlockComponent::dragStarted()
{
    grid.setHoveredCell (-1);
}

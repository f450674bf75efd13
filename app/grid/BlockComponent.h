#pragma once

#include "app/grid/BlockStyle.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

class ImageDepot;

// One tile of a grid of blocks: a button showing an effect block (its icon in
// the block's state) or an empty slot, with a border for pressed, hovered or
// bypassed and badges for the X/Y state and a warning. A tile holding a block
// can be dragged onto another tile; a tile accepts any drag but its own, and
// what a drop means is its subclass's affair. The owner sets the look, the
// block id and the flags, and listens to the clicks.
class BlockComponent : public juce::Button, public ZOLResizableComponent, public juce::DragAndDropTarget
{
public:
    static constexpr const char* dragDescription = "BlockComponent";
    static constexpr float normalAlpha = 1.0f;
    static constexpr float dimmedAlpha = 0.4f;

    // Bounds = the cell area grown by the margin; the depot may be null.
    BlockComponent (int positionX, int positionY, juce::Rectangle<int> cellArea, int margin, const ImageDepot* depot);
    ~BlockComponent() override;

    void setBlockId (juce::uint16 id);
    juce::uint16 getBlockId() const { return blockId; }
    void setStates (bool isEngaged, bool allowBypassIcon);
    bool isEngaged() const { return engaged; }
    void setSelected (bool shouldBeSelected);
    bool isSelected() const { return selected; }

    int getPositionX() const { return positionX; }
    int getPositionY() const { return positionY; }
    int getMargin() const { return margin; }
    bool isDragOver() const { return dragOver; }
    bool isDraggingTile() const { return dragging; }

    // Written by the owner, which repaints.
    BlockStyle emptyStyle, effectStyle;
    bool warning = false;
    bool current = false;
    bool dimmed = false;
    bool showXYBadge = false;
    int xyState = 0; // 0 = X, otherwise Y

    // Component / Button
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void modifierKeysChanged (const juce::ModifierKeys& modifiers) override;
    void paintButton (juce::Graphics& g, bool mouseOver, bool buttonDown) override;

    // DragAndDropTarget (itemDropped is the subclass's)
    bool isInterestedInDragSource (const SourceDetails& details) override;
    void itemDragEnter (const SourceDetails& details) override;
    void itemDragMove (const SourceDetails& details) override;
    void itemDragExit (const SourceDetails& details) override;

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }

protected:
    virtual void showBlockMenu() = 0;
    virtual void updateDragCursor() = 0;
    virtual void dragEnteredTile() = 0;
    virtual void dragLeftTile() = 0;
    virtual void dragStarted() = 0;
    virtual void paintOverlay (juce::Graphics&, juce::Rectangle<int> /*iconArea*/) {}

    // A drop ends the hover without an exit.
    void clearDragOver()
    {
        dragOver = false;
        repaint();
    }

    // Whether the drag's last position lies over a tile other than this one
    // that would take this tile if it were dropped there.
    bool isOverInterestedTile() const;

    const ImageDepot* imageDepot = nullptr;

private:
    bool isOwnDrag (const SourceDetails& details) const;
    void paintXYBadge (juce::Graphics& g);
    void paintWarning (juce::Graphics& g, juce::Rectangle<int> r);
    void paintBorder (juce::Graphics& g, bool pressedLook, bool hoverLook);

    int positionX = 0, positionY = 0;
    int margin = 0;
    juce::Point<int> dragScreenPosition;
    juce::uint16 blockId = 0;
    bool engaged = false;
    bool bypassIconAllowed = true;
    bool dragOver = false;
    bool dragging = false;
    bool selected = false;

    JUCE_DECLARE_NON_COPYABLE (BlockComponent)
};

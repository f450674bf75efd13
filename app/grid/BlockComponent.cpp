#include "app/grid/BlockComponent.h"

#include "model/UnitIds.h"
#include "skin/engine/ImageDepot.h"

#include <cmath>

BlockComponent::BlockComponent (int x, int y, juce::Rectangle<int> cellArea, int tileMargin, const ImageDepot* depot)
    : juce::Button ("BlockComponent")
    , imageDepot (depot)
    , positionX (x)
    , positionY (y)
    , margin (juce::jmax (0, tileMargin))
{
    setBounds (cellArea.expanded (margin));
}

BlockComponent::~BlockComponent() = default;

void BlockComponent::setBlockId (juce::uint16 id)
{
    if (id != blockId)
    {
        blockId = id;
        repaint();
    }
}

void BlockComponent::setStates (bool isEngaged, bool allowBypassIcon)
{
    if (isEngaged != engaged || allowBypassIcon != bypassIconAllowed)
    {
        engaged = isEngaged;
        bypassIconAllowed = allowBypassIcon;
        repaint();
    }
}

void BlockComponent::setSelected (bool shouldBeSelected)
{
    if (shouldBeSelected != selected)
    {
        selected = shouldBeSelected;
        repaint();
    }
}

//==============================================================================
void BlockComponent::mouseDrag (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    juce::Button::mouseDrag (e);

    if (blockId == 0)
        return;

    auto* container = juce::DragAndDropContainer::findParentDragContainerFor (this);

    if (container == nullptr)
        return;

    if (! dragging)
    {
        dragging = true;
        container->startDragging (dragDescription, this, juce::ScaledImage(), false, nullptr, &e.source);
        dragStarted();
    }

    dragScreenPosition = e.getScreenPosition();
    updateDragCursor();
}

void BlockComponent::mouseUp (const juce::MouseEvent& e)
{
    // The tile's own click comes first: it selects the tile, so that the
    // menu's commands act on the tile that was right-clicked.
    juce::Button::mouseUp (e);
    setMouseCursor (juce::MouseCursor::NormalCursor);

    if (e.mods.isPopupMenu())
        showBlockMenu();

    dragging = false;
}

void BlockComponent::modifierKeysChanged (const juce::ModifierKeys& modifiers)
{
    juce::Button::modifierKeysChanged (modifiers);

    if (dragging)
        updateDragCursor();
}

//==============================================================================
bool BlockComponent::isOwnDrag (const SourceDetails& details) const
{
    return dynamic_cast<BlockComponent*> (details.sourceComponent.get()) == this;
}

bool BlockComponent::isInterestedInDragSource (const SourceDetails& details)
{
    return ! isOwnDrag (details);
}

void BlockComponent::itemDragEnter (const SourceDetails& details)
{
    if (isOwnDrag (details))
        return;

    dragEnteredTile();
    dragOver = true;
    repaint();
}

void BlockComponent::itemDragMove (const SourceDetails& details)
{
    if (isOwnDrag (details) || dragOver)
        return;

    dragOver = true;
    repaint();
}

void BlockComponent::itemDragExit (const SourceDetails& details)
{
    if (isOwnDrag (details))
        return;

    dragLeftTile();
    dragOver = false;
    repaint();
}

//==============================================================================
void BlockComponent::paintButton (juce::Graphics& g, bool mouseOver, bool isDown)
{
    const bool pressedLook = isDown || getToggleState() || current;
    const bool hoverLook = mouseOver || dragOver || selected;
    const auto iconArea = getLocalBounds().reduced (margin);
    const auto outer = getLocalBounds().reduced (1);

    if (blockId == 0)
    {
        if (emptyStyle.icon.isValid())
        {
            g.setOpacity (1.0f);
            g.drawImage (emptyStyle.icon, outer.toFloat());
        }
        else
        {
            g.fillAll (juce::Colours::transparentBlack);
        }

        const auto& label = mouseOver ? emptyStyle.textOver : emptyStyle.text;

        if (emptyStyle.hasFont && label.isNotEmpty())
        {
            g.setFont (emptyStyle.font);
            g.setColour (mouseOver ? emptyStyle.fontColourOver : emptyStyle.fontColour);
            g.drawFittedText (label, outer, emptyStyle.justification, 2, 1.0f);
        }

        paintBorder (g, pressedLook, hoverLook);
        return;
    }

    if (imageDepot != nullptr)
    {
        // An id no set serves is drawn as the skin's stand-in picture.
        BlockImageSet::Which which = BlockImageSet::iconBypassed;

        if (engaged)
            which = pressedLook ? BlockImageSet::iconDown : hoverLook ? BlockImageSet::iconOver : BlockImageSet::icon;

        auto image = imageDepot->getBlockImage (blockId, which);

        if (image.isValid())
        {
            g.setOpacity (dimmed ? dimmedAlpha : normalAlpha);
            g.drawImage (image, iconArea.toFloat());
            g.setOpacity (1.0f);
        }
    }

    paintXYBadge (g);
    paintOverlay (g, iconArea);

    if (! engaged && bypassIconAllowed && ! isShuntBlockId (blockId) && effectStyle.bypassIcon.isValid())
        g.drawImage (effectStyle.bypassIcon, iconArea.toFloat());

    paintBorder (g, pressedLook, hoverLook);
}

void BlockComponent::paintBorder (juce::Graphics& g, bool pressedLook, bool hoverLook)
{
    const auto& style = blockId == 0 ? emptyStyle : effectStyle;
    const auto& border = pressedLook              ? style.down
                         : hoverLook              ? style.over
                         : (blockId != 0 && ! engaged) ? style.bypassed
                                                  : style.normal;
    const int w = border.width;
    const auto inner = getLocalBounds().reduced (margin);
    juce::Rectangle<int> r (juce::jmax (0, margin - w), juce::jmax (0, margin - w), inner.getWidth() + 2 * w,
                            inner.getHeight() + 2 * w);

    if (w > 0)
    {
        g.setColour (border.colour);
        g.drawRect (r, w);
    }

    paintWarning (g, r.reduced (w));
}

void BlockComponent::paintXYBadge (juce::Graphics& g)
{
    if (blockId == 0 || isShuntBlockId (blockId) || ! showXYBadge || imageDepot == nullptr)
        return;

    auto image = imageDepot->getOverlay (xyState == 0 ? ImageDepot::xStateOverlay : ImageDepot::yStateOverlay);

    if (! image.isValid())
        return;

    g.setOpacity (dimmed || ! engaged ? dimmedAlpha : 1.0f);
    g.drawImageAt (image, margin, margin);
    g.setOpacity (1.0f);
}

void BlockComponent::paintWarning (juce::Graphics& g, juce::Rectangle<int> r)
{
    if (blockId == 0 || ! warning)
        return;

    juce::Image image;

    if (imageDepot != nullptr)
    {
        image = imageDepot->getOverlay (ImageDepot::warningOverlay);

        // The depot hands out its stand-in for a missing overlay: that is no warning sign.
        if (image == imageDepot->missingImage)
            image = {};
    }

    if (image.isValid())
    {
        auto x = r.getX() + (int) ((double) r.getWidth() * 0.5 - image.getWidth() * 0.5 + 0.5);
        auto y = r.getY() + (int) ((double) r.getHeight() / 6.0 - image.getHeight() / 6.0 + 0.5);
        g.drawImageAt (image, x, y);
        return;
    }

    const float cx = (float) r.getX() + (float) r.getWidth() * 0.5f;
    const float cy = (float) r.getY() + (float) r.getHeight() * 0.5f;
    const float d = juce::jmin ((float) r.getWidth() - 3.0f, (float) r.getHeight() - 3.0f);

    if (d <= 0.0f)
        return;

    const float e = std::sqrt (2.0f) * 0.5f * d / 2.0f;
    g.setColour (juce::Colour (0xffff0000));
    g.drawEllipse (cx - d / 2, cy - d / 2, d, d, 3.0f);
    g.drawLine (cx - e, cy - e, cx + e, cy + e, 3.0f);
}

bool BlockComponent::isOverInterestedTile() const
{
    for (auto* c = juce::Desktop::getInstance().findComponentAt (dragScreenPosition); c != nullptr;
         c = c->getParentComponent())
    {
        if (auto* tile = dynamic_cast<BlockComponent*> (c); tile != nullptr && tile != this)
        {
            SourceDetails details (dragDescription, const_cast<BlockComponent*> (this),
                                   tile->getLocalPoint (nullptr, dragScreenPosition));
            return tile->isInterestedInDragSource (details);
        }
    }

    return false;
}

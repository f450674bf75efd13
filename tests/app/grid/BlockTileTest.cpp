#include "app/grid/BlockComponent.h"
#include "app/grid/CableComponent.h"
#include "skin/engine/ImageDepot.h"

#include <gtest/gtest.h>

namespace
{
const juce::Colour iconColour (0xffff0000), overColour (0xff00ff00), downColour (0xff0000ff),
    bypassedColour (0xff808080), xColour (0xffffff00), borderDown (0xff00ffff), borderOver (0xffff00ff),
    borderBypassed (0xff102030), borderNormal (0xff405060);

juce::Image solid (juce::Colour colour, int w = 40, int h = 30)
{
    juce::Image image (juce::Image::ARGB, w, h, true);
    image.clear (image.getBounds(), colour);
    return image;
}

// A depot whose one set serves the amp (106) and a shunt (300) in plain colours.
struct PlainDepot : ImageDepot
{
    PlainDepot()
    {
        auto& set = addImageSet ("plain");
        set.images[BlockImageSet::icon] = solid (iconColour);
        set.images[BlockImageSet::iconOver] = solid (overColour);
        set.images[BlockImageSet::iconDown] = solid (downColour);
        set.images[BlockImageSet::iconBypassed] = solid (bypassedColour);
        assignBlockIds();
    }
    void assignBlockIds() override { getImageSet (0)->blockIds.addArray ({ 106, 300 }); }
};

struct Tile : BlockComponent
{
    explicit Tile (const ImageDepot* depot)
        : BlockComponent (0, 0, { 4, 4, 40, 30 }, 4, depot)
    {
        effectStyle.down = { 2, borderDown };
        effectStyle.over = { 2, borderOver };
        effectStyle.bypassed = { 2, borderBypassed };
        effectStyle.normal = { 2, borderNormal };
    }

    void itemDropped (const SourceDetails&) override {}
    void showBlockMenu() override { ++menus; }
    void updateDragCursor() override {}
    void dragEnteredTile() override { ++entered; }
    void dragLeftTile() override { ++left; }
    void dragStarted() override {}

    // Paints the button in a look; returns the picture.
    juce::Image paintIn (bool over, bool down)
    {
        juce::Image image (juce::Image::ARGB, getWidth(), getHeight(), true);
        juce::Graphics g (image);
        paintButton (g, over, down);
        return image;
    }

    int menus = 0, entered = 0, left = 0;
};
} // namespace

TEST (BlockTile, PicksTheIconAndBorderOfItsLook)
{
    PlainDepot depot;
    Tile tile (&depot);
    tile.setBlockId (106);
    tile.setStates (true, true);

    auto centre = [] (const juce::Image& image) { return image.getPixelAt (image.getWidth() / 2, image.getHeight() / 2); };
    auto border = [] (const juce::Image& image) { return image.getPixelAt (3, image.getHeight() / 2); };

    EXPECT_EQ (centre (tile.paintIn (false, false)), iconColour);
    EXPECT_EQ (border (tile.paintIn (false, false)), borderNormal);
    EXPECT_EQ (centre (tile.paintIn (true, false)), overColour);
    EXPECT_EQ (border (tile.paintIn (true, false)), borderOver);
    EXPECT_EQ (centre (tile.paintIn (true, true)), downColour);
    EXPECT_EQ (border (tile.paintIn (true, true)), borderDown);

    // Bypassed: its own picture in every look; its border only when neither pressed nor hovered.
    tile.setStates (false, true);
    EXPECT_EQ (centre (tile.paintIn (false, false)), bypassedColour);
    EXPECT_EQ (centre (tile.paintIn (true, true)), bypassedColour);
    EXPECT_EQ (border (tile.paintIn (false, false)), borderBypassed);
    EXPECT_EQ (border (tile.paintIn (true, false)), borderOver);
    EXPECT_EQ (border (tile.paintIn (false, true)), borderDown);

    // Selected and current look like hover and pressed.
    tile.setStates (true, true);
    tile.setSelected (true);
    EXPECT_EQ (centre (tile.paintIn (false, false)), overColour);
    tile.current = true;
    EXPECT_EQ (centre (tile.paintIn (false, false)), downColour);
}

TEST (BlockTile, BadgesLeaveShuntsAndEmptySlotsAlone)
{
    PlainDepot depot;
    Tile tile (&depot);
    tile.showXYBadge = true;
    tile.warning = true;
    tile.effectStyle.bypassIcon = solid (juce::Colours::white);

    // No overlay images: the warning falls back to a red ring across the tile.
    tile.setBlockId (106);
    tile.setStates (true, true);
    auto warned = tile.paintIn (false, false);
    bool red = false;
    for (int x = 0; x < warned.getWidth() && ! red; ++x)
        red = warned.getPixelAt (x, warned.getHeight() / 2) == juce::Colour (0xffff0000) && x > 6;
    EXPECT_TRUE (red);

    // A bypassed shunt shows no bypass icon; an amp does.
    tile.setStates (false, true);
    EXPECT_EQ (tile.paintIn (false, false).getPixelAt (24, 8), juce::Colours::white);
    tile.setBlockId (300);
    EXPECT_EQ (tile.paintIn (false, false).getPixelAt (24, 8), bypassedColour);

    // An empty slot draws neither badge nor icon.
    tile.setBlockId (0);
    auto empty = tile.paintIn (false, false);
    for (int x = 0; x < empty.getWidth(); ++x)
        EXPECT_EQ (empty.getPixelAt (x, empty.getHeight() / 2).getAlpha(), 0) << x;
}

TEST (BlockTile, AcceptsEveryDragButItsOwn)
{
    Tile tile (nullptr), other (nullptr);
    juce::Label notATile;
    juce::DragAndDropTarget::SourceDetails own (BlockComponent::dragDescription, &tile, {});
    juce::DragAndDropTarget::SourceDetails fromOther (BlockComponent::dragDescription, &other, {});
    juce::DragAndDropTarget::SourceDetails fromLabel ("x", &notATile, {});

    EXPECT_FALSE (tile.isInterestedInDragSource (own));
    EXPECT_TRUE (tile.isInterestedInDragSource (fromOther));
    EXPECT_TRUE (tile.isInterestedInDragSource (fromLabel));

    tile.itemDragEnter (own);
    tile.itemDragMove (own);
    EXPECT_FALSE (tile.isDragOver());
    EXPECT_EQ (tile.entered, 0);

    tile.itemDragEnter (fromOther);
    EXPECT_TRUE (tile.isDragOver());
    tile.itemDragExit (own);
    EXPECT_TRUE (tile.isDragOver());
    tile.itemDragExit (fromOther);
    EXPECT_FALSE (tile.isDragOver());
    EXPECT_EQ (tile.entered, 1);
    EXPECT_EQ (tile.left, 1);
}

TEST (Cable, LaysOutAnSCurveAndTakesTheMouseOnlyNearItsMiddle)
{
    CableComponent cable (juce::Colours::grey, juce::Colours::orange, 4, 3.0f);

    // Same row: a level band 4t high around the row (t = round-half-even(1.5) = 2).
    cable.setEndpoints (10, 50, 110, 50);
    EXPECT_EQ (cable.getBounds(), juce::Rectangle<int> (10, 46, 100, 8));
    cable.setEndpoints (10, 50, 110, 50); // unchanged: same place
    EXPECT_EQ (cable.getBounds(), juce::Rectangle<int> (10, 46, 100, 8));

    // One row down: S shape, bounds around both ends.
    cable.setEndpoints (10, 20, 110, 60);
    EXPECT_EQ (cable.getBounds(), juce::Rectangle<int> (10, 16, 100, 48));
    auto local = [&] (int x, int y) { return juce::Point<int> (x - cable.getX(), y - cable.getY()); };
    auto middle = local (60, 40);
    EXPECT_TRUE (cable.hitTest (middle.x, middle.y));
    auto away = local (56, 45); // about 6 pixels off the centre line, inside the bounds
    EXPECT_FALSE (cable.hitTest (away.x, away.y));
    auto nearStart = local (12, 20); // on the curve within the end margin
    EXPECT_FALSE (cable.hitTest (nearStart.x, nearStart.y));
    auto pastMargin = local (18, 20);
    EXPECT_TRUE (cable.hitTest (pastMargin.x, pastMargin.y));

    // On the level band 6 pixels from the centre line misses whatever the thickness.
    CableComponent thick (juce::Colours::grey, juce::Colours::orange, 4, 14.0f);
    thick.setEndpoints (0, 50, 100, 50);
    EXPECT_TRUE (thick.hitTest (50, 50 - thick.getY()));
    EXPECT_FALSE (thick.hitTest (50, 56 - thick.getY()));
}

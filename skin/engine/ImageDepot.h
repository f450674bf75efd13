#pragma once

#include "skin/engine/BlockImageSet.h"
#include "skin/engine/ColoredMenuItem.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

class SkinManager;

// The one place that holds the pictures of effect blocks: one image set per
// kind of block, the four drag-and-drop cursors and the three overlays drawn
// over a block. A unit's subclass says which block ids each set serves.
class ImageDepot
{
public:
    enum CursorKind
    {
        moveCursor,
        copyCursor,
        swapCursor,
        notAllowedCursor,
        numCursors
    };
    enum OverlayKind
    {
        xStateOverlay,
        yStateOverlay,
        warningOverlay,
        numOverlays
    };
    static const char* const cursorNames[numCursors];
    static const char* const overlayNames[numOverlays];

    ImageDepot() = default;
    virtual ~ImageDepot();

    // Gives each image set the block ids it serves (appending to any it has).
    virtual void assignBlockIds() = 0;

    // Reads the cursors ("MouseCursors"), overlays ("BlockOverlays") and
    // block icon sets ("BlockIcons") of a skin section, appending the sets,
    // and keeps the skin's missing-image picture as the stand-in for
    // pictures nobody gave.
    void readSkinSection (const SkinManager& skin, const juce::XmlElement& section);

    // The first set, in list order, that serves the block id; or nullptr.
    BlockImageSet* findImageSetForBlock (juce::uint16 blockId) const;
    // The set of the first block id of the effect type; or nullptr.
    BlockImageSet* findImageSetForType (int effectType) const;
    void clearImageSets();

    // The block's picture, or the stand-in when no set serves the block or
    // the set lacks that picture; never an invalid image once a skin was read.
    juce::Image getBlockImage (juce::uint16 blockId, BlockImageSet::Which which) const;
    juce::Image getTypeImage (int effectType, BlockImageSet::Which which) const;

    // A cursor of the skin, or nullptr when the skin gave none.
    const juce::MouseCursor* getCursor (CursorKind kind) const;
    juce::Image getOverlay (OverlayKind kind) const;

    BlockImageSet& addImageSet (const juce::String& name);
    int getNumImageSets() const { return imageSets.size(); }
    BlockImageSet* getImageSet (int index) const { return imageSets[index]; }

    juce::Image missingImage;

    // The colour filter menu of the preset lists ("ColorFilterMenu"): one
    // item per colour in the skin's order, replacing any read before. An
    // item's position is the colour number the lists keep (0 is none).
    void readColourMenuSection (const SkinManager& skin, const juce::XmlElement& section);
    juce::OwnedArray<ColoredMenuItem> colouredItems;
    int colouredItemWidth = 0, colouredItemHeight = 0;

private:
    juce::Image pictureOf (const BlockImageSet* set, BlockImageSet::Which which) const;

    std::array<std::unique_ptr<juce::MouseCursor>, numCursors> cursors;
    std::array<juce::Image, numOverlays> overlays;
    juce::OwnedArray<BlockImageSet> imageSets;
};

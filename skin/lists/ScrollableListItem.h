#pragma once

#include <juce_graphics/juce_graphics.h>

// One entry of the scrollable list: what a cell shows and how it takes part
// in selection, dragging, dropping and renaming. The owner fills the records,
// hands them to ZolScrollableListCtrl::setItems and keeps ownership.
struct ScrollableListItem
{
    juce::String number;
    juce::String name;
    juce::String tooltip;
    int itemId = 0;
    bool italic = false;
    bool showMarker = false;
    bool dragEnabled = true;
    bool plainDropFlag = true;
    bool shiftDropFlag = true;
    bool positionalDropFlag = true;
    bool showDropPosition = false;
    bool acceptsFiles = true;
    bool hasBackground = false;
    juce::Colour background{ 0x00000000 };
    bool hasNumberBox = false;
    juce::Colour numberBoxColour{ 0x00000000 };
    bool hasRenameSettings = false;
    bool renamable = false;
    int maxNameLength = 0;
    juce::String allowedNameCharacters;
};

#pragma once

#include "skin/ZOLDropDownEx.h"

#include <functional>

// The drop-down for choices too many for a menu (presets, cabs): a click on
// its field opens the shared large list panel of the application instead of
// a popup menu. Without such a panel it shows the ordinary menu.
class DropDownLargeList : public ZOLDropDownEx
{
public:
    DropDownLargeList (const DropDownStyle& style, const juce::Font* labelFont, const juce::Font* fieldFont,
                       const juce::Font* italicFieldFont);
    ~DropDownLargeList() override;

    // Set by the application: opens the large list panel for this drop-down.
    std::function<void (DropDownLargeList&)> openLargeList;
    // The component that asked for the drop-down (its page or dialog).
    juce::Component* owner = nullptr;

    // What the large list panel is given: the list kind, its groups (the
    // number of choices in each, with the titles of their tabs), whether it
    // marks the current group and filters by colour.
    int listKind = 0;
    bool groupedList = false;
    bool showCurrentBank = false;
    juce::Array<juce::uint16> bankSizes;
    std::array<juce::String, 4> groupTitles;
    bool colourFilterOn = false;
    int colourKey = 0;

    void showMenu() override;
};

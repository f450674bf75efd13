#pragma once

#include "skin/lists/ScrollableListItem.h"

#include <juce_events/juce_events.h>

// The large pick list that a dialog borrows to let the user choose a preset
// or cab location. The list reports a pick by storing its result and sending
// a change message; the borrower reads the result back.
class LocationPickList : public virtual juce::ChangeBroadcaster
{
public:
    static constexpr int resultPicked = 1;
    static constexpr int resultClosed = 2;

    enum class Kind
    {
        presets = 1,
        cabs = 2
    };

    struct Request
    {
        juce::String title;
        juce::Array<ScrollableListItem> items;
        juce::uint16 currentValue = 0;
        Kind kind = Kind::presets;
        int columnCount = 0; // 0 fits the columns to the width
    };

    ~LocationPickList() override = default;

    // Opens the list in save mode with the items.
    virtual void openForPick (const Request& request) = 0;
    // 1 picked (value set), 2 closed without a pick; 0 before either.
    virtual int getPickResult (juce::uint16& value) const = 0;
    virtual void closeList() = 0;
};

#pragma once

#include "skin/lists/ScrollableListItem.h"

#include <juce_gui_basics/juce_gui_basics.h>

// A large, searchable pick list with tabs that a drop-down can borrow instead
// of its popup menu. The application's preset list window is one; the
// drop-down knows it only through this.
//
// The panel reports a choice as a result (1 picked, 2 closed without a pick)
// and a 16-bit value, read back with getPickResult when its broadcaster
// sends a change message.
class PickListPanel
{
public:
    static constexpr int numTabs = 7;
    static constexpr int resultPicked = 1;
    static constexpr int resultClosed = 2;

    virtual ~PickListPanel() = default;

    virtual juce::Component& getPanelComponent() = 0;
    virtual juce::ChangeBroadcaster& getPickBroadcaster() = 0;

    virtual void setTitleText (const juce::String& text) = 0;
    // Tab entries: size kind 0 large, 1 medium, 2 small; an empty label makes no tab.
    virtual void setTabEntry (int index, int sizeKind, const juce::String& label) = 0;
    virtual juce::String getDefaultTabLabel (int index) const = 0;
    // 0 columns fitted to the width, 1 a fixed number of rows, 2 of columns.
    virtual void setListLayout (int layoutMode, int count) = 0;

    // Opens the panel with copies of the items for the listener (which
    // replaces any earlier one). Mode 0 change to, 1 save to, 2 select from a
    // file. The item whose id is the current value is marked; a value not
    // below the number of items stands for item 0.
    virtual void openWithItems (juce::ChangeListener* listener, const juce::OwnedArray<ScrollableListItem>& items,
                                int currentValue, int mode, int listKind, bool showCurrentBank,
                                const juce::Array<juce::uint16>& bankSizes) = 0;
    virtual void setColorFilter (bool on, int colourKey) = 0;
    virtual int getPickResult (juce::uint16& value) const = 0;
    virtual bool isPinned() const = 0;
    // The listener the panel was last opened for, while it is open.
    virtual bool isOpenFor (const juce::ChangeListener* listener) const = 0;
    virtual void close() = 0;
};

#pragma once

#include "skin/lists/PickListPanel.h"
#include "skin/widgets/ZOLDropDownEx.h"

#include <array>
#include <functional>
#include <limits>

class LanguageStore;

// The drop-down for choices too many for a menu (amp and cab types): with 40
// or more choices, or with Shift held, a click on its field borrows the
// application's one large pick list (the preset list window) as a searchable,
// tabbed list instead of a popup menu. Without such a panel it shows the
// ordinary menu.
//
// Only one drop-down owns the panel at a time: the last that opened it. A
// pick selects the choice (code 4 when it changed, or always with
// alwaysNotify) and closes the panel unless the user pinned it; closing the
// panel without a pick posts code 1.
class DropDownLargeList : public ZOLDropDownEx, public juce::ChangeListener
{
public:
    static constexpr int panelThreshold = 40;
    static constexpr int titleMessageId = 19;
    // The current value the panel is given while no choice is selected.
    static constexpr int noChoiceShown = std::numeric_limits<int>::min();

    DropDownLargeList (const DropDownStyle& style, const juce::Font* labelFont, const juce::Font* fieldFont,
                       const juce::Font* italicFieldFont);
    ~DropDownLargeList() override;

    // Where every drop-down finds the panel: set by the application (the main
    // window's preset list); empty or answering null means there is none.
    static void setPanelLocator (std::function<PickListPanel*()> locator);

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

    // The panel, taken from the locator the first time; may be null.
    PickListPanel* getListPanel();
    bool isListOpen() const { return listOpen; }

    void showMenu() override;
    // Closes the panel when this drop-down has it open; true when it had.
    bool closeList();

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    bool ownsPanel();

    LanguageStore* language = nullptr;
    PickListPanel* panel = nullptr;
    juce::Component::SafePointer<juce::Component> panelComponent;
    bool listOpen = false;
};

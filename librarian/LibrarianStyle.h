#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class SkinManager;
class ZOLWindowSplitter;
class ZolScrollableListCtrl;

// The look the librarian's windows share: the skin's charcoal panels, light
// text and the warm accent for what is active. A window reads its frame
// (bounds and colours) from its own skin section; what the section leaves
// out keeps these values.
struct LibrarianStyle
{
    static constexpr juce::uint32 panel = 0xFF1C1D20;
    static constexpr juce::uint32 raisedPanel = 0xFF2C2F34;
    static constexpr juce::uint32 field = 0xFF232529;
    static constexpr juce::uint32 outline = 0xFF3A3E44;
    static constexpr juce::uint32 text = 0xFFE8E6E3;
    static constexpr juce::uint32 quietText = 0xFFA7ABB1;
    static constexpr juce::uint32 accent = 0xFFE8A33D;
    static constexpr juce::uint32 failure = 0xFFC0504D;

    struct Frame
    {
        juce::Rectangle<int> bounds;
        juce::Colour background{ panel };
        juce::Colour box{ raisedPanel };
        juce::Colour textColour{ text };
    };

    // The section's "bounds", "backgroundColor", "dlgColor" and "fontColor";
    // the fallback bounds when the skin or the section is missing.
    static Frame readFrame (const SkinManager* skin, const juce::String& section, juce::Rectangle<int> fallback);

    static void styleButton (juce::Button& button);
    static void styleLabel (juce::Label& label, bool heading = false);
    static void styleEditor (juce::TextEditor& editor);
    static void styleProgress (juce::ProgressBar& bar);
    // One column of 20-pixel rows, several of them selectable.
    static void styleList (ZolScrollableListCtrl& list, bool multipleSelection);
    // Cells as wide as the list (beside its scroll bar); takes effect when
    // the owner hands the items over again.
    static void fitCellsToWidth (ZolScrollableListCtrl& list);

    // Drags between the librarian's lists: the list's own drags go out with
    // the description, the cells take drags described by the accepted one,
    // and a drag shows the skin's drag cursors (read from the image depot,
    // which has them once the skin's block pictures are in).
    static void enableDragging (ZolScrollableListCtrl& list, const juce::String& description,
                                const juce::String& accepted);
    // Whether the list's change code tells of a drag from elsewhere dropped
    // on one of its cells (with any drop action); its source is then the
    // list's external drag source.
    static bool isDropFromElsewhere (const ZolScrollableListCtrl& list, int changeCode);

    // The bar between a window's two panes, from the "splitter" widget of the
    // window's skin section (a plain bar halfway across without one).
    static std::unique_ptr<ZOLWindowSplitter> makeSplitter (const SkinManager* skin, const juce::String& section);
    // Stretches the bar down the area at the place it had (its default the
    // first time); it travels so that each pane keeps at least its minimum
    // width. Gives the area left and right of the bar.
    static std::pair<juce::Rectangle<int>, juce::Rectangle<int>> splitPanes (ZOLWindowSplitter& splitter,
                                                                            juce::Rectangle<int> area,
                                                                            int minimumLeft, int minimumRight);
};

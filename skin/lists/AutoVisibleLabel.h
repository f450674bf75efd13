#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The in-place name editor of a list cell: a label that is shown only while
// its editor is open, limits what may be typed, and gives the keyboard focus
// back to its list when editing ends.
class AutoVisibleLabel : public juce::Label
{
public:
    AutoVisibleLabel();

    int maxTextLength = 0;          // 0: no limit
    juce::String allowedCharacters; // empty: any

protected:
    void editorShown (juce::TextEditor* editor) override;
    void editorAboutToBeHidden (juce::TextEditor* editor) override;
};

#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The menu bar of the librarian window; the look-and-feel draws it in the
// librarian's style.
class BMMenuBarModel : public juce::MenuBarModel
{
};

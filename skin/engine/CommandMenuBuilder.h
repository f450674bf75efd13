#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// Builds a popup menu from one of the application's command tables; the
// argument is the menu id the table was installed with. The application
// gives widgets such a builder for its block context menu and for the
// drop-down's plus menu; the items are commands that the command system
// carries out itself.
using CommandMenuBuilder = std::function<juce::PopupMenu (int menuId)>;

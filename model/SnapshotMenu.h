#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class StringPairList;

// The command that loads a snapshot; a menu result carries the snapshot's
// index in its high 16 bits and this command in its low 16 bits.
constexpr int loadSnapshotCommandId = 2003;

// Adds the "Load Snapshot" submenu to the parent menu: one item per snapshot,
// newest first, numbered from the highest down. The items are enabled only
// when the command manager knows the load command and it is not disabled now
// (as the command's target says when the menu is built; without a target, as
// it was registered).
// Does nothing without a parent menu.
void buildLoadSnapshotMenu (const StringPairList& snapshots, juce::PopupMenu* parent,
                            juce::ApplicationCommandManager* commandManager);

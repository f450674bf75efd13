#pragma once

#include <juce_core/juce_core.h>

// How the librarian names the unit's slots, and what goes into them, to the user.

// A preset slot's number as the user knows it (the display offset added),
// at least three digits: slot 3 with offset 1 is "004".
juce::String presetSlotNumber (int slot, int displayOffset);

// A slot as lists and questions name it: its number and what it holds now,
// "004 Name", or the number alone when the slot holds nothing (isEmptySlotName).
juce::String slotEntryText (const juce::String& number, const juce::String& name);

// Whether a slot's name says it holds nothing: blank, or "EMPTY" as the unit
// names an empty slot.
bool isEmptySlotName (const juce::String& name);

// The slots a job or a send works on, named by the first and the last
// ("004 Name"): "preset 004 Name on the Kestrel" for one, "3 presets on the
// Kestrel, from 004 Name to 006 Other" for more.
juce::String slotRangeText (int count, bool cabs, const juce::String& firstEntry, const juce::String& lastEntry);

// What is sent, with the files it comes from: "\"Name\" from File.syx" for
// one preset (or cab), "a preset without a name from File.syx" for one whose
// name is empty, "3 presets from Bank.syx" (or "from A.syx, B.syx") for
// more; names and file names with their control characters escaped as the
// lists show them. One file name per name; a file is named once.
juce::String sentItemsText (bool cabs, const juce::StringArray& names, const juce::StringArray& fileNames);

// The question asked before count presets (or cabs) on the unit get what is
// sent (sentItemsText). It says that what the slots hold now is lost only
// when any of them holds something.
juce::String replaceSlotsQuestion (int count, bool cabs, const juce::String& firstEntry,
                                   const juce::String& lastEntry, const juce::String& sent, bool anyHeld);

#include "librarian/SlotTexts.h"

juce::String presetSlotNumber (int slot, int displayOffset)
{
    return juce::String (slot + displayOffset).paddedLeft ('0', 3);
}

juce::String replaceSlotsQuestion (int count, bool cabs, const juce::String& firstEntry, const juce::String& lastEntry)
{
    juce::String question;
    question << "Replace " << count << (cabs ? " cab(s)" : " preset(s)") << " on the Kestrel, from " << firstEntry
             << " to " << lastEntry << "?\nWhat those slots hold now is lost.";
    return question;
}

#include "librarian/SlotTexts.h"
#include "model/FileUtils.h"

namespace
{
constexpr int filesNamed = 3; // more files are counted, not named

juce::String things (int count, bool cabs)
{
    return juce::String (count) + (cabs ? " user cabs" : " presets");
}
} // namespace

juce::String presetSlotNumber (int slot, int displayOffset)
{
    return juce::String (slot + displayOffset).paddedLeft ('0', 3);
}

juce::String slotEntryText (const juce::String& number, const juce::String& name)
{
    return isEmptySlotName (name) ? number.trim() : number.trim() + " " + name.trim();
}

bool isEmptySlotName (const juce::String& name)
{
    return name.trim().isEmpty() || name.trim() == "EMPTY";
}

juce::String slotRangeText (int count, bool cabs, const juce::String& firstEntry, const juce::String& lastEntry)
{
    if (count == 1)
        return (cabs ? "user cab " : "preset ") + firstEntry + " on the Kestrel";

    return things (count, cabs) + " on the Kestrel, from " + firstEntry + " to " + lastEntry;
}

juce::String sentItemsText (bool cabs, const juce::StringArray& names, const juce::StringArray& fileNames)
{
    juce::StringArray files (fileNames);
    files.removeDuplicates (false);
    juce::String from = " from ";

    for (int i = 0; i < juce::jmin (files.size(), filesNamed); ++i)
        from << (i > 0 ? ", " : "") << printableName (files[i]);
    if (files.size() > filesNamed)
        from << " and " << (files.size() - filesNamed) << " more files";

    if (names.size() == 1)
        return names[0].trim().isEmpty() ? (cabs ? "a cab without a name" : "a preset without a name") + from
                                         : "\"" + printableName (names[0]).trim() + "\"" + from;

    return things (names.size(), cabs) + from;
}

juce::String replaceSlotsQuestion (int count, bool cabs, const juce::String& firstEntry,
                                   const juce::String& lastEntry, const juce::String& sent, bool anyHeld)
{
    if (! anyHeld)
        return "Send " + sent + " to "
               + (count == 1 ? juce::String (cabs ? "the empty user cab " : "the empty preset ") + firstEntry
                             : "the empty slots " + firstEntry + " to " + lastEntry)
               + " on the Kestrel?";

    return "Replace " + slotRangeText (count, cabs, firstEntry, lastEntry) + (count == 1 ? " with " : ", with ") + sent
           + "?\nWhat " + (count == 1 ? "it holds" : "those slots hold") + " now is lost.";
}

#include "model/SnapshotMenu.h"

#include "model/StringPairList.h"

void buildLoadSnapshotMenu (const StringPairList& snapshots, juce::PopupMenu* parent,
                            juce::ApplicationCommandManager* commandManager)
{
    if (parent == nullptr)
        return;

    bool enabled = false;

    if (commandManager != nullptr)
        if (auto* registered = commandManager->getCommandForID (loadSnapshotCommandId))
        {
            // What was registered is only what the target said back then (no
            // unit, no snapshots): ask the target that would perform the
            // command now, as command items do.
            juce::ApplicationCommandInfo info (*registered);
            commandManager->getTargetForCommand (loadSnapshotCommandId, info);
            enabled = (info.flags & juce::ApplicationCommandInfo::isDisabled) == 0;
        }

    juce::PopupMenu submenu;
    const int count = snapshots.size();

    // The index travels in the high 16 bits of a positive result id.
    const int listed = juce::jmin (count, 0x7fff);

    for (int i = 0; i < listed; ++i)
    {
        auto text = juce::String::formatted ("%d: ", count - i) + snapshots.getPair (i).first;
        submenu.addItem ((i << 16) | loadSnapshotCommandId, text, enabled, false);
    }

    parent->addSubMenu ("Load Snapshot", submenu, true);
}

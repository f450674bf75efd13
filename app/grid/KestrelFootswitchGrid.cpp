#include "app/grid/KestrelFootswitchGrid.h"

#include "device/engines/PresetManager.h"
#include "model/IdTables.h"
#include "model/LanguageStore.h"
#include "model/PresetGrid.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"
#include "skin/engine/ImageDepot.h"

namespace
{
constexpr int looperBlockId = 169;
// The footswitch function types in the order the menu offers them.
constexpr int functionTypesInMenu[] = { 46, 43, 44, 45, 47 };
// ... and the order in which the per-preset choices take them.
constexpr int functionTypesInChoices[] = { 46, 43, 45, 44, 47 };

void addGroup (juce::PopupMenu& menu, const FootswitchGridPanel::ChoiceGroup& group, const ImageDepot* depot)
{
    // The type's menu icon, or the depot's stand-in when the skin has none.
    const auto icon = depot != nullptr ? depot->getTypeImage (group.effectType, BlockImageSet::iconMenu) : juce::Image();

    juce::Array<juce::uint16> ids;

    for (auto id : group.blockIds)
        if (isAssignableBlockId (id))
            ids.add (id);

    if (ids.size() == 1)
    {
        menu.addItem (ids[0], getNameForId (BlockDisplayNames, ids[0]), true, false, icon);
    }
    else if (ids.size() > 1)
    {
        juce::PopupMenu sub;

        for (auto id : ids)
            sub.addItem (id, getNameForId (BlockDisplayNames, id));

        menu.addSubMenu (group.typeName, sub, true, icon);
    }
}
} // namespace

void KestrelFootswitchGrid::fillChoices()
{
    if (mode == 0)
    {
        PresetGrid grid;

        if (presets != nullptr && presets->getBlockList (grid))
        {
            for (int i = 0; i < grid.getNumCells(); ++i)
            {
                const int id = grid.getCell (i)->blockId;

                if (id != 0 && id != looperBlockId && ! isShuntBlockId (id))
                    addChoice (id);
            }
        }

        for (int type : functionTypesInChoices)
        {
            juce::Array<juce::uint16> ids;
            getBlockIdsOfType (type, ids);

            for (auto id : ids)
                addChoice (id);
        }

        return;
    }

    for (int id = 100; id <= 205; ++id)
        if (id != looperBlockId && isBlockIdSupported (id))
            addChoice (id);
}

std::unique_ptr<juce::PopupMenu> KestrelFootswitchGrid::createBlockMenu (int row, int column)
{
    const int k = footswitchIndexAt (row, column);

    if (k < 0)
        return nullptr;

    const auto& assignment = getAssignments().getReference (k);

    if (mode == 0 && assignment.isGlobal())
    {
        UserNotifier::warn (LanguageStore::textOr (globalModeWarningId,
                                                   "You must disable Global mode before assigning a "
                                                   "Per-Preset effect to this footswitch."),
                            LanguageStore::textOr (presetTitleId, "PRESET FOOTSWITCHES"));
        return nullptr;
    }

    auto menu = std::make_unique<juce::PopupMenu>();
    // On the global page "None" clears the global block, so it follows that one.
    const int current = mode == 0 ? assignment.presetBlockId : assignment.globalBlockId;
    menu->addItem (menuNone, "None", current != 0);
    menu->addSeparator();

    for (int type : functionTypesInMenu)
        if (auto* group = findChoiceGroup (type))
            addGroup (*menu, *group, getImageDepot());

    menu->addSeparator();

    for (auto& group : getChoiceGroups())
        if (group.effectType < 43 || group.effectType > 47)
            addGroup (*menu, group, getImageDepot());

    return menu;
}

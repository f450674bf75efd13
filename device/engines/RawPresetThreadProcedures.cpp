#include "device/engines/RawPresetThread.h"

#include "device/wire/BlockStateWord.h"
#include "model/UnitIds.h"

namespace
{
constexpr int firstModifierId = 100;
constexpr int modifierCount = 16;
constexpr int modifierFieldCount = 15;
constexpr juce::uint16 bypassParamId = 255;

// The modifier of a bypass-mode parameter is addressed as parameter 255.
juce::uint16 modifierParamAddress (int blockId, int paramId)
{
    return isBypassModeParam (blockId, paramId) ? bypassParamId : (juce::uint16) paramId;
}

RawPresetBlock& findOrAddBlock (RawPreset& record, juce::uint16 blockId)
{
    if (auto* existing = record.findBlock (blockId))
        return *existing;

    auto& added = record.addBlock();
    added.blockId = blockId;
    added.shuntFlag = isShuntBlockId (blockId) ? 1 : 0;
    return added;
}
} // namespace

void RawPresetThread::gridFromReply (PresetGrid& grid) const
{
    grid.setFromVectors (&gridReply);

    for (auto fixed : { blockIdGridInput, blockIdGridOutput, blockIdControllers })
        grid.getFixedBlocks().addIfNotAlreadyThere ((juce::uint16) fixed);
}

bool RawPresetThread::readSceneStates (RawPreset& record)
{
    const int sceneCount = getSceneCount (getModel());

    if (sceneCount <= 0)
        return false;

    // Every scene must be read: a scene missing from the record would later
    // be written back as every block bypassed.
    for (int s = 0; s < sceneCount; ++s)
    {
        juce::uint8 echo = 0;
        juce::Array<juce::uint32> words;

        if (! sendSetScene (s, echo) || echo != s || ! sendQueryStates (words))
            return false;

        for (auto word : words)
        {
            auto& block = findOrAddBlock (record, (juce::uint16) (word & BlockStateWord::idMask));

            RawPresetSceneState state;
            state.scene = echo;
            state.xy = BlockStateWord::isXSelected (word) ? 0 : 1;
            state.bypass = BlockStateWord::isEngaged (word) ? 1 : 0;
            block.sceneStates.add (state);
        }
    }

    return true;
}

bool RawPresetThread::readParamValues (int channel, RawPreset& record)
{
    PresetGridIterator blocks (&record.grid, 0);
    juce::uint16 blockId = 0;

    while (blocks.next (blockId))
    {
        if (channel == 1 && ! hasXYChannels (blockId, getModel()))
            continue;

        if (! sendXY (blockId, channel))
            return false;

        auto& block = findOrAddBlock (record, blockId);

        if (block.shuntFlag != 0)
            continue;

        juce::Array<EffectParamValue> values;

        if (! sendParamDump (blockId, values))
            return false;

        for (auto& value : values)
            block.addParamValue (channel, (juce::uint32) value.paramId | ((juce::uint32) value.value << 16));
    }

    return true;
}

bool RawPresetThread::readModifiers (RawPreset& record)
{
    for (int id = firstModifierId; id < firstModifierId + modifierCount; ++id)
    {
        ModifierInfoReply info;

        if (! sendGetModifierInfo (id, info))
            return false;

        if (info.modifierId == 0 || info.blockId == 0)
            continue; // unassigned

        if (info.modifierId != id)
            return false;

        // Every field must be read: a modifier with a field missing would be
        // exported as if it were complete.
        RawPresetModifier modifier;
        modifier.blockId = info.blockId;
        modifier.paramId = info.paramId;

        for (int field = 0; field < modifierFieldCount; ++field)
        {
            ModifierWrite query;
            query.blockId = info.blockId;
            query.selector1 = modifierParamAddress (info.blockId, info.paramId);
            query.selector2 = (juce::uint16) field;
            query.mode = 0;

            ModifierSetReply answer;

            if (! sendModifierSet (query, answer))
                return false;

            modifier.words.add ((juce::uint32) answer.selector2 | ((answer.value & 0xFFFFu) << 16));
        }

        record.addModifier (modifier);
    }

    return true;
}

bool RawPresetThread::writeParamValues (int channel, int listIndex, const PresetGrid& grid, const RawPreset& record)
{
    PresetGridIterator blocks (&grid, 0);
    juce::uint16 blockId = 0;

    while (blocks.next (blockId))
    {
        if (channel == 1 && ! hasXYChannels (blockId, getModel()))
            continue;

        if (! sendXY (blockId, channel))
            return false;

        auto* block = record.findBlock (blockId);

        if (block == nullptr || block->shuntFlag != 0)
            continue;

        for (auto word : listIndex == 0 ? block->xValues : block->yValues)
        {
            if (! sendParamSet (blockId, (int) (word & 0xFFFF), (juce::uint16) (word >> 16)) || threadShouldExit())
                return false;
        }
    }

    return true;
}

bool RawPresetThread::writeSceneStates (const RawPreset& record)
{
    const int sceneCount = getSceneCount (getModel());

    for (int s = 0; s < sceneCount; ++s)
    {
        juce::uint8 echo = 0;

        if (! sendSetScene (s, echo) || echo != s || threadShouldExit())
            return false;

        juce::Array<SceneBlockState> xyStates, bypassStates;
        record.getSceneXYStates (s, xyStates);
        record.getSceneBypassStates (s, bypassStates);

        for (auto& pair : xyStates)
            if (! sendXY (pair.blockId, pair.state != 1 ? 1 : 0) || threadShouldExit())
                return false;

        for (auto& pair : bypassStates)
        {
            // Only the states the record holds are written: a block without a
            // state for this scene (a fixed block the unit reports no state
            // for) is left as it is rather than bypassed, and so is a block
            // that cannot be bypassed.
            auto* block = record.findBlock (pair.blockId);

            if (block == nullptr || block->findSceneState (s) == nullptr || ! hasBypass (pair.blockId, getModel()))
                continue;

            if (! sendParamSet (pair.blockId, bypassParamId, pair.state == 1 ? 1 : 0) || threadShouldExit())
                return false;
        }
    }

    return true;
}

bool RawPresetThread::planImport (const RawPreset& record)
{
    placementQueue.clear();
    connectionQueue.clear();
    modifierQueue.clear();

    PresetGrid noCells;
    juce::Array<juce::uint16> shuntsHandedOut;

    for (int i = 0; i < record.grid.getNumCells(); ++i)
    {
        auto* cell = record.grid.getCell (i);

        if (cell->blockId != blockIdNone)
        {
            auto id = cell->blockId;

            if (isShuntBlockId (id))
            {
                const auto shunt = noCells.findFreeShuntId (&shuntsHandedOut);

                if (shunt < 0)
                    return false; // more shunts than the unit has ids for

                id = (juce::uint16) shunt;
                shuntsHandedOut.add (id);
            }

            placementQueue.push_back ({ (juce::uint8) i, id });
        }

        int row = 0, column = 0;

        if (gridCellPosition (i, row, column) && column >= 1)
        {
            for (int r = 0; r < gridRows; ++r)
                if ((cell->inputMask & (1 << r)) != 0)
                    connectionQueue.push_back ({ (juce::uint8) ((column - 1) * gridRows + r), (juce::uint8) i, 1 });
        }
    }

    // The unit knows a modifier of a bypass-mode parameter as parameter 255,
    // which is how it was read.
    for (auto* modifier : record.getModifiers())
    {
        for (auto word : modifier->words)
        {
            ModifierWrite write;
            write.blockId = modifier->blockId;
            write.selector1 = modifierParamAddress (modifier->blockId, modifier->paramId);
            write.selector2 = (juce::uint16) (word & 0xFFFF);
            write.value = (juce::uint16) (word >> 16);
            write.mode = 1;
            modifierQueue.push_back (write);
        }
    }

    return true;
}

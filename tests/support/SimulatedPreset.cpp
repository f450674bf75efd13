#include "tests/support/SimulatedPreset.h"

namespace
{
constexpr juce::uint16 imageTag = 0x4B08; // "K", model 8: an image in this simulation's layout
constexpr int nameWord = 2;
constexpr int sceneWord = 34;
constexpr int cellsWord = 35;
constexpr int blocksWord = cellsWord + 2 * gridCellCount;
constexpr int blockRecordHeader = 4; // id, scene states, disabled, parameter count
constexpr int simulatedModel = 8;

const int fixedBlocks[] = { blockIdGlobal, blockIdGridInput, blockIdGridOutput, blockIdControllers };
} // namespace

SimulatedPreset::SimulatedPreset()
{
    for (auto id : fixedBlocks)
        addBlock (id);
}

SimulatedPreset SimulatedPreset::makeFactory (int number)
{
    SimulatedPreset preset;
    preset.name = "Preset " + juce::String (number);
    const juce::uint16 paddings[] = { ' ', 0x00FF, 0xFFFF };
    preset.namePadding = paddings[juce::jmax (0, number) % 3];
    preset.placeBlock (0, 106);
    preset.placeBlock (4, 108);
    preset.connectCells (0, 4, true);
    auto* modifier = preset.assignModifier (106, 0);
    modifier->settings[0] = 1;
    return preset;
}

bool SimulatedPreset::isFixedBlock (int blockId)
{
    for (auto id : fixedBlocks)
        if (id == blockId)
            return true;

    return false;
}

SimulatedPreset::Block& SimulatedPreset::addBlock (int blockId)
{
    auto& block = blocks[blockId];
    block.engaged.fill (true);
    block.onX.fill (true);
    block.disabled = false;

    for (auto channel : { channelX, channelY })
    {
        block.values[channel].resize ((size_t) getParamCount (blockId));

        for (size_t i = 0; i < block.values[channel].size(); ++i)
            block.values[channel][i] = getDefaultValue (blockId, (int) i);
    }

    return block;
}

SimulatedPreset::Block* SimulatedPreset::findBlock (int blockId)
{
    auto found = blocks.find (blockId);
    return found != blocks.end() ? &found->second : nullptr;
}

const SimulatedPreset::Block* SimulatedPreset::findBlock (int blockId) const
{
    auto found = blocks.find (blockId);
    return found != blocks.end() ? &found->second : nullptr;
}

bool SimulatedPreset::isInGrid (int blockId) const
{
    for (auto& cell : cells)
        if (cell.blockId == blockId)
            return true;

    return false;
}

bool SimulatedPreset::placeBlock (int cell, int blockId)
{
    if (! juce::isPositiveAndBelow (cell, gridCellCount))
        return false;

    const bool isShunt = isShuntBlockId (blockId);

    if (blockId != blockIdNone && ! isShunt)
    {
        if (! isBlockIdSupported (blockId) || isFixedBlock (blockId) || getParamCount (blockId) == 0)
            return false;

        if (isInGrid (blockId) && cells[(size_t) cell].blockId != blockId)
            return false;
    }

    const int previous = cells[(size_t) cell].blockId;
    cells[(size_t) cell].blockId = (juce::uint16) blockId;

    if (blockId == blockIdNone)
        cells[(size_t) cell].inputMask = 0;

    if (previous != blockId && previous != blockIdNone && ! isFixedBlock (previous) && ! isInGrid (previous))
    {
        blocks.erase (previous);

        // A block that leaves the preset takes its modifiers with it.
        for (auto& modifier : modifiers)
            if (modifier.blockId == previous)
                modifier = {};
    }

    if (blockId != blockIdNone && ! isShunt && findBlock (blockId) == nullptr)
        addBlock (blockId);

    return true;
}

SimulatedPreset::Modifier* SimulatedPreset::findModifier (int blockId, int paramId)
{
    for (auto& modifier : modifiers)
        if (modifier.blockId != 0 && modifier.blockId == blockId && modifier.paramId == paramId)
            return &modifier;

    return nullptr;
}

SimulatedPreset::Modifier* SimulatedPreset::assignModifier (int blockId, int paramId)
{
    for (auto& modifier : modifiers)
    {
        if (modifier.blockId == 0)
        {
            modifier = {};
            modifier.blockId = blockId;
            modifier.paramId = paramId;
            return &modifier;
        }
    }

    return nullptr;
}

bool SimulatedPreset::connectCells (int fromCell, int toCell, bool connect)
{
    int fromRow = 0, fromColumn = 0, toRow = 0, toColumn = 0;

    if (! gridCellPosition (fromCell, fromRow, fromColumn) || ! gridCellPosition (toCell, toRow, toColumn) ||
        fromColumn + 1 != toColumn)
        return false;

    auto& mask = cells[(size_t) toCell].inputMask;
    const auto bit = (juce::uint16) (1 << fromRow);
    mask = connect ? (juce::uint16) (mask | bit) : (juce::uint16) (mask & ~bit);
    return true;
}

bool SimulatedPreset::moveBlock (int cell, int direction, int distance)
{
    int row = 0, column = 0;

    if (! gridCellPosition (cell, row, column) || cells[(size_t) cell].blockId == blockIdNone || distance <= 0)
        return false;

    int toRow = row, toColumn = column;

    switch (direction)
    {
        case 0: toColumn += distance; break;
        case 1: toColumn -= distance; break;
        case 2: toRow += distance; break;
        case 3: toRow -= distance; break;
        default: return false;
    }

    const int target = gridCellIndex (toRow, toColumn);

    if (target < 0 || cells[(size_t) target].blockId != blockIdNone)
        return false;

    // The cables the block fed from its old place are cut.
    if (column + 1 < gridColumns)
        for (int r = 0; r < gridRows; ++r)
            cells[(size_t) gridCellIndex (r, column + 1)].inputMask &= (juce::uint16) ~(1 << row);

    cells[(size_t) target] = cells[(size_t) cell];
    cells[(size_t) cell] = GridCell{};
    return true;
}

int SimulatedPreset::getChannel (int blockId) const
{
    auto* block = findBlock (blockId);
    return block == nullptr || block->onX[(size_t) scene] ? channelX : channelY;
}

bool SimulatedPreset::setChannel (int blockId, int channel)
{
    auto* block = findBlock (blockId);

    if (block == nullptr)
        return false;

    block->onX[(size_t) scene] = channel == channelX;
    return true;
}

bool SimulatedPreset::getParam (int blockId, int paramId, juce::uint16& value) const
{
    auto* block = findBlock (blockId);

    if (block == nullptr)
        return false;

    if (paramId == bypassParamId)
    {
        if (! hasBypass (blockId, simulatedModel))
            return false;

        value = block->engaged[(size_t) scene] ? 0 : 1;
        return true;
    }

    auto& values = block->values[getChannel (blockId)];

    if (! juce::isPositiveAndBelow (paramId, (int) values.size()))
        return false;

    value = values[(size_t) paramId];
    return true;
}

bool SimulatedPreset::setParam (int blockId, int paramId, juce::uint16 value)
{
    auto* block = findBlock (blockId);

    if (block == nullptr)
        return false;

    if (paramId == bypassParamId)
    {
        if (! hasBypass (blockId, simulatedModel))
            return false;

        block->engaged[(size_t) scene] = value == 0;
        return true;
    }

    auto& values = block->values[getChannel (blockId)];

    if (! juce::isPositiveAndBelow (paramId, (int) values.size()))
        return false;

    values[(size_t) paramId] = value;
    return true;
}

bool SimulatedPreset::resetToDefaults (int blockId)
{
    auto* block = findBlock (blockId);

    if (block == nullptr)
        return false;

    for (auto& values : block->values)
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = getDefaultValue (blockId, (int) i);

    return true;
}

juce::Array<juce::uint32> SimulatedPreset::getStateWords() const
{
    juce::Array<juce::uint32> words;

    for (auto& cell : cells)
    {
        if (cell.blockId == blockIdNone || isShuntBlockId (cell.blockId))
            continue;

        if (auto* block = findBlock (cell.blockId))
        {
            auto word = (juce::uint32) (cell.blockId & 0xFF);

            if (block->engaged[(size_t) scene])
                word |= 1u << 24;

            if (block->onX[(size_t) scene])
                word |= 1u << 25;

            if (block->disabled)
                word |= 1u << 31;

            words.add (word);
        }
    }

    return words;
}

//==============================================================================
std::vector<juce::uint16> SimulatedPreset::toWords() const
{
    std::vector<juce::uint16> words ((size_t) wordCount, 0);
    words[0] = imageTag;

    for (int i = 0; i < nameLength; ++i)
        words[(size_t) (nameWord + i)] = i < name.length() ? (juce::uint16) name[i] : namePadding;

    words[(size_t) sceneWord] = (juce::uint16) scene;

    for (int i = 0; i < gridCellCount; ++i)
    {
        words[(size_t) (cellsWord + 2 * i)] = cells[(size_t) i].blockId;
        words[(size_t) (cellsWord + 2 * i + 1)] = cells[(size_t) i].inputMask;
    }

    // Block records follow until one does not fit; a zero id (or the end of
    // the image) ends them.
    size_t pos = blocksWord;

    for (auto& [blockId, block] : blocks)
    {
        const auto paramCount = block.values[channelX].size();
        const auto needed = (size_t) blockRecordHeader + 2 * paramCount + 1;

        if (pos + needed > (size_t) wordCount)
            break;

        juce::uint16 sceneStates = 0;

        for (size_t s = 0; s < (size_t) sceneCount; ++s)
            sceneStates = (juce::uint16) (sceneStates | (block.engaged[s] ? 1 << s : 0) |
                                          (block.onX[s] ? 1 << (s + sceneCount) : 0));

        words[pos++] = (juce::uint16) blockId;
        words[pos++] = sceneStates;
        words[pos++] = block.disabled ? 1 : 0;
        words[pos++] = (juce::uint16) paramCount;

        for (auto& values : block.values)
            for (auto value : values)
                words[pos++] = value;
    }

    return words;
}

SimulatedPreset SimulatedPreset::fromWords (const juce::uint16* words, int count)
{
    SimulatedPreset preset;

    if (words == nullptr || count <= 0)
        return preset;

    juce::String name;

    for (int i = nameWord; i < juce::jmin (count, nameWord + nameLength); ++i)
    {
        const auto c = words[i] & 0xFF;

        if (c != 0 && c != 0xFF)
            name += juce::String::charToString ((juce::juce_wchar) c);
        else if (c == 0xFF && preset.namePadding == ' ')
            preset.namePadding = words[i];
    }

    preset.name = name.trimEnd();

    if (count < blocksWord || words[0] != imageTag)
        return preset;

    preset.scene = juce::jlimit (0, sceneCount - 1, (int) words[sceneWord]);

    for (int i = 0; i < gridCellCount; ++i)
    {
        const int blockId = words[cellsWord + 2 * i];

        if (preset.placeBlock (i, blockId))
            preset.cells[(size_t) i].inputMask = words[cellsWord + 2 * i + 1];
    }

    for (int pos = blocksWord; pos + blockRecordHeader <= count;)
    {
        const int blockId = words[pos];
        const int paramCount = words[pos + 3];

        if (blockId == 0 || pos + blockRecordHeader + 2 * paramCount > count)
            break;

        if (auto* block = preset.findBlock (blockId))
        {
            for (size_t s = 0; s < (size_t) sceneCount; ++s)
            {
                block->engaged[s] = (words[pos + 1] & (1 << s)) != 0;
                block->onX[s] = (words[pos + 1] & (1 << (s + sceneCount))) != 0;
            }

            block->disabled = words[pos + 2] != 0;

            for (int channel = 0; channel < 2; ++channel)
                for (int i = 0; i < juce::jmin (paramCount, (int) block->values[channel].size()); ++i)
                    block->values[channel][(size_t) i] = words[pos + blockRecordHeader + channel * paramCount + i];
        }

        pos += blockRecordHeader + 2 * paramCount;
    }

    return preset;
}

#include "model/RawPreset.h"

#include "model/ByteReader.h"
#include "model/ByteWriter.h"
#include "model/Checksum.h"

namespace
{
// A counted list of 32-bit words; a count whose words do not all fit is
// skipped whole, leaving the list empty and the position just past the count.
void readWordList (ByteReader& reader, juce::Array<juce::uint32>& words)
{
    auto count = reader.readU32IfPresent();

    if (count == 0 || ! reader.canHold (count, 4))
        return;

    words.ensureStorageAllocated ((int) count);

    for (juce::uint32 i = 0; i < count; ++i)
        words.add (reader.readU32());
}

void writeWordList (ByteWriter& writer, const juce::Array<juce::uint32>& words)
{
    writer.writeU32 ((juce::uint32) words.size());

    for (auto word : words)
        writer.writeU32 (word);
}

// Stored names are normally 7-bit text from the unit, written as UTF-8 by
// this program. Bytes that are not valid UTF-8 are taken one character each,
// so an odd name still loads instead of turning into nothing.
juce::String decodeName (const juce::uint8* bytes, size_t length)
{
    if (auto* zero = std::memchr (bytes, 0, length))
        length = (size_t) (static_cast<const juce::uint8*> (zero) - bytes);

    auto* text = reinterpret_cast<const char*> (bytes);

    if (juce::CharPointer_UTF8::isValidString (text, (int) length))
        return juce::String::fromUTF8 (text, (int) length);

    juce::String name;
    for (size_t i = 0; i < length; ++i)
        name += (juce::juce_wchar) bytes[i];
    return name;
}

// Reads a nested form's 32-bit length; false when the form would reach past
// the data (the length is checked without wrap-around).
bool readNestedLength (ByteReader& reader, juce::uint32& length)
{
    length = reader.readU32IfPresent();
    return reader.canHold (length, 1);
}
} // namespace

//==============================================================================
void RawPresetBlock::reset()
{
    blockId = 0;
    shuntFlag = 0;
    sceneStates.clear();
    xValues.clear();
    yValues.clear();
}

void RawPresetBlock::addParamValue (int channel, juce::uint32 word)
{
    if (channel == 0)
        xValues.add (word);
    else if (channel == 1)
        yValues.add (word);
}

const RawPresetSceneState* RawPresetBlock::findSceneState (int scene) const
{
    for (auto& state : sceneStates)
        if (state.scene == scene)
            return &state;

    return nullptr;
}

void RawPresetBlock::writeTo (juce::MemoryBlock& target) const
{
    auto start = target.getSize();
    ByteWriter writer (target);

    writer.writeU16 (blockId);
    writer.writeU8 (shuntFlag);

    writer.writeU32 ((juce::uint32) sceneStates.size());
    for (auto& state : sceneStates)
    {
        writer.writeU16 (state.scene);
        writer.writeU16 (state.xy);
        writer.writeU8 (state.bypass);
        writer.writeU8 (state.spare);
    }

    writeWordList (writer, xValues);
    writeWordList (writer, yValues);
    appendCheckByte (target, start);
}

bool RawPresetBlock::readFrom (const void* data, size_t size)
{
    reset();

    auto* bytes = static_cast<const juce::uint8*> (data);

    if (! hasValidCheckByte (bytes, size))
        return false;

    ByteReader reader (bytes, size - 1);

    blockId = reader.readU16IfPresent();
    shuntFlag = reader.readU8IfPresent();

    auto stateCount = reader.readU32IfPresent();

    if (stateCount > 0 && reader.canHold (stateCount, 6))
    {
        sceneStates.ensureStorageAllocated ((int) stateCount);

        for (juce::uint32 i = 0; i < stateCount; ++i)
        {
            RawPresetSceneState state;
            state.scene = reader.readU16();
            state.xy = reader.readU16();
            state.bypass = reader.readU8();
            state.spare = reader.readU8();
            sceneStates.add (state);
        }
    }

    readWordList (reader, xValues);
    readWordList (reader, yValues);
    return true;
}

//==============================================================================
void RawPresetModifier::reset()
{
    blockId = 0;
    paramId = 0;
    words.clear();
}

void RawPresetModifier::writeTo (juce::MemoryBlock& target) const
{
    auto start = target.getSize();
    ByteWriter writer (target);

    writer.writeU16 (blockId);
    writer.writeU16 (paramId);
    writeWordList (writer, words);
    appendCheckByte (target, start);
}

bool RawPresetModifier::readFrom (const void* data, size_t size)
{
    reset();

    auto* bytes = static_cast<const juce::uint8*> (data);

    if (! hasValidCheckByte (bytes, size))
        return false;

    ByteReader reader (bytes, size - 1);

    blockId = reader.readU16IfPresent();
    paramId = reader.readU16IfPresent();
    readWordList (reader, words);
    return true;
}

//==============================================================================
RawPreset::RawPreset()
{
    clear();
}

void RawPreset::clear()
{
    format = 1;
    model = 0;
    firmwareMajor = 0;
    firmwareMinor = 0;
    presetNumber = 0;
    name.clear();
    grid.clear();
    clearBlocks();
    clearModifiers();
}

void RawPreset::clearBlocks()
{
    blocks.clear();
}

void RawPreset::clearModifiers()
{
    modifiers.clear();
}

RawPresetBlock& RawPreset::addBlock()
{
    return *blocks.add (new RawPresetBlock());
}

RawPresetBlock* RawPreset::findBlock (juce::uint16 id)
{
    for (auto* block : blocks)
        if (block->blockId == id)
            return block;

    return nullptr;
}

const RawPresetBlock* RawPreset::findBlock (juce::uint16 id) const
{
    return const_cast<RawPreset*> (this)->findBlock (id);
}

void RawPreset::addModifier (const RawPresetModifier& modifier)
{
    modifiers.add (new RawPresetModifier (modifier));
}

void RawPreset::getSceneBypassStates (int scene, juce::Array<SceneBlockState>& result) const
{
    for (auto* block : blocks)
    {
        auto* state = block->findSceneState (scene);
        bool active = state == nullptr || state->bypass == 0;
        result.add ({ block->blockId, (juce::uint8) (active ? 1 : 0) });
    }
}

void RawPreset::getSceneXYStates (int scene, juce::Array<SceneBlockState>& result) const
{
    for (auto* block : blocks)
        if (auto* state = block->findSceneState (scene))
            result.add ({ block->blockId, (juce::uint8) (state->xy == 0 ? 1 : 0) });
}

void RawPreset::writeTo (juce::MemoryBlock& target) const
{
    auto start = target.getSize();
    ByteWriter writer (target);

    writer.writeU16 (format);
    writer.writeU16 (model);
    writer.writeU8 (firmwareMajor);
    writer.writeU8 (firmwareMinor);
    writer.writeU16 (presetNumber);

    // The length is the UTF-8 byte count, which equals the character count
    // for the unit's 7-bit names and never cuts a multi-byte character.
    writer.writeText (name);

    auto writeNested = [&writer] (const juce::MemoryBlock& form)
    {
        writer.writeU32 ((juce::uint32) form.getSize());
        writer.writeBytes (form.getData(), form.getSize());
    };

    juce::MemoryBlock gridForm;
    grid.writeTo (gridForm);
    writeNested (gridForm);

    writer.writeU32 ((juce::uint32) blocks.size());
    for (auto* block : blocks)
    {
        juce::MemoryBlock form;
        block->writeTo (form);
        writeNested (form);
    }

    writer.writeU32 ((juce::uint32) modifiers.size());
    for (auto* modifier : modifiers)
    {
        juce::MemoryBlock form;
        modifier->writeTo (form);
        writeNested (form);
    }

    appendCheckByte (target, start);
}

bool RawPreset::readFrom (const juce::MemoryBlock& source)
{
    return readFrom (source.getData(), source.getSize());
}

bool RawPreset::readFrom (const void* data, size_t size)
{
    // Parse into a scratch record so that a bad file never costs the record
    // (perhaps the clipboard) what it held.
    RawPreset parsed;

    if (! parsed.parse (static_cast<const juce::uint8*> (data), size))
        return false;

    format = parsed.format;
    model = parsed.model;
    firmwareMajor = parsed.firmwareMajor;
    firmwareMinor = parsed.firmwareMinor;
    presetNumber = parsed.presetNumber;
    name = parsed.name;
    grid = std::move (parsed.grid);
    blocks.swapWith (parsed.blocks);
    modifiers.swapWith (parsed.modifiers);
    return true;
}

bool RawPreset::parse (const juce::uint8* bytes, size_t size)
{
    clear();

    if (! hasValidCheckByte (bytes, size))
        return false;

    ByteReader reader (bytes, size - 1);

    if (reader.remaining() >= 2)
        format = reader.readU16();

    model = reader.readU16IfPresent();
    firmwareMajor = reader.readU8IfPresent();
    firmwareMinor = reader.readU8IfPresent();
    presetNumber = reader.readU16IfPresent();

    // The length is a byte count. A name that does not fit stays empty and
    // the position stays where it is.
    auto nameLength = reader.readU32IfPresent();

    if (reader.canHold (nameLength, 1) && nameLength <= (juce::uint32) std::numeric_limits<int>::max())
    {
        name = decodeName (reader.current(), nameLength);
        reader.skip (nameLength);
    }

    juce::uint32 length = 0;

    if (! readNestedLength (reader, length) || ! grid.readFrom (reader.current(), length))
        return false;

    reader.skip (length);

    // Every entry takes at least its length word and its check byte, so a
    // count beyond that cannot be real.
    const size_t smallestEntry = 5;

    auto blockCount = reader.readU32IfPresent();

    if (! reader.canHold (blockCount, smallestEntry))
        return false;

    for (juce::uint32 i = 0; i < blockCount; ++i)
    {
        auto& block = addBlock();

        if (! readNestedLength (reader, length) || ! block.readFrom (reader.current(), length))
            return false;

        reader.skip (length);
    }

    auto modifierCount = reader.readU32IfPresent();

    if (! reader.canHold (modifierCount, smallestEntry))
        return false;

    for (juce::uint32 i = 0; i < modifierCount; ++i)
    {
        RawPresetModifier modifier;

        if (! readNestedLength (reader, length) || ! modifier.readFrom (reader.current(), length))
            return false;

        addModifier (modifier);
        reader.skip (length);
    }

    return reader.ok();
}

//==============================================================================
void SceneRecord::reset()
{
    sceneNumber = -1;
    startingScene = 0;
    destinationScene = 0;

    for (auto& entry : sceneParams)
        entry = {};

    xyStates.clear();
    bypassStates.clear();
}

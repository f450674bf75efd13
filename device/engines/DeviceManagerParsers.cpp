#include "device/engines/DeviceManager.h"

#include "device/engines/EngineDetail.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/BlockStateWord.h"
#include "device/wire/CabIrBlock.h"
#include "device/wire/ModelRules.h"
#include "device/wire/SysExBuilders.h"
#include "device/wire/SysExCollectors.h"
#include "device/wire/SysExParsers.h"
#include "model/Checksum.h"
#include "model/FileUtils.h"
#include "model/GlobalConfiguration.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"

using namespace EngineDetail;

namespace
{
constexpr int ampEffectType = 5;

bool getReplyMessage (const SysExRequest& request, int index, juce::MidiMessage& out)
{
    return request.getReply (out, index);
}

// A grid reply can carry more pairs than the unit has cells. The first 48 are
// kept: the reply is cut behind them and framed again for the codec's parser.
bool capGridReply (const juce::MidiMessage& message, juce::MidiMessage& capped)
{
    constexpr int pairSize = 4;
    auto size = message.getRawDataSize();
    auto payload = getSysExPayloadEnd (message) - sysExHeaderSize;

    if (size < sysExFrameOverhead || payload <= gridCellCount * pairSize || payload % pairSize != 0)
        return false;

    juce::HeapBlock<juce::uint8> bytes ((size_t) (sysExHeaderSize + gridCellCount * pairSize + 2));
    auto length = sysExHeaderSize + gridCellCount * pairSize;
    std::memcpy (bytes.get(), message.getRawData(), (size_t) length);
    length = writeSysExTrailer (bytes.get(), length);
    setMidiMessageBytes (capped, bytes.get(), length);
    return true;
}
} // namespace

//==============================================================================
// Reply parsers

bool DeviceManager::parseIdentity (SysExRequest& request)
{
    juce::MidiMessage reply;
    juce::uint8 model = 0;

    if (! getReplyMessage (request, 0, reply) || ! parseStatusModel (reply, model))
        return false;

    identityModel = model;
    identityValid = true;
    return true;
}

bool DeviceManager::parseFirmwareVersion (SysExRequest& request)
{
    juce::MidiMessage reply;
    FirmwareInfo info;

    if (! getReplyMessage (request, 0, reply) || ! parseQueryVersion (reply, info))
        return false;

    firmware = info;
    firmwareValid = true;
    currentSysExModel.store (info.model); // every later message goes to the model that answered
    return true;
}

bool DeviceManager::parseSystemInfo (SysExRequest& request)
{
    juce::MidiMessage reply;
    SystemInfo info;

    if (getReplyMessage (request, 0, reply) && parseGetSysInfo (reply, info))
    {
        systemInfo = info;
        systemInfoValid = true;
        return true;
    }

    systemInfo = {};
    systemInfoValid = false;
    return false;
}

bool DeviceManager::parsePresetNames (SysExRequest& request)
{
    bool any = false;

    for (int i = 0; i < request.getNumReplies(); ++i)
    {
        juce::MidiMessage reply;
        PresetNameRecord record;

        if (! getReplyMessage (request, i, reply) || ! parseQueryNameByNum (reply, record))
            continue;

        auto number = record.getNumber();

        if (number >= 0 && number < presetNames.size())
        {
            presetNames.set (number, record);
            any = true;
        }
    }

    return any;
}

bool DeviceManager::parsePresetNumber (SysExRequest& request)
{
    juce::MidiMessage reply;
    PresetNumberRecord number;

    if (! getReplyMessage (request, 0, reply) || ! parsePatchNum (reply, number))
        return false;

    const juce::ScopedValueSetter<bool> answering (answeringPresetQuery, true);
    return setCurrentPresetNumber (number);
}

bool DeviceManager::parseScene (SysExRequest& request)
{
    juce::MidiMessage reply;
    juce::uint8 scene = 0;

    if (! getReplyMessage (request, 0, reply) || ! parseSetScene (reply, scene))
        return false;

    statesReportsFollowed = request.getStatesReportCountAtAnswer();
    const juce::ScopedLock sl (presetNumberLock);
    sceneWord = scene;
    return true;
}

bool DeviceManager::parseCabNames (SysExRequest& request)
{
    // What was asked is read back from the sent message, so that a table
    // request that timed out leaves nothing behind for a later reply.
    auto asked = (juce::uint16) readSysExField (request.getMessage(), cabNameRequestLayout, 0);
    auto all = asked == cabNamesAll, factory = asked == cabNamesFactory;

    if (all || factory || asked == cabNamesUser)
    {
        // The tables asked for are emptied whatever the answer brings.
        if (all || factory)
            factoryCabs.clear();

        if (all || ! factory)
            userCabs.clear();

        juce::Array<CabNameRecord> names;

        if (! collectCabNames (request, names))
            return false;

        auto factoryCount = (int) getNumFactoryCabs();

        for (int i = 0; i < names.size(); ++i)
        {
            if (all)
                (i < factoryCount ? factoryCabs : userCabs).add (names.getReference (i));
            else
                (factory ? factoryCabs : userCabs).add (names.getReference (i));
        }

        return true;
    }

    juce::MidiMessage reply;
    CabNameRecord record;

    if (! getReplyMessage (request, 0, reply) || ! parseCabName (reply, record))
        return false;

    // Blank (the unit pads names with blanks), or no name at all.
    if (! record.holdsName())
        copyNameInto (record.name, "EMPTY");

    return storeCabName (record);
}

bool DeviceManager::storeCabName (const CabNameRecord& record)
{
    auto slot = (juce::int64) record.slot;
    auto factoryCount = (juce::int64) getNumFactoryCabs();
    auto userCount = (juce::int64) (systemInfoValid ? systemInfo.userCabs : 0);

    auto place = [] (juce::Array<CabNameRecord>& table, juce::int64 row, const CabNameRecord& r)
    {
        if (row < table.size())
            table.set ((int) row, r);
        else
            table.add (r);
    };

    if (slot < factoryCount)
        place (factoryCabs, slot, record);
    else if (slot < factoryCount + userCount)
        place (userCabs, slot - factoryCount, record);
    else
        place (scratchpadCabs, slot - factoryCount - userCount, record);

    return true;
}

bool DeviceManager::parseGrid (SysExRequest& request)
{
    juce::MidiMessage reply;
    GridVectors vectors;

    if (! getReplyMessage (request, 0, reply))
        return false;

    if (! parseGetGrid (reply, vectors))
    {
        // More pairs than the grid has cells: keep the cells the grid can hold.
        juce::MidiMessage capped;

        if (! capGridReply (reply, capped) || ! parseGetGrid (capped, vectors))
            return false;
    }

    gridVectors = vectors;
    return getBlockList (presetGrid);
}

bool DeviceManager::parsePresetName (SysExRequest& request)
{
    juce::MidiMessage reply;
    char name[PresetNameRecord::nameSize] = {};

    if (! getReplyMessage (request, 0, reply) || ! parseQueryName (reply, name))
        return false;

    std::memcpy (currentPresetName, name, sizeof (currentPresetName));
    currentPresetName[PresetNameRecord::nameSize - 1] = 0;
    return true;
}

bool DeviceManager::parseCpuLoad (SysExRequest& request)
{
    juce::MidiMessage reply;
    juce::uint8 load = 0;

    if (! getReplyMessage (request, 0, reply) || ! ::parseCpuLoad (reply, load))
        return false;

    const juce::ScopedLock sl (cpuLock);
    cpuLoad = load;
    return true;
}

bool DeviceManager::parseFlags (SysExRequest& request)
{
    juce::MidiMessage reply;
    UnitFlags flags;

    if (! getReplyMessage (request, 0, reply) || ! parseGetFlags (reply, flags))
        return false;

    const juce::ScopedLock sl (stateLock);
    unitFlags = flags;
    return true;
}

bool DeviceManager::parseBlockStates (SysExRequest& request)
{
    juce::Array<juce::uint32> words;
    juce::uint8 scene = 0;

    if (! collectQueryStates (request, words, scene))
        return false;

    blockStates = words;
    statesReportsFollowed = request.getStatesReportCountAtAnswer();

    {
        const juce::ScopedLock sl (presetNumberLock);
        sceneWord = scene;
    }

    if (effects != nullptr)
    {
        juce::Array<juce::int32> states;

        for (auto word : words)
            states.add ((juce::int32) word);

        effects->storeQueryStates (scene, states);
    }

    return true;
}

juce::uint16 DeviceManager::getUnitMidiChannel() const
{
    return configuration != nullptr ? configuration->unitMidiChannel : 0;
}

juce::uint16 DeviceManager::getDisplayOffset() const
{
    return configuration != nullptr ? configuration->displayOffset : 0;
}

bool DeviceManager::parseMidiChannel (SysExRequest& request)
{
    juce::MidiMessage reply;
    juce::uint8 channel = 0;

    if (! getReplyMessage (request, 0, reply) || ! parseGetMidiChannel (reply, channel))
        return false;

    if (configuration != nullptr)
        configuration->unitMidiChannel = (juce::uint16) (channel + 1);
    return true;
}

bool DeviceManager::parseConfig (SysExRequest& request)
{
    juce::MidiMessage reply;
    ConfigReply config;

    if (! getReplyMessage (request, 0, reply) || ! parseGetConfig (reply, config))
        return false;

    if (configuration != nullptr)
        configuration->displayOffset = (juce::uint16) config.value; // the 16-bit value behind the key
    return true;
}

bool DeviceManager::parsePlaceBlock (SysExRequest& request)
{
    juce::MidiMessage reply;
    StatusReply status;

    if (! getReplyMessage (request, 0, reply) || ! parseStatusMessage (reply, status))
        return false;

    if (status.result != 0)
    {
        placeResult = status.result;
        return false;
    }

    juce::uint16 blockId = 0;
    juce::uint8 cell = 0;

    if (! parsePlaceEffect (request.getMessage(), blockId, cell) || cell >= presetGrid.getNumCells())
        return true;

    if (blockId != 0)
    {
        if (effectTypeOfBlock (blockId) == ampEffectType)
            requestAmpNames();

        return true;
    }

    // The cell was emptied: forget what was known of the amp that stood there.
    auto previous = presetGrid.getBlockIdAt (cell);

    if (effectTypeOfBlock (previous) == ampEffectType && effects != nullptr)
    {
        if (auto* record = effects->findEffect (previous))
        {
            record->clearParams (0);
            record->clearParams (1);
            record->globalBlockNumber = EffectRecord::globalNumberUnknown;
            record->globalUsedMask = EffectRecord::globalMaskUnknown;
            record->allParamsData.reset();
        }
    }

    return true;
}

bool DeviceManager::parseStatus (SysExRequest& request)
{
    juce::MidiMessage reply;
    StatusReply status;

    return getReplyMessage (request, 0, reply) && parseStatusMessage (reply, status) && status.result == 0;
}

bool DeviceManager::parsePatchDump (SysExRequest& request)
{
    CollectedPatch patch;

    if (! collectPatchDump (request, patch))
        return false;

    patchDumpBuffer.reset();
    request.getReplyData (patchDumpBuffer);
    return true;
}

bool DeviceManager::parseCabDump (SysExRequest& request)
{
    // Decoded into a work area of cab number and 2048 values; only a whole,
    // verified dump replaces the buffer.
    auto work = std::make_unique<CabDumpData>();

    if (! collectCabDump (request, *work))
        return false;

    cabDumpBuffer.reset();
    request.getReplyData (cabDumpBuffer);
    return true;
}

bool DeviceManager::parsePatchPlusCabDump (SysExRequest& request)
{
    PatchPlusCabHeader header;
    juce::OwnedArray<juce::MemoryBlock> blocks;

    if (! collectPatchPlusCabDump (request, header, blocks))
        return false;

    patchDumpBuffer.reset();
    request.getReplyData (patchDumpBuffer);
    return true;
}

bool DeviceManager::parseParamInfo (SysExRequest& request)
{
    juce::MidiMessage reply;
    ParamInfo info;

    if (! getReplyMessage (request, 0, reply) || ! parseGetParamInfo (reply, info))
        return false;

    paramInfo = info;

    if (effects != nullptr)
        effects->storeParamInfo (paramInfoEffectId, paramInfoParamId, paramInfo);

    return true;
}

bool DeviceManager::parseParamStrings (SysExRequest& request)
{
    juce::MidiMessage reply;
    juce::StringArray strings;

    if (! getReplyMessage (request, 0, reply) || ! parseGetParamStrings (reply, strings))
        return false;

    paramStrings = strings;

    if (effects != nullptr)
        effects->storeParamStrings (paramStringsEffectId, paramStringsParamId, paramStrings);

    return true;
}

bool DeviceManager::parseAllParams (SysExRequest& request)
{
    EffectStartRecord start;
    juce::Array<juce::uint16> words;

    if (! collectEffectDump (request, start, words))
        return false;

    // The raw data is kept as the unit's 16-bit words, little-endian.
    allParamsData.reset();
    appendEffectDumpBytes (words, allParamsData);

    allParamsGlobalBlockNumber = start.flag3;

    if (effects != nullptr)
    {
        auto blockId = start.blockId != 0 ? (int) start.blockId : (int) allParamsBlockId;
        effects->setGlobalBlockNumber (blockId, allParamsGlobalBlockNumber);
        effects->storeAllParamsData (blockId, allParamsData);
    }

    return true;
}

bool DeviceManager::parseModifierDump (SysExRequest& request)
{
    juce::Array<ModifierValues> values;

    if (! collectModifierDump (request, values, numModifierDumpRecords))
        return false;

    for (int i = 0; i < values.size(); ++i)
    {
        auto& record = modifierDumpRecords[i];
        record = toModifierDumpRecord (values.getReference (i));

        if (record.getBlockId() != 0 && effects != nullptr)
            effects->addModifierDump (record);
    }

    return true;
}

bool DeviceManager::parseParamDump (SysExRequest& request)
{
    juce::Array<EffectParamValue> values;

    if (! collectParamDump (request, values))
        return false;

    if (values.isEmpty())
        return true; // nothing to store, and no block to take a channel from

    auto blockId = (int) values.getFirst().blockId;
    auto channel = getCurrentChannel (blockId);

    if (effects != nullptr)
    {
        for (auto& value : values)
            effects->storeParamValue (channel, value);

        if (auto* record = effects->findEffect (blockId))
        {
            if (channel == 0)
                record->xRefresh = 0;
            else
                record->yRefresh = 0;
        }
    }

    return true;
}

bool DeviceManager::parseSetParam (SysExRequest& request, bool direct)
{
    juce::MidiMessage reply;
    EffectParamValue value;

    if (! getReplyMessage (request, 0, reply))
        return false;

    if (! (direct ? parseSetParamDirect (reply, value) : parseParamSet (reply, value)))
        return false;

    lastParamValue = value;

    if (effects != nullptr)
        effects->storeParamValue (getCurrentChannel (value.blockId), value);

    if (direct || value.blockId == 0)
        return true;

    if (value.paramId == bypassParamId)
        setBlockEngaged (value.blockId, value.value == 0);

    if (value.blockId == blockIdControllers)
    {
        if (value.paramId == tempoParamId)
            tempo = value.value;
        else if (value.paramId == tempoToUseParamId)
            tempoToUse = value.value;
    }

    return true;
}

bool DeviceManager::parseTempo (SysExRequest& request)
{
    juce::MidiMessage reply;
    juce::uint16 bpm = 0;

    if (! getReplyMessage (request, 0, reply) || ! parseBpm (reply, bpm))
        return false;

    tempo = bpm;
    return true;
}

bool DeviceManager::parseXY (SysExRequest& request)
{
    juce::MidiMessage reply;
    XYReply xy;

    if (! getReplyMessage (request, 0, reply) || ! ::parseXY (reply, xy))
        return false;

    xyReply = xy;
    return true;
}

bool DeviceManager::parseGraph (SysExRequest& request)
{
    graph = {};

    juce::MidiMessage reply;
    GraphData data;

    if (! getReplyMessage (request, 0, reply))
        return false;

    if (! (getSysExFunction (reply) == SYSEX_GET_GRAPHN ? parseGetGraphN (reply, data) : parseGetGraph (reply, data)))
        return false;

    graph = data;
    return true;
}

bool DeviceManager::parseModifierInfo (SysExRequest& request)
{
    bool changed = false;
    bool any = false;

    for (int i = 0; i < request.getNumReplies(); ++i)
    {
        juce::MidiMessage reply;
        ModifierInfoReply info;

        if (! getReplyMessage (request, i, reply) || ! parseGetModifierInfo (reply, info))
            continue;

        modifierInfoReply = info;
        any = true;

        auto* record = (info.modifierId != 0 && effects != nullptr) ? effects->getModifier (info.modifierId) : nullptr;

        if (record == nullptr)
            continue;

        // The unit may name a bypass-mode parameter by its own id; the model
        // keeps that modifier under 255, as the value queries address it, and
        // the id the unit named for the raw preset record.
        const auto paramId = (juce::uint16) EffectManager::getModifierParamId (info.blockId, info.paramId);
        record->reportedParamId = info.paramId;

        if (record->blockId != info.blockId || record->paramId != paramId ||
            record->getControllerId() != info.controller)
        {
            record->blockId = info.blockId;
            record->paramId = paramId;
            changed = true; // stays so for the rest of this request's replies
        }

        record->flag = changed ? 1 : 0;

        if (changed)
        {
            ModifierValueEntry controller;
            controller.blockId = info.blockId;
            controller.paramId = paramId;
            controller.settingIndex = 0;
            controller.value = info.controller;
            record->setSlot (controller);
        }
    }

    return any;
}

bool DeviceManager::parseModifierSet (SysExRequest& request)
{
    juce::MidiMessage reply;
    ModifierSetReply result;
    auto direct = request.getFunctionCode() == SYSEX_SET_MODPARAM_DIRECT;

    if (! getReplyMessage (request, 0, reply))
        return false;

    if (! (direct ? parseSetModParamDirect (reply, result) : ::parseModifierSet (reply, result)))
        return false;

    modifierSetReply = result;

    if (effects == nullptr)
        return false;

    // What was asked decides how the answer is filed: a query (mode 0) only
    // refreshes a known assignment; a write (any other mode) may make a new
    // one; a direct write replaces the settings of an assignment. The reply
    // itself cannot tell these apart: its two words after the block are the
    // parameter id and setting index echoed from the request, not flags of
    // the unit's own, so the branch is taken from the request's mode byte.
    auto sent = request.getMessage();
    auto mode = direct ? -1 : (int) readSysExField (sent, modifierSetRequestLayout, 4);

    ModifierValueEntry slot;
    slot.blockId = result.blockId;
    slot.paramId = result.selector1;
    slot.settingIndex = result.selector2;
    slot.value = (juce::uint16) result.value;
    slot.text = result.text;

    auto* record = effects->findModifierForParam (result.blockId, result.selector1);

    if (mode == 0)
    {
        if (record == nullptr)
            return false;
    }
    else if (mode > 0)
    {
        if (record == nullptr)
        {
            for (int id = EffectManager::firstModifierId; id <= EffectManager::lastModifierId; ++id)
            {
                auto* candidate = effects->getModifier (id);

                if (candidate != nullptr && candidate->blockId == 0)
                {
                    record = candidate;
                    record->blockId = result.blockId;
                    record->paramId =
                        (juce::uint16) EffectManager::getModifierParamId (result.blockId, result.selector1);
                    record->reportedParamId = record->paramId; // until the unit's info names it
                    break;
                }
            }
        }

        if (record == nullptr)
            return false; // all 16 are in use
    }
    else
    {
        if (record == nullptr)
            return false;

        if (record->getControllerId() != 0)
        {
            auto blockId = record->blockId, paramId = record->paramId, reported = record->reportedParamId;
            record->reset();
            record->blockId = blockId;
            record->paramId = paramId;
            record->reportedParamId = reported;
        }
    }

    if (! record->setSlot (slot))
        return false;

    record->flag = 0;
    return true;
}

bool DeviceManager::parseModifier (SysExRequest& request)
{
    juce::MidiMessage reply;
    ModifierValues values = modifierReply;

    if (! getReplyMessage (request, 0, reply) || ! ::parseModifier (reply, values))
        return false;

    modifierReply = values;
    return true;
}

bool DeviceManager::parseBroadcastModifier (SysExRequest& request)
{
    juce::MidiMessage reply;
    ModifierBroadcast record = broadcastModifierReply;

    if (! getReplyMessage (request, 0, reply) || ! ::parseBroadcastModifier (reply, record))
        return false;

    broadcastModifierReply = record;
    return true;
}

bool DeviceManager::parsePosition (SysExRequest& request)
{
    juce::MidiMessage reply;
    juce::uint8 value = 0;

    positionValid = getReplyMessage (request, 0, reply) && parseGetPosition (reply, value);

    if (positionValid)
        position = value;

    return positionValid;
}

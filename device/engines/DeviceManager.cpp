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
CabNameRecord makeEmptyCab (juce::uint32 slot)
{
    CabNameRecord record;
    record.slot = slot;
    return record;
}
} // namespace

//==============================================================================
// Construction

DeviceManager::DeviceManager (ZOLMidiProcessing* linkToUse, ManagerRef<EffectManager> effectManager,
                              GlobalConfiguration* configurationToUse)
    : link (linkToUse)
    , effects (effectManager)
    , configuration (configurationToUse)
{
}

DeviceManager::~DeviceManager()
{
    // What is still pending belongs to nobody else by now: a caller hands a
    // request back with abandonRequest rather than deleting it undispatched.
    while (! pending.isEmpty())
    {
        auto* request = pending.pop();

        if (request == nullptr)
            continue;

        if (link != nullptr)
            link->releaseRequest (request); // deletes it now, or once the link lets go
        else
            delete request;
    }
}

void DeviceManager::abandonRequest (SysExRequest* request)
{
    if (request == nullptr)
        return;

    pending.remove (request);

    if (link != nullptr)
        link->releaseRequest (request);
    else
        delete request;
}

bool DeviceManager::isRequestDone (const SysExRequest* request)
{
    return request != nullptr && (request->getFlags() & SysExRequest::flagDone) != 0;
}

void DeviceManager::addSupportedModel (const FirmwareRequirement& requirement)
{
    supportedModels.add (new FirmwareRequirement (requirement));
}

//==============================================================================
// Dispatcher

void DeviceManager::handleNextReply()
{
    auto* request = pending.front();

    if (request == nullptr)
        return;

    auto status = request->getStatus();

    if (status == SysExRequest::stateWaiting)
        return; // still with the link; replies are handled in send order

    // Off the queue before anything else happens, so that nothing reached
    // from here (a hook, a parser, a notice) can dispatch it a second time.
    pending.pop();

    auto function = request->getFunctionCode();
    auto received = request->getNumReplies();
    auto expected = request->getExpectedCount();
    auto flags = request->getFlags();

    // A read the unit refused holds none of its data: nothing is taken from
    // it. A refused write's status, and the system information's (unknown
    // then), are read as ever.
    if (status == SysExRequest::stateComplete
        && (! request->isRefused() || WriteGuard::isWrite (request->getMessage()) || function == SYSEX_GET_SYSINFO))
    {
        if (! handleReplyFirst (*request))
            parseReply (*request);
    }

    request->setFlags (request->getFlags() | SysExRequest::flagDone);

    if ((flags & SysExRequest::flagKeepOwnership) == 0)
        delete request;

    if (status == SysExRequest::stateTimedOut)
        reportTimeOut (function, received, expected, (flags & SysExRequest::flagAlertOnTimeOut) != 0);
}

void DeviceManager::reportTimeOut (juce::uint8 function, int received, int expected, bool alert)
{
    auto text = juce::String (timeOutPrefix) + getNameForId (SysExFunctionNames, function) + ". Recvd " +
                juce::String (received) + ", expected " + juce::String (expected);

    DBG (text);

    if (! alert)
        return;

    // Shown asynchronously: a box inside the timer-driven dispatcher would let
    // the timer run the dispatcher again underneath it.
    Notice notice;
    notice.icon = Notice::Icon::warning;
    notice.title = text;
    notice.buttons = Notice::Buttons::ok;
    UserNotifier::show (std::move (notice));
}

bool DeviceManager::parseReply (SysExRequest& request)
{
    switch (request.getFunctionCode())
    {
        case SYSEX_WHO_AM_I: return parseIdentity (request);
        case SYSEX_QUERY_VERSION: return parseFirmwareVersion (request);
        case SYSEX_GET_SYSINFO: return parseSystemInfo (request);
        case SYSEX_QUERY_NAME_BY_NUM: return parsePresetNames (request);
        case SYSEX_PATCHNUM: return parsePresetNumber (request);
        case SYSEX_SET_SCENE: return parseScene (request);
        case SYSEX_CABNAME: return parseCabNames (request);
        case SYSEX_GET_GRID: return parseGrid (request);
        case SYSEX_QUERY_NAME: return parsePresetName (request);
        case SYSEX_CPU_LOAD: return parseCpuLoad (request);
        case SYSEX_GET_FLAGS: return parseFlags (request);
        case SYSEX_QUERY_STATES: return parseBlockStates (request);
        case SYSEX_GET_MIDI_CHANNEL: return parseMidiChannel (request);
        case SYSEX_GET_CONFIG: return parseConfig (request);
        case SYSEX_PLACE_EFFECT: return parsePlaceBlock (request);
        case SYSEX_SET_DEFAULTS:
        case SYSEX_CONNECT_EFFECT:
        case SYSEX_SET_NAME:
        case SYSEX_EDIT_EFFECT:
        case SYSEX_RECALL_PATCH:
        case SYSEX_MUTE:
        case SYSEX_DELETE_CABIR:
        case SYSEX_EDITOR_DISCONNECT: return parseStatus (request);
        case SYSEX_PATCH_DUMP: return parsePatchDump (request);
        case SYSEX_CAB_DUMP: return parseCabDump (request);
        case SYSEX_PATCH_PLUS_CAB_DUMP: return parsePatchPlusCabDump (request);
        case SYSEX_GET_PARAM_INFO: return parseParamInfo (request);
        case SYSEX_GET_PARAM_STRINGS: return parseParamStrings (request);
        case SYSEX_GET_ALL_PARAMS: return parseAllParams (request);
        case SYSEX_MODIFIER_DUMP: return parseModifierDump (request);
        case SYSEX_PARAM_DUMP: return parseParamDump (request);
        case SYSEX_PARAM_SET: return parseSetParam (request, false);
        case SYSEX_SET_PARAM_DIRECT: return parseSetParam (request, true);
        case SYSEX_BPM: return parseTempo (request);
        case SYSEX_XY: return parseXY (request);
        case SYSEX_GET_GRAPH:
        case SYSEX_GET_GRAPHN: return parseGraph (request);
        case SYSEX_GET_MODIFIER_INFO: return parseModifierInfo (request);
        case SYSEX_MODIFIER_SET:
        case SYSEX_SET_MODPARAM_DIRECT: return parseModifierSet (request);
        case SYSEX_MODIFIER: return parseModifier (request);
        case SYSEX_BROADCAST_MODIFIER: return parseBroadcastModifier (request);
        case SYSEX_GET_POSITION: return parsePosition (request);
        default: return false; // no parser: dropped
    }
}

//==============================================================================
// Virtual operations

bool DeviceManager::getCurrentPresetAndScene (juce::uint16& preset, juce::uint16& scene)
{
    const juce::ScopedLock sl (presetNumberLock);

    if (currentPresetNumber == -1)
        return false;

    preset = (juce::uint16) (currentPresetNumber & 0xFFFF);
    scene = (juce::uint16) (sceneWord & 0xFFFF);
    return true;
}

bool DeviceManager::getCurrentBankAndProgram (int& bank, int& program)
{
    juce::int32 number;

    {
        const juce::ScopedLock sl (presetNumberLock);
        number = currentPresetNumber;
    }

    if (number == -1)
        return false;

    return presetNumberToBankAndProgram (number, bank, program);
}

bool DeviceManager::getBlockList (PresetGrid& grid)
{
    if (gridVectors.blockIds.size() != gridVectors.inputMasks.size())
        return false;

    grid.clear();

    for (int i = 0; i < gridVectors.blockIds.size(); ++i)
        if (! grid.addCell ({ gridVectors.blockIds[i], gridVectors.inputMasks[i] }))
            break; // the grid is full; the lists are capped to it anyway

    return true;
}

juce::uint16 DeviceManager::getNumFactoryCabs()
{
    return systemInfoValid ? systemInfo.factoryCabs : (juce::uint16) 0;
}

juce::uint16 DeviceManager::getNumFactoryAndUserCabs()
{
    return systemInfoValid ? (juce::uint16) (systemInfo.factoryCabs + systemInfo.userCabs) : (juce::uint16) 0;
}

int DeviceManager::getFirstScratchpadCabIndex()
{
    return (int) getNumFactoryAndUserCabs();
}

bool DeviceManager::setCurrentPresetNumber (const PresetNumberRecord& number)
{
    const juce::ScopedLock sl (presetNumberLock);
    currentPresetNumber = number.getNumber();
    sceneWord = 0;
    return true;
}

//==============================================================================
// The model

bool DeviceManager::isPresetModified()
{
    const juce::ScopedLock sl (stateLock);
    return unitFlags.isPresetModified();
}

juce::uint8 DeviceManager::getCpuLoad()
{
    const juce::ScopedLock sl (cpuLock);
    return cpuLoad;
}

juce::int32 DeviceManager::getCurrentPresetNumber()
{
    const juce::ScopedLock sl (presetNumberLock);
    return currentPresetNumber;
}

juce::uint32 DeviceManager::getSceneWord()
{
    const juce::ScopedLock sl (presetNumberLock);
    return sceneWord;
}

juce::String DeviceManager::getCurrentPresetName() const
{
    // The unit pads its 32-byte name fields with blanks.
    return juce::String (currentPresetName, (size_t) strnlen (currentPresetName, sizeof (currentPresetName))).trimEnd();
}

const ModifierDumpRecord& DeviceManager::getModifierDumpRecord (int index) const
{
    static const ModifierDumpRecord none;
    return juce::isPositiveAndBelow (index, numModifierDumpRecords) ? modifierDumpRecords[index] : none;
}

bool DeviceManager::findUnusedBlockId (int effectType, juce::uint16& id) const
{
    juce::Array<juce::uint16> ids;
    getBlockIdsOfType (effectType, ids);

    for (auto candidate : ids)
    {
        if (! presetGrid.containsBlock (candidate))
        {
            id = candidate;
            return true;
        }
    }

    return false;
}

bool DeviceManager::getGridCellConnections (int cell, juce::Array<int>& feeding, juce::Array<int>& fed) const
{
    // Every cell looked at must exist: the grid is whatever the unit sent and
    // may hold fewer than 48 cells.
    auto numCells = presetGrid.getNumCells();

    if (! juce::isPositiveAndBelow (cell, numCells))
        return false;

    auto row = cell % gridRows;
    auto column = cell / gridRows;
    bool any = false;

    if (column > 0)
    {
        auto mask = presetGrid.getCell (cell)->inputMask & 0x0F;

        for (int r = 0; r < gridRows; ++r)
        {
            if ((mask & (1 << r)) != 0)
            {
                feeding.add ((column - 1) * gridRows + r);
                any = true;
            }
        }
    }

    if (column < gridColumns - 1)
    {
        for (int r = 0; r < gridRows; ++r)
        {
            auto index = (column + 1) * gridRows + r;
            auto* next = presetGrid.getCell (index);

            if (next != nullptr && (next->inputMask & (1 << row)) != 0)
            {
                fed.add (index);
                any = true;
            }
        }
    }

    return any;
}

int DeviceManager::findBlockState (int blockId) const
{
    for (int i = 0; i < blockStates.size(); ++i)
        if (BlockStateWord::hasBlockId (blockStates.getUnchecked (i), blockId))
            return i;

    return -1;
}

int DeviceManager::getCurrentChannel (int blockId) const
{
    int channel = 0;
    return getBlockXYState (blockId, channel) ? channel : 0;
}

bool DeviceManager::getBlockXYState (int blockId, int& channel) const
{
    if (! isBlockIdSupported (blockId))
        return false;

    auto index = findBlockState (blockId);

    if (index < 0)
        return false;

    channel = BlockStateWord::getChannel (blockStates.getUnchecked (index));
    return true;
}

bool DeviceManager::getBlockEngaged (int blockId, juce::uint8& disabled) const
{
    disabled = 0;

    if (isShuntBlockId (blockId))
        return false;

    auto model = firmwareValid ? (int) firmware.model : (int) currentSysExModel.load();

    if (! hasBypass (blockId, model))
        return true;

    auto index = findBlockState (blockId);

    if (index < 0)
        return false;

    auto word = blockStates.getUnchecked (index);
    disabled = BlockStateWord::isDisabled (word) ? 1 : 0;
    return BlockStateWord::isEngaged (word);
}

void DeviceManager::setBlockEngaged (int blockId, bool engaged)
{
    auto index = findBlockState (blockId);

    if (index < 0)
        return;

    auto word = blockStates.getUnchecked (index);
    blockStates.set (index, engaged ? (word | BlockStateWord::engagedBit) : (word & ~BlockStateWord::engagedBit));
}

void DeviceManager::resetPresetList()
{
    presetNames.clear();

    if (! firmwareValid)
        return;

    auto count = getPresetCount (firmware);

    for (int i = 0; i < count; ++i)
        presetNames.add (PresetNameRecord());
}

void DeviceManager::resetCabLists()
{
    if (! systemInfoValid)
        return;

    factoryCabs.clear();
    userCabs.clear();
    scratchpadCabs.clear();

    juce::uint32 slot = 0;

    for (int i = 0; i < systemInfo.factoryCabs; ++i)
        factoryCabs.add (makeEmptyCab (slot++));

    for (int i = 0; i < systemInfo.userCabs; ++i)
        userCabs.add (makeEmptyCab (slot++));

    for (int i = 0; i < systemInfo.scratchpadCabs; ++i)
        scratchpadCabs.add (makeEmptyCab (slot++));
}

void DeviceManager::areCabTablesFilled (bool& factory, bool& user, bool& scratchpad) const
{
    factory = user = scratchpad = false;

    if (! systemInfoValid)
        return;

    auto allNamed = [] (const juce::Array<CabNameRecord>& table)
    {
        for (auto& record : table)
            if (record.name[0] == 0)
                return false;

        return true;
    };

    factory = allNamed (factoryCabs);
    user = allNamed (userCabs);
    scratchpad = allNamed (scratchpadCabs);
}

bool DeviceManager::arePresetNamesLoaded (int first, int count) const
{
    auto size = presetNames.size();

    if (size == 0 || first >= size)
        return false;

    auto begin = first < 0 ? 0 : first;
    auto end = first < 0 ? size : (int) juce::jmin ((juce::int64) size, (juce::int64) first + juce::jmax (0, count));

    for (int i = begin; i < end; ++i)
        if (! presetNames.getReference (i).hasBeenRead())
            return false;

    return true;
}

bool DeviceManager::getPresetName (int index, juce::String& name) const
{
    if (! juce::isPositiveAndBelow (index, presetNames.size()))
        return false;

    name = presetNames.getReference (index).getName().trimEnd();
    return true;
}

bool DeviceManager::setPresetName (int index, const juce::String& name)
{
    if (! juce::isPositiveAndBelow (index, presetNames.size()))
        return false;

    copyNameInto (presetNames.getReference (index).name, name);
    return true;
}

void DeviceManager::getPresetNames (juce::StringArray& names)
{
    auto current = juce::jmax (0, getCurrentPresetNumber());

    for (int i = 0; i < presetNames.size(); ++i)
        names.add (i == current ? getCurrentPresetName() : presetNames.getReference (i).getName().trimEnd());
}

void DeviceManager::getAmpNames (juce::String& first, juce::String& second) const
{
    auto nameOf = [this] (int blockId)
    {
        int channel = 0;
        auto* record = effects != nullptr ? effects->findEffect (blockId) : nullptr;

        if (record == nullptr || ! getBlockXYState (blockId, channel))
            return juce::String ("Not Used");

        EffectParamValue value;
        record->getParam (0, channel, value);

        auto name = value.text;
        toTitleCaseName (name);
        return name;
    };

    first = nameOf (ampBlock1);
    second = isBlockIdSupported (ampBlock2) ? nameOf (ampBlock2) : juce::String();
}

void DeviceManager::getCabNames (bool userOnly, juce::StringArray& names, juce::Array<juce::uint16>& slots) const
{
    auto append = [&] (const juce::Array<CabNameRecord>& table)
    {
        for (auto& record : table)
        {
            names.add (record.getName().trimEnd()); // the unit pads names with blanks
            slots.add ((juce::uint16) record.slot);
        }
    };

    if (! userOnly)
        append (factoryCabs);

    append (userCabs);
}

void DeviceManager::getCabFormats (bool userOnly, juce::Array<juce::uint8>& formats) const
{
    if (! userOnly)
        for (auto& record : factoryCabs)
            formats.add (record.format);

    for (auto& record : userCabs)
        formats.add (record.format);
}

void DeviceManager::getScratchpadCabs (juce::StringArray& names, juce::Array<juce::uint16>& slots,
                                       juce::Array<juce::uint8>& formats) const
{
    for (auto& record : scratchpadCabs)
    {
        names.add (record.getName().trimEnd());
        slots.add ((juce::uint16) record.slot);
        formats.add (record.format);
    }
}

void DeviceManager::getCabChoices (juce::Array<CabChoice>& choices)
{
    juce::StringArray names, padNames;
    juce::Array<juce::uint16> slots, padSlots;
    juce::Array<juce::uint8> formats, padFormats;
    getCabNames (false, names, slots);
    getCabFormats (false, formats);
    getScratchpadCabs (padNames, padSlots, padFormats);
    const int factoryCount = (int) getNumFactoryCabs();

    auto add = [&choices] (juce::String name, juce::uint16 slot, CabChoice::Kind kind, juce::uint8 format)
    {
        CabChoice choice;
        choice.name = std::move (name);
        choice.slot = slot;
        choice.kind = kind;
        choice.italic = format == cabFormatItalic;
        choices.add (choice);
    };

    for (int i = 0; i < names.size(); ++i)
    {
        auto name = names[i];

        if (i < factoryCount)
            toTitleCaseName (name);

        add (name, slots[i], i < factoryCount ? CabChoice::factory : CabChoice::user, formats[i]);
    }

    for (int i = 0; i < padNames.size(); ++i)
        add (padNames[i].trim().isEmpty() ? juce::String ("EMPTY") : padNames[i], padSlots[i], CabChoice::scratchpad,
             padFormats[i]);
}

const CabNameRecord* DeviceManager::getCabRecord (int flatIndex, int& table, int& row) const
{
    const juce::Array<CabNameRecord>* tables[] = { &factoryCabs, &userCabs, &scratchpadCabs };

    if (flatIndex < 0)
        return nullptr;

    for (table = 0; table < 3; ++table)
    {
        if (flatIndex < tables[table]->size())
        {
            row = flatIndex;
            return &tables[table]->getReference (flatIndex);
        }

        flatIndex -= tables[table]->size();
    }

    return nullptr;
}

bool DeviceManager::getCabLabel (int index, juce::String& name, juce::String& label) const
{
    int table = 0, row = 0;
    auto* record = getCabRecord (index, table, row);

    if (record == nullptr)
        return false;

    static const char* const formats[] = { "F%.3d", "U%.3d", "S%.3d" };
    label = juce::String::formatted (formats[table], row + 1);

    name = record->getName().trim();

    // A slot not read yet, one the unit reports blank and one whose cab
    // held no name read alike, spelled as the cab lists spell them; user
    // cabs keep the names the user gave them.
    if (! record->holdsName() || name == "EMPTY")
        name = "EMPTY";
    else if (table != 1)
        toTitleCaseName (name);

    return true;
}

void DeviceManager::setCabName (int index, const juce::String& name, juce::uint8 format)
{
    if (! systemInfoValid || index < 0)
        return;

    CabNameRecord* record = nullptr;

    if (index < userCabs.size())
        record = &userCabs.getReference (index);
    else if (index - userCabs.size() < scratchpadCabs.size())
        record = &scratchpadCabs.getReference (index - userCabs.size());

    if (record == nullptr)
        return;

    copyNameInto (record->name, name);
    record->format = format;
}

bool DeviceManager::setCabFromFile (int index, const juce::MemoryBlock& cabFileData)
{
    juce::String name;
    juce::uint8 format = 0;

    if (! getCabIrName (cabFileData, name) || ! getCabIrFormatByte (cabFileData, format))
        return false;

    setCabName (index, name, format);
    return true;
}

bool DeviceManager::getCabBlockCabs (int blockId, int& firstCab, int& secondCab, bool forceStereo) const
{
    firstCab = secondCab = -1;

    if (effects == nullptr || ! presetGrid.containsBlock ((juce::uint16) blockId))
        return false;

    auto channel = getCurrentChannel (blockId);
    EffectParamValue value;

    if (effects->getParamValue (blockId, 0, channel, value))
        firstCab = value.value;

    EffectParamValue mode;
    auto stereo = forceStereo || (effects->getParamValue (blockId, 12, channel, mode) && mode.text == "stereo");

    if (stereo && effects->getParamValue (blockId, 2, channel, value))
        secondCab = value.value;

    return true;
}

void DeviceManager::fillRawPreset (RawPreset& preset)
{
    preset.model = firmware.model;
    preset.firmwareMajor = (juce::uint8) firmware.major;
    preset.firmwareMinor = (juce::uint8) firmware.minor;

    juce::uint16 number = 0, scene = 0;
    preset.presetNumber = getCurrentPresetAndScene (number, scene) ? number : (juce::uint16) 0;
    preset.name = getCurrentPresetName().trim();

    getBlockList (preset.grid);

    if (effects == nullptr)
        return;

    auto model = (int) firmware.model;
    PresetGridIterator blocks (&preset.grid, 0);
    juce::uint16 blockId = 0;

    while (blocks.next (blockId))
    {
        auto* record = effects->findEffect (blockId);

        if (record == nullptr)
            continue;

        auto& block = preset.addBlock();
        block.blockId = blockId;
        block.shuntFlag = isShuntBlockId (blockId) ? 1 : 0;

        auto copyChannel = [&] (int xy)
        {
            for (int i = 0; i < record->getNumParams (xy); ++i)
            {
                EffectParamValue value;

                if (record->getParamAt (i, xy, value))
                    block.addParamValue (xy, (juce::uint32) value.paramId | ((juce::uint32) value.value << 16));
            }
        };

        copyChannel (0);

        if (hasXYChannels (blockId, model))
            copyChannel (1);

        juce::Array<ModifierRecord*> modifiers;
        effects->getModifiersForBlock (blockId, modifiers);

        for (auto* modifier : modifiers)
        {
            // The record names the parameter as the unit reported it for the
            // modifier, as the raw preset worker's export does.
            RawPresetModifier entry;
            entry.blockId = modifier->blockId;
            entry.paramId = modifier->reportedParamId;

            for (int n = 0; n < ModifierRecord::numSettings; ++n)
                entry.words.add ((juce::uint32) n | ((juce::uint32) modifier->settings[n].value << 16));

            preset.addModifier (entry);
        }
    }

    auto scenes = getSceneCount (model);

    for (int s = 0; s < scenes; ++s)
    {
        auto* states = effects->findQueryStates (s);

        if (states == nullptr)
            continue;

        for (auto word : states->states)
        {
            auto w = (juce::uint32) word;

            for (auto* block : preset.getBlocks())
            {
                if (! BlockStateWord::hasBlockId (w, block->blockId))
                    continue;

                RawPresetSceneState state;
                state.scene = (juce::uint16) s;
                state.xy = BlockStateWord::isXSelected (w) ? 0 : 1;
                state.bypass = BlockStateWord::isEngaged (w) ? 1 : 0;
                block->sceneStates.add (state);
                break;
            }
        }
    }
}

#include "device/engines/DeviceManager.h"

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

namespace
{
constexpr int ampEffectType = 5;
constexpr int ampBlock1 = 106;
constexpr int ampBlock2 = 107;
constexpr int bypassParamId = 255;
constexpr int tempoParamId = 32;
constexpr int tempoToUseParamId = 33;
constexpr juce::uint8 sceneQuery = 127;
constexpr juce::uint16 modifierInfoAll = 127;
constexpr int allModifierInfoReplies = 16;
constexpr int cabDumpReplies = 66;

void copyNameInto (char* field, const juce::String& name)
{
    std::memset (field, 0, PresetNameRecord::nameSize);
    name.substring (0, PresetNameRecord::nameSize - 1)
        .copyToUTF8 (field, PresetNameRecord::nameSize); // at most 31 bytes and the terminator
    field[PresetNameRecord::nameSize - 1] = 0;
}

bool getReplyMessage (const SysExRequest& request, int index, juce::MidiMessage& out)
{
    return request.getReply (out, index);
}

juce::uint8 functionOf (const juce::MidiMessage& message)
{
    return message.getRawDataSize() > sysExFunctionOffset ? message.getRawData()[sysExFunctionOffset] : (juce::uint8) 0;
}

CabNameRecord makeEmptyCab (juce::uint32 slot)
{
    CabNameRecord record;
    record.slot = slot;
    return record;
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
// Construction

DeviceManager::DeviceManager (ZOLMidiProcessing* linkToUse, EffectManager* effectManager,
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

    if (status == SysExRequest::stateComplete)
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
// Senders

SysExRequest* DeviceManager::queueMessage (const juce::MidiMessage& message, int expectedReplies)
{
    if (link == nullptr)
        return nullptr;

    auto* request = new SysExRequest (requestTimeoutMs);
    request->setMessage (message);
    request->setExpectedCount (expectedReplies);
    request->setFlags (SysExRequest::flagKeepOwnership);

    pending.push (request);
    link->queueRequest (request);
    return request;
}

SysExRequest* DeviceManager::queueEmpty (juce::uint8 function, juce::uint8 model)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (buildSysExMessage (message, function, nullptr, 0, model) == 0)
        return nullptr;

    return queueMessage (message);
}

SysExRequest* DeviceManager::queueEmpty (juce::uint8 function)
{
    return queueEmpty (function, currentSysExModel.load());
}

SysExRequest* DeviceManager::requestIdentity()
{
    return queueEmpty (SYSEX_WHO_AM_I, anyModel);
}

SysExRequest* DeviceManager::requestFirmwareVersion (juce::uint8 model)
{
    if (link == nullptr)
        return nullptr;

    currentSysExModel.store (model);
    return queueEmpty (SYSEX_QUERY_VERSION, model);
}

SysExRequest* DeviceManager::requestSystemInfo()
{
    return queueEmpty (SYSEX_GET_SYSINFO);
}

SysExRequest* DeviceManager::requestPresetNames (juce::uint8 high, juce::uint8 low)
{
    if (link == nullptr)
        return nullptr;

    auto presetCount = firmwareValid ? getPresetCount (firmware) : -1;

    if (presetCount < 0)
        return nullptr;

    juce::MidiMessage message;
    int expected = 1;

    if (! buildQueryNameByNum (message, high, low, presetCount, expected))
        return nullptr;

    return queueMessage (message, expected);
}

SysExRequest* DeviceManager::requestPresetNumber()
{
    return queueEmpty (SYSEX_PATCHNUM);
}

SysExRequest* DeviceManager::requestCurrentScene()
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildSetScene (message, sceneQuery) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestSetScene (juce::uint32 scene)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (! buildSetScene (message, scene & 0xFFFF))
        return nullptr;

    auto* request = queueMessage (message);
    link->setResyncSkipNext (true); // the unit answers a scene change with a resync of its own
    return request;
}

SysExRequest* DeviceManager::requestCabNames (juce::uint16 cabNumber)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 1;

    if (! buildCabName (message, cabNumber, expected))
        return nullptr;

    return queueMessage (message, expected);
}

SysExRequest* DeviceManager::requestGrid()
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildGetGrid (message) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestPresetName()
{
    return queueEmpty (SYSEX_QUERY_NAME);
}

SysExRequest* DeviceManager::requestCpuLoad()
{
    return queueEmpty (SYSEX_CPU_LOAD);
}

SysExRequest* DeviceManager::requestFlags()
{
    return queueEmpty (SYSEX_GET_FLAGS);
}

SysExRequest* DeviceManager::requestBlockStates()
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 2;
    return buildQueryStates (message, expected) ? queueMessage (message, expected) : nullptr;
}

SysExRequest* DeviceManager::requestMidiChannel()
{
    return queueEmpty (SYSEX_GET_MIDI_CHANNEL);
}

SysExRequest* DeviceManager::requestConfig()
{
    return queueEmpty (SYSEX_GET_CONFIG);
}

SysExRequest* DeviceManager::requestPlaceBlock (juce::uint8 cell, juce::uint16 blockId)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildPlaceEffect (message, blockId, cell) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestSetDefaults (juce::uint16 blockId)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildSetDefaults (message, blockId) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestMoveBlock (const MoveBlockRecord* record)
{
    if (link == nullptr || record == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildMoveEffect (message, record->direction, record->distance, record->cell) ? queueMessage (message)
                                                                                        : nullptr;
}

SysExRequest* DeviceManager::requestConnectBlocks (const CableConnection* record)
{
    if (link == nullptr || record == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildConnectEffect (message, record->sourceCell, record->destinationCell, record->connect)
               ? queueMessage (message)
               : nullptr;
}

SysExRequest* DeviceManager::requestSetPresetName (const juce::String& name)
{
    if (link == nullptr)
        return nullptr;

    char field[sysExNameFieldSize];
    copyNameToField (name, field);

    juce::MidiMessage message;
    return buildSetName (message, field) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestPatchDump (juce::uint8 bank, juce::uint8 program)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 1;
    return buildPatchDump (message, bank, program, expected) ? queueMessage (message, expected) : nullptr;
}

SysExRequest* DeviceManager::requestCabDump (juce::uint16 cabNumber)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = cabDumpReplies;
    return buildCabDump (message, cabNumber, expected) ? queueMessage (message, expected) : nullptr;
}

SysExRequest* DeviceManager::requestPatchPlusCabDump (juce::uint8 bank, juce::uint8 program)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildPatchPlusCabDump (message, bank, program) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestParamInfo (juce::uint16 effectId, juce::uint16 paramId)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (! buildGetParamInfo (message, effectId, paramId))
        return nullptr;

    paramInfoEffectId = effectId;
    paramInfoParamId = paramId;
    return queueMessage (message);
}

SysExRequest* DeviceManager::requestParamStrings (juce::uint16 effectId, juce::uint16 paramId)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (! buildGetParamStrings (message, effectId, paramId))
        return nullptr;

    paramStringsEffectId = effectId;
    paramStringsParamId = paramId;
    paramStrings.clear();
    return queueMessage (message);
}

SysExRequest* DeviceManager::requestAllParams (juce::uint16 blockId)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 3;

    if (! buildGetAllParams (message, blockId, expected))
        return nullptr;

    allParamsBlockId = blockId;
    allParamsData.reset();
    return queueMessage (message, expected);
}

SysExRequest* DeviceManager::requestModifierDump (juce::uint32 id)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 3;

    if (! buildModifierDump (message, id, expected))
        return nullptr;

    modifierDumpId = id;

    for (auto& record : modifierDumpRecords)
        record = {};

    return queueMessage (message, expected);
}

SysExRequest* DeviceManager::requestParamDump (juce::uint16 blockId)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 3;
    return buildParamDump (message, blockId, expected) ? queueMessage (message, expected) : nullptr;
}

SysExRequest* DeviceManager::requestSetParam (juce::uint16 blockId, juce::uint16 paramId, juce::uint32 value,
                                              juce::uint8 mode)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildParamSet (message, blockId, paramId, value, mode) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestSetParamDirect (juce::uint16 blockId, juce::uint16 paramId, float value)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildSetParamDirect (message, blockId, paramId, value) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestSetTempo (int bpm)
{
    return requestSetParam ((juce::uint16) blockIdControllers, (juce::uint16) tempoParamId,
                            (juce::uint32) juce::jlimit (lowestTempo, highestTempo, bpm), 1);
}

SysExRequest* DeviceManager::requestTempo()
{
    return queueEmpty (SYSEX_BPM);
}

SysExRequest* DeviceManager::requestSetXY (juce::uint16 blockId, juce::uint8 first, juce::uint8 second)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildXY (message, blockId, first, second) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestEditEffect (juce::uint16 blockId)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildEditEffect (message, blockId) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestGraph()
{
    return queueEmpty (SYSEX_GET_GRAPH);
}

SysExRequest* DeviceManager::requestGraphN (juce::uint8 index)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildGetGraphN (message, index) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestModifierInfo (juce::uint16 id)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (! buildGetModifierInfo (message, id))
        return nullptr;

    return queueMessage (message, id == modifierInfoAll ? allModifierInfoReplies : 1);
}

SysExRequest* DeviceManager::requestSetModifier (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2,
                                                 juce::uint32 value, juce::uint8 mode)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildModifierSet (message, blockId, selector1, selector2, value, mode) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestSetModParamDirect (juce::uint16 blockId, juce::uint16 selector1,
                                                       juce::uint16 selector2, float value)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildSetModParamDirect (message, blockId, selector1, selector2, value) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestModifier (const ModifierValues& record)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildModifier (message, record) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestBroadcastModifier (juce::uint8 first, juce::uint8 second)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildBroadcastModifier (message, first, second) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestSavePreset (juce::uint8 high, juce::uint8 low)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildSavePatch (message, high, low) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestRecallPreset (juce::uint8 high, juce::uint8 low)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (! buildRecallPatch (message, high, low))
        return nullptr;

    auto* request = queueMessage (message);
    link->setPresetChangeRequested (true); // the unit's coming preset report is our own doing
    return request;
}

SysExRequest* DeviceManager::requestPosition()
{
    return queueEmpty (SYSEX_GET_POSITION);
}

SysExRequest* DeviceManager::requestMute (juce::uint8 on)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildMute (message, on) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestDeleteCab (juce::uint16 slot)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildDeleteCabIr (message, slot) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestEditorDisconnect()
{
    return queueEmpty (SYSEX_EDITOR_DISCONNECT);
}

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

    return setCurrentPresetNumber (number);
}

bool DeviceManager::parseScene (SysExRequest& request)
{
    juce::MidiMessage reply;
    juce::uint8 scene = 0;

    if (! getReplyMessage (request, 0, reply) || ! parseSetScene (reply, scene))
        return false;

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

    if (record.getName().trim().isEmpty()) // the unit pads names with blanks
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

    for (auto word : words)
    {
        const juce::uint8 bytes[2] = { (juce::uint8) (word & 0xFF), (juce::uint8) (word >> 8) };
        allParamsData.append (bytes, sizeof (bytes));
    }

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
        // 68 bytes: block id, count and the 15 values, each a little-endian
        // 32-bit word.
        auto& source = values.getReference (i);
        auto& record = modifierDumpRecords[i];
        record = {};

        juce::uint32 fields[2 + ModifierValues::maxValues] = { source.blockId, source.count };

        for (int v = 0; v < ModifierValues::maxValues; ++v)
            fields[2 + v] = source.values[v];

        for (size_t k = 0; k < sizeof (fields) / sizeof (fields[0]); ++k)
            for (size_t b = 0; b < 4; ++b)
                record.bytes[k * 4 + b] = (juce::uint8) ((fields[k] >> (8 * b)) & 0xFF);

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

    if (! (functionOf (reply) == SYSEX_GET_GRAPHN ? parseGetGraphN (reply, data) : parseGetGraph (reply, data)))
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

        if (record->blockId != info.blockId || record->paramId != info.paramId ||
            record->getControllerId() != info.controller)
        {
            record->blockId = info.blockId;
            record->paramId = info.paramId;
            changed = true; // stays so for the rest of this request's replies
        }

        record->flag = changed ? 1 : 0;

        if (changed)
        {
            ModifierValueEntry controller;
            controller.blockId = info.blockId;
            controller.paramId = info.paramId;
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
    // refreshes a known assignment; a write (mode 1) may make a new one; a
    // direct write replaces the settings of an assignment.
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
                    record->paramId = result.selector1;
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
            auto blockId = record->blockId, paramId = record->paramId;
            record->reset();
            record->blockId = blockId;
            record->paramId = paramId;
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
            names.add (record.getName());
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
        names.add (record.getName());
        slots.add ((juce::uint16) record.slot);
        formats.add (record.format);
    }
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

    if (name.isEmpty())
        name = "EMPTY";
    else if (table != 1) // user cabs keep the names the user gave them
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
            RawPresetModifier entry;
            entry.blockId = modifier->blockId;
            entry.paramId = modifier->paramId;

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

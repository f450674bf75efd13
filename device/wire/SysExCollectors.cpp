#include "device/wire/SysExCollectors.h"

#include "device/wire/SysExParsers.h"
#include "model/Checksum.h"
#include "model/IdTables.h"

#include <limits>

namespace
{
using juce::uint16;
using juce::uint32;
using juce::uint8;

// The request is of the function and holds exactly its expected replies.
bool isWholeAnswer (const SysExRequest& request, std::initializer_list<int> functions)
{
    auto function = (int) request.getFunctionCode();
    auto known = std::find (functions.begin(), functions.end(), function) != functions.end();
    return known && request.getNumReplies() == request.getExpectedCount();
}

uint8 functionOf (const juce::MidiMessage& reply)
{
    return reply.getRawDataSize() >= sysExHeaderSize && reply.getRawData()[0] == sysExStartByte
               ? reply.getRawData()[sysExFunctionOffset]
               : 0;
}

// Walks the replies in order; stops at the first one the handler refuses.
template <typename Handler>
bool forEachReply (const SysExRequest& request, Handler&& handle)
{
    juce::MidiMessage reply;

    for (int i = 0; i < request.getNumReplies(); ++i)
        if (! request.getReply (reply, i) || ! handle (reply, functionOf (reply)))
            return false;

    return true;
}

// The count of a SYSEX_MULTIMSG_START, or refusal when it does not parse.
bool readAnnouncedCount (const juce::MidiMessage& reply, int& announced)
{
    MultiMessageStart start;

    if (! parseMultiMsgStart (reply, start))
        return false;

    announced = start.count;
    return true;
}

// A list answer: items of one function, framed by SYSEX_MULTIMSG_START and
// SYSEX_MULTIMSG_END that may come anywhere or not at all. Each item is
// appended to out; more than maxItems in out refuses the answer rather than
// overrun the caller's storage. With checkAnnounced, an announced count other
// than 0 must equal the number of items this answer brought.
template <typename Item>
bool collectAnnouncedList (const SysExRequest& request, int function, int itemFunction,
                           bool (*parseItem) (const juce::MidiMessage&, Item&), juce::Array<Item>& out, int maxItems,
                           bool checkAnnounced)
{
    if (! isWholeAnswer (request, { function }))
        return false;

    int announced = 0;
    int added = 0;
    Item item;

    auto ok =
        forEachReply (request,
                      [&] (const juce::MidiMessage& reply, uint8 replyFunction)
                      {
                          if (replyFunction == SYSEX_MULTIMSG_START)
                              return readAnnouncedCount (reply, announced);

                          if (replyFunction == SYSEX_MULTIMSG_END)
                              return true;

                          if (replyFunction != itemFunction || out.size() >= maxItems || ! parseItem (reply, item))
                              return false;

                          out.add (item);
                          ++added;
                          return true;
                      });

    return ok && (! checkAnnounced || announced == 0 || announced == added);
}
} // namespace

bool collectPatchDump (const SysExRequest& request, CollectedPatch& patch)
{
    if (! isWholeAnswer (request, { SYSEX_PATCH_DUMP }))
        return false;

    bool ended = false;
    juce::Array<uint16> words;

    auto ok = forEachReply (request,
                            [&] (const juce::MidiMessage& reply, uint8 function)
                            {
                                if (ended)
                                    return false;

                                switch (function)
                                {
                                    case SYSEX_PATCH_START:
                                    {
                                        PatchStartRecord start;
                                        if (! parsePatchStart (reply, start))
                                            return false;
                                        patch.bank = start.bank;
                                        patch.program = start.program;
                                        patch.words.clearQuick();
                                        return true;
                                    }
                                    case SYSEX_PATCH_DATA:
                                        if (! parsePatchData (reply, words))
                                            return false;
                                        patch.words.addArray (words);
                                        return true;
                                    case SYSEX_PATCH_END:
                                    {
                                        uint32 check = 0;
                                        ended = parsePatchEnd (reply, check);
                                        return ended && check == xorWords16 (patch.words.getRawDataPointer(),
                                                                             (size_t) patch.words.size());
                                    }
                                    default: return false;
                                }
                            });

    return ok && ended;
}

bool collectCabDump (const SysExRequest& request, CabDumpData& cab)
{
    if (! isWholeAnswer (request, { SYSEX_CAB_DUMP, SYSEX_CONTROL_IRCAP }))
        return false;

    const auto statusAllowed = request.getFunctionCode() == SYSEX_CONTROL_IRCAP;
    constexpr int maxDataMessages = CabDumpData::numValues / cabIrDataValues;
    int dataMessages = 0;
    bool ended = false;
    juce::Array<uint32> values;

    auto ok =
        forEachReply (request,
                      [&] (const juce::MidiMessage& reply, uint8 function)
                      {
                          if (ended)
                              return false;

                          switch (function)
                          {
                              case SYSEX_STATUS_MSG:
                              {
                                  StatusReply status;
                                  return statusAllowed && parseStatusMessage (reply, status);
                              }
                              case SYSEX_CABIR_START:
                              {
                                  CabIrStartRecord start;
                                  if (! parseCabIrStart (reply, start))
                                      return false;
                                  cab.cabNumber = start.cabNumber;
                                  return true;
                              }
                              case SYSEX_CABIR_DATA:
                                  if (dataMessages >= maxDataMessages || ! parseCabIrData (reply, values))
                                      return false;
                                  std::copy (values.begin(), values.end(), cab.values + dataMessages * cabIrDataValues);
                                  ++dataMessages;
                                  return true;
                              case SYSEX_CABIR_END:
                              {
                                  uint32 check = 0;
                                  ended = parseCabIrEnd (reply, check);
                                  return ended && check == xorWords32 (cab.values, (size_t) CabDumpData::numValues);
                              }
                              default: return false;
                          }
                      });

    return ok && ended;
}

bool collectEffectDump (const SysExRequest& request, EffectStartRecord& start, juce::Array<uint16>& words)
{
    if (! isWholeAnswer (request, { SYSEX_GET_ALL_PARAMS }))
        return false;

    bool started = false;
    bool ended = false;
    juce::Array<uint16> chunk;
    words.clearQuick();

    auto ok = forEachReply (request,
                            [&] (const juce::MidiMessage& reply, uint8 function)
                            {
                                switch (function)
                                {
                                    case SYSEX_EFFECT_START: return started = parseEffectStart (reply, start);
                                    case SYSEX_EFFECT_DATA:
                                        if (! parseEffectData (reply, chunk))
                                            return false;
                                        words.addArray (chunk);
                                        return true;
                                    case SYSEX_EFFECT_END:
                                        // Without its start the word count to check against is unknown.
                                        ended = true;
                                        return started && words.size() == (int) start.wordCount;
                                    default: return false;
                                }
                            });

    return ok && ended;
}

bool collectParamDump (const SysExRequest& request, juce::Array<EffectParamValue>& values)
{
    return collectAnnouncedList (request, SYSEX_PARAM_DUMP, SYSEX_PARAM_DUMP, parseParamDump, values,
                                 std::numeric_limits<int>::max(), true);
}

bool collectModifierDump (const SysExRequest& request, juce::Array<ModifierValues>& records, int maxRecords)
{
    return collectAnnouncedList (request, SYSEX_MODIFIER_DUMP, SYSEX_MODIFIER, parseModifier, records, maxRecords,
                                 false);
}

bool collectCabNames (const SysExRequest& request, juce::Array<CabNameRecord>& names)
{
    return collectAnnouncedList (request, SYSEX_CABNAME, SYSEX_CABNAME, parseCabName, names,
                                 std::numeric_limits<int>::max(), true);
}

bool collectEchoedStatus (const SysExRequest& request, uint8& result)
{
    const auto function = request.getFunctionCode();
    bool echoed = false;
    result = 0;

    forEachReply (request,
                  [&] (const juce::MidiMessage& reply, uint8)
                  {
                      StatusReply status;

                      if (parseStatusMessage (reply, status) && status.function == function)
                      {
                          echoed = true;
                          result = status.result;
                      }

                      return result == 0;
                  });

    return echoed;
}

bool collectQueryStates (const SysExRequest& request, juce::Array<uint32>& words, uint8& scene)
{
    if (! isWholeAnswer (request, { SYSEX_QUERY_STATES }))
        return false;

    bool sceneSeen = false;
    const bool parsed = forEachReply (request,
                                      [&] (const juce::MidiMessage& reply, uint8 function)
                                      {
                                          switch (function)
                                          {
                                              case SYSEX_QUERY_STATES: return parseQueryStates (reply, words);
                                              case SYSEX_SET_SCENE:
                                                  sceneSeen = true;
                                                  return parseSetScene (reply, scene);
                                              default: return false;
                                          }
                                      });

    // The scene is part of the answer: without it the scene would be guessed.
    return parsed && sceneSeen;
}

bool collectPatchPlusCabDump (const SysExRequest& request, PatchPlusCabHeader& header,
                              juce::OwnedArray<juce::MemoryBlock>& blocks)
{
    if (! isWholeAnswer (request, { SYSEX_PATCH_PLUS_CAB_DUMP }))
        return false;

    bool first = true;

    return forEachReply (request,
                         [&] (const juce::MidiMessage& reply, uint8 function)
                         {
                             if (first)
                             {
                                 first = false;
                                 return parsePatchPlusCabDump (reply, header);
                             }

                             bool valid = false;
                             PatchStartRecord patchStart;
                             CabIrStartRecord cabStart;
                             juce::Array<uint16> words;
                             juce::Array<uint32> values;
                             uint32 check = 0;

                             switch (function)
                             {
                                 case SYSEX_PATCH_START: valid = parsePatchStart (reply, patchStart); break;
                                 case SYSEX_CABIR_START: valid = parseCabIrStart (reply, cabStart); break;
                                 case SYSEX_PATCH_DATA: valid = parsePatchData (reply, words); break;
                                 case SYSEX_PATCH_END: valid = parsePatchEnd (reply, check); break;
                                 case SYSEX_CABIR_DATA: valid = parseCabIrData (reply, values); break;
                                 case SYSEX_CABIR_END: valid = parseCabIrEnd (reply, check); break;
                                 default: return false;
                             }

                             if (! valid)
                                 return false;

                             if (function == SYSEX_PATCH_START || function == SYSEX_CABIR_START)
                                 blocks.add (new juce::MemoryBlock());
                             else if (blocks.isEmpty())
                                 return false; // data before any start

                             blocks.getLast()->append (reply.getRawData(), (size_t) reply.getRawDataSize());
                             return true;
                         });
}

ModifierDumpRecord toModifierDumpRecord (const ModifierValues& values)
{
    ModifierDumpRecord record;
    uint32 fields[2 + ModifierValues::maxValues] = { values.blockId, values.count };

    for (int v = 0; v < ModifierValues::maxValues; ++v)
        fields[2 + v] = values.values[v];

    for (size_t k = 0; k < sizeof (fields) / sizeof (fields[0]); ++k)
        for (size_t b = 0; b < 4; ++b)
            record.bytes[k * 4 + b] = (uint8) ((fields[k] >> (8 * b)) & 0xFF);

    return record;
}

void appendEffectDumpBytes (const juce::Array<uint16>& words, juce::MemoryBlock& data)
{
    for (auto word : words)
    {
        const uint8 bytes[2] = { (uint8) (word & 0xFF), (uint8) (word >> 8) };
        data.append (bytes, sizeof (bytes));
    }
}

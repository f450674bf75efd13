#include "tests/support/SimulatedKestrel.h"

#include "tests/support/SimulatedKestrelDetail.h"

// Cabs: the names of the factory, user and scratchpad slots, their impulse
// responses as dumps, deletion, import and capture.

using namespace SimulatedKestrelDetail;
using juce::uint32;
using juce::uint8;

namespace
{
constexpr uint32 cabNumberAllFactory = 16382; // SYSEX_CABNAME: every factory cab
constexpr uint32 cabNumberAllUser = 16381;    // SYSEX_CABNAME: every user cab
constexpr int cabDumpDataMessages = 64;       // 64 x 32 values: 2048 per cab
constexpr int cabHeaderValues = 8;            // 32 bytes: the name's 31, then the format byte

// The 2048 values of a cab's impulse response: distinct per cab and place.
uint32 cabValue (int cabNumber, int index)
{
    return (uint32) cabNumber * 0x10000u + (uint32) index * 3u + 1u;
}
} // namespace

juce::uint32 SimulatedKestrel::cabDumpValue (int cabNumber, int index) const
{
    // The dump begins with the slot's name and format, as the unit's do.
    if (index >= cabHeaderValues)
        return cabValue (cabNumber, index);

    const auto& cab = cabs[(size_t) cabNumber];
    uint32 value = 0;

    for (int i = 0; i < 4; ++i)
    {
        const int place = index * 4 + i;
        const auto byte = place == CabNameRecord::nameSize - 1 ? cab.format
                          : place < cab.name.length()          ? (uint8) cab.name[place]
                                                               : (uint8) 0;
        value |= (uint32) byte << (8 * i);
    }

    return value;
}

juce::MidiMessage SimulatedKestrel::buildCabNameReply (int flatSlot) const
{
    // 31 name bytes, then the format byte in the field's last place.
    CabNameRecord record;
    record.slot = (uint32) flatSlot;
    fillNameField (record.name, CabNameRecord::nameSize - 1, cabs[(size_t) flatSlot].name);
    record.format = cabs[(size_t) flatSlot].format;

    juce::MidiMessage message;
    ::buildCabNameReply (message, record, reportedModel);
    return message;
}

void SimulatedKestrel::replyCabDump (int cabNumber)
{
    juce::MidiMessage message;
    buildCabIrStart (message, (uint32) cabNumber, 0, reportedModel);
    reply (message);

    uint32 check = 0;

    for (int m = 0; m < cabDumpDataMessages; ++m)
    {
        uint32 values[cabIrDataValues];

        for (int i = 0; i < cabIrDataValues; ++i)
        {
            values[i] = cabDumpValue (cabNumber, m * cabIrDataValues + i);
            check ^= values[i];
        }

        buildCabIrData (message, values, cabIrDataValues, reportedModel);
        reply (message);
    }

    reply (numbers (SYSEX_CABIR_END, irEndLayout, { check }, reportedModel));
}

void SimulatedKestrel::handleCabDump (const juce::MidiMessage& message)
{
    const auto cabNumber =
        (readField (message, cabDumpRequestLayoutSplit, 0) << 7) | readField (message, cabDumpRequestLayoutSplit, 1);

    if (cabNumber >= cabs.size())
    {
        replyStatus (resultBadValue);
        return;
    }

    replyCabDump ((int) cabNumber);
}

void SimulatedKestrel::handleCabName (const juce::MidiMessage& message)
{
    const auto cabNumber = readField (message, cabNameRequestLayout, 0);

    if (cabNumber == cabNumberAll || cabNumber == cabNumberAllFactory || cabNumber == cabNumberAllUser)
    {
        const int first = cabNumber == cabNumberAllUser ? factoryCabs : 0;
        const int end = cabNumber == cabNumberAllFactory ? factoryCabs : factoryCabs + userCabs;

        reply (numbers (SYSEX_MULTIMSG_START, multiMsgStartLayout, { SYSEX_CABNAME, (uint32) (end - first) },
                        reportedModel));

        for (int slot = first; slot < end; ++slot)
            reply (buildCabNameReply (slot));

        reply (frame (SYSEX_MULTIMSG_END, {}));
        return;
    }

    if (cabNumber >= cabs.size())
    {
        replyStatus (resultBadValue);
        return;
    }

    reply (buildCabNameReply ((int) cabNumber));
}

void SimulatedKestrel::handleDeleteCab (const juce::MidiMessage& message)
{
    const auto slot = (int) readField (message, singleWordLayout, 0);

    // Factory cabs cannot be deleted.
    if (slot < factoryCabs || ! juce::isPositiveAndBelow (slot, (int) cabs.size()))
    {
        replyStatus (resultBadValue);
        return;
    }

    cabs[(size_t) slot] = CabName{};
    replyStatus (resultOk);
}

void SimulatedKestrel::handleCabIrMessage (const juce::MidiMessage& message)
{
    // A cab being imported: each message is acknowledged; a whole one names its slot.
    storeCabUpload (message);
    replyStatus (resultOk);
}

void SimulatedKestrel::handleControlIrCap (const juce::MidiMessage&)
{
    // The capture is acknowledged, then sent back as the cab of the first
    // scratchpad slot: a status echo followed by a whole cab dump.
    replyStatus (resultOk);
    replyCabDump (factoryCabs + userCabs);
}

void SimulatedKestrel::setCabCounts (int factory, int user)
{
    const juce::ScopedLock state (stateLock);
    factoryCabs = juce::jlimit (0, 4000, factory);
    userCabs = juce::jlimit (0, 4000, user);
    cabs.assign ((size_t) (factoryCabs + userCabs + scratchpadCabCount), CabName{});

    for (int i = 0; i < factoryCabs; ++i)
        cabs[(size_t) i].name = "Factory Cab " + juce::String (i + 1);

    // Every other user slot holds a cab; the rest are empty.
    for (int i = 0; i < userCabs; i += 2)
        cabs[(size_t) (factoryCabs + i)] = { "User Cab " + juce::String (i + 1), (uint8) (i % 4 == 0 ? 0x20 : 0) };
}

int SimulatedKestrel::getNumFactoryCabs() const
{
    const juce::ScopedLock state (stateLock);
    return factoryCabs;
}

int SimulatedKestrel::getNumUserCabs() const
{
    const juce::ScopedLock state (stateLock);
    return userCabs;
}

SimulatedKestrel::CabName SimulatedKestrel::getCabName (int flatSlot) const
{
    const juce::ScopedLock state (stateLock);
    return juce::isPositiveAndBelow (flatSlot, (int) cabs.size()) ? cabs[(size_t) flatSlot] : CabName{};
}

void SimulatedKestrel::setCabName (int flatSlot, const juce::String& name, uint8 format)
{
    const juce::ScopedLock state (stateLock);

    if (juce::isPositiveAndBelow (flatSlot, (int) cabs.size()))
        cabs[(size_t) flatSlot] = { name, format };
}

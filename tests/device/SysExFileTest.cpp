#include "device/engines/PresetManager.h"
#include "device/wire/CabIrBlock.h"
#include "device/wire/PatchDump.h"
#include "device/wire/PresetCabBundle.h"
#include "device/wire/SysExFiles.h"
#include "tests/device/DumpTestData.h"

#include <gtest/gtest.h>

using namespace dumptest;

namespace
{
SysExFileType typeOf (const Bytes& b)
{
    return getSysExFileType (b.data(), b.size());
}

Bytes presetFile (juce::uint8 model, const juce::String& name = "Preset", juce::uint8 bank = 0)
{
    DumpOptions options;
    options.bank = bank;
    return makeDump (makePresetData (model == 3 || model == 5 || model == 10 ? 4096 : 8192, name), model, options);
}

Bytes concat (std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (auto& p : parts)
        append (all, p);
    return all;
}

juce::String infoText (const Bytes& b)
{
    juce::String text;
    getSysExFileInfoText (b.data(), b.size(), text);
    return text;
}
} // namespace

TEST (SysExFiles, EveryKindIsToldByItsMessages)
{
    Bytes presetBank, cabBank, bundleBank;
    for (int i = 0; i < 128; ++i)
        append (presetBank, presetFile (3, "P" + juce::String (i), (juce::uint8) (i / 64)));
    for (juce::uint32 cab = 0; cab < 3; ++cab)
        append (cabBank, makeCabDump (8, cab, "Cab", 0));
    append (bundleBank, makeBundle (8, 0x01));
    append (bundleBank, makeBundle (8, 0x03));

    juce::MidiMessage systemStart;
    buildSysExByLayout (systemStart, SYSEX_SYSTEM_DATA_START, systemDataStartReplyLayout, { 100 }, 8);

    EXPECT_EQ (typeOf (makeCabDump (8, 5, "Cab", 0)), SYSEX_FILE_CAB);
    EXPECT_EQ (typeOf (cabBank), SYSEX_FILE_CAB_BANK);
    EXPECT_EQ (typeOf (presetFile (3)), SYSEX_FILE_PRESET);
    EXPECT_EQ (typeOf (presetFile (8)), SYSEX_FILE_PRESET);
    EXPECT_EQ (typeOf (presetBank), SYSEX_FILE_PRESET_BANK);
    EXPECT_EQ (typeOf (bytesOf (systemStart)), SYSEX_FILE_SYSTEM);
    EXPECT_EQ (typeOf (presetFile (7, "Sys", 6)), SYSEX_FILE_SYSTEM);
    EXPECT_EQ (typeOf (presetFile (3, "Sys", 3)), SYSEX_FILE_SYSTEM);
    EXPECT_EQ (typeOf (presetFile (8, "NotSys", 6)), SYSEX_FILE_PRESET); // only models 6 and 7 mark it so
    EXPECT_EQ (typeOf (makeBundle (8, 0x05)), SYSEX_FILE_PRESET_CAB);
    EXPECT_EQ (typeOf (bundleBank), SYSEX_FILE_PRESET_CAB_BANK);

    // Mixed or foreign content is unknown.
    EXPECT_EQ (typeOf (concat ({ presetBank, makeCabDump (3, 0, "Cab", 0) })), SYSEX_FILE_UNKNOWN);
    EXPECT_EQ (typeOf (concat ({ presetFile (3), makeCabDump (3, 0, "Cab", 0) })), SYSEX_FILE_UNKNOWN);
    EXPECT_EQ (typeOf (concat ({ { 0x00 }, presetFile (3) })), SYSEX_FILE_UNKNOWN); // must begin with the header

    // Messages of another model than the first are not counted.
    EXPECT_EQ (typeOf (concat ({ presetFile (3), presetFile (7) })), SYSEX_FILE_PRESET);

    EXPECT_EQ (getSysExFileTypeText (SYSEX_FILE_PRESET_CAB_BANK), "Preset-Cab-Bank File");
    EXPECT_EQ (getSysExFileTypeText (SYSEX_FILE_CAB), "Cab File");
    EXPECT_EQ (getSysExFileTypeText (8), "<unknown file type>");
    EXPECT_EQ (getSysExFileTypeText (-1), "<unknown file type>");
}

TEST (SysExFiles, HostileFilesAreClassifiedWithoutReadingPastThem)
{
    EXPECT_EQ (getSysExFileType (nullptr, 0), SYSEX_FILE_UNKNOWN);
    EXPECT_EQ (typeOf ({}), SYSEX_FILE_UNKNOWN);
    EXPECT_EQ (typeOf ({ 0xF0, 0x00, 0x02, 0x6B, 0x08 }), SYSEX_FILE_UNKNOWN);
    EXPECT_EQ (typeOf ({ 0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7 }), SYSEX_FILE_UNKNOWN);
    EXPECT_EQ (typeOf ({ 0xF0, 0x00, 0x02, 0x6B, 0x08, 0x77 }), SYSEX_FILE_UNKNOWN); // a start too short to decode

    DumpOptions noEnd;
    noEnd.withEnd = false;
    EXPECT_EQ (typeOf (makeDump (makePresetData (8192), 8, noEnd)), SYSEX_FILE_UNKNOWN);
    EXPECT_EQ (typeOf (makeCabDump (8, 0, "Cab", 0, false)), SYSEX_FILE_UNKNOWN);

    // A valid preset file cut at every length: a sane type, never taken as a
    // whole preset, and every reader stays within the data.
    const auto preset = presetFile (3, "Whole");
    const size_t endStart = preset.size() - 11; // the end message is 11 bytes
    PatchDump dump;
    juce::StringArray names;

    for (size_t length = 0; length < preset.size(); ++length)
    {
        auto* bytes = preset.data();
        auto type = getSysExFileType (bytes, length);

        if (length < endStart + 6)
            EXPECT_EQ (type, SYSEX_FILE_UNKNOWN) << length;
        else
            EXPECT_TRUE (type == SYSEX_FILE_UNKNOWN || type == SYSEX_FILE_PRESET) << length;

        EXPECT_FALSE (dump.parse (bytes, length, 3)) << length;

        juce::String text;
        getSysExFileInfoText (bytes, length, text);
        EXPECT_TRUE (text.endsWith (getSysExFileTypeText (type)));

        juce::OwnedArray<juce::MemoryBlock> entries;
        entries.add (new juce::MemoryBlock (bytes, length));
        collectPresetNames (entries, names);
    }

    for (auto& n : names)
        EXPECT_EQ (n, "Whole");
}

TEST (SysExFiles, InfoTextNamesDeviceAndType)
{
    EXPECT_EQ (infoText (presetFile (8)), "Device:        Kestrel\nFile Type:    Preset File");
    EXPECT_EQ (infoText ({ 0x01, 0x02 }), "Device:        <unknown device>\nFile Type:    <unknown file type>");

    juce::MidiMessage unnamed;
    buildSysExMessage (unnamed, SYSEX_PATCH_END, nullptr, 0, 0x50);
    EXPECT_EQ (infoText (bytesOf (unnamed)), "Device:        \nFile Type:    <unknown file type>");
    EXPECT_STREQ (sysExInfoTitle, "Sysex Information");
}

TEST (SysExFiles, PresetNamesFromDumps)
{
    juce::OwnedArray<juce::MemoryBlock> dumps;
    dumps.add (new juce::MemoryBlock (blockOf (presetFile (3, "  First ", 1))));
    dumps.add (new juce::MemoryBlock (blockOf (makeCabDump (3, 0, "Not a preset", 0))));
    dumps.add (new juce::MemoryBlock (blockOf (presetFile (8, "Second", 2))));

    // The whole start and a data message that ends inside the name: the
    // location counts, the name is not read.
    auto cut = presetFile (8, "Cut", 3);
    cut.resize (121);
    dumps.add (new juce::MemoryBlock (blockOf (cut)));

    auto control = makePresetData (4096, "\x01" "Ctl");
    dumps.add (new juce::MemoryBlock (blockOf (makeDump (control, 3))));

    juce::StringArray names;
    juce::Array<juce::uint8> banks, programs;
    collectPresetNames (dumps, names, &banks, &programs);

    // A name that begins with a control character is listed as "EMPTY".
    EXPECT_EQ (names, juce::StringArray ({ "First", "Second", "EMPTY" }));
    EXPECT_EQ (banks, juce::Array<juce::uint8> ({ 1, 2, 3, 127 }));
    EXPECT_EQ (programs, juce::Array<juce::uint8> ({ 127, 127, 127, 127 }));

    // Empty places (0x00FF, 0xFFFF) hold no character: a dump whose places
    // are all empty has no name, one padded with them has its name alone.
    // Every other place is a character code, taken whole; only blanks are
    // trimmed, so a tab or DEL stays first. The name the dump holds keeps
    // what the list shows as "EMPTY".
    auto wide = makePresetData (8192, " Clean", 0xFF);
    auto* bytes = static_cast<juce::uint8*> (wide.getData());
    for (int word = 8; word <= 33; ++word)
        bytes[word * 2 + 1] = 0xFF;
    juce::Array<juce::MemoryBlock> blank;
    blank.add (blockOf (makeDump (makePresetData (8192, "", 0xFF), 8)));
    blank.add (blockOf (makeDump (makePresetData (8192, " Clean", 0xFF), 8)));
    blank.add (blockOf (makeDump (wide, 8)));
    bytes[2 * 2] = 0xAC; // word 2: 0x20AC
    bytes[2 * 2 + 1] = 0x20;
    blank.add (blockOf (makeDump (wide, 8)));
    blank.add (blockOf (makeDump (control, 3)));
    blank.add (blockOf (makeDump (makePresetData (8192, "\tLead"), 8)));
    blank.add (blockOf (makeDump (makePresetData (8192, "\x7f" "Del"), 8)));
    names.clear();
    collectPresetNames (blank, names);
    EXPECT_EQ (names.joinIntoString ("|"),
               juce::String::fromUTF8 ("|Clean|Clean|\xe2\x82\xac" "Clean|EMPTY|EMPTY|EMPTY"));
    EXPECT_EQ (getPresetDumpName (blank[4]), "\x01" "Ctl");
    EXPECT_EQ (getPresetDumpName (blank[5]), "\tLead");
}

TEST (SysExFiles, PresetCabBundles)
{
    const auto bundle = makeBundle (8, 0x05, "Bundled");
    PatchPlusCabHeader header;
    juce::OwnedArray<juce::MemoryBlock> blocks;

    ASSERT_TRUE (parsePresetCabBundle (bundle.data(), bundle.size(), 8, header, blocks));
    EXPECT_EQ (header.cabFlags, 0x05);
    ASSERT_EQ (blocks.size(), 3);
    EXPECT_EQ (bytesOf (*blocks[0]), makeDump (makePresetData (8192, "Bundled"), 8));
    EXPECT_TRUE (PresetManager::isWholePresetDump (*blocks[0])) << "the bundle import takes it";
    EXPECT_EQ (bytesOf (*blocks[1]), makeCabDump (8, 0, "Cab 0", 0));
    EXPECT_EQ (bytesOf (*blocks[2]), makeCabDump (8, 2, "Cab 2", 0));

    // Without a cab the bundle is the preset alone.
    const auto presetOnly = makeBundle (8, 0x00, "Alone");
    ASSERT_TRUE (parsePresetCabBundle (presetOnly.data(), presetOnly.size(), 8, header, blocks));
    EXPECT_EQ (header.cabFlags, 0);
    ASSERT_EQ (blocks.size(), 1);

    // Flags that promise a cab that is not there, a cut cab, a preset without
    // its end, another model, nothing at all: refused, the list left empty.
    auto missingCab = makeBundleHeader (8, 0x01);
    append (missingCab, makeDump (makePresetData (8192), 8));

    auto cutCab = makeBundleHeader (8, 0x01);
    append (cutCab, makeDump (makePresetData (8192), 8));
    append (cutCab, makeCabDump (8, 0, "Cut", 0, false));

    DumpOptions noEnd;
    noEnd.withEnd = false;
    auto presetNoEnd = makeBundleHeader (8, 0x00);
    append (presetNoEnd, makeDump (makePresetData (8192), 8, noEnd));

    header.cabFlags = 0x7F;
    for (auto* bad : { &missingCab, &cutCab, &presetNoEnd })
    {
        EXPECT_FALSE (parsePresetCabBundle (bad->data(), bad->size(), 8, header, blocks));
        EXPECT_TRUE (blocks.isEmpty());
    }
    EXPECT_FALSE (parsePresetCabBundle (bundle.data(), bundle.size(), 7, header, blocks));
    EXPECT_FALSE (parsePresetCabBundle (nullptr, 0, 8, header, blocks));
    EXPECT_EQ (header.cabFlags, 0x7F);

    // Cut at any point, a bundle never decodes.
    const auto small = makeBundle (3, 0x01);
    ASSERT_TRUE (parsePresetCabBundle (small.data(), small.size(), 3, header, blocks));
    for (size_t length = 0; length < small.size(); length += 3)
        EXPECT_FALSE (parsePresetCabBundle (small.data(), length, 3, header, blocks)) << length;
}

TEST (SysExFiles, CabNameAndFormatFromCabDump)
{
    const auto cab = blockOf (makeCabDump (7, 200, "Greenback 4x12   ", 0x20));
    juce::uint8 format = 0;
    juce::String name;

    ASSERT_TRUE (getCabIrFormatByte (cab, format));
    EXPECT_EQ (format, 0x20);
    ASSERT_TRUE (getCabIrName (cab, name));
    EXPECT_EQ (name, "Greenback 4x12");

    juce::MemoryBlock decoded;
    CabIrStartRecord start;
    juce::uint8 model = 0;
    ASSERT_TRUE (decodeCabIrBlock (cab.getData(), cab.getSize(), decoded, &start, &model));
    EXPECT_EQ (decoded.getSize(), 8192u);
    EXPECT_EQ (start.cabNumber, 200);
    EXPECT_EQ (model, 7);

    // A name of 31 characters fills the header up to the format byte.
    const juce::String longName ("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
    ASSERT_TRUE (getCabIrName (blockOf (makeCabDump (8, 1, longName, 0)), name));
    EXPECT_EQ (name, longName);

    // No name, a damaged value, a missing end, a preset instead of a cab.
    name = "kept";
    format = 9;
    EXPECT_FALSE (getCabIrName (blockOf (makeCabDump (8, 1, "", 0x20)), name));
    EXPECT_TRUE (getCabIrFormatByte (blockOf (makeCabDump (8, 1, "", 0x20)), format));

    auto damaged = makeCabDump (8, 1, "Damaged", 0);
    const size_t secondData = 12 + 170; // behind the start and the first data message
    damaged[secondData + 20] ^= 0x01;
    damaged[secondData + 168] = calcSysExChecksum (damaged.data() + secondData, 168);
    EXPECT_FALSE (getCabIrName (blockOf (damaged), name));
    EXPECT_FALSE (getCabIrName (blockOf (makeCabDump (8, 1, "NoEnd", 0, false)), name));
    EXPECT_FALSE (getCabIrName (blockOf (presetFile (8)), name));
    EXPECT_FALSE (getCabIrFormatByte (juce::MemoryBlock(), format));
    EXPECT_EQ (name, "kept");
    EXPECT_EQ (format, 0x20);
}

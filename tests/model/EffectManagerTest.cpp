#include "model/EffectLayoutManager.h"
#include "model/IdTables.h"
#include "model/KestrelEffectManager.h"
#include "model/UnitIds.h"
#include "model/UserFolders.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace
{
constexpr int reverbBlock = 110; // type Reverb: selector 0, bypass mode 16, global mix 17, bypass 22
constexpr int delayBlock = 112;  // type Delay

// Layouts built from a small document: a control's parameter is its "param"
// attribute, so tests need no parameter name tables.
class TestLayouts : public EffectLayoutManager
{
public:
    TestLayouts()
    {
        static const IdNameRow types[] = { { EFFECT_REVERB, "Reverb" }, { EFFECT_DELAY, "Delay" }, { -1, nullptr } };
        static const IdNameRow pages[] = { { 1, "Plain" }, { -1, nullptr } };
        appendEffectTypeNames (types);
        appendPageLayoutNames (pages);

        auto doc = juce::parseXML (R"(<Root><EffectLayouts>
            <EditorControls name="Reverb"><EffectVariants><EffectVariant name="">
              <Page name="New" layout="Plain" version_gtet="7,0">
                <EditorControl name="Newer&#10;Decay" param="5"/>
              </Page>
              <Page name="Main" layout="Plain">
                <EditorControl name="Title"/>
                <Parameters><Row>
                  <EditorControl name="Decay&#10;Time" param="5"/>
                  <EditorControl name="Size, Room" param="3"/>
                  <EditorControl name="Far" param="40"/>
                </Row></Parameters>
                <Mixer><Row><EditorControl name="Mix" param="13"/></Row></Mixer>
              </Page>
            </EffectVariant></EffectVariants></EditorControls>
            <EditorControls name="Delay"><EffectVariants>
              <EffectVariant name=""><Page name="Main" layout="Plain"><EditorControl name="Time" param="2"/></Page></EffectVariant>
              <EffectVariant name="Tape"><Page name="Main" layout="Plain"><EditorControl name="Wow" param="2"/></Page></EffectVariant>
            </EffectVariants></EditorControls>
          </EffectLayouts></Root>)");
        parseLayouts (doc.get());
    }

    int getEffectTypeOfBlock (int blockId) const override { return effectTypeOfBlock (blockId); }
    int getParamIdForName (int, const juce::String& name) const override { return name.getIntValue(); }

    std::unique_ptr<EditorControl> parseEditorControl (int, const juce::XmlElement& element) const override
    {
        auto control = std::make_unique<EditorControl>();
        control->name = element.getStringAttribute ("name");
        control->hasParameter = element.hasAttribute ("param");
        control->parameterId = (juce::uint16) element.getIntAttribute ("param");
        return control;
    }
};

EffectParamValue makeValue (int blockId, int paramId, const juce::String& text, int value = 0)
{
    EffectParamValue v;
    v.blockId = (juce::uint16) blockId;
    v.paramId = (juce::uint16) paramId;
    v.value = (juce::uint16) value;
    v.text = text;
    return v;
}

ParamInfo makeInfo (int descriptor, float minimum, float maximum, float multiplier, float fourth)
{
    ParamInfo info;
    info.descriptor = descriptor;
    info.minimum = minimum;
    info.maximum = maximum;
    info.displayMultiplier = multiplier;
    info.fourth = fourth;
    return info;
}

// Two types, one parameter without strings, one float that is not exact in
// decimal, and a string that needs more than one UTF-8 byte.
void fillDefinitions (EffectManager& manager)
{
    manager.storeParamInfo (reverbBlock, 0, makeInfo (0x10, 0.0f, 12.0f, 1.0f, 7.5f));
    manager.storeParamStrings (reverbBlock, 0, { "Room", "Hall", "Plate" });
    manager.storeParamInfo (reverbBlock, 5, makeInfo (0x30, 0.1f, 100.0f, 0.001f, -1.0f));
    manager.storeParamStrings (delayBlock, 1,
                               { "Digital", "", juce::String (juce::CharPointer_UTF8 ("Tape \xc3\xa9")) });
}

void expectSameDefinitions (const EffectManager& a, const EffectManager& b)
{
    ASSERT_EQ (a.getNumDefinitions(), b.getNumDefinitions());

    for (int i = 0; i < a.getNumDefinitions(); ++i)
    {
        auto* da = a.getDefinition (i);
        auto* db = b.getDefinition (i);
        EXPECT_EQ (da->effectType, db->effectType);
        ASSERT_EQ (da->getNumParams(), db->getNumParams());

        for (int p = 0; p < da->getNumParams(); ++p)
        {
            auto* pa = da->getParam (p);
            auto* pb = db->getParam (p);
            EXPECT_EQ (pa->paramId, pb->paramId);
            EXPECT_EQ (0, std::memcmp (&pa->info, &pb->info, sizeof (ParamInfo)));
            EXPECT_EQ (pa->valueStrings, pb->valueStrings);
        }
    }
}

class EffectManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { UserFolders::redirectTo (scratch.folder); }
    void TearDown() override { UserFolders::redirectTo ({}); }

    juce::File cacheFolder() const { return scratch.folder.getChildFile ("appdata").getChildFile ("defs"); }

    ScratchFolder scratch{ "kestrel-effects" };
    RecordingNotifier notices;
    KestrelEffectManager manager;
    TestLayouts layouts;
};

TEST_F (EffectManagerTest, CacheRoundTripsAndBelongsToItsFirmware)
{
    fillDefinitions (manager);
    manager.setFirmware (6, 2);
    ASSERT_TRUE (manager.saveDefinitionsCache (cacheFolder(), 8));
    EXPECT_TRUE (cacheFolder().getChildFile ("effectDefinitions_08.cache").existsAsFile());
    EXPECT_EQ (juce::String ("effectDefinitions_0a.cache"),
               EffectManager::getDefinitionsCacheFile (cacheFolder(), 10).getFileName());

    KestrelEffectManager loaded;
    ASSERT_TRUE (loaded.loadDefinitionsCache (cacheFolder(), 8));
    EXPECT_EQ (6, loaded.getFirmwareMajor());
    EXPECT_EQ (2, loaded.getFirmwareMinor());
    expectSameDefinitions (manager, loaded);
    EXPECT_TRUE (loaded.findParamDefinition (delayBlock, 1)->valueStrings[2] ==
                 juce::CharPointer_UTF8 ("Tape \xc3\xa9"));
    EXPECT_TRUE (loaded.findParamDefinition (reverbBlock, 5)->valueStrings.isEmpty());

    // Another model has no cache; the same firmware keeps the definitions,
    // other firmware drops them and takes the unit's numbers.
    EXPECT_FALSE (loaded.loadDefinitionsCache (cacheFolder(), 3));
    EXPECT_EQ (2, loaded.getNumDefinitions());
    EXPECT_TRUE (loaded.matchDefinitionsToFirmware (6, 2));
    EXPECT_EQ (2, loaded.getNumDefinitions());
    EXPECT_FALSE (loaded.matchDefinitionsToFirmware (6, 3));
    EXPECT_EQ (0, loaded.getNumDefinitions());
    EXPECT_EQ (3, loaded.getFirmwareMinor());
    EXPECT_EQ (0, notices.count());
}

// A definitions cache put together byte by byte from the documented layout.
const juce::uint8 documentedCache[] = {
    6, 0, 0, 0,                      // firmware major
    2, 0, 0, 0,                      // firmware minor
    1, 0,                            // format 1
    1, 0, 0, 0,                      // one definition:
    7, 0, 0, 0,                      //   effect type Reverb
    2, 0, 0, 0,                      //   two parameters
    0, 0,                            //   parameter 0
    0x10, 0, 0, 0,                   //     descriptor
    0x00, 0x00, 0x00, 0x3f,          //     minimum 0.5
    0x00, 0x00, 0x40, 0x41,          //     maximum 12
    0x00, 0x00, 0x00, 0x40,          //     display multiplier 2
    0x00, 0x00, 0x80, 0xbf,          //     fourth value -1
    2, 0, 0, 0,                      //     two value strings
    4, 0, 0, 0, 'R', 'o', 'o', 'm',
    4, 0, 0, 0, 'H', 'a', 'l', 'l',
    5, 0,                            //   parameter 5
    0x30, 0, 0, 0,                   //     descriptor
    0x00, 0x00, 0x80, 0x3e,          //     minimum 0.25
    0x00, 0x00, 0xc8, 0x42,          //     maximum 100
    0x00, 0x00, 0x80, 0x40,          //     display multiplier 4
    0x00, 0x00, 0x00, 0x41,          //     fourth value 8
    0, 0, 0, 0,                      //     no value strings
};

TEST_F (EffectManagerTest, CacheBytesFollowTheDocumentedLayout)
{
    manager.storeParamInfo (reverbBlock, 0, makeInfo (0x10, 0.5f, 12.0f, 2.0f, -1.0f));
    manager.storeParamStrings (reverbBlock, 0, { "Room", "Hall" });
    manager.storeParamInfo (reverbBlock, 5, makeInfo (0x30, 0.25f, 100.0f, 4.0f, 8.0f));
    manager.setFirmware (6, 2);
    ASSERT_TRUE (manager.saveDefinitionsCache (cacheFolder(), 8));

    juce::MemoryBlock written;
    ASSERT_TRUE (EffectManager::getDefinitionsCacheFile (cacheFolder(), 8).loadFileAsData (written));
    EXPECT_EQ (written, juce::MemoryBlock (documentedCache, sizeof (documentedCache)));

    auto file = EffectManager::getDefinitionsCacheFile (cacheFolder(), 3);
    ASSERT_TRUE (file.replaceWithData (documentedCache, sizeof (documentedCache)));
    KestrelEffectManager loaded;
    ASSERT_TRUE (loaded.loadDefinitionsCache (cacheFolder(), 3));
    EXPECT_EQ (loaded.getFirmwareMajor(), 6);
    EXPECT_EQ (loaded.getFirmwareMinor(), 2);
    ASSERT_EQ (loaded.getNumDefinitions(), 1);
    EXPECT_EQ (loaded.getDefinition (0)->effectType, EFFECT_REVERB);

    auto* first = loaded.findParamDefinition (reverbBlock, 0);
    auto* second = loaded.findParamDefinition (reverbBlock, 5);
    ASSERT_NE (first, nullptr);
    ASSERT_NE (second, nullptr);
    EXPECT_EQ (first->info.descriptor, 0x10);
    EXPECT_EQ (first->info.minimum, 0.5f);
    EXPECT_EQ (first->info.maximum, 12.0f);
    EXPECT_EQ (first->info.displayMultiplier, 2.0f);
    EXPECT_EQ (first->info.fourth, -1.0f);
    EXPECT_EQ (first->valueStrings, juce::StringArray ({ "Room", "Hall" }));
    EXPECT_EQ (second->info.descriptor, 0x30);
    EXPECT_EQ (second->info.minimum, 0.25f);
    EXPECT_EQ (second->info.maximum, 100.0f);
    EXPECT_EQ (second->info.displayMultiplier, 4.0f);
    EXPECT_EQ (second->info.fourth, 8.0f);
    EXPECT_TRUE (second->valueStrings.isEmpty());
}

TEST_F (EffectManagerTest, CacheOfAnotherFormatKeepsDefinitionsAndIsNeverWrittenBack)
{
    fillDefinitions (manager);
    ASSERT_TRUE (manager.saveDefinitionsCache (cacheFolder(), 8));

    auto file = EffectManager::getDefinitionsCacheFile (cacheFolder(), 8);
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    data[0] = 9; // firmware major
    data[8] = 2; // format word
    file.replaceWithData (data.getData(), data.getSize());

    KestrelEffectManager other;
    other.storeParamInfo (reverbBlock, 7, {});
    EXPECT_TRUE (other.loadDefinitionsCache (cacheFolder(), 8));
    EXPECT_EQ (9, other.getFirmwareMajor());
    ASSERT_EQ (1, other.getNumDefinitions());
    EXPECT_NE (nullptr, other.findParamDefinition (reverbBlock, 7));

    // The next save writes the program's own format, so the cache loads again.
    ASSERT_TRUE (other.saveDefinitionsCache (cacheFolder(), 8));
    data.reset();
    file.loadFileAsData (data);
    EXPECT_EQ (1, (int) data[8]);
    EXPECT_EQ (0, (int) data[9]);
    KestrelEffectManager again;
    EXPECT_TRUE (again.loadDefinitionsCache (cacheFolder(), 8));
    EXPECT_NE (nullptr, again.findParamDefinition (reverbBlock, 7));
}

TEST_F (EffectManagerTest, DamagedCacheDropsEveryDefinition)
{
    fillDefinitions (manager);
    ASSERT_TRUE (manager.saveDefinitionsCache (cacheFolder(), 8));
    auto file = EffectManager::getDefinitionsCacheFile (cacheFolder(), 8);
    juce::MemoryBlock whole;
    file.loadFileAsData (whole);

    // Every cut past the header loses at least part of a definition.
    for (size_t cut = 14; cut < whole.getSize(); ++cut)
    {
        file.replaceWithData (whole.getData(), cut);
        KestrelEffectManager loaded;
        loaded.storeParamInfo (reverbBlock, 1, {});
        EXPECT_FALSE (loaded.loadDefinitionsCache (cacheFolder(), 8)) << cut;
        EXPECT_EQ (0, loaded.getNumDefinitions()) << cut;
    }

    // Hostile counts and lengths: refused without allocating for them.
    auto loadPatched = [&] (size_t offset, juce::int32 value)
    {
        juce::MemoryBlock patched (whole);
        std::memcpy (static_cast<char*> (patched.getData()) + offset, &value, 4);
        file.replaceWithData (patched.getData(), patched.getSize());
        KestrelEffectManager loaded;
        loaded.storeParamInfo (reverbBlock, 1, {});
        const bool result = loaded.loadDefinitionsCache (cacheFolder(), 8);
        return result || loaded.getNumDefinitions() != 0;
    };

    EXPECT_FALSE (loadPatched (10, 0x7fffffff)); // definition count
    EXPECT_FALSE (loadPatched (10, -5));
    EXPECT_FALSE (loadPatched (18, 0x40000000)); // first definition's parameter count
    EXPECT_FALSE (loadPatched (18, -1));
    EXPECT_FALSE (loadPatched (22 + 22, -1));         // first parameter's string count
    EXPECT_FALSE (loadPatched (22 + 26, 0x7ffffff0)); // its first string's length

    // A missing file changes nothing.
    file.deleteFile();
    KestrelEffectManager untouched;
    untouched.storeParamInfo (reverbBlock, 1, {});
    EXPECT_FALSE (untouched.loadDefinitionsCache (cacheFolder(), 8));
    EXPECT_EQ (1, untouched.getNumDefinitions());
}

TEST_F (EffectManagerTest, FailedCacheSaveWarnsAndReportsFailure)
{
    auto plainFile = scratch.folder.getChildFile ("plain");
    ASSERT_TRUE (plainFile.replaceWithText ("x"));
    EXPECT_FALSE (manager.saveDefinitionsCache (plainFile.getChildFile ("defs"), 8));
    ASSERT_EQ (1, notices.count());
    EXPECT_EQ (juce::String ("Effect Definitions"), notices.get (0).title);
    EXPECT_TRUE (notices.lastMessage().startsWith (
        "Unable to create default directory: " + plainFile.getChildFile ("defs").getFullPathName() + "\n"));

    // A folder in the way of the cache file: the write fails and says so.
    auto blocked = scratch.folder.getChildFile ("blocked");
    ASSERT_TRUE (EffectManager::getDefinitionsCacheFile (blocked, 8).getChildFile ("inner").createDirectory());
    EXPECT_FALSE (manager.saveDefinitionsCache (blocked, 8));
    EXPECT_TRUE (EffectManager::getDefinitionsCacheFile (blocked, 8).getChildFile ("inner").isDirectory());
}

TEST_F (EffectManagerTest, DefinitionLookups)
{
    fillDefinitions (manager);
    EXPECT_EQ (nullptr, manager.findParamDefinition (0, 0));
    EXPECT_EQ (nullptr, manager.findParamDefinition (firstShuntId, 0));
    EXPECT_FALSE (manager.storeParamInfo (0, 1, {}));
    EXPECT_FALSE (manager.storeParamStrings (250, 1, { "a" }));
    EXPECT_EQ (0x30, manager.findParamDefinition (reverbBlock, 5)->info.descriptor);

    manager.storeParamStrings (reverbBlock, 9, { "0", "5", "5", "Off", "10" });
    EXPECT_EQ (2, manager.findValueStringIndex (reverbBlock, 9, 7));
    EXPECT_EQ (4, manager.findValueStringIndex (reverbBlock, 9, 10));
    EXPECT_EQ (-1, manager.findValueStringIndex (reverbBlock, 9, -1));
    EXPECT_EQ (-1, manager.findValueStringIndex (reverbBlock, 0, 100)); // no numeric texts
    EXPECT_EQ (-1, manager.findValueStringIndex (reverbBlock, 77, 1));

    manager.storeParamStrings (reverbBlock, 10, { "-2.5", "1-2", "+3" });
    EXPECT_EQ (0, manager.findValueStringIndex (reverbBlock, 10, 0));
    EXPECT_EQ (2, manager.findValueStringIndex (reverbBlock, 10, 3));
}

TEST_F (EffectManagerTest, BlockRecords)
{
    EXPECT_FALSE (manager.storeParamValue (0, makeValue (firstShuntId, 1, "x")));
    EXPECT_FALSE (manager.storeParamValue (0, makeValue (0, 1, "x")));
    EXPECT_EQ (0, manager.getNumEffects());

    EXPECT_TRUE (manager.storeParamValue (0, makeValue (reverbBlock, 3, "a")));
    EXPECT_TRUE (manager.storeParamValue (0, makeValue (reverbBlock, 3, "b")));
    EXPECT_TRUE (manager.storeParamValue (1, makeValue (reverbBlock, 3, "y")));
    auto* record = manager.findEffect (reverbBlock);
    ASSERT_NE (nullptr, record);
    EXPECT_EQ (1, record->getNumParams (0));
    EffectParamValue out;
    EXPECT_TRUE (manager.getParamValue (reverbBlock, 3, 0, out));
    EXPECT_EQ (juce::String ("b"), out.text);
    EXPECT_TRUE (manager.getParamValue (reverbBlock, 3, 1, out));
    EXPECT_EQ (juce::String ("y"), out.text);
    EXPECT_FALSE (manager.getParamValue (reverbBlock, 4, 0, out));
    EXPECT_FALSE (record->setParam (0, makeValue (delayBlock, 3, "other")));

    EXPECT_FALSE (record->hasAllParams (0));
    for (int p = 0; p < getParamCount (reverbBlock); ++p)
        manager.storeParamValue (0, makeValue (reverbBlock, p, "v"));
    EXPECT_TRUE (record->hasAllParams (0));
    EXPECT_FALSE (EffectRecord().hasAllParams (0));

    EffectRecord fresh (reverbBlock);
    EXPECT_EQ (0xDEAD0000u, fresh.globalUsedMask);
    EXPECT_TRUE (fresh.setGlobalUsedBit (3, true));
    EXPECT_EQ (0x8u, fresh.globalUsedMask);
    EXPECT_FALSE (fresh.setGlobalUsedBit (10, true));

    EXPECT_TRUE (manager.setGlobalBlockNumber (reverbBlock, 4));
    EXPECT_TRUE (manager.setGlobalBlockNumber (reverbBlock, 11));
    EXPECT_EQ (4, record->globalBlockNumber);
    EXPECT_FALSE (manager.setGlobalBlockNumber (delayBlock, 1));

    manager.invalidateEffects();
    EXPECT_EQ (1, record->xRefresh);
    EXPECT_EQ (1, record->yRefresh);
    EXPECT_EQ (0xFFFF, record->globalBlockNumber);
    EXPECT_TRUE (manager.getParamValue (reverbBlock, 3, 1, out));

    // A copy refuses entries of another block and merges repeated ids.
    EffectRecord source (delayBlock);
    source.xValues.add (makeValue (delayBlock, 1, "first"));
    source.xValues.add (makeValue (delayBlock, 1, "second"));
    source.xValues.add (makeValue (reverbBlock, 2, "stray"));
    EffectRecord copy;
    copy.copyFrom (source);
    ASSERT_EQ (1, copy.getNumParams (0));
    EXPECT_TRUE (copy.getParamAt (0, 0, out));
    EXPECT_EQ (juce::String ("second"), out.text);

    juce::MemoryBlock payload ("abc", 3);
    EXPECT_TRUE (manager.storeAllParamsData (delayBlock, payload));
    EXPECT_EQ (payload, manager.findEffect (delayBlock)->allParamsData);
}

TEST_F (EffectManagerTest, TypeNamesAndLabelsFollowTheLayouts)
{
    juce::String text;
    EXPECT_FALSE (manager.getBlockTypeName (reverbBlock, 0, text));
    manager.storeParamValue (0, makeValue (delayBlock, 0, "Model"));
    manager.storeParamValue (0, makeValue (delayBlock, 1, "Tape"));
    EXPECT_TRUE (manager.getBlockTypeName (delayBlock, 0, text));
    EXPECT_EQ (juce::String ("Tape"), text); // the delay's type name is parameter 1

    EXPECT_TRUE (manager.getParamLabel (delayBlock, 2, layouts, text));
    EXPECT_EQ (juce::String ("Wow"), text);
    EXPECT_TRUE (manager.getParamLabel (reverbBlock, 5, layouts, text));
    EXPECT_EQ (juce::String ("Decay Time"), text); // the firmware-7 page does not apply
    EXPECT_TRUE (manager.getParamLabel (reverbBlock, 13, layouts, text));
    EXPECT_EQ (juce::String ("Mix"), text);
    EXPECT_FALSE (manager.getParamLabel (reverbBlock, 6, layouts, text));
    EXPECT_FALSE (manager.getParamLabel (130, 0, layouts, text)); // no layout for the type

    manager.setFirmware (7, 0);
    EXPECT_TRUE (manager.getParamLabel (reverbBlock, 5, layouts, text));
    EXPECT_EQ (juce::String ("Newer Decay"), text);
}

TEST_F (EffectManagerTest, Modifiers)
{
    for (int id = 100; id <= 115; ++id)
        EXPECT_EQ (id, manager.getModifier (id)->modifierId);
    EXPECT_EQ (nullptr, manager.getModifier (99));
    EXPECT_EQ (nullptr, manager.getModifier (116));

    auto* modifier = manager.getModifier (101);
    ModifierValueEntry entry;
    entry.settingIndex = 15;
    EXPECT_FALSE (modifier->setSlot (entry));
    EXPECT_FALSE (modifier->getSlot (15, entry));

    // A modifier on the bypass mode is held under 255 and found by the
    // parameter's own id; no slot matches block 0.
    modifier->blockId = reverbBlock;
    modifier->paramId = 255;
    EXPECT_EQ (modifier, manager.findModifierForParam (reverbBlock, getBypassModeParamId (reverbBlock)));
    EXPECT_EQ (nullptr, manager.findModifierForParam (0, 0));
    EXPECT_FALSE (manager.hasModifierOnParam255());
    entry = {};
    entry.value = 3;
    EXPECT_TRUE (modifier->setSlot (entry));
    EXPECT_TRUE (manager.hasModifierOnParam255());

    manager.loadControllerNames();
    juce::String text;
    EXPECT_TRUE (manager.describeModifier (100, layouts, text));
    EXPECT_EQ (juce::String ("01 : Not Used"), text);
    modifier->paramId = 5;
    EXPECT_TRUE (manager.describeModifier (101, layouts, text));
    EXPECT_EQ (juce::String ("02 : LFO 2A : Reverb (Decay Time)"), text);
    EXPECT_FALSE (manager.describeModifier (116, layouts, text));

    juce::Array<ModifierRecord*> found;
    manager.getModifiersForBlock (reverbBlock, found);
    EXPECT_EQ (1, found.size());
    manager.resetModifiersForBlock (reverbBlock);
    EXPECT_EQ (0, modifier->blockId);
    EXPECT_EQ (0, modifier->getControllerId());

    ModifierDumpRecord dump;
    dump.bytes[0] = (juce::uint8) reverbBlock;
    dump.bytes[67] = 9;
    manager.addModifierDump (dump);
    juce::Array<ModifierDumpRecord> dumps;
    EXPECT_FALSE (manager.getModifierDumpsForBlock (delayBlock, dumps));
    EXPECT_TRUE (manager.getModifierDumpsForBlock (reverbBlock, dumps));
    EXPECT_TRUE (dumps[0] == dump);
}

TEST_F (EffectManagerTest, LayoutRecordsAndQueryStates)
{
    manager.storeLayoutRecord ({ 1, 3, 0, 10 });
    manager.storeLayoutRecord ({ 0, 4, 0, 11 });
    manager.storeLayoutRecord ({ 0, 3, 0, 12 }); // same layout and key: replaced
    manager.storeLayoutRecord ({ 0, 5, 2, 13 }); // key 2 and up: layout 0
    manager.storeLayoutRecord ({ 0, 6, 2, 14 });
    EXPECT_EQ (3, manager.getNumLayoutRecords());
    EXPECT_EQ (12, manager.findLayoutRecord (3, 0)->value);
    EXPECT_EQ (0, manager.findLayoutRecord (3, 0)->operation);
    EXPECT_EQ (14, manager.findLayoutRecord (0, 2)->value);
    EXPECT_EQ (nullptr, manager.findLayoutRecord (5, 2));

    manager.storeQueryStates (1, { 1, 2 });
    manager.storeQueryStates (1, { 3 });
    EXPECT_EQ (juce::Array<juce::int32> ({ 3 }), manager.findQueryStates (1)->states);
    manager.clearQueryStates();
    EXPECT_EQ (nullptr, manager.findQueryStates (1));
}

// CSV export ------------------------------------------------------------------------

const juce::String csvHeader = "Effect Name, Param Label, Param Value (X), Param Value (Y), Modifier Controller, "
                               "Auto-Engage, PC Reset, Min, Max, Start, Mid, End, Slope, Scale, Offset, Damping, "
                               "Off Val\n";

TEST_F (EffectManagerTest, CsvShowsCurrentValuesOfLabelledParameters)
{
    // Stale records show nothing.
    manager.storeParamValue (0, makeValue (delayBlock, 2, "300 ms"));
    manager.invalidateEffects();
    EXPECT_EQ (csvHeader, manager.buildCsv (layouts));

    // Reverb: X current, Y stale. Ids 0 (type), 3, 5, 6 (no label), 22
    // (bypass), 40 (beyond the entry count) and 17 (global mix, Y only).
    for (auto p : { 0, 3, 5, 6, 22, 40 })
        manager.storeParamValue (0, makeValue (reverbBlock, p, "x" + juce::String (p)));
    manager.storeParamValue (1, makeValue (reverbBlock, 3, "y3"));
    manager.storeParamValue (1, makeValue (reverbBlock, 17, "y17"));
    manager.findEffect (reverbBlock)->yRefresh = 1;

    auto* modifier = manager.getModifier (104);
    modifier->blockId = reverbBlock;
    modifier->paramId = 5;
    for (int s = 0; s < ModifierRecord::numSettings; ++s)
    {
        ModifierValueEntry entry;
        entry.settingIndex = (juce::uint16) s;
        entry.text = "s" + juce::String (s);
        modifier->setSlot (entry);
    }

    // A modifier that lost its block is not shown.
    manager.getModifier (105)->paramId = 3;

    const juce::String empty13 = ",,,,,,,,,,,,,";
    const auto expected = csvHeader + "Reverb,Effect Type,x0," + empty13 + "\n" + "Reverb,\"Size, Room\",x3," +
                          empty13 + "\n" + "Reverb,Decay Time,x5,,s0,s10,s11,s1,s2,s3,s4,s5,s6,s13,s14,s7,s12\n" +
                          "Reverb,Global Mix,," + empty13 + "\n" + "Reverb,Bypassed,x22," + empty13 + "\n" +
                          "Reverb,Far,x40," + empty13 + "\n";
    EXPECT_EQ (expected, manager.buildCsv (layouts));

    // Y current again: its values fill the fourth field.
    manager.findEffect (reverbBlock)->yRefresh = 0;
    EXPECT_TRUE (
        manager.buildCsv (layouts).contains ("\nReverb,\"Size, Room\",x3,y3," + empty13.dropLastCharacters (1) + "\n"));

    auto file = scratch.folder.getChildFile ("out").getChildFile ("preset.csv");
    ASSERT_TRUE (manager.exportCsv (layouts, file).wasOk());
    EXPECT_EQ (manager.buildCsv (layouts), file.loadFileAsString());
}

TEST_F (EffectManagerTest, FailedCsvExportReportsAndKeepsTheOldFile)
{
    auto plainFile = scratch.folder.getChildFile ("plain");
    ASSERT_TRUE (plainFile.replaceWithText ("x"));
    EXPECT_TRUE (manager.exportCsv (layouts, plainFile.getChildFile ("a.csv")).failed());

    auto folderInTheWay = scratch.folder.getChildFile ("taken.csv");
    ASSERT_TRUE (folderInTheWay.getChildFile ("inner").createDirectory());
    EXPECT_TRUE (manager.exportCsv (layouts, folderInTheWay).failed());
    EXPECT_TRUE (folderInTheWay.getChildFile ("inner").isDirectory());
}
} // namespace

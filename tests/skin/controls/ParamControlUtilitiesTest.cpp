#include "skin/controls/ParamControlUtilities.h"
#include "skin/lists/DropDownLargeList.h"
#include "device/engines/DeviceManager.h"
#include "model/EffectManager.h"
#include "model/IdTables.h"
#include "model/ParamNameTables.h"

#include <gtest/gtest.h>

namespace
{
constexpr int ampBlock = 106, multitapBlock = 114, delayBlock = 112, pitchBlock = 130, layoutBlock = 207;

class NoLinkDeviceManager : public DeviceManager
{
public:
    using DeviceManager::DeviceManager;
    bool requestAmpNames() override { return false; }
    bool handleReplyFirst (SysExRequest&) override { return false; }
};

// A page whose managers are the test's own.
class TestPage : public ParamControlUtilities
{
public:
    EffectManager effects;
    NoLinkDeviceManager device{ nullptr, &effects, nullptr };

    void define (int blockId, int paramId, int kind, float minimum, float maximum, float scale,
                 const juce::StringArray& strings = {})
    {
        ParamInfo info;
        info.descriptor = kind << 4;
        info.minimum = minimum;
        info.maximum = maximum;
        info.displayMultiplier = scale;
        ASSERT_TRUE (effects.storeParamInfo (blockId, paramId, info));

        if (! strings.isEmpty())
        {
            ASSERT_TRUE (effects.storeParamStrings (blockId, paramId, strings));
        }
    }

    void store (int blockId, int paramId, int value)
    {
        EffectParamValue stored;
        stored.blockId = (juce::uint16) blockId;
        stored.paramId = (juce::uint16) paramId;
        stored.value = (juce::uint16) value;
        ASSERT_TRUE (effects.storeParamValue (0, stored));
    }

    struct Lists
    {
        bool built = false;
        juce::StringArray shortTexts, names;
        juce::Array<juce::uint16> values;
    };

    Lists choices (int blockId, int paramId)
    {
        Lists lists;
        juce::Array<juce::uint8> flags;
        lists.built = getValueStrings (blockId, paramId, lists.shortTexts, lists.names, lists.values, flags);
        return lists;
    }

protected:
    EffectManager* getEffectManagerForPage() const override { return const_cast<EffectManager*> (&effects); }
    DeviceManager* getDeviceManagerForPage() const override { return const_cast<NoLinkDeviceManager*> (&device); }
};

juce::Array<juce::uint16> valuesOf (std::initializer_list<int> list)
{
    juce::Array<juce::uint16> values;

    for (int v : list)
        values.add ((juce::uint16) v);

    return values;
}
} // namespace

TEST (ParamControlUtilities, UnitNamesAreSortedNumberedAndTitleCasedKeepingTheirValues)
{
    TestPage page;
    page.define (ampBlock, 3, B_INT, 0.0f, 3.0f, 1.0f, { "BRIGHT", "alpha", "10", "9" });

    auto lists = page.choices (ampBlock, 3);
    ASSERT_TRUE (lists.built);
    EXPECT_EQ (lists.names, juce::StringArray ({ "9", "10", "Alpha", "Bright" }));
    EXPECT_EQ (lists.values, valuesOf ({ 3, 2, 1, 0 }));
    EXPECT_EQ (lists.shortTexts, juce::StringArray ({ "1  ", "2  ", "3  ", "4  " }));

    // Tempo choices keep the unit's order.
    page.define (delayBlock, getParamIdForName (EFFECT_DELAY, "DELAY_TEMPO"), B_INT, 0.0f, 2.0f, 1.0f,
                 { "NONE", "1/4", "1/8" });
    lists = page.choices (delayBlock, getParamIdForName (EFFECT_DELAY, "DELAY_TEMPO"));
    EXPECT_EQ (lists.names, juce::StringArray ({ "None", "1/4", "1/8" }));
    EXPECT_EQ (lists.values, valuesOf ({ 0, 1, 2 }));

    // Without a definition nothing is built and the lists stay as they were.
    juce::StringArray shortTexts{ "kept" }, names{ "kept" };
    juce::Array<juce::uint16> values{ 7 };
    juce::Array<juce::uint8> flags;
    EXPECT_FALSE (page.getValueStrings (ampBlock, 99, shortTexts, names, values, flags));
    EXPECT_EQ (names, juce::StringArray ("kept"));
}

TEST (ParamControlUtilities, ShortTextsArePaddedToTheWidthOfTheCount)
{
    EXPECT_EQ (ParamControlUtilities::makeShortTexts (7)[6], "7  ");
    auto twelve = ParamControlUtilities::makeShortTexts (12);
    ASSERT_EQ (twelve.size(), 12);
    EXPECT_EQ (twelve[0], "01  ");
    EXPECT_EQ (twelve[11], "12  ");
    EXPECT_EQ (ParamControlUtilities::makeShortTexts (100)[0], "001  ");
    EXPECT_TRUE (ParamControlUtilities::makeShortTexts (0).isEmpty());
}

TEST (ParamControlUtilities, TheProgramsOwnListsForSpecialParameters)
{
    TestPage page;

    // Repeats: numbers, with the last one infinite.
    page.define (pitchBlock, 56, B_INT, 1.0f, 10.0f, 1.0f);
    auto repeats = page.choices (pitchBlock, 56);
    ASSERT_EQ (repeats.names.size(), 10);
    EXPECT_EQ (repeats.names[0], "1");
    EXPECT_EQ (repeats.names[8], "9");
    EXPECT_EQ (repeats.names[9], "Infinite");
    EXPECT_EQ (repeats.values[9], 10);

    // MIDI program of the layout block: "OFF" then 0..127, none numbered.
    auto program = page.choices (layoutBlock, 0);
    ASSERT_TRUE (program.built);
    ASSERT_EQ (program.names.size(), 129);
    EXPECT_EQ (program.names[0], "Off");
    EXPECT_EQ (program.values[0], 16383);
    EXPECT_EQ (program.names[128], "127");
    EXPECT_EQ (program.shortTexts.joinIntoString (""), "");
    EXPECT_EQ (program.shortTexts.size(), 129);

    // Amp saturation in the program's order and words.
    auto saturation = page.choices (ampBlock, 54);
    EXPECT_EQ (saturation.names, juce::StringArray ({ "Ideal", "Auth", "Off" }));
    EXPECT_EQ (saturation.values, valuesOf ({ 2, 1, 0 }));

    // Footswitch 2 taps: no preset-bank functions, tempo tap offered.
    auto tap = page.choices (1, 48);
    ASSERT_TRUE (tap.built);
    EXPECT_EQ (tap.values, valuesOf ({ 0, 4, 5, 15, 6, 7, 13, 14, 8, 9, 10, 11, 12, 16 }));
    EXPECT_EQ (tap.names[8], "Tempo Tap");
}

TEST (ParamControlUtilities, FeedbackTapsNeverCrossEachOther)
{
    TestPage page;
    page.define (multitapBlock, 76, B_INT, 0.0f, 3.0f, 1.0f);
    page.define (multitapBlock, 77, B_INT, 0.0f, 3.0f, 1.0f);
    page.store (multitapBlock, 76, 2); // send tap 3
    page.store (multitapBlock, 77, 1); // return tap 2

    auto send = page.choices (multitapBlock, 76);
    EXPECT_EQ (send.names, juce::StringArray ({ "2", "3", "4" }));
    EXPECT_EQ (send.values, valuesOf ({ 1, 2, 3 }));

    auto ret = page.choices (multitapBlock, 77);
    EXPECT_EQ (ret.names, juce::StringArray ({ "1", "2", "3" }));
    EXPECT_EQ (ret.values, valuesOf ({ 0, 1, 2 }));
}

TEST (ParamControlUtilities, RangeIsScaledExceptForIntegersAndPresenceBecomesHighCut)
{
    TestPage page;
    page.define (ampBlock, 5, B_LIN, 0.0f, 1.0f, 10.0f);
    page.define (ampBlock, 6, B_INT, 1.0f, 4.0f, 10.0f);

    int kind = -1;
    float minimum = -1.0f, maximum = -1.0f;
    ASSERT_TRUE (page.getParamRange (ampBlock, 5, kind, minimum, maximum));
    EXPECT_EQ (kind, B_LIN);
    EXPECT_FLOAT_EQ (maximum, 10.0f);
    ASSERT_TRUE (page.getParamRange (ampBlock, 6, kind, minimum, maximum));
    EXPECT_FLOAT_EQ (minimum, 1.0f);
    EXPECT_FLOAT_EQ (maximum, 4.0f);
    EXPECT_FALSE (page.getParamRange (ampBlock, 7, kind, minimum, maximum));
    EXPECT_EQ (kind, 0);

    juce::String label = "Presence";
    EXPECT_FALSE (page.getAltLabel (ampBlock, 20, label)); // no stored beta
    page.store (ampBlock, 24, 1);
    EXPECT_FALSE (page.getAltLabel (ampBlock, 20, label));
    page.store (ampBlock, 24, 0);
    EXPECT_TRUE (page.getAltLabel (ampBlock, 20, label));
    EXPECT_EQ (label, "High Cut");
}

TEST (ParamControlUtilities, CabChoicesBecomeFactoryUserAndScratchpadGroups)
{
    struct CabUnit : NoLinkDeviceManager
    {
        using NoLinkDeviceManager::NoLinkDeviceManager;
        juce::uint16 getNumFactoryCabs() override { return 130; }
        juce::uint16 getNumFactoryAndUserCabs() override { return 125; } // tables not agreeing yet
    };

    struct CabPage : TestPage
    {
        CabUnit cabUnit{ nullptr, &effects, nullptr };
        DeviceManager* getDeviceManagerForPage() const override { return const_cast<CabUnit*> (&cabUnit); }
    } page;

    DropDownLargeList left (DropDownStyle(), nullptr, nullptr, nullptr), level (DropDownStyle(), nullptr, nullptr,
                                                                                nullptr);
    page.setupCabDropDown (EFFECT_CAB, 0, left);
    page.setupCabDropDown (EFFECT_CAB, 1, level);

    EXPECT_TRUE (left.groupedList);
    EXPECT_EQ (left.groupTitles[0], "Factory");
    EXPECT_EQ (left.groupTitles[2], "Scratchpad");
    EXPECT_TRUE (left.groupTitles[3].isEmpty());
    EXPECT_EQ (left.bankSizes, valuesOf ({ 130, 0, 4 })); // never a negative user count
    EXPECT_TRUE (left.colourFilterOn);
    EXPECT_EQ (left.colourKey, 6);

    EXPECT_FALSE (level.groupedList);
    EXPECT_TRUE (level.bankSizes.isEmpty());
}

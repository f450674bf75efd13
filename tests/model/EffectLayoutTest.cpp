#include "model/IdTables.h"
#include "model/KestrelEffectLayoutManager.h"

#include <gtest/gtest.h>

using juce::String;

namespace
{
// A manager with the program's name tables, reading the given EffectLayouts
// content (and anything else) under a CONFIG root.
struct ParsedLayouts
{
    explicit ParsedLayouts (const String& body)
    {
        manager.appendEffectTypeNames (EffectLayoutNames);
        manager.appendBlockIdentifiers (BlockIdentifiers);
        manager.appendPageLayoutNames (PageLayoutNames);

        auto root = juce::parseXML ("<CONFIG name=\"Kestrel-Edit\" version=\"1\">" + body + "</CONFIG>");
        EXPECT_NE (root, nullptr);
        manager.parseLayouts (root.get());
    }

    // The first page of the first variant of a type's layout.
    LayoutPage* firstPage (int effectType) const
    {
        if (auto* layout = manager.findEffectLayout (effectType))
            if (auto* variant = layout->findVariant ({}))
                return variant->getPage (0);

        return nullptr;
    }

    KestrelEffectLayoutManager manager;
};

String compressorPage (const String& pageContent, const String& pageAttributes = "layout=\"GENERIC_EFFECT_LAYOUT\"")
{
    return "<EffectLayouts><EditorControls name=\"Compressor\"><EffectVariants><EffectVariant>"
           "<Page name=\"P\" " +
           pageAttributes + ">" + pageContent +
           "</Page></EffectVariant></EffectVariants></EditorControls></EffectLayouts>";
}

String knob (const String& parameter, const String& extra = {})
{
    return "<EditorControl type=\"knob\" name=\"" + parameter + "\" parameterName=\"" + parameter + "\" " + extra +
           "/>";
}
} // namespace

TEST (EffectLayout, VersionConditionsCompareMajorThenMinor)
{
    VersionCondition atLeast;
    atLeast.setFromAttributes ("7,2", {});
    EXPECT_TRUE (atLeast.matches (7, 2));
    EXPECT_TRUE (atLeast.matches (8, 0));
    EXPECT_FALSE (atLeast.matches (7, 1));
    EXPECT_FALSE (atLeast.matches (6, 9));

    VersionCondition below;
    below.setFromAttributes ({}, "7;2");
    EXPECT_EQ (below.kind, VersionCondition::below);
    EXPECT_FALSE (below.matches (7, 2));
    EXPECT_FALSE (below.matches (8, 0));
    EXPECT_TRUE (below.matches (7, 1));

    // The lower bound wins when both are given; an unknown kind never matches.
    VersionCondition both;
    both.setFromAttributes ("7 2", "9,0");
    EXPECT_EQ (both.kind, VersionCondition::atLeast);
    EXPECT_EQ (both.major, 7);
    EXPECT_EQ (both.minor, 2);
    both.kind = 5;
    EXPECT_FALSE (both.matches (9, 9));

    VersionCondition none;
    none.setFromAttributes ({}, {});
    EXPECT_FALSE (none.hasCondition);
    EXPECT_TRUE (none.matches (0, 0));
}

TEST (EffectLayout, FirstLayoutOfATypeWinsAndUnknownNamesLeaveOneEmptyLayout)
{
    ParsedLayouts parsed ("<EffectLayouts>"
                          "<EditorControls name=\"Compressor\"><EffectVariants><EffectVariant name=\"A\"/>"
                          "</EffectVariants></EditorControls>"
                          "<EditorControls name=\"Compressor\"><EffectVariants><EffectVariant name=\"B\"/>"
                          "<EffectVariant name=\"C\"/></EffectVariants></EditorControls>"
                          "<EditorControls name=\"NoSuchEffect\"><EffectVariants><EffectVariant name=\"D\"/>"
                          "</EffectVariants></EditorControls>"
                          "<EditorControls name=\"compressor\"/>"
                          "<EditorControls/>"
                          "</EffectLayouts>"
                          "<EffectLayouts><EditorControls name=\"Delay\"/></EffectLayouts>");

    ASSERT_EQ (parsed.manager.getNumLayouts(), 2);
    auto* compressor = parsed.manager.findEffectLayout (EFFECT_COMP);
    ASSERT_NE (compressor, nullptr);
    ASSERT_EQ (compressor->variants.size(), 1);
    EXPECT_EQ (compressor->variants[0]->name, "A");

    auto* unknown = parsed.manager.findEffectLayout (0);
    ASSERT_NE (unknown, nullptr);
    EXPECT_TRUE (unknown->variants.isEmpty());

    // Only the first EffectLayouts element is read.
    EXPECT_EQ (parsed.manager.findEffectLayout (EFFECT_DELAY), nullptr);
}

TEST (EffectLayout, VariantsAreUniqueIgnoringCaseAndFoundWithFallback)
{
    ParsedLayouts parsed ("<EffectLayouts><EditorControls name=\"Compressor\">"
                          "<EffectVariants><EffectVariant name=\"Studio\"><Page name=\"S\"/></EffectVariant>"
                          "<EffectVariant name=\"STUDIO\"><Page name=\"dropped\"/></EffectVariant>"
                          "<EffectVariant><Page name=\"unnamed, dropped\"/></EffectVariant></EffectVariants>"
                          "<EffectVariants><EffectVariant name=\"Optical\"/></EffectVariants>"
                          "</EditorControls></EffectLayouts>");

    auto* layout = parsed.manager.findEffectLayout (EFFECT_COMP);
    ASSERT_NE (layout, nullptr);
    ASSERT_EQ (layout->variants.size(), 2);
    EXPECT_EQ (layout->findVariant ("studio")->pages[0]->name, "S");
    EXPECT_EQ (layout->findVariant ({}), layout->variants[0]);
    EXPECT_EQ (layout->findVariant ("Optical"), layout->variants[1]);
    EXPECT_EQ (layout->findVariant ("Opt"), nullptr);

    // Block 100 is the unit's compressor; an unknown type name falls back to
    // the first variant, a type without a layout finds nothing.
    EXPECT_EQ (parsed.manager.findVariantForBlock (100, "Optical"), layout->variants[1]);
    EXPECT_EQ (parsed.manager.findVariantForBlock (100, "Tube"), layout->variants[0]);
    EXPECT_EQ (parsed.manager.findVariantForBlock (110, "Tube"), nullptr);
    EXPECT_EQ (parsed.manager.findVariantForBlock (0, {}), nullptr);

    EffectLayout empty;
    EXPECT_EQ (empty.findVariant ({}), nullptr);
}

TEST (EffectLayout, ControlsArePlacedInRowsAndColumns)
{
    ParsedLayouts parsed (
        compressorPage (knob ("COMP_MIX") +
                        "<Parameters>"
                        "<Row>" +
                        knob ("COMP_MIX") + "<EditorControl type=\"spacer\"/>" + knob ("COMP_TYPE") +
                        "</Row>"
                        "<Row>" +
                        knob ("COMP_MIX", "offsetX=\"25\"") + knob ("COMP_TYPE", "col=\"5\"") + knob ("COMP_MIX") +
                        "</Row>"
                        "<EditorControl type=\"knob\" parameterName=\"COMP_MIX\"/>"
                        "</Parameters>"
                        "<Parameters><Row>" +
                        knob ("COMP_TYPE", "offsetX=\"-3\" offsetY=\"7\"") + knob ("COMP_MIX", "offsetX=\"0\"") +
                        "</Row></Parameters>"
                        "<Mixer><Row>" +
                        knob ("COMP_MIX") + "</Row><Row>" + knob ("COMP_MIX") +
                        "</Row></Mixer>"
                        "<Mixer><Row>" +
                        knob ("COMP_MIX") + "</Row></Mixer>"));

    auto* page = parsed.firstPage (EFFECT_COMP);
    ASSERT_NE (page, nullptr);
    ASSERT_EQ (page->pageControls.size(), 1);
    EXPECT_EQ (page->pageControls[0]->row, 0);
    EXPECT_EQ (page->pageControls[0]->column, 0);

    auto& rows = page->parameterRows;
    ASSERT_EQ (rows.size(), 8);

    // knob, spacer, knob
    EXPECT_EQ (rows[0]->column, 0);
    EXPECT_EQ (rows[1]->column, 1);
    EXPECT_EQ (rows[1]->type, 1);
    EXPECT_FALSE (rows[1]->hasParameter);
    EXPECT_EQ (rows[2]->column, 2);

    // The col attribute neither takes nor advances the running column; the
    // offset carries forward.
    EXPECT_EQ (rows[3]->row, 1);
    EXPECT_EQ (rows[3]->column, 0);
    EXPECT_EQ (rows[4]->column, 5);
    EXPECT_EQ (rows[5]->column, 1);
    EXPECT_EQ (rows[3]->offsetX, 25);
    EXPECT_EQ (rows[4]->offsetX, 25);
    EXPECT_EQ (rows[5]->offsetX, 25);

    // Rows count from 0 again in each Parameters element; offsets do not
    // cross into another row.
    EXPECT_EQ (rows[6]->row, 0);
    EXPECT_EQ (rows[6]->offsetX, -3);
    EXPECT_EQ (rows[6]->offsetY, 7);
    EXPECT_EQ (rows[7]->offsetX, -3);
    EXPECT_EQ (rows[7]->offsetY, 0);
    EXPECT_EQ (rows[0]->offsetX, 0);

    // Only the first Mixer element is read.
    ASSERT_EQ (page->mixerRows.size(), 2);
    EXPECT_EQ (page->mixerRows[1]->row, 1);
}

TEST (EffectLayout, PagesReadTheirAttributesAndKeepUnknownLayoutsBare)
{
    ParsedLayouts parsed ("<EffectLayouts><EditorControls name=\"Global\"><EffectVariants><EffectVariant>"
                          "<EditorControl type=\"knob\" parameterName=\"GLOBAL_BYPCTRL\"/>"
                          "<Page name=\"Seq\" layout=\"CONTROLLERS_SEQUENCER_LAYOUT\" effectName=\"ID_CONTROL\" "
                          "graphIndex=\"3\" typeContains=\"Deluxe\" version_lt=\"7,2\">"
                          "<Parameters><Row>" +
                          knob ("CONTROLLERS_TEMPO") + knob ("COMP_MIX") +
                          "</Row></Parameters></Page>"
                          "<Page name=\"Bare\" layout=\"NO_SUCH_LAYOUT\" graphIndex=\"4\" version_gtet=\"1,0\">" +
                          knob ("GLOBAL_BYPCTRL") + "<Parameters><Row>" + knob ("GLOBAL_BYPCTRL") +
                          "</Row></Parameters></Page>"
                          "<Page name=\"Unknown block\" layout=\"GENERIC_EFFECT_LAYOUT\" effectName=\"ID_NOTHING\">" +
                          knob ("GLOBAL_BYPCTRL") +
                          "</Page>"
                          "<Page/>"
                          "</EffectVariant></EffectVariants></EditorControls></EffectLayouts>");

    auto* variant = parsed.manager.findVariantForBlock (1, {});
    ASSERT_NE (variant, nullptr);
    ASSERT_EQ (variant->controls.size(), 1);
    EXPECT_EQ (variant->controls[0]->parameterId, 255);
    ASSERT_EQ (variant->getNumPages(), 4);
    EXPECT_EQ (variant->getPage (4), nullptr);
    EXPECT_EQ (variant->getPage (-1), nullptr);

    // The page shows the controllers block, so its names are controller names
    // (with the global names behind them; COMP_MIX is neither).
    auto* seq = variant->getPage (0);
    EXPECT_EQ (seq->layoutId, 6);
    EXPECT_EQ (seq->blockId, 141);
    EXPECT_EQ (seq->graphIndex, 3);
    ASSERT_EQ (seq->parameterRows.size(), 1);
    EXPECT_EQ (seq->parameterRows[0]->parameterId, 32);
    EXPECT_TRUE (seq->version.hasCondition);
    EXPECT_EQ (seq->version.kind, VersionCondition::below);
    EXPECT_TRUE (seq->matchesVersion (7, 1));
    EXPECT_FALSE (seq->matchesVersion (7, 2));
    EXPECT_TRUE (seq->matchesType ("Deluxe Comp"));
    EXPECT_FALSE (seq->matchesType ("deluxe"));

    auto* bare = variant->getPage (1);
    EXPECT_EQ (bare->name, "Bare");
    EXPECT_EQ (bare->layoutId, 0);
    EXPECT_TRUE (bare->pageControls.isEmpty() && bare->parameterRows.isEmpty());
    EXPECT_FALSE (bare->version.hasCondition);
    EXPECT_EQ (bare->graphIndex, 0);

    EXPECT_EQ (variant->getPage (2)->blockId, 0);
    EXPECT_EQ (variant->getPage (2)->pageControls.size(), 1);
    EXPECT_EQ (variant->getPage (3)->layoutId, 0);
    EXPECT_TRUE (variant->getPage (3)->matchesType ("anything"));

    // Firmware 7.1: every page but "Seq" for 7.2; the type filter applies too.
    EXPECT_EQ (variant->countMatchingPages (7, 1, "Deluxe"), 4);
    EXPECT_EQ (variant->countMatchingPages (7, 2, "Deluxe"), 3);
    EXPECT_EQ (variant->countMatchingPages (7, 1, "Plain"), 3);
}

TEST (EffectLayout, ControlAttributesAreReadAsDocumented)
{
    ParsedLayouts parsed (compressorPage (
        "<EditorControl name=\"Mix\" type=\"dropdownlarge\" parameterName=\"COMP_MIX\" modifierName=\"COMP_TYPE\" "
        "positionExact=\"12;34\" sceneNum=\"8\" version_gtet=\"6,1\" controllingParamName=\"COMP_TYPE\" "
        "controllingParamValue=\"1, 3 ,-1\" controllingParamStrValue=\"Opto,Tube\" lock=\"COMP_TYPE, NOPE "
        ",GLOBAL_BYPCTRL\" "
        "labelStyle=\"labelLeft\" labelWidth=\"80\"/>"
        "<EditorControl type=\"knob\" parameterName=\"COMP_MIX\" sceneNum=\"9\" labelStyle=\"LabelLeft\" "
        "controllingParamName=\"NOPE\" controllingParamValue=\"4\" labelWidth=\"-5\"/>"
        "<EditorControl type=\"knob\" parameterName=\"NOPE\"/>"
        "<EditorControl type=\"knob\"/>"
        "<EditorControl type=\"Knob\" parameterName=\"COMP_MIX\"/>"
        "<EditorControl parameterName=\"COMP_MIX\"/>"
        "<EditorControl type=\"knob\" parameterName=\"COMP_MIX\" modifierName=\"NOPE\" sceneNum=\"-1\"/>"
        "<EditorControl type=\"knob\" parameterName=\"GLOBAL_BYPCTRL\"/>"));

    auto* page = parsed.firstPage (EFFECT_COMP);
    ASSERT_NE (page, nullptr);
    auto& controls = page->pageControls;
    ASSERT_EQ (controls.size(), 4);

    auto& mix = *controls[0];
    EXPECT_EQ (mix.name, "Mix");
    EXPECT_EQ (mix.type, 11);
    EXPECT_TRUE (mix.hasParameter);
    EXPECT_EQ (mix.parameterId, 11);
    EXPECT_TRUE (mix.hasModifier);
    EXPECT_EQ (mix.modifierParameterId, 12);
    EXPECT_TRUE (mix.hasPosition);
    EXPECT_EQ (mix.positionX, 12);
    EXPECT_EQ (mix.positionY, 34);
    EXPECT_TRUE (mix.hasScene);
    EXPECT_EQ (mix.sceneNumber, 8);
    EXPECT_TRUE (mix.version.hasCondition);
    EXPECT_TRUE (mix.matchesVersion (6, 1));
    EXPECT_FALSE (mix.matchesVersion (6, 0));
    EXPECT_TRUE (mix.hasControllingParameter);
    EXPECT_EQ (mix.controllingParameterId, 12);
    EXPECT_EQ (mix.controllingValues, (juce::Array<juce::int32>{ 1, 3, 65535 }));
    EXPECT_EQ (mix.controllingStringValues, juce::StringArray ("Opto", "Tube"));
    EXPECT_EQ (mix.lockParameterIds, (juce::Array<juce::int32>{ 12, 255 }));
    EXPECT_EQ (mix.labelStyle, 4);
    EXPECT_EQ (mix.labelWidth, 80);

    // Out-of-range scenes, unknown styles and an unknown controlling name are
    // ignored; the control itself stays.
    auto& plain = *controls[1];
    EXPECT_FALSE (plain.hasScene);
    EXPECT_EQ (plain.labelStyle, 2);
    EXPECT_FALSE (plain.hasControllingParameter);
    EXPECT_TRUE (plain.controllingValues.isEmpty());
    EXPECT_EQ (plain.labelWidth, 0);

    // Unknown parameter, no parameter, unknown type and no type drop the
    // control; an unknown modifier only leaves the modifier unset.
    EXPECT_FALSE (controls[2]->hasModifier);
    EXPECT_FALSE (controls[2]->hasScene);
    EXPECT_EQ (controls[2]->column, 2);

    // Names absent from the type's table fall back to the global names.
    EXPECT_EQ (controls[3]->parameterId, 255);
}

TEST (EffectLayout, LooperControllersAndTypesWithoutNameTables)
{
    ParsedLayouts parsed (
        "<EffectLayouts>"
        "<EditorControls name=\"Looper\"><EffectVariants><EffectVariant><Page layout=\"GENERIC_EFFECT_LAYOUT\">"
        "<EditorControl type=\"pushButton\" controllerName=\"LOOPER_RECORD\"/>"
        "<EditorControl type=\"pushButton\" controllerName=\"LOOPER_MIX\"/>"
        "<EditorControl type=\"pushButton\" controllerName=\"NOPE\"/>"
        "</Page></EffectVariant></EffectVariants></EditorControls>"
        "<EditorControls name=\"Resonator\"><EffectVariants><EffectVariant><Page layout=\"RESO_LAYOUT\">"
        "<EditorControl type=\"knob\" parameterName=\"RESONATOR_ANYTHING\"/>"
        "<EditorControl type=\"knob\"/>"
        "</Page></EffectVariant></EffectVariants></EditorControls>"
        "<EditorControls name=\"Controllers\"><EffectVariants><EffectVariant><Page layout=\"GENERIC_EFFECT_LAYOUT\">"
        "<EditorControl type=\"knob\" controllerName=\"CONTROLLERS_TEMPO\"/>"
        "</Page></EffectVariant></EffectVariants></EditorControls>"
        "</EffectLayouts>");

    auto* looper = parsed.firstPage (EFFECT_LOOPER);
    ASSERT_NE (looper, nullptr);
    ASSERT_EQ (looper->pageControls.size(), 2);
    EXPECT_TRUE (looper->pageControls[0]->hasController);
    EXPECT_EQ (looper->pageControls[0]->controllerId, 28);
    EXPECT_EQ (looper->pageControls[0]->parameterId, 28);
    EXPECT_FALSE (looper->pageControls[1]->hasController);
    EXPECT_EQ (looper->pageControls[1]->parameterId, 0);

    // Only the looper's controller names drive a controller.
    auto* controllers = parsed.firstPage (EFFECT_CONTROL);
    ASSERT_NE (controllers, nullptr);
    ASSERT_EQ (controllers->pageControls.size(), 1);
    EXPECT_FALSE (controllers->pageControls[0]->hasController);
    EXPECT_EQ (controllers->pageControls[0]->parameterId, 32);

    // Every name of a type without a table stands for 666; a control that
    // names no parameter at all is still dropped.
    EXPECT_EQ (parsed.manager.getParamIdForName (EFFECT_VOCODER, "whatever"), 666);
    EXPECT_EQ (parsed.manager.getParamIdForName (EFFECT_COMP, "whatever"), -1);
    auto* resonator = parsed.firstPage (EFFECT_RESONATOR);
    ASSERT_NE (resonator, nullptr);
    ASSERT_EQ (resonator->pageControls.size(), 1);
    EXPECT_EQ (resonator->pageControls[0]->parameterId, 666);
}

TEST (EffectLayout, ModifierAssignmentsKeepEachKnownPairOnce)
{
    ParsedLayouts parsed (
        "<ModifierAssignment>"
        "<EffectParameter id=\"Compressor\" name=\"COMP_MIX\"/>"
        "<EffectParameter id=\"Compressor\" name=\"COMP_MIX\"/>"
        "<EffectParameter id=\"Compressor\" name=\"NOPE\"/>"
        "<EffectParameter id=\"Compressor\" name=\"GLOBAL_BYPCTRL\"/>"
        "<EffectParameter id=\"Nothing\" name=\"COMP_MIX\"/>"
        "<EffectParameter id=\"QuadChorus\" name=\"ANY\"/>"
        "<EffectParameter/>"
        "</ModifierAssignment>"
        "<ModifierAssignment><EffectParameter id=\"Delay\" name=\"DELAY_TIME\"/></ModifierAssignment>");

    auto& assignments = parsed.manager.getModifierAssignments();
    ASSERT_EQ (assignments.size(), 3);
    EXPECT_TRUE (parsed.manager.isModifierAssignable (EFFECT_COMP, 11));
    EXPECT_TRUE (parsed.manager.isModifierAssignable (EFFECT_COMP, 255));
    EXPECT_TRUE (parsed.manager.isModifierAssignable (EFFECT_QUADCHORUS, 666));
    EXPECT_FALSE (parsed.manager.isModifierAssignable (EFFECT_COMP, 12));
    EXPECT_FALSE (parsed.manager.isModifierAssignable (EFFECT_DELAY, 2));
    EXPECT_EQ (assignments[0].flag, 1);
}

TEST (EffectLayout, PageLayoutRecordsAreKeptOncePerId)
{
    KestrelEffectLayoutManager manager;
    auto first = std::make_unique<SkinPageLayout> (11);
    auto* firstPointer = first.get();

    EXPECT_TRUE (manager.addPageLayout (std::move (first)));
    EXPECT_FALSE (manager.addPageLayout (std::make_unique<SkinPageLayout> (11)));
    EXPECT_FALSE (manager.addPageLayout (nullptr));
    EXPECT_TRUE (manager.addPageLayout (std::make_unique<SkinPageLayout> (26)));
    EXPECT_EQ (manager.findPageLayout (11), firstPointer);
    EXPECT_EQ (manager.findPageLayout (26)->layoutId, 26);
    EXPECT_EQ (manager.findPageLayout (1), nullptr);
}

TEST (EffectLayout, HostileDocumentsLeaveTheManagerUsable)
{
    KestrelEffectLayoutManager noTables;
    noTables.parseLayouts (nullptr);
    auto root = juce::parseXML ("<CONFIG>" + compressorPage (knob ("COMP_MIX")) + "</CONFIG>");
    noTables.parseLayouts (root.get());
    // Without name tables no name resolves: one empty layout of type 0.
    EXPECT_EQ (noTables.getNumLayouts(), 1);
    EXPECT_EQ (noTables.findEffectLayout (EFFECT_COMP), nullptr);

    ParsedLayouts parsed ("<EffectLayouts><EditorControls name=\"Compressor\"><EffectVariants>"
                          "<EffectVariant name=\"\"><Page layout=\"\" effectName=\"\"/>"
                          "<Page layout=\"GENERIC_EFFECT_LAYOUT\" graphIndex=\"99999\" version_gtet=\"x\">"
                          "<Parameters><Row><Row>" +
                          knob ("COMP_MIX") +
                          "</Row></Row><Row/>"
                          "<EditorControl type=\"knob\" parameterName=\"COMP_MIX\" offsetX=\"zz\" col=\"-7\" "
                          "positionExact=\",,\" labelWidth=\"999999\"/></Parameters>"
                          "<Parameters><Row>" +
                          String ("<EditorControl type=\"knob\" parameterName=\"COMP_MIX\" "
                                  "positionExact=\",,\" labelWidth=\"999999\" controllingParamName=\"COMP_TYPE\" "
                                  "controllingParamValue=\",,\" lock=\",,\"/>") +
                          "</Row></Parameters>"
                          "</Page></EffectVariant></EffectVariants></EditorControls></EffectLayouts>");

    auto* layout = parsed.manager.findEffectLayout (EFFECT_COMP);
    ASSERT_NE (layout, nullptr);
    auto* variant = layout->findVariant ({});
    ASSERT_EQ (variant->getNumPages(), 2);
    auto* page = variant->getPage (1);
    EXPECT_EQ (page->graphIndex, (juce::uint8) 99999);
    EXPECT_TRUE (page->version.hasCondition);
    EXPECT_EQ (page->version.major, 0);

    // Nested rows and controls outside a Row are not read.
    ASSERT_EQ (page->parameterRows.size(), 1);
    auto& odd = *page->parameterRows[0];
    EXPECT_TRUE (odd.hasPosition);
    EXPECT_EQ (odd.positionX, 0);
    EXPECT_EQ (odd.labelWidth, 0xFFFF);
    EXPECT_EQ (odd.controllingValues, (juce::Array<juce::int32>{ 0, 0, 0 }));
    EXPECT_TRUE (odd.lockParameterIds.isEmpty());
}

#include "model/BlockLayoutDocument.h"
#include "model/IdTables.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/ParamNameTables.h"
#include "model/UnitIds.h"

#include "support/RecordingNotifier.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using juce::String;

namespace
{
const String intro = "There was an error while trying to load the effect layouts:\n";

String refusalOf (const String& text)
{
    String error;
    auto root = parseBlockLayoutDocument (text, error);
    EXPECT_EQ (root == nullptr, error.isNotEmpty());
    return error;
}

// The manager as the program builds it at start-up.
struct LoadedLayouts
{
    LoadedLayouts() { loaded = loadEffectLayouts (manager, error); }

    std::vector<const LayoutPage*> pagesOf (int blockId, const String& typeName) const
    {
        std::vector<const LayoutPage*> pages;

        if (auto* variant = manager.findVariantForBlock (blockId, typeName))
            for (auto* page : variant->pages)
                pages.push_back (page);

        return pages;
    }

    const LayoutPage* pageNamed (int blockId, const String& typeName, const String& name) const
    {
        for (auto* page : pagesOf (blockId, typeName))
            if (page->name == name)
                return page;

        return nullptr;
    }

    RecordingNotifier notices;
    KestrelEffectLayoutManager manager;
    String error;
    bool loaded = false;
};

std::vector<const EditorControl*> controlsOf (const LayoutPage& page)
{
    std::vector<const EditorControl*> all;

    for (auto* list : { &page.pageControls, &page.parameterRows, &page.mixerRows })
        for (auto* control : *list)
            all.push_back (control);

    return all;
}

std::set<int> parametersOf (const LayoutPage& page)
{
    std::set<int> ids;

    for (auto* control : controlsOf (page))
        if (control->hasParameter)
            ids.insert (control->parameterId);

    return ids;
}

std::set<int> range (int first, int last)
{
    std::set<int> ids;
    for (int id = first; id <= last; ++id)
        ids.insert (id);
    return ids;
}
} // namespace

TEST (BlockLayoutDocument, RefusesDocumentsForAnotherProgramOrUnit)
{
    const String device = "<Device model=\"8\" majorVersion=\"6\" minorVersion=\"00\"/>";
    auto config = [] (const String& attributes, const String& body)
    { return "<CONFIG " + attributes + ">" + body + "</CONFIG>"; };

    EXPECT_EQ (refusalOf (config ("name=\"Kestrel-Edit\" version=\"1\"", device)), "");
    EXPECT_EQ (refusalOf (config ("name=\"Kestrel-Edit\" version=\"1\"", {})), "");

    EXPECT_EQ (refusalOf (config ("name=\"Other-Edit\" version=\"1\"", device)), intro + "Invalid application name.");
    EXPECT_EQ (refusalOf (config ("name=\"kestrel-edit\" version=\"1\"", device)), intro + "Invalid application name.");
    EXPECT_EQ (refusalOf (config ("version=\"2\"", device)), intro + "Invalid application name.");
    EXPECT_EQ (refusalOf (config ("name=\"Kestrel-Edit\" version=\"2\"", device)),
               intro + "Invalid application version.");
    EXPECT_EQ (refusalOf (config ("name=\"Kestrel-Edit\"", device)), intro + "Invalid application version.");
    EXPECT_EQ (refusalOf (config ("name=\"Kestrel-Edit\" version=\"1\"",
                                  device + "<Device model=\"3\" majorVersion=\"18\" minorVersion=\"4\"/>")),
               intro + "Invalid firmware model.");
    EXPECT_EQ (refusalOf (config ("name=\"Kestrel-Edit\" version=\"1\"", "<Device majorVersion=\"6\"/>")),
               intro + "Invalid firmware model.");
    EXPECT_EQ (refusalOf (config ("name=\"Kestrel-Edit\" version=\"1\"", "<Device model=\"8\" majorVersion=\"7\"/>")),
               intro + "Invalid firmware version.");
    EXPECT_EQ (refusalOf (config ("name=\"Kestrel-Edit\" version=\"1\"", "<Device model=\"8\"/>")),
               intro + "Invalid firmware version.");

    // Text that is no document at all is refused with the same introduction.
    for (auto text :
         { String(), String ("   "), String ("<CONFIG name=\"Kestrel-Edit\""), String ("\x01\x02 garbage") })
        EXPECT_TRUE (refusalOf (text).startsWith (intro)) << text;

    int major = -1, minor = -1;
    EXPECT_TRUE (getRequiredFirmware (8, major, minor));
    EXPECT_EQ (major, 6);
    EXPECT_EQ (minor, 0);
    EXPECT_FALSE (getRequiredFirmware (3, major, minor));
    EXPECT_FALSE (getRequiredFirmware (-1, major, minor));
}

TEST (BlockLayoutDocument, EmbeddedDocumentLoadsAndEveryNameInItResolves)
{
    LoadedLayouts layouts;
    ASSERT_TRUE (layouts.loaded);
    EXPECT_TRUE (layouts.error.isEmpty());
    EXPECT_EQ (layouts.notices.count(), 0);

    String error;
    auto root = loadBlockLayoutXml (error);
    ASSERT_NE (root, nullptr);
    auto& manager = layouts.manager;

    // Every name of a control set has a layout. "Global Footswitches" shares
    // the global type, so its pages are the "Footswitches" variant of
    // "Global" and an element of its own would never be read.
    for (auto* row = EffectLayoutNames; row->id != idTableEnd; ++row)
        EXPECT_NE (manager.findEffectLayout (row->id), nullptr) << row->name;
    EXPECT_EQ (manager.findEffectLayout (0), nullptr);
    EXPECT_EQ (manager.getNumLayouts(), getTableRowCount (EffectLayoutNames) - 1);

    int controlElements = 0;
    auto* layoutList = root->getChildByName ("EffectLayouts");
    ASSERT_NE (layoutList, nullptr);

    for (auto* controls : layoutList->getChildWithTagNameIterator ("EditorControls"))
    {
        const auto layoutName = controls->getStringAttribute ("name");
        const auto layoutType = manager.findEffectTypeForName (layoutName);
        EXPECT_NE (layoutType, -1) << layoutName;

        for (auto* page : controls->getChildWithTagNameIterator ("EffectVariants"))
            for (auto* variant : page->getChildWithTagNameIterator ("EffectVariant"))
                for (auto* pageElement : variant->getChildWithTagNameIterator ("Page"))
                {
                    const auto pageName = layoutName + "/" + pageElement->getStringAttribute ("name");
                    EXPECT_NE (manager.findPageLayoutIdForName (pageElement->getStringAttribute ("layout")), -1)
                        << pageName;

                    auto type = layoutType;
                    const auto effectName = pageElement->getStringAttribute ("effectName");

                    if (effectName.isNotEmpty())
                    {
                        const auto blockId = manager.findBlockIdForName (effectName);
                        EXPECT_NE (blockId, -1) << pageName;
                        type = effectTypeOfBlock (blockId);
                    }

                    // Names of a type without a name table stand for 666 and
                    // cannot be checked; every other name must be in the
                    // type's table or the global one.
                    auto expectParameter = [&] (const juce::XmlElement& control, const char* attribute)
                    {
                        const auto name = control.getStringAttribute (attribute);
                        if (name.isNotEmpty() && hasParamNameTable (type))
                        {
                            EXPECT_NE (getParamIdForName (type, name), -1) << pageName << " " << name;
                        }
                    };

                    EXPECT_EQ (pageElement->getChildByName ("EditorControl"), nullptr)
                        << pageName << ": controls stand in Parameters or Mixer rows here";

                    for (auto* section : pageElement->getChildIterator())
                        for (auto* row : section->getChildWithTagNameIterator ("Row"))
                            for (auto* control : row->getChildWithTagNameIterator ("EditorControl"))
                            {
                                ++controlElements;
                                EXPECT_NE (getIdForName (EditorControlType, control->getStringAttribute ("type")), -1)
                                    << pageName;
                                if (control->hasAttribute ("labelStyle"))
                                {
                                    EXPECT_NE (getIdForName (LabelStyle, control->getStringAttribute ("labelStyle")),
                                               -1);
                                }

                                for (auto* attribute :
                                     { "parameterName", "modifierName", "controllerName", "controllingParamName" })
                                    expectParameter (*control, attribute);
                            }
                }
    }

    // No control was dropped and every page found its layout.
    int parsedControls = 0;
    for (int i = 0; i < manager.getNumLayouts(); ++i)
        for (auto* variant : manager.getLayout (i)->variants)
        {
            parsedControls += variant->controls.size();
            for (auto* page : variant->pages)
            {
                parsedControls += (int) controlsOf (*page).size();
                EXPECT_NE (page->layoutId, 0) << page->name;
                EXPECT_TRUE (page->matchesVersion (6, 0)) << page->name;
            }
        }
    EXPECT_EQ (parsedControls, controlElements);

    // Every modifier assignment resolves, and none is listed twice.
    auto* assignments = root->getChildByName ("ModifierAssignment");
    ASSERT_NE (assignments, nullptr);
    EXPECT_EQ (assignments->getNumChildElements(), manager.getModifierAssignments().size());
    for (auto& assignment : manager.getModifierAssignments())
        EXPECT_NE (assignment.parameterId, KestrelEffectLayoutManager::unnamedParameterId);
    EXPECT_TRUE (manager.isModifierAssignable (EFFECT_DISTORT, 1)); // Amp gain
}

TEST (BlockLayoutDocument, EveryParameterOfEverySupportedBlockIsOnAPage)
{
    LoadedLayouts layouts;
    ASSERT_TRUE (layouts.loaded);
    auto& manager = layouts.manager;

    // Parameters reached by some control, by effect type. A page that names
    // another block edits that block's type.
    std::map<int, std::set<int>> reached;

    for (int i = 0; i < manager.getNumLayouts(); ++i)
    {
        auto* layout = manager.getLayout (i);

        for (auto* variant : layout->variants)
            for (auto* page : variant->pages)
            {
                const auto type = page->blockId != 0 ? effectTypeOfBlock (page->blockId) : layout->effectType;
                auto ids = parametersOf (*page);
                reached[type].insert (ids.begin(), ids.end());

                // The sequencer dialog makes one slider and readout per step
                // from the page's single slider and readout.
                if (type == EFFECT_CONTROL && page->name == "Sequencer")
                    for (auto* control : controlsOf (*page))
                        if (control->type == 15 || control->type == 16)
                            for (auto steps : { range (37, 52), range (55, 70) })
                                reached[type].insert (steps.begin(), steps.end());
            }
    }

    int checkedBlocks = 0;

    for (int blockId = blockIdGlobal; blockId <= lastBlockInstanceId; ++blockId)
    {
        if (! isBlockIdSupported (blockId) || getParamCount (blockId) == 0)
            continue;

        ++checkedBlocks;
        const auto type = effectTypeOfBlock (blockId);

        // Not edited on a page: the type selector is the editor's effect-type
        // drop-down, bypass is the Bypass/Engage command, and the global mix
        // is the button on the mix knob.
        const std::set<int> elsewhere{ getTypeParamId (blockId), getBypassParamId (blockId),
                                       getGlobalMixParamId (blockId) };

        for (int paramId = 0; paramId < getParamCount (blockId); ++paramId)
        {
            if (elsewhere.count (paramId) == 0)
            {
                EXPECT_EQ (reached[type].count (paramId), 1u)
                    << "block " << blockId << " parameter " << paramId << " " << getParamName (type, paramId);
            }
        }
    }

    EXPECT_GE (checkedBlocks, 30);
}

TEST (BlockLayoutDocument, SpecialPagesCarryTheFixedIdsTheEditorExpects)
{
    LoadedLayouts layouts;
    ASSERT_TRUE (layouts.loaded);
    auto& manager = layouts.manager;

    EXPECT_EQ (manager.findEffectTypeForName ("Global Footswitches"), 65534);
    EXPECT_EQ (manager.findEffectTypeForName ("ModifierDlg"), 65535);
    EXPECT_EQ (manager.findEffectTypeForName ("Layout"), 65533);
    EXPECT_EQ (manager.findPageLayoutIdForName ("CONTROLLERS_SCENE_LAYOUT"), 28);
    EXPECT_EQ (manager.findPageLayoutIdForName ("MODIFIER_DIALOG"), 26);
    EXPECT_EQ (manager.findBlockIdForName ("ID_LAYOUT_FSMODE"), 208);

    // The modifier dialog: type 0xFFFF, unnamed variant, page 0.
    auto* modifierLayout = manager.findEffectLayout (EFFECT_MODIFIER_DIALOG);
    ASSERT_NE (modifierLayout, nullptr);
    auto* modifierPage = modifierLayout->findVariant ({})->getPage (0);
    ASSERT_NE (modifierPage, nullptr);
    EXPECT_EQ (modifierPage->layoutId, 26);
    std::vector<std::tuple<String, int, int>> modifierControls;
    for (auto* control : controlsOf (*modifierPage))
        modifierControls.emplace_back (control->name, (int) control->parameterId, control->type);
    const std::vector<std::tuple<String, int, int>> expectedModifierControls{
        { "Source:", 0, 11 },   { "Auto Engage:", 10, 11 }, { "PC Reset:", 11, 9 }, { "Min", 1, 2 },
        { "Max", 2, 2 },        { "Start", 3, 2 },          { "Mid", 4, 2 },        { "End", 5, 2 },
        { "Slope", 6, 2 },      { "Scale", 13, 2 },         { "Offset", 14, 2 },    { "Damping", 7, 2 },
        { "Off Value", 12, 2 },
    };
    EXPECT_EQ (modifierControls, expectedModifierControls);

    // The controllers block.
    auto* sequencer = layouts.pageNamed (blockIdControllers, {}, "Sequencer");
    ASSERT_NE (sequencer, nullptr);
    EXPECT_EQ (sequencer->layoutId, 6);
    std::multiset<int> sequencerTypes;
    for (auto* control : controlsOf (*sequencer))
        sequencerTypes.insert (control->type);
    EXPECT_EQ (sequencerTypes.count (15), 1u);
    EXPECT_EQ (sequencerTypes.count (16), 1u);
    EXPECT_EQ (parametersOf (*sequencer), (std::set<int>{ 34, 35, 36, 37, 53, 54 }));

    auto* modifiers = layouts.pageNamed (blockIdControllers, {}, "Modifiers");
    ASSERT_NE (modifiers, nullptr);
    EXPECT_EQ (modifiers->layoutId, 30);
    EXPECT_TRUE (controlsOf (*modifiers).empty());
    ASSERT_NE (layouts.pageNamed (blockIdControllers, {}, "Scene"), nullptr);
    EXPECT_EQ (parametersOf (*layouts.pageNamed (blockIdControllers, {}, "Scene")), range (74, 89));
    ASSERT_NE (layouts.pageNamed (blockIdControllers, {}, "Ctrl Switch"), nullptr);
    EXPECT_EQ (parametersOf (*layouts.pageNamed (blockIdControllers, {}, "Ctrl Switch")), range (92, 107));

    // The global block: the footswitch pages only in the "Footswitches"
    // variant (the editor draws its grid for pages named so).
    for (auto* page : layouts.pagesOf (blockIdGlobal, {}))
        EXPECT_TRUE (page->name != "Preset" && page->name != "Global" && page->name != "Function") << page->name;
    ASSERT_NE (layouts.pageNamed (blockIdGlobal, "Footswitches", "Preset"), nullptr);
    ASSERT_NE (layouts.pageNamed (blockIdGlobal, "Footswitches", "Global"), nullptr);
    ASSERT_NE (layouts.pageNamed (blockIdGlobal, "Footswitches", "Function"), nullptr);
    EXPECT_EQ (parametersOf (*layouts.pageNamed (blockIdGlobal, "Footswitches", "Function")), range (46, 51));

    // Output mixer and FX loop: the eight scene levels, and the current
    // scene's level through 65534.
    for (auto blockId : { blockIdGridOutput, 136 })
    {
        auto* scenes = layouts.pageNamed (blockId, {}, "Scenes");
        ASSERT_NE (scenes, nullptr) << blockId;
        EXPECT_EQ (parametersOf (*scenes), range (8, 15));
        EXPECT_EQ (parametersOf (*layouts.pagesOf (blockId, {}).front()).count (65534), 1u);
    }

    // The layout-MIDI block: program and channel per scene.
    auto layoutPages = layouts.pagesOf (blockIdLayoutMidi, {});
    ASSERT_EQ (layoutPages.size(), 1u);
    EXPECT_EQ (layoutPages[0]->blockId, blockIdLayoutMidi);
    std::map<int, std::set<int>> parametersByScene;
    for (auto* control : controlsOf (*layoutPages[0]))
    {
        ASSERT_TRUE (control->hasScene);
        parametersByScene[control->sceneNumber].insert (control->parameterId);
    }
    ASSERT_EQ (parametersByScene.size(), 8u);
    EXPECT_EQ (parametersByScene.begin()->first, 0);
    for (auto& scene : parametersByScene)
        EXPECT_EQ (scene.second, (std::set<int>{ 0, 1 }));

    // The looper's transport buttons drive the looper's controls.
    std::set<int> controllers;
    for (auto* page : layouts.pagesOf (169, {}))
        for (auto* control : controlsOf (*page))
            if (control->hasController)
                controllers.insert (control->controllerId);
    EXPECT_EQ (controllers, (std::set<int>{ 28, 29, 30, 31, 32, 120, 121 }));
}

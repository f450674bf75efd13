#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "device/engines/PresetManager.h"
#include "device/wire/UnitReplies.h"
#include "model/BlockLayoutDocument.h"
#include "model/IdTables.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelEffectManager.h"
#include "model/UnitIds.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/SkinManager.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/lists/DropDownLargeList.h"
#include "skin/widgets/XYToggleComponent.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/knobs/ZOLGraphComponent.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/knobs/ZOLSliderComponent.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UserFolders.h"
#include "support/ForgetSingletons.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <set>
#include <typeinfo>

namespace
{
// The first block id of an effect type, 0 when the unit has none.
int blockOfType (int effectType)
{
    for (int id = 1; id <= lastShuntId; ++id)
        if (effectTypeOfBlock (id) == effectType)
            return id;

    return 0;
}

// A preset manager that reports the scene a test chooses.
struct ScenePresets : PresetManager
{
    using PresetManager::PresetManager;

    bool getCurrentPresetAndScene (juce::uint16& preset, juce::uint16& current) override
    {
        preset = 0;
        current = (juce::uint16) scene;
        return true;
    }

    int scene = 0;
};

// Everything the editor shows on a page (header, tabs, controls, graph,
// texts) lies inside it and clear of everything else.
void expectInsideAndApart (const juce::Component& editor, const juce::String& where)
{
    juce::Array<const juce::Component*> shown;

    for (auto* child : editor.getChildren())
        if (child->isVisible() && ! child->getBounds().isEmpty())
            shown.add (child);

    for (int i = 0; i < shown.size(); ++i)
    {
        const auto bounds = shown[i]->getBounds();
        EXPECT_TRUE (editor.getLocalBounds().contains (bounds))
            << where << ": " << shown[i]->getName() << " lies outside the editor at " << bounds.toString();

        for (int j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE (bounds.intersects (shown[j]->getBounds()))
                << where << ": " << shown[i]->getName() << " at " << bounds.toString() << " overlaps "
                << shown[j]->getName() << " at " << shown[j]->getBounds().toString();
    }
}

// The program's skin, layouts and templates around one effect editor that no
// unit feeds.
struct EditorOnItsOwn
{
    EditorOnItsOwn()
    {
        EXPECT_TRUE (skin.loadBuiltInSkin().wasOk());
        controls.loadFromSkin (&skin, skin.getSkinRoot());
        juce::String error;
        EXPECT_TRUE (loadEffectLayouts (layouts, error)) << error;
        int major = 0, minor = 0;
        getRequiredFirmware (8, major, minor);
        effects.setFirmware (major, minor);
        editor = std::make_unique<EffectEditorContent> (&skin, &presets, &effects, &layouts, &controls);
    }

    // Makes the block report the type name that picks a layout variant.
    void setTypeName (int blockId, const juce::String& name)
    {
        const int typeParam = getTypeParamId (blockId);

        if (typeParam < 0)
            return;

        EffectParamValue value;
        value.blockId = (juce::uint16) blockId;
        value.paramId = (juce::uint16) typeParam;
        value.text = name;
        effects.storeParamValue (0, value);
    }

    SkinManager skin;
    KestrelControlManager controls;
    KestrelEffectLayoutManager layouts;
    KestrelEffectManager effects;
    ScenePresets presets{ nullptr, &effects, nullptr };
    std::unique_ptr<EffectEditorContent> editor;
};
} // namespace

TEST (EffectEditorPages, EveryPageOfEveryEffectTypeHasControlsAndEveryControlItsParameter)
{
    EditorOnItsOwn rig;
    auto& editor = *rig.editor;
    ASSERT_GT (rig.layouts.getNumLayouts(), 30);
    ASSERT_FALSE (editor.getLocalBounds().isEmpty());
    int pagesWalked = 0, controlsSeen = 0, specialPages = 0;
    std::set<std::string> kinds;

    for (int l = 0; l < rig.layouts.getNumLayouts(); ++l)
    {
        auto* layout = rig.layouts.getLayout (l);
        const int block = blockOfType (layout->effectType);

        if (block == 0)
            continue; // the modifier dialog's layout has no block of its own

        for (auto* variant : layout->variants)
        {
            // The global block's footswitch pages are chosen from the grid.
            const bool footswitches = variant->name == "Footswitches";
            rig.setTypeName (block, variant->name);
            editor.showBlock (0);
            editor.showGridSelection (footswitches ? 4 : 1, block);
            const auto names = editor.getPageNames();

            if (footswitches)
            {
                EXPECT_TRUE (names.contains ("Preset"));
            }

            EXPECT_FALSE (names.isEmpty()) << getNameForId (EffectTypeNames, (juce::uint32) layout->effectType);

            for (int p = 0; p < names.size(); ++p)
            {
                ASSERT_TRUE (editor.showPageByIndex (p));
                const auto where = juce::String (block) + " \"" + variant->name + "\" page \"" + names[p] + "\"";

                ++pagesWalked;
                const bool shown = editor.getNumPageControls() > 0 || editor.getSpecialPageComponent() != nullptr ||
                                   editor.areFootswitchTextsShown();
                EXPECT_TRUE (shown) << where << " has nothing on it";
                specialPages += editor.isSpecialPage (names[p]) ? 1 : 0;

                for (int c = 0; c < editor.getNumPageControls(); ++c)
                {
                    auto* control = editor.getPageControl (c);
                    auto* component = dynamic_cast<juce::Component*> (control);
                    ++controlsSeen;
                    ASSERT_NE (component, nullptr);
                    kinds.insert (typeid (*component).name());
                    EXPECT_NE (control->paramId, 0xFFFF) << where << ": " << component->getName();
                    EXPECT_NE (control->paramId, KestrelEffectLayoutManager::unnamedParameterId)
                        << where << ": " << component->getName() << " names no parameter the unit knows";
                }

                expectInsideAndApart (editor, where);
            }
        }
    }

    EXPECT_GT (pagesWalked, 60);
    EXPECT_GT (controlsSeen, 500);
    EXPECT_EQ (specialPages, 4); // sequencer, modifiers and both footswitch grids

    // Every kind of control the layouts name was made, the page-drawn ones too.
    for (auto* kind : { typeid (ZOLRotaryKnob).name(), typeid (DropDownLargeList).name(),
                        typeid (ZOLLabelComponent).name(), typeid (ZOLSliderComponent).name(),
                        typeid (BrakFxReadout).name() })
        EXPECT_EQ (kinds.count (kind), 1u) << kind;
}

TEST (EffectEditorPages, ChoicesAreNumberedAndTitleCasedAndPagesWrapAround)
{
    EditorOnItsOwn rig;
    auto& editor = *rig.editor;
    constexpr int ampBlock = 106;

    auto findInputSelect = [&editor]() -> ZOLDropDownEx*
    {
        for (int c = 0; c < editor.getNumPageControls(); ++c)
            if (auto* dropDown = dynamic_cast<ZOLDropDownEx*> (editor.getPageControl (c)))
                if (dropDown->getName() == "Input Select")
                    return dropDown;

        return nullptr;
    };

    editor.showBlock (ampBlock);
    auto* inputSelect = findInputSelect();
    ASSERT_NE (inputSelect, nullptr);
    EXPECT_EQ (inputSelect->getNumItems(), 0); // nothing known of the parameter yet

    // The unit's names of the choices, as the unit writes them.
    ParamInfo info;
    info.descriptor = B_INT << 4;
    info.maximum = 2.0f;
    info.displayMultiplier = 1.0f;
    const int paramId = inputSelect->paramId;
    ASSERT_TRUE (rig.effects.storeParamInfo (ampBlock, paramId, info));
    ASSERT_TRUE (rig.effects.storeParamStrings (ampBlock, paramId, { "LEFT", "STEREO", "INPUT 10", "INPUT 9" }));

    ASSERT_TRUE (editor.showPageByIndex (0));
    inputSelect = findInputSelect();
    ASSERT_NE (inputSelect, nullptr);
    ASSERT_EQ (inputSelect->getNumItems(), 4);
    EXPECT_EQ (inputSelect->getItem (0)->shortText, "1  ");
    EXPECT_EQ (inputSelect->getItem (0)->text, "Input 9");
    EXPECT_EQ (inputSelect->getItem (0)->value, 3);
    EXPECT_EQ (inputSelect->getItem (3)->text, "Stereo");
    EXPECT_EQ (inputSelect->getItem (3)->value, 1);

    const int pages = editor.getPageNames().size();
    ASSERT_GT (pages, 1);
    EXPECT_TRUE (editor.showPageByIndex (pages));
    EXPECT_EQ (editor.getCurrentPageIndex(), 0);
    EXPECT_TRUE (editor.showPageByIndex (-1));
    EXPECT_EQ (editor.getCurrentPageIndex(), pages - 1);
}

TEST (EffectEditorPages, ScreenshotsOfSeveralEffectTypes)
{
    EditorOnItsOwn rig;
    auto& editor = *rig.editor;

    for (auto [block, name] : { std::pair<int, const char*> (106, "amp"),
                                { 112, "delay" },
                                { 110, "reverb" },
                                { 141, "controllers" },
                                { 102, "graphic-eq" } })
    {
        editor.showBlock (block);
        const auto file = saveScreenshot (editor, juce::String ("effect-editor-") + name);
        EXPECT_TRUE (file.existsAsFile()) << name;
    }

    // The sequencer page as the layout gives it, without the sequencer dialog.
    editor.showGridSelection (3, 0);
    ASSERT_TRUE (editor.showPageByIndex (editor.findPageTabByName ("Sequencer")));
    EXPECT_TRUE (saveScreenshot (editor, "effect-editor-sequencer").existsAsFile());
}

namespace
{
// The page's controls of a parameter whose label carries the scene mark.
juce::Array<int> markedParams (EffectEditorContent& editor)
{
    juce::Array<int> marked;
    const juce::Colour mark (EffectEditorContent::sceneHighlightColour);

    for (int c = 0; c < editor.getNumPageControls(); ++c)
    {
        auto* control = editor.getPageControl (c);
        auto* knob = dynamic_cast<ZOLRotaryKnob*> (control);
        auto* dropDown = dynamic_cast<ZOLDropDownEx*> (control);

        if ((knob != nullptr && knob->getLabelColour() == mark) ||
            (dropDown != nullptr && dropDown->getLabelColour() == mark))
            marked.add (control->paramId);
    }

    return marked;
}
} // namespace

TEST (EffectEditorPages, ControllerPagesMarkTheCurrentSceneAndListTheModifiers)
{
    EditorOnItsOwn rig;
    auto& editor = *rig.editor;
    rig.presets.scene = 3;
    editor.showGridSelection (3, 0);
    ASSERT_EQ (editor.getShownBlock(), blockIdControllers);

    ASSERT_TRUE (editor.showPageByIndex (editor.findPageTabByName ("Scene")));
    EXPECT_EQ (markedParams (editor), juce::Array<int> ({ 77, 85 }));
    ASSERT_TRUE (editor.showPageByIndex (editor.findPageTabByName ("Ctrl Switch")));
    EXPECT_EQ (markedParams (editor), juce::Array<int> ({ 95, 103 }));
    rig.presets.scene = 9; // past the eighth scene nothing is marked
    editor.highlightSceneControls();
    EXPECT_TRUE (markedParams (editor).isEmpty());

    // The layout block marks the controls that carry the scene's number: its
    // program change and channel of scene 4.
    rig.presets.scene = 3;
    editor.showGridSelection (5, 0);
    ASSERT_EQ (editor.getShownBlock(), blockIdLayoutMidi);
    EXPECT_EQ (markedParams (editor), juce::Array<int> ({ 0, 1 }));
    editor.showGridSelection (3, 0);

    // Sixteen modifier labels in two columns of eight.
    rig.effects.createModifiers();
    auto* inUse = rig.effects.getModifier (108);
    inUse->blockId = 106;
    inUse->paramId = 1;
    inUse->settings[0].value = 5;
    ASSERT_TRUE (editor.showPageByIndex (editor.findPageTabByName ("Modifiers")));
    ASSERT_EQ (editor.getNumPageControls(), 16);
    auto* first = dynamic_cast<ZOLLabelComponent*> (editor.getPageControl (0));
    auto* ninth = dynamic_cast<ZOLLabelComponent*> (editor.getPageControl (8));
    ASSERT_TRUE (first != nullptr && ninth != nullptr);
    EXPECT_EQ (ninth->paramId, 108);
    EXPECT_EQ (ninth->getY(), first->getY());
    EXPECT_GT (ninth->getX(), first->getRight());
    EXPECT_TRUE ((bool) ninth->getProperties()["active"]);
    EXPECT_FALSE ((bool) first->getProperties()["active"]);
    EXPECT_EQ (editor.getSelectedControl(), nullptr); // labels are never selected first
    saveScreenshot (editor, "effect-editor-modifiers");
}

TEST (EffectEditorPages, FootswitchAndSequencerPagesShowThePanesOfferedToThem)
{
    EditorOnItsOwn rig;
    auto& editor = *rig.editor;
    juce::Array<bool> gridModes;
    juce::Component sequencer;
    juce::Array<bool> sequencerShown;
    editor.hooks.makeFootswitchGrid = [&gridModes] (bool globalMode)
    {
        gridModes.add (globalMode);
        auto grid = std::make_unique<juce::Component>();
        grid->setBounds (16, 72, 400, 200);
        return grid;
    };
    editor.hooks.embedSequencer = [&sequencer, &sequencerShown] (EffectEditorContent&, bool show)
    {
        sequencerShown.add (show);
        return show ? &sequencer : nullptr;
    };

    editor.showGridSelection (6, 0);
    EXPECT_EQ (editor.findPageTabByName ("Preset"), -1); // the global block's own pages
    editor.showGridSelection (4, 0);
    ASSERT_EQ (editor.getPageNames(), juce::StringArray ({ "Preset", "Global", "Function" }));
    ASSERT_NE (editor.getSpecialPageComponent(), nullptr);
    ASSERT_TRUE (editor.showPageByIndex (1));
    EXPECT_EQ (gridModes, juce::Array<bool> ({ false, true }));
    EXPECT_EQ (editor.getSpecialPageComponent()->getParentComponent(), &editor);

    ASSERT_TRUE (editor.showPageByIndex (2));
    EXPECT_EQ (editor.getSpecialPageComponent(), nullptr);
    EXPECT_TRUE (editor.areFootswitchTextsShown());
    EXPECT_GT (editor.getNumPageControls(), 0);
    saveScreenshot (editor, "effect-editor-footswitch-functions");

    editor.showGridSelection (3, 0);
    ASSERT_TRUE (editor.showPageByIndex (editor.findPageTabByName ("Sequencer")));
    EXPECT_EQ (editor.getSpecialPageComponent(), &sequencer);
    EXPECT_EQ (sequencer.getParentComponent(), &editor);
    EXPECT_EQ (editor.getNumPageControls(), 0);
    ASSERT_TRUE (editor.showPageByIndex (0));
    EXPECT_EQ (sequencerShown, juce::Array<bool> ({ true, false }));
    EXPECT_EQ (sequencer.getParentComponent(), nullptr);

    // The main window may delete the dialog while it is embedded.
    auto doomed = std::make_unique<juce::Component>();
    editor.hooks.embedSequencer = [&doomed] (EffectEditorContent&, bool show) { return show ? doomed.get() : nullptr; };
    ASSERT_TRUE (editor.showPageByIndex (editor.findPageTabByName ("Sequencer")));
    doomed.reset();
    EXPECT_EQ (editor.getSpecialPageComponent(), nullptr);
    EXPECT_TRUE (editor.showPageByIndex (0));

    // While a dialog shows, pages are not switched.
    editor.hooks.isDialogShowing = [] { return true; };
    EXPECT_FALSE (editor.showPageByIndex (1));
    EXPECT_EQ (editor.getCurrentPageIndex(), 0);
}

TEST (EffectEditorPages, HeaderFollowsTheBlockAndMonitorPagesDrawTheUnitsGraph)
{
    EditorOnItsOwn rig;
    auto& editor = *rig.editor;
    ASSERT_NE (editor.getEffectNameLabel(), nullptr);
    EXPECT_EQ (editor.getEffectNameLabel()->getText(), "(Nothing Selected)");
    ASSERT_NE (editor.getEffectTypeDropDown(), nullptr);
    EXPECT_FALSE (editor.getEffectTypeDropDown()->isVisible());

    constexpr int ampBlock = 106;
    const int typeParam = getTypeParamId (ampBlock);
    ParamInfo info;
    info.descriptor = B_INT << 4;
    info.maximum = 2.0f;
    ASSERT_TRUE (rig.effects.storeParamInfo (ampBlock, typeParam, info));
    ASSERT_TRUE (rig.effects.storeParamStrings (ampBlock, typeParam, { "PLEXI", "DELUXE", "BRIT 800" }));
    rig.setTypeName (ampBlock, "DELUXE");
    EffectParamValue current;
    ASSERT_TRUE (rig.effects.getParamValue (ampBlock, typeParam, 0, current));
    current.value = 1;
    ASSERT_TRUE (rig.effects.storeParamValue (0, current));

    editor.showBlock (ampBlock);
    EXPECT_EQ (editor.getEffectNameLabel()->getText(), getNameForId (BlockDisplayNames, ampBlock));
    auto* types = editor.getEffectTypeDropDown();
    EXPECT_TRUE (types->isVisible());
    EXPECT_EQ (types->paramId, typeParam);
    ASSERT_EQ (types->getNumItems(), 3);
    EXPECT_EQ (types->getUnitValue(), 1); // the block's own type, wherever sorting put it
    EXPECT_TRUE (editor.getXYToggle()->isVisible());
    EXPECT_TRUE (editor.getLibraryDropDown()->isVisible());
    editor.showBlock (blockIdGlobal);
    EXPECT_EQ (editor.getEffectNameLabel()->getText(), getNameForId (BlockDisplayNames, blockIdGlobal));
    EXPECT_FALSE (editor.getLibraryDropDown()->isVisible());
    EXPECT_FALSE (editor.getXYToggle()->isVisible());

    EXPECT_FLOAT_EQ (EffectEditorContent::graphWordToValue (0x1FFF), 1.0f);
    EXPECT_FLOAT_EQ (EffectEditorContent::graphWordToValue (0x2000), -8192.0f / 8191.0f);
    EXPECT_FLOAT_EQ (EffectEditorContent::graphWordToValue (0x7FFFC001), 1.0f / 8191.0f); // high bits ignored

    // The first page of the amp with a monitor.
    editor.showBlock (ampBlock);
    bool found = false;

    for (int p = 0; p < editor.getPageNames().size() && ! found; ++p)
        found = editor.showPageByIndex (p) && editor.getMonitorGraph() != nullptr;

    ASSERT_TRUE (found);
    GraphData graph;

    for (int i = 0; i < GraphData::numValues; ++i)
        graph.values[i] = (juce::int32) (std::sin (i * 0.1) * 6000.0) & 0x3FFF;

    editor.updateGraph (graph);
    const auto* shown = editor.getMonitorGraph()->getDisplay().getValues();
    ASSERT_NE (shown, nullptr);
    EXPECT_NEAR (shown[20], std::sin (2.0) * 6000.0 / 8191.0, 0.001);
    saveScreenshot (editor, "effect-editor-amp-monitor");

    // A grid that frames nothing any more (its block went) leaves nothing shown.
    editor.showGridSelection (GridUnitContent::nothingSelected, 0);
    EXPECT_EQ (editor.getShownBlock(), 0);
    EXPECT_EQ (editor.getEffectNameLabel()->getText(), "(Nothing Selected)");
    EXPECT_EQ (editor.getNumPageControls(), 0);
    EXPECT_EQ (editor.getMonitorGraph(), nullptr);
}

TEST (EffectEditorPages, ScalingReachesEveryControlAndTheSelectionFollows)
{
    EditorOnItsOwn rig;
    auto& editor = *rig.editor;
    editor.showBlock (112);
    const auto bounds = editor.getBounds();
    ASSERT_GT (editor.getNumPageControls(), 1);
    auto* first = dynamic_cast<juce::Component*> (editor.getPageControl (0));
    EXPECT_EQ (editor.getSelectedControl(), first);

    editor.applyScale (2.0, true);
    EXPECT_EQ (editor.getBounds(), ZOLResizableComponent::scaleRectangle (bounds, 2.0));
    EXPECT_EQ (first->getTransform(), juce::AffineTransform::scale (2.0f));

    // A page built at that scale is scaled too.
    ASSERT_TRUE (editor.showPageByIndex (1));
    auto* other = dynamic_cast<juce::Component*> (editor.getPageControl (0));
    EXPECT_EQ (other->getTransform(), juce::AffineTransform::scale (2.0f));

    auto* second = dynamic_cast<juce::Component*> (editor.getPageControl (1));
    editor.selectControl (second);
    EXPECT_EQ (editor.getSelectedControl(), second);
    EXPECT_EQ (second->getExplicitFocusOrder(), 2);
    editor.applyScale (1.0, true);
    EXPECT_EQ (editor.getBounds(), bounds);
}

TEST (EffectEditorPages, KnobsTrackAndWheelsTurnAsTheUserSet)
{
    ScratchFolder scratch ("kestrel-editor-settings");
    UserFolders::redirectTo (scratch.folder);
    auto* settings = KestrelGlobalConfiguration::getInstance();

    {
        EditorOnItsOwn rig;
        auto firstKnob = [&rig]() -> ZOLRotaryKnob*
        {
            for (int c = 0; c < rig.editor->getNumPageControls(); ++c)
                if (auto* knob = dynamic_cast<ZOLRotaryKnob*> (rig.editor->getPageControl (c)))
                    return knob;

            return nullptr;
        };

        settings->KNOB_TRACKING = 2;
        settings->MOUSE_SCROLLING = 2;
        rig.editor->showBlock (106);
        ASSERT_NE (firstKnob(), nullptr);
        EXPECT_EQ (firstKnob()->dragMode, 1);
        EXPECT_TRUE (firstKnob()->altState);

        settings->KNOB_TRACKING = 1;
        settings->MOUSE_SCROLLING = 1;
        ASSERT_TRUE (rig.editor->showPageByIndex (0));
        EXPECT_EQ (firstKnob()->dragMode, 0);
        EXPECT_FALSE (firstKnob()->altState);
    }

    forgetSingletons();
    UserFolders::redirectTo ({});
}

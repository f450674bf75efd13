// The effect editor's special pages (the sequencer, the modifier list, the
// footswitch grids and texts), the "Footswitches" pages chosen from the grid,
// the marks of the current scene, the monitor graph, scaling, and which
// control is selected and framed.

#include "app/editor/EffectEditorContent.h"

#include "device/engines/PresetManager.h"
#include "device/wire/UnitReplies.h"
#include "model/EditorControl.h"
#include "model/EffectLayoutManager.h"
#include "model/EffectManager.h"
#include "model/IdTables.h"
#include "model/LanguageStore.h"
#include "model/ModifierRecord.h"
#include "model/PromptCatalogue.h"
#include "model/UnitIds.h"
#include "skin/lists/DropDownLargeList.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/PageLayoutRecord.h"
#include "skin/widgets/XYToggleComponent.h"
#include "skin/widgets/ZOLBorderedImageComponent.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "skin/knobs/ZOLGraphComponent.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/knobs/ZOLSliderComponent.h"
#include "skin/widgets/ZOLToggleButton.h"

namespace
{
constexpr int firstModifierId = 100, modifiersPerColumn = 8, numModifiers = 16;
constexpr int centredLeft = 33;
constexpr int labelReadOnlyType = 14;
constexpr int scenes = 8;

// Which parameters of a page hold one value per scene, for scene s: the
// controllers' "Scene" and "Ctrl Switch" pages and the "Scenes" page of the
// output mixer and FX loop.
juce::Array<int> sceneParamsOf (int blockId, const juce::String& pageName, int s)
{
    if (blockId == blockIdControllers && pageName == "Scene")
        return { 74 + s, 82 + s };

    if (blockId == blockIdControllers && pageName == "Ctrl Switch")
        return { 92 + s, 100 + s };

    const int type = effectTypeOfBlock (blockId);

    if ((type == EFFECT_OUTPUT || type == EFFECT_LOOP) && pageName == "Scenes")
        return { 8 + s };

    return {};
}
} // namespace

void EffectEditorContent::showGridSelection (int state, int gridBlockId)
{
    // Nothing framed in the grid (its block went, or another preset came):
    // no block is shown.
    if (state == 0)
    {
        gridSelectionState = state;
        showBlock (0);
        return;
    }

    if (state < 1 || state > 6)
        return;

    const int previous = gridSelectionState;
    gridSelectionState = state;

    switch (state)
    {
        case 1: showBlock (gridBlockId); break;
        case 2: showBlock (gridBlockId, true); break;
        case 3: showBlock (blockIdControllers); break;
        case 5: showBlock (blockIdLayoutMidi); break;
        default:
        {
            // The global block shows other pages in state 4 than in state 6;
            // switching between them starts on the first page.
            if (shownBlock == blockIdGlobal && (previous == 4) != (state == 4))
                showBlock (0);

            showBlock (blockIdGlobal);
            break;
        }
    }
}

void EffectEditorContent::rebuildBlock()
{
    updatePageTabs();
    updateHeader();
    showPage();
    applyAllValues();
    requestGraph();
    highlightSceneControls();
}

void EffectEditorContent::showFootswitchTexts (int titleId, int infoId)
{
    if (footswitchTitle != nullptr)
    {
        footswitchTitle->setText (promptText (titleId), juce::dontSendNotification);
        footswitchTitle->setVisible (true);
    }

    if (footswitchInfo != nullptr)
    {
        footswitchInfo->setText (promptText (infoId), false);
        footswitchInfo->setVisible (true);
    }
}

bool EffectEditorContent::areFootswitchTextsShown() const
{
    return (footswitchTitle != nullptr && footswitchTitle->isVisible()) ||
           (footswitchInfo != nullptr && footswitchInfo->isVisible());
}

juce::Component* EffectEditorContent::getSpecialPageComponent() const
{
    return footswitchGrid != nullptr ? footswitchGrid.get() : embeddedSequencer.getComponent();
}

bool EffectEditorContent::buildSpecialPage (const juce::String& pageName)
{
    if (! isSpecialPage (pageName))
        return false;

    if (pageName == "Sequencer")
    {
        // Without the sequencer dialog the page shows its layout's controls.
        if (hooks.embedSequencer == nullptr)
            return false;

        embeddedSequencer = hooks.embedSequencer (*this, true);

        if (embeddedSequencer == nullptr)
            return false;

        if (embeddedSequencer->getParentComponent() != this)
            addAndMakeVisible (*embeddedSequencer);

        embeddedSequencer->setVisible (true);
        return true;
    }

    if (pageName == "Modifiers")
    {
        buildModifiersPage();
        return true;
    }

    // The global block's "Preset" and "Global" pages.
    const bool globalMode = pageName == "Global";

    if (hooks.makeFootswitchGrid != nullptr)
        footswitchGrid = hooks.makeFootswitchGrid (globalMode);

    if (footswitchGrid != nullptr)
    {
        scaleChild (*footswitchGrid);
        addAndMakeVisible (*footswitchGrid);
    }
    else
    {
        // No grid to edit them with: the page still says what it is for.
        showFootswitchTexts (globalMode ? FOOTSWITCH_GLOBAL_GRID_TITLE : FOOTSWITCH_PRESET_GRID_TITLE,
                             globalMode ? FOOTSWITCH_GLOBAL_GRID_INSTRUCTIONS : FOOTSWITCH_PRESET_GRID_INSTRUCTIONS);
    }

    return true;
}

void EffectEditorContent::buildModifiersPage()
{
    if (pageLayout == nullptr)
        return;

    for (int k = 0; k < numModifiers; ++k)
    {
        const int modifierId = firstModifierId + k;
        EditorControl item;
        item.type = labelReadOnlyType;
        item.hasParameter = true;
        item.parameterId = (juce::uint16) modifierId;
        item.hasPosition = true;
        item.positionX = pageLayout->parametersX + (k / modifiersPerColumn) * pageLayout->parametersSpacingX;
        item.positionY = pageLayout->parametersY + (k % modifiersPerColumn) * pageLayout->parametersSpacingY;

        if (effects != nullptr && layouts != nullptr)
            effects->describeModifier (modifierId, *layouts, item.name);

        auto* added = addPageControl (createControl (blockIdControllers, &item, pageLayout, false));
        auto* label = dynamic_cast<ZOLLabelComponent*> (added);

        if (label == nullptr)
            continue;

        label->setJustificationType (juce::Justification (centredLeft));
        label->clickable = true;
        auto* record = effects != nullptr ? effects->getModifier (modifierId) : nullptr;

        if (record != nullptr && record->getControllerId() != 0)
        {
            const auto& c = modifierLabelColours;
            label->setStateColours (c[0], c[1], c[2], c[3], c[4], c[5]);
            label->getProperties().set ("active", true);
        }
    }
}

void EffectEditorContent::clearSpecialPage()
{
    if (embeddedSequencer != nullptr)
    {
        // The main window owns the dialog; it may go while it is embedded.
        auto sequencer = embeddedSequencer;
        embeddedSequencer = nullptr;

        if (hooks.embedSequencer != nullptr)
            hooks.embedSequencer (*this, false);

        if (sequencer != nullptr && sequencer->getParentComponent() == this)
            removeChildComponent (sequencer.getComponent());
    }

    footswitchGrid.reset();
    monitorGraph.reset();

    if (footswitchTitle != nullptr)
        footswitchTitle->setVisible (false);

    if (footswitchInfo != nullptr)
        footswitchInfo->setVisible (false);
}

void EffectEditorContent::addMonitorGraph()
{
    if (pageLayout == nullptr || ! pageLayout->hasMonitor)
        return;

    monitorGraph = std::make_unique<ZOLGraphComponent> (
        pageLayout->monitor, pageLayout->graphGridRect, pageLayout->graphLineColour, pageLayout->graphLineThickness,
        pageLayout->graphCenterYZero);
    monitorGraph->setTopLeftPosition (pageLayout->monitorX, pageLayout->monitorY);
    scaleChild (*monitorGraph);
    addAndMakeVisible (*monitorGraph);
    requestGraph();
}

bool EffectEditorContent::requestGraph()
{
    if (monitorGraph == nullptr || presets == nullptr || ! isBlockIdSupported (shownBlock) ||
        presets->getRequest (queryEffectGraphIndex).isRunning())
        return false;

    juce::uint8 graphIndex = 0;

    if (variant != nullptr && juce::isPositiveAndBelow (pageIndex, offeredPages.size()))
        if (auto* page = variant->getPage (offeredPages[pageIndex]))
            graphIndex = page->graphIndex;

    return presets->requestEffectGraph ((juce::uint16) shownBlock, graphIndex);
}

float EffectEditorContent::graphWordToValue (juce::int32 word)
{
    int v = word & 0x3FFF;

    if ((v & 0x2000) != 0)
        v -= 0x4000;

    return (float) v / 8191.0f;
}

void EffectEditorContent::updateGraph (const GraphData& graph)
{
    if (monitorGraph == nullptr)
        return;

    float values[GraphData::numValues];

    for (int i = 0; i < GraphData::numValues; ++i)
        values[i] = graphWordToValue (graph.values[i]);

    monitorGraph->setValues (values);
}

void EffectEditorContent::highlightSceneControls()
{
    if (shownBlock == 0 || variant == nullptr || ! juce::isPositiveAndBelow (pageIndex, offeredPages.size()))
        return;

    juce::uint16 preset = 0, scene = 0;

    if (presets == nullptr || ! presets->getCurrentPresetAndScene (preset, scene))
        scene = 0;

    const auto pageName = variant->getPage (offeredPages[pageIndex])->name;
    const bool layoutMidi = shownBlock == blockIdLayoutMidi;
    const auto sceneParams = sceneParamsOf (shownBlock, pageName, scene);

    if (! layoutMidi && sceneParamsOf (shownBlock, pageName, 0).isEmpty())
        return; // a page without scene controls keeps its colours

    const juce::Colour highlight (sceneHighlightColour);

    for (auto& control : pageControls)
    {
        const bool lit = scene < scenes && (layoutMidi ? control->hasSubIndex && control->subIndex == scene
                                                       : sceneParams.contains (control->paramId));

        if (auto* knob = dynamic_cast<ZOLRotaryKnob*> (control.get()))
            knob->setLabelColour (lit ? highlight : (controls != nullptr ? controls->getKnobStyle().labelColour
                                                                           : knob->getLabelColour()));
        else if (auto* dropDown = dynamic_cast<ZOLDropDownEx*> (control.get()))
            dropDown->setLabelColour (lit ? highlight : (controls != nullptr ? controls->getDropDownStyle().labelColour
                                                                               : dropDown->getLabelColour()));
        else if (auto* slider = dynamic_cast<ZOLSliderComponent*> (control.get()))
            slider->setLabelColour (lit ? highlight : (controls != nullptr ? controls->getSliderStyle().labelColour
                                                                             : slider->getCaption().colour));
    }
}

void EffectEditorContent::scaleChild (juce::Component& child) const
{
    if (auto* scalable = dynamic_cast<ZOLResizableComponent*> (&child))
    {
        scalable->scaleFactor = getUsableScale();
        scalable->applyScale (true);
    }
}

void EffectEditorContent::applyScale (double factor, bool applyBounds)
{
    rememberUnscaledBounds (getBounds());
    scaleFactor = factor;

    if (applyBounds)
        setBounds (getScaledBounds());

    for (auto* child : getChildren())
        if (child != embeddedSequencer.getComponent())
            scaleChild (*child);

    repaint();
}

void EffectEditorContent::setFocusOrder()
{
    int order = 1;
    juce::Component* firstControl = nullptr;

    for (auto& control : pageControls)
        if (auto* component = dynamic_cast<juce::Component*> (control.get()))
        {
            component->setExplicitFocusOrder (order++);

            if (firstControl == nullptr && dynamic_cast<ZOLLabelComponent*> (component) == nullptr)
                firstControl = component;
        }

    for (juce::Component* header : { (juce::Component*) xyToggle.get(), (juce::Component*) effectTypeDropDown.get(),
                                     (juce::Component*) libraryDropDown.get() })
        if (header != nullptr)
            header->setExplicitFocusOrder (order++);

    for (auto& tab : pageTabs)
        tab->setExplicitFocusOrder (order++);

    selectControl (firstControl);
}

void EffectEditorContent::selectControl (juce::Component* control)
{
    // A control whose value is being typed keeps the selection.
    for (auto& pageControl : pageControls)
        if (pageControl->isValueEntryActive())
        {
            selectedControl = dynamic_cast<juce::Component*> (pageControl.get());
            repaint();
            return;
        }

    selectedControl = control;

    // Another pane that holds the keyboard keeps it.
    auto* focused = juce::Component::getCurrentlyFocusedComponent();
    const bool focusElsewhere = focused != nullptr && focused != this && ! isParentOf (focused);

    if (control != nullptr && ! focusElsewhere && control->isShowing() && control->getWantsKeyboardFocus())
        control->grabKeyboardFocus();

    repaint();
}

void EffectEditorContent::paintSelection (juce::Graphics& g) const
{
    if (auto* selected = selectedControl.getComponent())
        if (selected->getParentComponent() == this)
            drawComponentFrame (g, selected);
}

#include "app/editor/EffectEditorContent.h"

#include "app/editor/BlockLibNameDialog.h"
#include "app/editor/EditorRequestQueue.h"
#include "device/engines/PresetManager.h"
#include "model/EffectLayoutManager.h"
#include "model/EffectManager.h"
#include "model/IdTables.h"
#include "model/BlockLibraryManager.h"
#include "model/UnitIds.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/PageLayoutRecord.h"
#include "skin/lists/DropDownLargeList.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/XYToggleComponent.h"
#include "skin/widgets/ZOLBorderedImageComponent.h"
#include "skin/knobs/ZOLGraphComponent.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLToggleButton.h"

namespace
{
constexpr int ampParam88 = 88;

// Pages that other parts of the program draw: the controllers' sequencer and
// modifier list, the global block's footswitch grids.
bool isSpecialPageOf (int blockId, const juce::String& name)
{
    if (blockId == blockIdControllers)
        return name == "Sequencer" || name == "Modifiers";

    if (blockId == blockIdGlobal)
        return name == "Preset" || name == "Global";

    return false;
}
} // namespace

EffectEditorContent::EffectEditorContent (const SkinManager* skinManager, PresetManager* presetManager,
                                          EffectManager* effectManager, EffectLayoutManager* layoutManager,
                                          KestrelControlManager* controlManager)
    : skin (skinManager)
    , presets (presetManager)
    , effects (effectManager)
    , layouts (layoutManager)
    , controls (controlManager)
{
    setOpaque (true);
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);
    setSize (960, 520);
    readSkin();
    createPageTabs();

    if (presets != nullptr)
        presets->addChangeListener (this);

    startRoad();
}

EffectEditorContent::~EffectEditorContent()
{
    // The preset manager outlives every pane and keeps broadcasting.
    if (presets != nullptr)
        presets->removeChangeListener (this);

    hooks = {}; // the panes behind them may be gone already

    // A library entry changed but not yet written is not lost when the program closes.
    if (library != nullptr)
        library->saveModifiedEntries();

    stopRoad();

    // Gestures still pending go nowhere once the editor goes.
    for (auto& control : pageControls)
        control->removeChangeListener (this);

    clearPage();
    deleteHeaderWidgets();

    for (auto& tab : pageTabs)
        tab->removeChangeListener (this);
}

DeviceManager* EffectEditorContent::getDeviceManagerForPage() const
{
    return presets;
}

void EffectEditorContent::readSkin()
{
    auto* section = skin != nullptr ? skin->getSection (sectionName) : nullptr;

    if (section == nullptr)
        return;

    if (section->getStringAttribute ("background").isNotEmpty())
    {
        background = skin->getImage (section->getStringAttribute ("background"));

        if (background.isValid())
            setBounds (section->getIntAttribute ("positionX"), section->getIntAttribute ("positionY"),
                       background.getWidth(), background.getHeight());
    }

    readHeaderWidgets (*section);

    if (layouts == nullptr)
        return;

    if (auto* pageLayouts = SkinAttributes::child (*section, "PageLayouts"))
    {
        for (auto* element : SkinAttributes::children (*pageLayouts, "PageLayout"))
        {
            const int id = layouts->findPageLayoutIdForName (element->getStringAttribute ("name"));

            if (id <= 0)
                continue;

            auto record = std::make_unique<PageLayoutRecord> (id);
            record->readFrom (*skin, *element);
            layouts->addPageLayout (std::move (record)); // the first of an id is kept
        }
    }
}

void EffectEditorContent::createPageTabs()
{
    if (controls == nullptr)
        return;

    for (int i = 0; i < controls->getTabStyle().maxButtonCount; ++i)
    {
        auto tab = controls->createTab (i, "Page " + juce::String (i + 1));

        if (tab == nullptr)
            break;

        tab->addChangeListener (this);
        addChildComponent (*tab);
        pageTabs.push_back (std::move (tab));
    }
}

ZOLEffectParam* EffectEditorContent::getPageControl (int index) const
{
    return juce::isPositiveAndBelow (index, (int) pageControls.size()) ? pageControls[(size_t) index].get() : nullptr;
}

ZOLEffectParam* EffectEditorContent::addPageControl (std::unique_ptr<ZOLEffectParam> control)
{
    if (control == nullptr)
        return nullptr;

    auto* added = control.get();
    added->addChangeListener (this);

    if (auto* component = dynamic_cast<juce::Component*> (added))
    {
        component->setEnabled (controlsEnabled);
        addAndMakeVisible (*component);
    }

    pageControls.push_back (std::move (control));
    return added;
}

void EffectEditorContent::clearPage()
{
    // A gesture a control posted that has not reached the editor yet takes
    // its road before the control goes: a rebuild does not lose the user's
    // last value. (Looked up by index: the road may clear the page itself.)
    for (size_t i = 0; i < pageControls.size(); ++i)
        pageControls[i]->dispatchPendingMessages();

    for (auto& control : pageControls)
    {
        control->removeChangeListener (this);

        if (auto* component = dynamic_cast<juce::Component*> (control.get()))
            removeChildComponent (component);
    }

    pageControls.clear();
    clearSpecialPage();
    pageLayout = nullptr;
    repaint();
}

void EffectEditorContent::showBlock (int blockId, bool toggleBypass)
{
    const bool modifierDialogShowing = isModifierDialogShowing();

    if (blockId == 0)
        closeModifierDialog();

    const int previousBlock = shownBlock;

    if (blockId != shownBlock)
    {
        clearPage();
        heldEdit = {};
        pendingModifierEdit = {};

        if (! modifierDialogShowing)
            reopenModifiers = false;

        shownBlock = blockId;
        pageIndex = 0;
        previousPageIndex = 0;
    }

    onShownBlockChanged (previousBlock);

    updatePageTabs();
    updateHeader();
    showPage();

    bool modifierRequest = false;

    if (presets != nullptr && blockId != 0 && ! isShuntBlockId (blockId))
    {
        // Values read while the modifier dialog edits the block do not count
        // as the user's edit.
        presets->requestEffectAllParams ((juce::uint16) blockId,
                                         ! modifierDialogShowing && isBlockIdSupported (blockId));
        modifierRequest = requestBlockModifierValues (blockId);
    }

    // Asked for with the block's modifier values, the bypass waits for them.
    pendingBypassBlock = 0;

    if (toggleBypass && blockId != 0)
    {
        pendingBypassBlock = blockId;

        if (! modifierRequest)
            runPendingBypass();
    }

    repaint();
}

void EffectEditorContent::updatePageTabs()
{
    variant = nullptr;
    offeredPages.clear();

    if (layouts != nullptr && shownBlock != 0)
    {
        juce::String typeName;

        if (showsFootswitchPages())
            typeName = footswitchPagesName;
        else if (effects != nullptr)
        {
            const int xy = channelOf (shownBlock);

            effects->getBlockTypeName (shownBlock, xy, typeName);
        }

        variant = layouts->findVariantForBlock (shownBlock, typeName);

        if (variant != nullptr)
        {
            const int major = effects != nullptr ? effects->getFirmwareMajor() : 0;
            const int minor = effects != nullptr ? effects->getFirmwareMinor() : 0;

            for (int i = 0; i < variant->getNumPages(); ++i)
            {
                auto* page = variant->getPage (i);

                if (page->matchesVersion (major, minor) && page->matchesType (typeName))
                    offeredPages.add (i);
            }
        }
    }

    if (pageIndex >= offeredPages.size())
        pageIndex = 0;

    for (int i = 0; i < (int) pageTabs.size(); ++i)
    {
        auto& tab = *pageTabs[(size_t) i];
        const bool offered = i < offeredPages.size();
        tab.setVisible (offered);
        tab.setEnabled (offered && controlsEnabled);

        if (offered)
            tab.setLabelText (variant->getPage (offeredPages[i])->name);

        tab.setToggleState (offered && i == pageIndex, false);
    }
}

juce::StringArray EffectEditorContent::getPageNames() const
{
    juce::StringArray names;

    for (int index : offeredPages)
        names.add (variant->getPage (index)->name);

    return names;
}

int EffectEditorContent::findPageTabByName (const juce::String& name) const
{
    return getPageNames().indexOf (name);
}

bool EffectEditorContent::isPageTab (const juce::Component* component) const
{
    for (auto& tab : pageTabs)
        if (tab.get() == component)
            return true;

    return false;
}

bool EffectEditorContent::showPageByIndex (int index)
{
    if (offeredPages.isEmpty() || (hooks.isDialogShowing != nullptr && hooks.isDialogShowing()))
        return false;

    if (index >= offeredPages.size())
        index = 0;
    else if (index < 0)
        index = offeredPages.size() - 1;

    if (index != pageIndex)
        previousPageIndex = pageIndex;

    pageIndex = index;
    updatePageTabs();
    showPage();
    applyAllValues();
    return true;
}

bool EffectEditorContent::isSpecialPage (const juce::String& pageName) const
{
    return isSpecialPageOf (shownBlock, pageName);
}

bool EffectEditorContent::isControlOffered (int pageBlock, const EditorControl& item) const
{
    const int major = effects != nullptr ? effects->getFirmwareMajor() : 0;
    const int minor = effects != nullptr ? effects->getFirmwareMinor() : 0;

    if (! item.matchesVersion (major, minor))
        return false;

    if (! item.hasControllingParameter || effects == nullptr)
        return true;

    const int xy = channelOf (pageBlock);

    EffectParamValue controlling;

    // Without a value for the controlling parameter the control is made.
    if (! effects->getParamValue (pageBlock, item.controllingParameterId, xy, controlling))
        return true;

    if (! item.controllingStringValues.isEmpty())
    {
        for (auto& text : item.controllingStringValues)
            if (controlling.text.contains (text))
                return true;

        return false;
    }

    return item.controllingValues.contains ((juce::int32) controlling.value);
}

void EffectEditorContent::layoutSection (int pageBlock, const juce::OwnedArray<EditorControl>& items, bool inMixer)
{
    const int major = effects != nullptr ? effects->getFirmwareMajor() : 0;
    const int minor = effects != nullptr ? effects->getFirmwareMinor() : 0;
    const bool ampKnob88 = major > 2 || (major == 2 && minor >= 1);

    for (auto* item : items)
    {
        if (! isControlOffered (pageBlock, *item))
            continue;

        if (effectTypeOfBlock (pageBlock) == EFFECT_DISTORT && item->parameterId == ampParam88 && ampKnob88 &&
            item->type != 2)
        {
            EditorControl asKnob (*item);
            asKnob.type = 2;
            addPageControl (createControl (pageBlock, &asKnob, pageLayout, inMixer));
            continue;
        }

        addPageControl (createControl (pageBlock, item, pageLayout, inMixer));
    }
}

void EffectEditorContent::showPage()
{
    clearPage();

    auto* page = variant != nullptr && juce::isPositiveAndBelow (pageIndex, offeredPages.size())
                     ? variant->getPage (offeredPages[pageIndex])
                     : nullptr;

    if (page != nullptr && layouts != nullptr)
        pageLayout = dynamic_cast<const PageLayoutRecord*> (layouts->findPageLayout (page->layoutId));

    if (page == nullptr || pageLayout == nullptr)
    {
        setFocusOrder();
        return;
    }

    if (! buildSpecialPage (page->name))
    {
        const int pageBlock = page->blockId != 0 ? (int) page->blockId : shownBlock;
        layoutSection (pageBlock, page->pageControls, false);
        layoutSection (pageBlock, page->parameterRows, false);
        layoutSection (pageBlock, page->mixerRows, true);
        addMonitorGraph();

        if (shownBlock == blockIdGlobal && page->name == "Function")
            showFootswitchTexts (107, 108);
    }

    for (auto& control : pageControls)
        if (auto* component = dynamic_cast<juce::Component*> (control.get()))
            scaleChild (*component);

    highlightSceneControls();
    setFocusOrder();
    repaint();
}

void EffectEditorContent::setControlsEnabled (bool enabled)
{
    controlsEnabled = enabled;

    // A scale note the unit reported without text is not in the scale and
    // stays disabled.
    auto inScale = [this] (const ZOLEffectParam& control)
    {
        const int blockId = resolveBlock (control);

        if (! isScaleNote (blockId, control.paramId) || effects == nullptr)
            return true;

        const int xy = channelOf (blockId);

        EffectParamValue stored;
        return ! effects->getParamValue (blockId, control.paramId, xy, stored) || stored.text.trim().isNotEmpty();
    };

    for (auto& control : pageControls)
        if (auto* component = dynamic_cast<juce::Component*> (control.get()))
            if (dynamic_cast<ZOLLabelComponent*> (component) == nullptr)
                component->setEnabled (enabled && inScale (*control));

    for (juce::Component* header : { (juce::Component*) xyToggle.get(), (juce::Component*) effectTypeDropDown.get(),
                                     (juce::Component*) libraryDropDown.get(), footswitchGrid.get(),
                                     embeddedSequencer.getComponent() })
        if (header != nullptr)
            header->setEnabled (enabled);

    for (int i = 0; i < (int) pageTabs.size(); ++i)
        pageTabs[(size_t) i]->setEnabled (enabled && i < offeredPages.size());

    repaint();
}

int EffectEditorContent::resolveBlock (const ZOLEffectParam& control) const
{
    return control.blockId != 0 ? (int) control.blockId : shownBlock;
}

void EffectEditorContent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (presets != nullptr && source == presets)
    {
        const int code = presets->getStatus();

        if (code == 73)
            updateGraph (presets->getGraph());
        else if (code == 25 || code == 111) // "Change Scene" or "Query Block States" ended
            highlightSceneControls();
        else if (code == 65)
            updateEffectTypeList(); // the block's values, its type among them, have arrived

        handlePresetEvent (code);
        return;
    }

    if (handleDialogChange (source))
        return;

    if (nameDialog != nullptr && source == nameDialog.get())
    {
        handleNameDialogChange();
        return;
    }

    const bool libraryGesture = handleLibraryHeaderGesture (source);

    if (handleHeaderChange (source) || libraryGesture)
        return;

    for (int i = 0; i < (int) pageTabs.size(); ++i)
    {
        if (static_cast<juce::ChangeBroadcaster*> (pageTabs[(size_t) i].get()) == source)
        {
            if (pageTabs[(size_t) i]->getChangeCode() == 2 && i != pageIndex)
                showPageByIndex (i);
            else
                pageTabs[(size_t) i]->setToggleState (i == pageIndex, false);

            return;
        }
    }

    for (auto& control : pageControls)
    {
        if (static_cast<juce::ChangeBroadcaster*> (control.get()) == source)
        {
            handleControlChange (*control);
            return;
        }
    }
}

bool EffectEditorContent::showsFootswitchPages() const
{
    return gridSelectionState == 4 && shownBlock == blockIdGlobal;
}

juce::String EffectEditorContent::getHeaderText() const
{
    if (shownBlock == 0)
        return "(Nothing Selected)";

    // "Shunt" for the shunts; blocks the unit gives no display name have none.
    juce::String name;
    getBlockName (shownBlock, name);
    return name;
}

void EffectEditorContent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff232529));
    g.addTransform (juce::AffineTransform::scale ((float) getUsableScale()));

    if (background.isValid())
        g.drawImageAt (background, 0, 0);

    if (pageLayout != nullptr && pageLayout->background.isValid())
        g.drawImageAt (pageLayout->background, pageLayout->backgroundX, pageLayout->backgroundY);

    paintSelection (g);
    paintDropTarget (g);

    if (effectName != nullptr)
        return; // the header names the block

    juce::Font font (15.0f, juce::Font::bold);

    if (skin != nullptr)
        if (auto typeface = skin->findTypeface ("sans-bold.stf"))
            font = juce::Font (typeface).withHeight (15.0f);

    g.setFont (font);
    g.setColour (juce::Colour (0xffe8e6e3));
    g.drawText (getHeaderText(), 12, 8, 400, 20, juce::Justification::centredLeft, true);
}

#include "app/dialogs/ModifierDlgContent.h"

#include "device/engines/PresetManager.h"
#include "device/wire/SysExRequest.h"
#include "model/EffectLayoutManager.h"
#include "model/EffectManager.h"
#include "model/IdTables.h"
#include "model/ModifierRecord.h"
#include "model/UnitIds.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/PageLayoutRecord.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/knobs/ZOLGraphComponent.h"
#include "skin/knobs/ZOLRotaryKnob.h"

#include <cstring>
#include <iterator>

namespace
{
constexpr int modifierQueryValuesBeginCode = 88, modifierQueryValuesEndCode = 89, setModifierEndCode = 91;
constexpr juce::uint16 noField = 0xFFFF;

const ParamDialogFrame::SkinNames skinNames{ "ModifierDialogSkin", "titleBarFont", "fontSize", "fontColor" };

juce::Component* asComponent (ZOLEffectParam* control)
{
    return dynamic_cast<juce::Component*> (control);
}

float settingNumber (const ModifierRecord* record, int field)
{
    ModifierValueEntry entry;
    return record != nullptr && record->getSlot (field, entry) ? entry.text.getFloatValue() : 0.0f;
}
} // namespace

ModifierDlgContent::ModifierDlgContent (const SkinManager* skinManager, PresetManager* presetManager,
                                        EffectManager* effectManager, EffectLayoutManager* layoutManager,
                                        KestrelControlManager* controlTemplates)
    : ParamDialogFrame (skinManager, skinNames, { 0, 0, 600, 300 }, juce::Colours::white)
    , presets (presetManager)
    , effects (effectManager)
    , layouts (layoutManager)
    , controlManager (controlTemplates)
{
    // The frame covers the background and lets clicks through to the dialog.
    frame = std::make_unique<juce::GroupComponent> (juce::String(), juce::String());
    frame->setBounds (getLocalBounds());
    frame->setInterceptsMouseClicks (false, false);
    frame->setColour (juce::GroupComponent::outlineColourId, juce::Colours::transparentBlack);
    addAndMakeVisible (*frame);
    frame->toBack();

    if (presets != nullptr)
        presets->addChangeListener (this);
}

ModifierDlgContent::~ModifierDlgContent()
{
    if (presets != nullptr)
        presets->removeChangeListener (this);

    releaseBroadcasts (true);
    deleteControls();
}

void ModifierDlgContent::sendBroadcast (juce::uint8 hasSource, juce::uint8 modifierIndex)
{
    if (presets == nullptr)
        return;

    releaseBroadcasts (false);

    if (auto* request = presets->requestBroadcastModifier (hasSource, modifierIndex))
        broadcasts.push_back (request);
}

void ModifierDlgContent::releaseBroadcasts (bool all)
{
    if (presets == nullptr)
        return;

    // A request the dispatcher is done with is ours to delete; one still
    // under way is handed back (all: the dialog is going).
    for (auto it = broadcasts.begin(); it != broadcasts.end();)
    {
        if (DeviceManager::isRequestDone (*it))
        {
            delete *it;
            it = broadcasts.erase (it);
        }
        else if (all)
        {
            presets->abandonRequest (*it);
            it = broadcasts.erase (it);
        }
        else
        {
            ++it;
        }
    }
}

DeviceManager* ModifierDlgContent::getDeviceManagerForPage() const
{
    return presets;
}

ZOLEffectParam* ModifierDlgContent::getControl (int index) const
{
    return juce::isPositiveAndBelow (index, (int) controls.size()) ? controls[(size_t) index].get() : nullptr;
}

ZOLEffectParam* ModifierDlgContent::findControl (int field) const
{
    for (auto& control : controls)
        if (control->paramId == field)
            return control.get();

    return nullptr;
}

ModifierRecord* ModifierDlgContent::findRecord() const
{
    return effects != nullptr ? effects->findModifierForParam (blockId, paramId) : nullptr;
}

void ModifierDlgContent::open (const juce::String& dialogTitle, juce::uint16 block, juce::uint16 second,
                               juce::uint16 param)
{
    title = dialogTitle;
    blockId = block;
    secondId = second;
    // The unit and the model address a modifier of the bypass mode as 255.
    paramId = isBypassModeParam (block, param) ? (juce::uint16) ModifierRecord::bypassModeParamId : param;
    currentSourceId = 0;
    heldEdit = {};
    setFocusedControl (nullptr);

    deleteControls();
    buildControls();
    refreshValues();

    setVisible (true);
    toFront (false);
    setWantsKeyboardFocus (true);
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);

    if (auto* first = controls.empty() ? nullptr : asComponent (controls.front().get()); first != nullptr)
        first->grabKeyboardFocus();
    else if (isShowing())
        grabKeyboardFocus();

    postChangeCode (codeOpened);
}

void ModifierDlgContent::close()
{
    sourceSet = false;

    sendBroadcast (0, 0);

    heldEdit = {};
    deleteControls();
    setWantsKeyboardFocus (false);
    setVisible (false);
    postChangeCode (codeClosed);
}

void ModifierDlgContent::buildControls()
{
    if (layouts == nullptr)
        return;

    auto* layout = layouts->findEffectLayout (layoutEffectType);
    auto* variant = layout != nullptr ? layout->findVariant ({}) : nullptr;
    auto* page = variant != nullptr && variant->getNumPages() > 0 ? variant->getPage (0) : nullptr;
    auto* pageLayout =
        page != nullptr ? dynamic_cast<const PageLayoutRecord*> (layouts->findPageLayout (page->layoutId)) : nullptr;

    if (pageLayout == nullptr)
        return;

    int focusOrder = 0;

    for (auto* items : { &page->pageControls, &page->parameterRows })
    {
        for (auto* item : *items)
        {
            auto control = createControl (0, item, pageLayout, false);
            auto* component = asComponent (control.get());

            if (component == nullptr)
                continue;

            control->addChangeListener (this);

            if (auto* resizable = dynamic_cast<ZOLResizableComponent*> (component))
                resizable->scaleFactor = scaleFactor;

            component->setExplicitFocusOrder (++focusOrder);

            // Min and Max follow the modified parameter's range; they are
            // turned, never typed.
            if (auto* knob = dynamic_cast<ZOLRotaryKnob*> (component);
                knob != nullptr && (control->paramId == fieldMin || control->paramId == fieldMax))
            {
                knob->editorEnabled = false;

                if (auto* readout = knob->getReadout())
                {
                    readout->editable = false;
                    readout->setTooltip (minMaxTooltip);
                }
            }

            addAndMakeVisible (*component);
            controls.push_back (std::move (control));
        }
    }

    if (pageLayout->hasMonitor)
    {
        graph = std::make_unique<ZOLGraphComponent> (pageLayout->monitor, pageLayout->graphGridRect,
                                                     pageLayout->graphLineColour, pageLayout->graphLineThickness,
                                                     pageLayout->graphCenterYZero);
        graph->setTopLeftPosition (pageLayout->monitorX, pageLayout->monitorY);
        graph->scaleFactor = scaleFactor;
        graph->setWantsKeyboardFocus (false);
        addAndMakeVisible (*graph);
    }

    applyScale (true);
}

void ModifierDlgContent::deleteControls()
{
    setFocusedControl (nullptr);

    for (auto& control : controls)
    {
        control->removeChangeListener (this);
        removeChildComponent (asComponent (control.get()));
    }

    controls.clear();

    if (graph != nullptr)
        removeChildComponent (graph.get());

    graph.reset();
}

void ModifierDlgContent::refreshValues()
{
    auto* record = findRecord();

    if (record != nullptr)
    {
        for (auto& control : controls)
        {
            ModifierValueEntry entry;

            if (! record->getSlot (control->paramId, entry))
                continue;

            control->setFromDevice (entry.value, ZOLEffectParam::positionOfValue (entry.value), entry.text);

            if (control->paramId == fieldSource)
                currentSourceId = entry.value;
        }
    }

    updateEnabling (record);
    updateCurveAndBroadcast (record);
}

void ModifierDlgContent::updateEnabling (const ModifierRecord* record)
{
    sourceSet = record != nullptr && record->getControllerId() != 0;

    for (auto& control : controls)
    {
        if (! sourceSet)
            control->setFromDevice (0, 64, {});

        if (auto* component = asComponent (control.get()))
            component->setEnabled (! paused && (sourceSet || control->paramId == fieldSource));
    }
}

void ModifierDlgContent::computeCurve (const ModifierRecord* record, float (&points)[curvePoints])
{
    const float start = settingNumber (record, fieldStart) / 100.0f;
    const float mid = settingNumber (record, fieldMid) / 100.0f;
    const float end = settingNumber (record, fieldEnd) / 100.0f;
    const float slope = settingNumber (record, fieldSlope) / 100.0f;
    const float scale = settingNumber (record, fieldScale);
    const float offset = settingNumber (record, fieldOffset) / 100.0f;

    const float s = 2.0f * start - 1.0f, m = 2.0f * mid - 1.0f, e = 2.0f * end - 1.0f, l = 2.0f * slope - 1.0f;
    const float b = (e - s) / 2.0f + l;
    const float aBelow = (s + e) / 2.0f - m + l;
    const float aAbove = (s + e) / 2.0f - m - l;

    for (int i = 0; i < curvePoints; ++i)
    {
        const float x = 2.0f * (float) i * (1.0f / 127.0f) - 1.0f;
        const float a = x < 0.0f ? aBelow : aAbove;
        const float y = a * x * x + b * x + m;
        points[i] = (scale * y + offset + 1.0f) * 0.5f;
    }
}

void ModifierDlgContent::updateCurveAndBroadcast (const ModifierRecord* record)
{
    float points[curvePoints];
    computeCurve (record, points);
    std::copy (std::begin (points), std::end (points), curve.begin());

    if (graph != nullptr)
    {
        graph->setValues (curve.data());
        graph->getDisplay().markerOn = sourceSet;
        graph->setMarkerIndex (0);
        graph->repaint();
    }

    const int index = record != nullptr ? juce::jlimit (0, 127, record->modifierId - EffectManager::firstModifierId) : 0;
    sendBroadcast (sourceSet ? 1 : 0, (juce::uint8) index);
}

void ModifierDlgContent::setAllEnabled (bool enabled)
{
    for (auto& control : controls)
        if (auto* component = asComponent (control.get()))
            component->setEnabled (enabled && ! paused);
}

void ModifierDlgContent::setCommunicationPaused (bool isPaused)
{
    paused = isPaused;

    if (isVisible())
        updateEnabling (findRecord());
}

void ModifierDlgContent::sendSetModifier (juce::uint16 field, juce::uint16 value)
{
    if (presets == nullptr)
        return;

    // A value refused while another write is under way is held and sent when
    // that one ends; a later refusal replaces it.
    if (presets->requestSetModifier (blockId, paramId, field, value))
    {
        if (heldEdit.blockId == blockId && heldEdit.paramId == paramId && heldEdit.field == field)
            heldEdit = {};
    }
    else
    {
        heldEdit = { blockId, paramId, field, value };
    }
}

void ModifierDlgContent::handleControl (ZOLEffectParam& control)
{
    setFocusedControl (asComponent (&control));

    const int code = control.getChangeCode();
    const auto field = control.paramId;

    if (field == noField || presets == nullptr)
        return;

    switch (code)
    {
        case 2:
        case 4: sendSetModifier (field, (juce::uint16) juce::jlimit (0, 65535, control.getUnitValue())); break;

        case 5:
        case 6:
        case 7:
        case 8: presets->requestStepModifier (blockId, paramId, field, code == 5 || code == 6, code == 6 || code == 8); break;

        case 9: presets->requestModifierMode2 (blockId, paramId, field); break;

        case 10:
        {
            const float typed = (float) control.getValueAsDouble();
            juce::uint32 bits = 0;
            std::memcpy (&bits, &typed, sizeof (bits));
            presets->requestSetModifierDirect (blockId, paramId, field, bits);
            break;
        }

        default: break;
    }
}

void ModifierDlgContent::handleReply()
{
    const auto& reply = presets->getModifierSetReply();
    const bool ours = reply.blockId == blockId && reply.selector1 == paramId;

    if (ours && reply.selector2 == fieldSource)
    {
        const bool hadSource = currentSourceId != 0;
        const bool nowSource = reply.value != 0;

        // Assigning or removing the source changes every field: read them all.
        if (hadSource != nowSource)
            presets->requestModifierValues (blockId, { paramId });

        currentSourceId = (juce::uint16) reply.value;
    }

    if (ours)
    {
        if (auto* control = findControl (reply.selector2))
        {
            // The answer to a value already replaced by a held one does not
            // move the control back.
            const bool heldMatch = heldEdit.blockId != 0 && heldEdit.blockId == blockId &&
                                   heldEdit.paramId == paramId && heldEdit.field == reply.selector2;
            const ZOLEffectParam::ConfirmedEditScope confirmed (*control, heldMatch);
            const auto value = (juce::uint16) juce::jmin ((juce::uint32) 65535, reply.value);
            control->setFromDevice (value, ZOLEffectParam::positionOfValue (value), reply.text);
        }
    }

    if (heldEdit.blockId != 0)
    {
        const auto held = heldEdit;

        if (presets->requestSetModifier (held.blockId, held.paramId, held.field, held.value))
            heldEdit = {};
    }

    auto* record = findRecord();
    updateEnabling (record);
    updateCurveAndBroadcast (record);
}

void ModifierDlgContent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (presets != nullptr && source == presets)
    {
        if (! isVisible())
            return;

        switch (presets->getStatus())
        {
            case modifierQueryValuesBeginCode: setAllEnabled (false); break;

            case modifierQueryValuesEndCode:
                setAllEnabled (true);
                refreshValues();
                break;

            case setModifierEndCode: handleReply(); break;

            // A request that failed never posts its end code: show again
            // what the model holds, so nothing stays disabled.
            case PresetManager::timeOutCode: updateEnabling (findRecord()); break;

            default: break;
        }

        return;
    }

    for (auto& control : controls)
    {
        if (static_cast<juce::ChangeBroadcaster*> (control.get()) == source)
        {
            handleControl (*control);
            return;
        }
    }
}

void ModifierDlgContent::applyScale (bool apply)
{
    applyFrameScale (apply);
    followFrameScale (graph.get());

    for (auto& control : controls)
        followFrameScale (asComponent (control.get()));
}

bool ModifierDlgContent::getValueStrings (int, int field, juce::StringArray& shortTexts, juce::StringArray& names,
                                          juce::Array<juce::uint16>& values, juce::Array<juce::uint8>& itemFlags)
{
    static const char* const sourceNames[] = { "none",           "LFO 1A",           "LFO 1B",          "LFO 2A",
                                               "LFO 2B",         "ADSR 1",           "ADSR 2",          "Sequencer",
                                               "Envelope",       "Pitch",            "Extern 1",        "Extern 2",
                                               "Extern 3",       "Extern 4",         "Extern 5",        "Extern 6",
                                               "Extern 7",       "Extern 8",         "Extern 9",        "Extern 10",
                                               "Extern 11",      "Extern 12",        "Scene 1",         "Scene 2",
                                               "Control Switch 1", "Control Switch 2" };
    static const char* const autoEngageNames[] = { "Off",           "Slow Speed",      "Medium Speed",  "Fast Speed",
                                                   "Slow Position", "Medium Position", "Fast Position" };
    static const char* const onOffNames[] = { "Off", "On" };

    auto fill = [&] (const char* const* rows, int count)
    {
        shortTexts = makeShortTexts (count);

        for (int i = 0; i < count; ++i)
        {
            names.add (rows[i]);
            values.add ((juce::uint16) i);
            itemFlags.add (0);
        }

        return true;
    };

    switch (field)
    {
        case fieldSource: return fill (sourceNames, (int) std::size (sourceNames));
        case fieldAutoEngage: return fill (autoEngageNames, (int) std::size (autoEngageNames));
        case fieldPcReset: return fill (onOffNames, (int) std::size (onOffNames));
        default: return false;
    }
}

#include "app/EffectEditorContent.h"

#include "device/engines/PresetManager.h"
#include "model/EffectManager.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "skin/ZOLEffectParam.h"

#include <cmath>

namespace
{
// Begin codes whose requests change what the editor shows; the editor is
// disabled while they run. "Query Effect All Params" (66), "Set Param" (68),
// the graph query (72), the modifier requests (90) and the tempo query (96)
// are left out so that the user can go on turning knobs meanwhile.
bool isDisablingBeginCode (int code)
{
    if (code < 2 || code > 140 || (code & 1) != 0)
        return false;

    if (code <= 10 || code == 18 || code == 20 || code == 24)
        return true;

    if (code >= 26 && code <= 64)
        return true;

    if (code >= 74 && code <= 88)
        return true;

    if (code == 92 || code == 94)
        return true;

    if (code >= 98 && code <= 108)
        return true;

    if (code == 112 || code == 114 || code == 118 || code == 122)
        return true;

    return code >= 128 && code <= 140;
}

// End codes the editor answers by enabling itself whatever their begin code.
bool isEnablingEventCode (int code)
{
    switch (code)
    {
        case 7:
        case 21:
        case 22:
        case 25:
        case 55:
        case 63:
        case 65:
        case 75:
        case 77:
        case 81:
        case 87:
        case 89: return true;
        default: return false;
    }
}

constexpr int setParamEndCode = 69;
constexpr int effectAllParamsEndCode = 65;
constexpr int setXYEndCode = 81;
constexpr int loadPresetEndCode = 21;
constexpr int sceneChangeEndCode = 25, blockPasteEndCode = 55, scenePasteEndCode = 75, sceneSwapEndCode = 77;
constexpr int xyWriteEndCode = PresetManager::xyWriteCode + 1;

bool isSynthSteppedParam (int effectType, int paramId)
{
    return effectType == EFFECT_SYNTH && (paramId == 3 || paramId == 14 || paramId == 32);
}
} // namespace

EffectEditorContent::EventReaction EffectEditorContent::getEventReaction (int code)
{
    // A failed or timed-out request posts 1 instead of its end code.
    if (code == PresetManager::timeOutCode)
        return EventReaction::enable;

    if (isDisablingBeginCode (code))
        return EventReaction::disable;

    if (isEnablingEventCode (code))
        return EventReaction::enable;

    // Every end code whose begin code disabled the editor enables it again.
    if ((code & 1) != 0 && isDisablingBeginCode (code - 1))
        return EventReaction::enable;

    return EventReaction::none;
}

void EffectEditorContent::handlePresetEvent (int code)
{
    switch (getEventReaction (code))
    {
        case EventReaction::disable: setControlsEnabled (false); break;
        case EventReaction::enable: setControlsEnabled (true); break;
        case EventReaction::none: break;
    }

    switch (code)
    {
        case setParamEndCode: afterSetParam(); break;

        case effectAllParamsEndCode:
        case setXYEndCode: applyAllValues(); break;

        case loadPresetEndCode:
            if (effects != nullptr)
                effects->invalidateEffects();

            showBlock (0);
            break;

        case sceneChangeEndCode:
        case blockPasteEndCode:
            if (shownBlock != 0)
                showBlock (shownBlock);
            break;

        case scenePasteEndCode:
        case sceneSwapEndCode:
        case xyWriteEndCode:
            if (effects != nullptr)
                effects->invalidateEffects();

            if (shownBlock != 0)
                showBlock (shownBlock);
            break;

        default: break;
    }
}

void EffectEditorContent::setHeldSetParam (juce::uint16 blockId, juce::uint16 paramId, juce::uint16 value)
{
    if (presets == nullptr)
        return;

    if (! presets->requestSetParam (blockId, paramId, value))
    {
        heldEdit = { blockId, paramId, value };
        return;
    }

    if (heldEdit.blockId == blockId && heldEdit.paramId == paramId)
        heldEdit = {};
}

void EffectEditorContent::afterSetParam()
{
    if (presets == nullptr)
        return;

    const auto& reply = presets->getLastParamValue();
    for (auto& control : pageControls)
        if (resolveBlock (*control) == reply.blockId && control->paramId == reply.paramId)
            applyValueRecord (*control, reply.value, reply.text);

    if (heldEdit.blockId != 0)
    {
        // The value refused while the last one was under way goes out now,
        // whichever parameter that one was for.
        const auto held = heldEdit;

        if (presets->requestSetParam (held.blockId, held.paramId, held.value))
            heldEdit = {};
    }
}

juce::uint16 EffectEditorContent::snapToWholeSteps (int blockId, int paramId, juce::uint16 value) const
{
    if (! isSynthSteppedParam (effectTypeOfBlock (blockId), paramId) || effects == nullptr)
        return value;

    auto* definition = effects->findParamDefinition (blockId, paramId);

    if (definition == nullptr)
        return value;

    const float width = definition->info.maximum - definition->info.minimum;

    // A range without width has no steps to snap to.
    if (! (width > 0.0f))
        return value;

    const float step = 65534.0f / width;
    return (juce::uint16) (juce::int64) ((float) (juce::int64) ((float) value / step) * step);
}

void EffectEditorContent::valueRoad (ZOLEffectParam& control, int blockId)
{
    const auto value = (juce::uint16) control.getUnitValue();
    setHeldSetParam ((juce::uint16) blockId, control.paramId, snapToWholeSteps (blockId, control.paramId, value));
}

void EffectEditorContent::handleControlChange (ZOLEffectParam& control)
{
    if (control.paramId > 65534)
        return;

    const int blockId = resolveBlock (control);
    const bool supported = blockId != 0 && ! isShuntBlockId (blockId);

    if (presets == nullptr || ! supported)
        return;

    const int code = control.getChangeCode();

    switch (code)
    {
        case 2:
        case 4: valueRoad (control, blockId); break;

        case 5:
        case 6:
        case 7:
        case 8:
        {
            const bool up = code == 5 || code == 6;
            const bool fine =
                (code == 6 || code == 8) && ! isSynthSteppedParam (effectTypeOfBlock (blockId), control.paramId);
            presets->requestStepParam ((juce::uint16) blockId, control.paramId, up, fine);
            break;
        }

        case 9: presets->requestParamMode2 ((juce::uint16) blockId, control.paramId); break;

        default: break;
    }
}

void EffectEditorContent::applyValueRecord (ZOLEffectParam& control, juce::uint16 value, const juce::String& text)
{
    control.setFromDevice (value, value, text);
}

void EffectEditorContent::applyStoredValue (int blockId, int paramId)
{
    if (effects == nullptr || presets == nullptr)
        return;

    int xy = 0;

    if (! presets->getBlockXYState (blockId, xy))
        xy = 0;

    EffectParamValue stored;

    if (! effects->getParamValue (blockId, paramId, xy, stored))
        return;

    for (auto& control : pageControls)
        if (resolveBlock (*control) == blockId && control->paramId == paramId)
            applyValueRecord (*control, stored.value, stored.text);
}

void EffectEditorContent::applyAllValues()
{
    juce::Array<std::pair<int, int>> done;

    for (auto& control : pageControls)
    {
        const std::pair<int, int> key{ resolveBlock (*control), (int) control->paramId };

        if (done.contains (key))
            continue;

        done.add (key);
        applyStoredValue (key.first, key.second);
    }
}

#include "app/editor/EffectEditorContent.h"
#include "app/host/ContentPanes.h"

#include "app/editor/BlockLibNameDialog.h"
#include "app/shell/ControlUnitContent.h"
#include "app/editor/EditorRequestQueue.h"
#include "device/engines/PresetManager.h"
#include "model/BlockLibraryManager.h"
#include "model/EffectManager.h"
#include "model/GlobalConfiguration.h"
#include "model/IdTables.h"
#include "model/LanguageStore.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"
#include "skin/lists/DropDownLargeList.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "model/FileUtils.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/knobs/ZOLRotaryKnob.h"

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
constexpr int clearPresetEndCode = 47, initializePresetEndCode = 49;
constexpr int resyncBeginCode = 22;
constexpr int sceneChangeEndCode = 25, blockPasteEndCode = 55, scenePasteEndCode = 75, sceneSwapEndCode = 77;
constexpr int xyWriteEndCode = PresetManager::xyWriteCode + 1;

constexpr juce::uint16 pitchKeyParam = 0xF000;
constexpr int pitchNote2Param = 46, pitchNote8Param = 52;
constexpr int firstTapLevelParam = 94, lastTapLevelParam = 113; // Multi-Delay tap levels
constexpr int looperBlock = 169;

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
        case setXYEndCode:
            // The block's values (its type and channel among them) are in:
            // the page is built again for them, with new controls.
            rebuildBlock();
            break;

        case resyncBeginCode:
            if (effectTypeDropDown != nullptr)
                effectTypeDropDown->closeList();
            break;

        case loadPresetEndCode:
            if (effects != nullptr)
                effects->invalidateEffects();

            if (library != nullptr)
                library->clearLinks();

            showBlock (0);
            break;

        case sceneChangeEndCode:
        case blockPasteEndCode:
            if (shownBlock != 0)
                showBlock (shownBlock);
            break;

        case scenePasteEndCode:
        case sceneSwapEndCode:
            if (effects != nullptr)
                effects->invalidateEffects();

            // The scenes were changed through the grid's selection.
            showGridSelectedBlock();
            break;

        // Clear and Initialize rewrite the whole preset without it being
        // loaded again: the shown block's values are read anew, as after an
        // X/Y write. A block the preset lost leaves the grid unframed, and
        // the editor empty.
        case clearPresetEndCode:
        case initializePresetEndCode:
        case xyWriteEndCode:
            if (effects != nullptr)
                effects->invalidateEffects();

            if (shownBlock != 0)
                showBlock (shownBlock);
            break;

        case PresetManager::timeOutCode:
            // What waited for modifier values the unit never sent must not
            // fire on a later reading's end.
            pendingBypassBlock = 0;
            pendingModifierEdit = {};
            reopenModifiers = reopenModifiers && isModifierDialogShowing();
            break;

        default: handleRoadEvent (code); break;
    }

    // Whoever changed the block's X/Y state, the switch shows it.
    updateXYSwitch();
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

    const auto reply = presets->getLastParamValue();
    const bool heldMatch = heldEdit.blockId == reply.blockId && heldEdit.paramId == reply.paramId;
    const int mixParam = reply.paramId == getGlobalMixParamId (reply.blockId) ? getMixParamId (reply.blockId) : -1;

    for (auto& control : pageControls)
    {
        if (resolveBlock (*control) != reply.blockId)
            continue;

        if (control->paramId == reply.paramId)
        {
            // A reply to a value that was since replaced does not move the control.
            const ZOLEffectParam::ConfirmedEditScope confirmed (*control, heldMatch);
            applyValueRecord (*control, reply.value, reply.text, reply.flag);
        }
        else if (mixParam >= 0 && control->paramId == mixParam)
        {
            control->setSecondaryValue (reply.value);
        }
    }

    forEachSequencerControl (
        [&] (ZOLEffectParam& control)
        {
            if (resolveBlock (control) == reply.blockId && control.paramId == reply.paramId)
                applyValueRecord (control, reply.value, reply.text, reply.flag);
        });

    if (heldEdit.blockId != 0)
    {
        // The value refused while the last one was under way goes out now,
        // whichever parameter that one was for.
        const auto held = heldEdit;

        if (presets->requestSetParam (held.blockId, held.paramId, held.value))
            heldEdit = {};
    }

    // A reply to a value already replaced changes nothing else: the page is
    // refreshed once the last value has been answered.
    if (! heldMatch)
        refreshAfterEdit (reply);

    // The graph shows the sound as it is now, whatever was edited.
    requestGraph();
}

void EffectEditorContent::refreshAfterEdit (const EffectParamValue& reply)
{
    const int blockId = reply.blockId;
    const int type = effectTypeOfBlock (blockId);
    const int paramId = reply.paramId;

    if (blockId == shownBlock && shownBlock != 0)
    {
        const auto dependent = findDependentParams (reply.paramId);
        const bool typeParam = paramId == getTypeParamId (blockId);
        const bool delayShape = type == EFFECT_DELAY && (paramId == 0 || paramId == 1);
        const bool shapesPage = delayShape || (type == EFFECT_DISTORT && paramId == 92) ||
                                (type == EFFECT_REVERB && paramId == 43) || (type == EFFECT_FUZZ && paramId == 10) ||
                                (type == EFFECT_PHASER && paramId == 17);

        if (shapesPage || (typeParam && type != EFFECT_DELAY))
        {
            updatePageTabs();
            showPage();
            applyAllValues();

            // The user goes on where the page was changed from.
            if (shapesPage)
                if (auto* edited = dynamic_cast<juce::Component*> (findControl (blockId, paramId)))
                    selectControl (edited);
        }

        if (typeParam || delayShape)
            presets->requestEffectAllParams ((juce::uint16) blockId, false);
        else if (! dependent.isEmpty())
            querySubset (dependent);
    }

    // The front panel names the amps of the preset.
    if (type == EFFECT_DISTORT && paramId == 0)
        if (auto* content = findContent())
            if (auto* frontPanel = content->getPaneAs<ControlUnitContent> (ContentPane::frontPanel))
                frontPanel->refreshAmpNames();

    // A cab slot without a known name is asked for.
    if (type == EFFECT_CAB && (paramId == 0 || paramId == 2))
    {
        juce::String name, label;

        if (presets->getCabLabel (reply.value, name, label) && name == "EMPTY")
            presets->requestCabName (reply.value);
    }

    // An edited block no longer matches the library entry it came from.
    if (library != nullptr && library->clearLinkMatch (blockId))
        updateLibraryList();
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

    // A control of an external controller sends a MIDI control change.
    if (control.isMidiCc)
    {
        sendMidiCC (control.midiCcNumber, value != 0 ? 127 : 0);
        return;
    }

    if (blockId == blockIdLayoutMidi && control.hasSubIndex)
    {
        presets->requestSetLayout (control.subIndex, control.paramId, value);
        return;
    }

    setHeldSetParam ((juce::uint16) blockId, control.paramId, snapToWholeSteps (blockId, control.paramId, value));
}

float EffectEditorContent::convertTypedValue (int blockId, int paramId, float typed) const
{
    const int type = effectTypeOfBlock (blockId);

    // The unit counts these Pitch keys from 0.
    if (type == EFFECT_PITCH && (paramId == 53 || paramId == 54))
        return typed > 0.0f ? typed - 1.0f : typed;

    // The Amp's master volume is typed in dB and sent on its own scale.
    if (type == EFFECT_DISTORT && paramId == 21)
        return (float) (100.0 * std::log10 (1.0 + 0.25 * std::pow (10.0, typed / 20.0) / 0.0127) / 1.9);

    if (effects != nullptr)
    {
        const int index = effects->findValueStringIndex (blockId, paramId, typed);

        if (index >= 0)
            return (float) index;
    }

    return typed;
}

void EffectEditorContent::typedRoad (ZOLEffectParam& control, int blockId)
{
    const auto typed = (float) control.getValueAsDouble();
    presets->requestSetParamDirect ((juce::uint16) blockId, control.paramId,
                                    convertTypedValue (blockId, control.paramId, typed));
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

    // The Pitch block's key is kept here only: the texts of the scale
    // parameters depend on it.
    if (effectTypeOfBlock (blockId) == EFFECT_PITCH && control.paramId == pitchKeyParam)
    {
        if (effects == nullptr)
            return;

        const int xy = channelOf (blockId);

        EffectParamValue key;
        key.blockId = (juce::uint16) blockId;
        key.paramId = pitchKeyParam;
        key.value = (juce::uint16) control.getUnitValue();
        effects->storeParamValue (xy, key);

        for (int paramId = pitchNote2Param; paramId <= pitchNote8Param; ++paramId)
            applyStoredValue (blockId, paramId);

        return;
    }

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

        case 9:
            if (blockId != blockIdLayoutMidi)
                presets->requestParamMode2 ((juce::uint16) blockId, control.paramId);
            else if (control.hasSubIndex)
                presets->requestSetLayout (control.subIndex, control.paramId, 1);
            break;

        case 10: typedRoad (control, blockId); break;

        case 11:
            if (auto* knob = dynamic_cast<ZOLRotaryKnob*> (&control))
                if (knob->getGlobalMixButton() != nullptr)
                    presets->requestSetParam ((juce::uint16) blockId, knob->globalMixParamId,
                                              (juce::uint16) knob->getSecondaryValue());
            break;

        case 1: editModifierOfLabel (blockId, control.paramId); break;

        case 3:
            reopenModifiers = false;
            openModifierDialog (blockId, control.paramId);
            break;

        default: break;
    }
}

int EffectEditorContent::channelOf (int blockId) const
{
    int xy = 0;

    if (presets == nullptr || ! presets->getBlockXYState (blockId, xy))
        return 0;

    return xy;
}

bool EffectEditorContent::isScaleNote (int blockId, int paramId)
{
    return effectTypeOfBlock (blockId) == EFFECT_PITCH && paramId >= pitchNote2Param && paramId <= pitchNote8Param;
}

void EffectEditorContent::applyValueRecord (ZOLEffectParam& control, juce::uint16 value, const juce::String& text,
                                            int position)
{
    const int blockId = resolveBlock (control);
    const int type = effectTypeOfBlock (blockId);
    const int paramId = control.paramId;

    // Where the control points is what the unit reports with the value (an
    // integer range is not spread over the full scale); the Multi-Delay's
    // tap levels are placed by their value.
    if (position < 0 || (type == EFFECT_MULTITAP && paramId >= firstTapLevelParam && paramId <= lastTapLevelParam))
        position = ZOLEffectParam::positionOfValue (value);

    // The unit names the value's unit in its text.
    control.setUnit (getUnitIdFromText (text));

    // The scale's notes are counted from the key; a note the scale lacks
    // comes without text and cannot be chosen.
    if (isScaleNote (blockId, paramId))
    {
        const int xy = channelOf (blockId);

        // A block met for the first time has no key yet: it starts on C, and
        // the key's drop-down shows that.
        EffectParamValue key;
        int keyValue = 0;

        if (effects != nullptr && ! effects->getParamValue (blockId, pitchKeyParam, xy, key))
        {
            key = {};
            key.blockId = (juce::uint16) blockId;
            key.paramId = pitchKeyParam;
            effects->storeParamValue (xy, key);
        }
        else if (effects != nullptr)
            keyValue = key.value;
        value = (juce::uint16) ((value + keyValue) % 12);

        if (auto* component = dynamic_cast<juce::Component*> (&control))
            component->setEnabled (text.trim().isNotEmpty());
    }

    // A list whose choices follow other values (feedback taps, scale notes,
    // cab names) is built again before its value is shown.
    if (auto* dropDown = dynamic_cast<ZOLDropDownEx*> (&control); dropDown != nullptr && blockId != 0)
    {
        juce::StringArray shortTexts, names;
        juce::Array<juce::uint16> values;
        juce::Array<juce::uint8> itemFlags;

        auto sameItems = [&]
        {
            if (dropDown->getNumItems() != values.size())
                return false;

            for (int i = 0; i < values.size(); ++i)
            {
                const auto* item = dropDown->getItem (i);

                if (item->value != values[i] || item->text != names[i] || item->shortText != shortTexts[i] ||
                    item->italic != (itemFlags[i] == 1))
                    return false;
            }

            return true;
        };

        // Most lists are the same as last time: building the field again is
        // left to the lists that changed.
        if (getValueStrings (blockId, paramId, shortTexts, names, values, itemFlags) && ! sameItems())
            dropDown->setItems (shortTexts, names, values, itemFlags, values.indexOf (value));
    }

    control.setFromDevice (value, (juce::uint16) juce::jlimit (0, 127, position), text);
}

bool EffectEditorContent::getValueStrings (int blockId, int paramId, juce::StringArray& shortTexts,
                                           juce::StringArray& names, juce::Array<juce::uint16>& values,
                                           juce::Array<juce::uint8>& itemFlags)
{
    if (effectTypeOfBlock (blockId) != EFFECT_CAB || (paramId != 0 && paramId != 2) || presets == nullptr)
        return ParamControlUtilities::getValueStrings (blockId, paramId, shortTexts, names, values, itemFlags);

    juce::Array<DeviceManager::CabChoice> cabs;
    presets->getCabChoices (cabs);
    int factory = 0, user = 0, scratchpad = 0;

    for (auto& cab : cabs)
        (cab.kind == DeviceManager::CabChoice::factory ? factory
         : cab.kind == DeviceManager::CabChoice::user  ? user
                                                       : scratchpad)++;

    // Until the unit's cab tables are known the parameter's own texts serve.
    if (factory + user == 0)
        return ParamControlUtilities::getValueStrings (blockId, paramId, shortTexts, names, values, itemFlags);

    juce::StringArray factoryLabels, userLabels;
    makeNumberedNames (1, factory, "F", "  ", factoryLabels);
    makeNumberedNames (1, user, "U", "  ", userLabels);
    shortTexts.clear();
    names.clear();
    values.clear();
    itemFlags.clear();
    int userIndex = 0, padIndex = 0;

    for (int i = 0; i < cabs.size(); ++i)
    {
        const auto& cab = cabs.getReference (i);

        if (cab.kind == DeviceManager::CabChoice::factory)
            shortTexts.add (factoryLabels[i]);
        else if (cab.kind == DeviceManager::CabChoice::user)
            shortTexts.add (userLabels[userIndex++]);
        else
            shortTexts.add ("S00" + juce::String (++padIndex) + "  ");

        names.add (cab.name);
        values.add (cab.slot);
        itemFlags.add (cab.italic ? 1 : 0);
    }

    return true;
}

void EffectEditorContent::applyStoredValue (int blockId, int paramId)
{
    if (effects == nullptr || presets == nullptr)
        return;

    const int xy = channelOf (blockId);

    EffectParamValue stored;

    if (! effects->getParamValue (blockId, paramId, xy, stored))
        return;

    for (auto& control : pageControls)
        if (resolveBlock (*control) == blockId && control->paramId == paramId)
            applyValueRecord (*control, stored.value, stored.text, stored.flag);

    forEachSequencerControl (
        [&] (ZOLEffectParam& control)
        {
            if (resolveBlock (control) == blockId && control.paramId == paramId)
                applyValueRecord (control, stored.value, stored.text, stored.flag);
        });
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

    forEachSequencerControl (
        [&] (ZOLEffectParam& control)
        {
            const std::pair<int, int> key{ resolveBlock (control), (int) control.paramId };

            if (! done.contains (key))
            {
                done.add (key);
                applyStoredValue (key.first, key.second);
            }
        });
}

//==============================================================================
// Event codes beyond enabling, dependent parameters and the connection.

namespace
{
constexpr int initializeBlockEndCode = 7, initializationEndCode = 11, cabNamesEndCode = 19;
constexpr int libraryQueryEndCode = 57, libraryQueryAllEndCode = 59, libraryLoadEndCode = 61;
constexpr int definitionsEndCode = 63, subsetEndCode = 67, modifierIdsEndCode = 87, modifierValuesEndCode = 89;
constexpr int setTempoEndCode = 93;
constexpr int userCabImportEndCode = 115, bundleImportEndCode = 135, bundleSaveEndCode = 137;
} // namespace

void EffectEditorContent::updateModifierMarks()
{
    if (effects == nullptr)
        return;

    for (auto& control : pageControls)
    {
        const int paramId = control->auxId != 0xFFFF ? control->auxId : control->paramId;
        auto* modifier = effects->findModifierForParam (resolveBlock (*control), paramId);
        control->setModifierActive (modifier != nullptr && modifier->getControllerId() != 0);
    }
}

ZOLEffectParam* EffectEditorContent::findControl (int blockId, int paramId) const
{
    for (auto& control : pageControls)
        if (resolveBlock (*control) == blockId && control->paramId == paramId)
            return control.get();

    return nullptr;
}

void EffectEditorContent::setBlockLibrary (BlockLibraryManager* blockLibrary)
{
    library = blockLibrary;
    updateLibraryList();
}

void EffectEditorContent::handleRoadEvent (int code)
{
    switch (code)
    {
        case initializeBlockEndCode:
        {
            // The grid's selected block is the one that was initialised.
            const int block = getGridSelectedBlock();

            if (library != nullptr && library->clearLinkMatch (block) && block == shownBlock)
                updateLibraryList();

            showGridSelectedBlock();
            break;
        }

        case initializationEndCode: onDefinitionsReady(); break;

        case cabNamesEndCode:
        case userCabImportEndCode:
        case bundleImportEndCode:
        case bundleSaveEndCode:
            if (effectTypeOfBlock (shownBlock) == EFFECT_CAB)
            {
                applyStoredValue (shownBlock, 0);
                applyStoredValue (shownBlock, 2);
            }
            break;

        case libraryQueryEndCode: onLibraryQueryDone(); break;
        case libraryQueryAllEndCode: saveAllBlocksToLibrary(); break;

        case libraryLoadEndCode:
            if (library != nullptr && library->hasLoggedErrors())
                UserNotifier::warn (
                    LanguageStore::textOr (17, "Errors were encountered while reading the Block Library entries.\n\n"
                                               "Please see the file \"block_library.log\" in the Block Library "
                                               "directory for a listing of errors."),
                    LanguageStore::textOr (14, "Block Library"));
            updateLibraryList();
            break;

        case definitionsEndCode:
            if (effects != nullptr)
            {
                // The looper's key is no parameter of the unit; its range is ours.
                ParamInfo key;
                key.descriptor = 3;
                key.minimum = 0.0f;
                key.maximum = 127.0f;
                key.displayMultiplier = 1.0f;
                key.fourth = 1.0f;
                effects->storeParamInfo (looperBlock, pitchKeyParam, key);
            }

            saveDefinitionsCache();
            break;

        case subsetEndCode: reloadValues(); break;

        case modifierIdsEndCode:
        case modifierValuesEndCode:
            updateModifierMarks();

            // The dialog's own readings leave the live reports stopped until it closes.
            if (! isModifierDialogShowing())
                setLiveUpdates (false);

            if (code == modifierValuesEndCode)
                openPendingModifierEdit();

            if (pendingBypassBlock != 0)
                runPendingBypass();
            break;

        case setTempoEndCode: queryTempoParams(); break;

        default: break;
    }
}

juce::Array<juce::uint16> EffectEditorContent::findDependentParams (int paramId) const
{
    juce::Array<juce::uint16> found;

    if (shownBlock == 0)
        return found;

    // A parameter that follows a modifier changes nothing the page shows.
    if (effects != nullptr)
        if (auto* modifier = effects->findModifierForParam (shownBlock, paramId))
            if (modifier->getControllerId() != 0)
                return found;

    juce::Array<int> candidates;

    for (auto& control : pageControls)
        if (resolveBlock (*control) == shownBlock && control->hasExtraParamId ((juce::uint16) paramId))
            candidates.add (control->paramId);

    auto valueOf = [this] (int id)
    {
        EffectParamValue stored;
        const int xy = channelOf (shownBlock);

        return effects != nullptr && effects->getParamValue (shownBlock, id, xy, stored) ? (int) stored.value : -1;
    };

    switch (effectTypeOfBlock (shownBlock))
    {
        case EFFECT_DELAY:
            if (paramId == 3 || paramId == 4 || paramId == 6)
                for (int other : { 3, 4, 6 })
                    if (other != paramId)
                        candidates.add (other);
            break;

        case EFFECT_DISTORT:
            if (paramId == 68)
                candidates.addArray ({ 95, 88 });
            else if (paramId == 69)
                candidates.add (48);
            break;

        case EFFECT_PITCH:
            if (paramId == 83)
                candidates.add (6);
            break;

        case EFFECT_CAB:
        {
            const int mode = valueOf (12);

            if (paramId >= 0 && paramId <= 3 && (mode == 2 || mode == 3) && valueOf (4) == 1)
                for (int other = 0; other <= 3; ++other)
                    if (other != paramId)
                        candidates.add (other);
            break;
        }

        default: break;
    }

    for (int id : candidates)
        if (id != paramId && findControl (shownBlock, id) != nullptr)
            found.addIfNotAlreadyThere ((juce::uint16) id);

    return found;
}

bool EffectEditorContent::querySubset (const juce::Array<juce::uint16>& paramIds)
{
    if (presets == nullptr || shownBlock == 0 || paramIds.isEmpty())
        return false;

    juce::Array<std::pair<juce::uint16, juce::uint16>> pairs;

    for (auto id : paramIds)
        pairs.add ({ (juce::uint16) shownBlock, id });

    if (! presets->requestEffectParamSubset (pairs))
        return false;

    pendingSubset = paramIds;
    return true;
}

void EffectEditorContent::reloadValues()
{
    const auto subset = pendingSubset;
    pendingSubset.clear();

    for (auto id : subset)
        applyStoredValue (shownBlock, id);
}

void EffectEditorContent::queryTempoParams()
{
    if (presets == nullptr)
        return;

    juce::Array<std::pair<juce::uint16, juce::uint16>> pairs;
    PresetGridIterator blocks (&presets->getPresetGrid(), 1);
    juce::uint16 blockId = 0;

    while (blocks.next (blockId))
    {
        juce::Array<juce::uint16> ids;

        if (getTimeRateParamIds (blockId, ids))
            for (auto id : ids)
                pairs.add ({ blockId, id });
    }

    presets->requestEffectParamSubset (pairs);
}

void EffectEditorContent::onDefinitionsReady()
{
    if (presets == nullptr || ! presets->isFirmwareValid())
        return;

    const auto& firmware = presets->getFirmware();
    const int model = presets->getConnectedModel();
    const int major = (int) firmware.major, minor = (int) firmware.minor;

    if (effects != nullptr)
    {
        effects->loadControllerNames();

        if (presets->isSystemInfoValid())
        {
            auto* configuration = presets->getConfiguration();
            const juce::File folder = configuration != nullptr && configuration->EFFECT_DEFS_DIR.isNotEmpty()
                                          ? juce::File (configuration->EFFECT_DEFS_DIR)
                                          : juce::File();
            const bool loaded = folder != juce::File() && effects->loadDefinitionsCache (folder, model);
            const bool matches = effects->matchDefinitionsToFirmware (major, minor);

            if (! loaded || ! matches || effects->getNumDefinitions() == 0)
            {
                if (auto* content = findContent())
                    content->showBubbleMessage (
                        LanguageStore::textOr (10, "Block Definitions") + "\n" +
                            LanguageStore::textOr (11, "Reading Block Definitions.\n\nThis occurs only when "
                                                       "saved definitions do not match those in the "
                                                       "connected device.\n"),
                        10000);

                presets->requestParamDefinitions();
            }
        }
    }

    if (library != nullptr && (library->getConnectedModelId() != model || library->getConnectedMajor() != major ||
                               library->getConnectedMinor() != minor))
    {
        // The library's files are checked against the unit: read them again.
        library->setConnectedDevice (model, major, minor);

        if (! presets->getRequest (blockLibraryLoad).isRunning())
            presets->getRequest (blockLibraryLoad).start();
    }
}

void EffectEditorContent::saveDefinitionsCache()
{
    auto* configuration = presets != nullptr ? presets->getConfiguration() : nullptr;

    if (effects == nullptr || configuration == nullptr || configuration->EFFECT_DEFS_DIR.isEmpty() ||
        effects->getNumDefinitions() == 0)
        return;

    // Only a whole set of definitions is worth keeping: a run that stopped
    // part way would be trusted on the next start.
    if (presets->getRequest (queryParamDefinitions).getResult() == ZolStateMachine::resultCancelled)
        return;

    effects->saveDefinitionsCache (juce::File (configuration->EFFECT_DEFS_DIR), presets->getConnectedModel());
}

#include "skin/controls/ParamControlUtilities.h"

#include "device/engines/DeviceManager.h"
#include "model/EditorControl.h"
#include "model/EffectLayoutManager.h"
#include "model/EffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "model/PromptCatalogue.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/PageLayoutRecord.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/knobs/TriStateSlider.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/knobs/ZOLMeterComponent.h"
#include "skin/knobs/ZOLSliderComponent.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/widgets/ZOLToggleButton.h"

namespace
{
enum ControlType
{
    spacer = 1,
    knob = 2,
    knobReadOnly = 3,
    toggle = 4,
    toggleSingleLine = 5,
    reverseToggle = 6,
    pushButton = 7,
    slider = 8,
    dropDown = 9,
    dropDownSmall = 10,
    dropDownLarge = 11,
    dropDownHuge = 12,
    meter = 13,
    labelReadOnly = 14,
    sequencerSlider = 15,
    sequencerReadout = 16,
    biStateSlider = 17,
    triStateSlider = 18
};

constexpr int sceneLevelParamBase = 8;
constexpr int cabTypeLeft = 0, cabTypeRight = 2;

bool isCabChoice (int effectType, int paramId)
{
    return effectType == EFFECT_CAB && (paramId == cabTypeLeft || paramId == cabTypeRight);
}
constexpr int sceneParamId = 65534;

int dropDownFieldSize (int type)
{
    switch (type)
    {
        case dropDownSmall: return 0;
        case dropDownLarge: return 2;
        case dropDownHuge: return 3;
        default: return 1;
    }
}
} // namespace

KestrelControlManager* ParamControlUtilities::getControlManagerForPage() const
{
    return KestrelControlManager::getInstanceWithoutCreating();
}

const GlobalConfiguration* ParamControlUtilities::getConfigurationForPage() const
{
    return KestrelGlobalConfiguration::getInstanceWithoutCreating();
}

const LanguageStore* ParamControlUtilities::getLanguageStoreForPage() const
{
    return LanguageStore::getInstanceWithoutCreating();
}

void ParamControlUtilities::setupCabDropDown (int effectType, int paramId, DropDownLargeList& dropDown)
{
    if (! isCabChoice (effectType, paramId))
        return;

    auto* language = getLanguageStoreForPage();
    auto text = [language] (int id, const char* english) { return LanguageStore::textOr (id, english, language); };

    int factory = 0, factoryAndUser = 0;

    if (auto* device = getDeviceManagerForPage())
    {
        factory = device->getNumFactoryCabs();
        factoryAndUser = device->getNumFactoryAndUserCabs();
    }

    dropDown.groupedList = true;
    dropDown.showCurrentBank = true;
    dropDown.groupTitles = { text (PROMPT_BTN_LABEL_FACTORY_CABS, "Factory"), text (PROMPT_BTN_LABEL_USER_CABS, "User"),
                             text (PROMPT_BTN_LABEL_SCRATCHPAD_CABS, "Scratchpad"), juce::String() };
    dropDown.bankSizes.clearQuick();
    dropDown.bankSizes.add ((juce::uint16) factory);
    dropDown.bankSizes.add ((juce::uint16) juce::jmax (0, factoryAndUser - factory));
    dropDown.bankSizes.add (4);
    dropDown.colourFilterOn = true;
    dropDown.colourKey = 6;
}

std::unique_ptr<ZOLEffectParam> ParamControlUtilities::createControl (int pageBlockId, const EditorControl* item,
                                                                      const PageLayoutRecord* pageLayout, bool inMixer)
{
    auto* effects = getEffectManagerForPage();
    auto* layouts = getLayoutManagerForPage();
    auto* controls = getControlManagerForPage();

    if (item == nullptr || effects == nullptr || layouts == nullptr || controls == nullptr)
        return nullptr;

    // 1. The layout's items edit the page's own block.
    const int blockId = pageBlockId;
    const int effectType = effectTypeOfBlock (blockId);

    // 2. Label.
    juce::String label = item->name;
    getAltLabel (blockId, item->parameterId, label);

    // 3. The level of the current scene.
    int paramId = item->parameterId;

    if ((effectType == EFFECT_OUTPUT || effectType == EFFECT_LOOP) && paramId == sceneParamId)
    {
        juce::uint16 preset = 0, scene = 0;
        auto* device = getDeviceManagerForPage();

        if (device != nullptr && device->getCurrentPresetAndScene (preset, scene) && scene < 8)
            paramId = sceneLevelParamBase + scene;
        else if (device != nullptr)
            paramId = sceneLevelParamBase;
    }

    // 4. The parameter the value and the modifier belong to.
    const int valueParamId = item->hasModifier ? (int) item->modifierParameterId : paramId;

    // 5. Range.
    int kind = 0;
    float minimum = 0.0f, maximum = 0.0f;
    getParamRange (blockId, paramId, kind, minimum, maximum);

    // 6., 7. Modifier button and global mix.
    const bool modifierAssignable = layouts->isModifierAssignable (effectType, paramId);
    const int globalMixParamId = getGlobalMixParamId (blockId);
    const bool globalMix = paramId == getMixParamId (blockId) && globalMixParamId >= 0;

    // 9. The widget, from its template.
    std::unique_ptr<ZOLEffectParam> binding;
    juce::Component* component = nullptr;

    switch (item->type)
    {
        case knob:
        case knobReadOnly:
        {
            auto made = controls->createKnob (label, modifierAssignable, globalMix && item->type == knob,
                                              (juce::uint16) juce::jmax (0, globalMixParamId));

            if (made != nullptr)
                if (auto* settings = getConfigurationForPage())
                    made->dragMode = knobDragModeOf (*settings);

            if (made != nullptr && item->type == knobReadOnly)
            {
                made->editorEnabled = false;
                made->readoutFadesWithKnob = false;
                made->readoutAlpha = 0.6f;
                made->setTooltip ("This parameter can not be edited through direct entry.\n"
                                  "Please use the knob to change its value.");
            }

            component = made.get();
            binding = std::move (made);
            break;
        }

        case toggle:
        case toggleSingleLine:
        case reverseToggle:
        {
            const auto& style =
                item->type == toggleSingleLine ? controls->getToggleSingleLineStyle() : controls->getToggleStyle();
            auto made = controls->createToggle (modifierAssignable, label, style);

            if (made != nullptr && item->type == reverseToggle)
                made->invertValue = true;

            component = made.get();
            binding = std::move (made);
            break;
        }

        case pushButton:
        {
            auto made = controls->createPushButton (modifierAssignable, label);
            component = made.get();
            binding = std::move (made);
            break;
        }

        case slider:
        {
            auto made = controls->createSlider (label, modifierAssignable);
            component = made.get();
            binding = std::move (made);
            break;
        }

        case dropDown:
        case dropDownSmall:
        case dropDownLarge:
        case dropDownHuge:
        {
            auto made = controls->createDropDownLargeList (dropDownFieldSize (item->type), modifierAssignable ? 1 : 0,
                                                           item->labelStyle, nullptr, label);

            if (made != nullptr)
            {
                if (item->labelWidth != 0 && item->labelWidth != made->besideLabelWidth)
                {
                    made->besideLabelWidth = item->labelWidth;
                    made->updateLayout();
                }

                juce::StringArray shortTexts, names;
                juce::Array<juce::uint16> values;
                juce::Array<juce::uint8> flags;

                if (isCabChoice (effectType, paramId))
                    made->listKind = 2;

                if (getValueStrings (blockId, paramId, shortTexts, names, values, flags))
                    made->setItems (shortTexts, names, values, flags, 0);

                setupCabDropDown (effectType, paramId, *made);
            }

            component = made.get();
            binding = std::move (made);
            break;
        }

        case biStateSlider:
        case triStateSlider:
        {
            const int positions = item->type == biStateSlider ? 2 : 3;
            const auto& style = positions == 2 ? controls->getBiStateSliderStyle() : controls->getTriStateSliderStyle();
            auto made = controls->createTrackSlider (style, label, modifierAssignable, positions);

            if (made != nullptr)
            {
                juce::StringArray shortTexts, names;
                juce::Array<juce::uint16> values;
                juce::Array<juce::uint8> flags;

                if (getValueStrings (blockId, paramId, shortTexts, names, values, flags))
                    made->setPositions (names, values);
            }

            component = made.get();
            binding = std::move (made);
            break;
        }

        case meter:
        {
            auto made = controls->createMeter (label);
            component = made.get();
            binding = std::move (made);
            break;
        }

        case labelReadOnly:
        {
            auto made = controls->createLabel (label);

            if (made != nullptr)
                made->setEditable (false);

            component = made.get();
            binding = std::move (made);
            break;
        }

        case sequencerSlider:
        {
            auto made = controls->createSequencerSlider (label);
            component = made.get();
            binding = std::move (made);
            break;
        }

        case sequencerReadout:
        {
            auto made = controls->createSequencerReadout();
            component = made.get();
            binding = std::move (made);
            break;
        }

        default: return nullptr;
    }

    if (binding == nullptr || component == nullptr)
        return nullptr;

    // 8. Position on the page's grid.
    if (item->hasPosition)
    {
        component->setTopLeftPosition (item->positionX, item->positionY);
    }
    else
    {
        int x = 0, y = 0;

        if (pageLayout != nullptr)
        {
            const int originX = inMixer ? pageLayout->mixerX : pageLayout->parametersX;
            const int originY = inMixer ? pageLayout->mixerY : pageLayout->parametersY;
            const int spacingX = inMixer ? pageLayout->mixerSpacingX : pageLayout->parametersSpacingX;
            const int spacingY = inMixer ? pageLayout->mixerSpacingY : pageLayout->parametersSpacingY;
            x = juce::jmax (0, item->column) * spacingX + originX;
            y = juce::jmax (0, item->row) * spacingY + originY;
        }

        component->setTopLeftPosition (x + item->offsetX, y + item->offsetY);
    }

    // 10. Binding.
    binding->blockId = 0; // the page's block
    binding->paramId = (juce::uint16) paramId;
    binding->valueType = kind;
    binding->rangeMin = minimum;
    binding->rangeMax = maximum;
    binding->rangeChanged();
    binding->auxId = (juce::uint16) valueParamId;

    if (item->hasController)
    {
        binding->isMidiCc = true;
        binding->midiCcNumber = item->controllerId;
    }

    if (item->hasScene)
    {
        binding->hasSubIndex = true;
        binding->subIndex = item->sceneNumber;
    }

    for (auto id : item->lockParameterIds)
        if (id >= 0 && id <= 0xFFFF && ! binding->hasExtraParamId ((juce::uint16) id))
            binding->extraParamIds.add ((juce::uint16) id);

    if (item->hasControllingParameter && ! binding->hasExtraParamId (item->controllingParameterId))
        binding->extraParamIds.add (item->controllingParameterId);

    // 11. Modifier state.
    if (pageBlockId != 0)
        if (auto* modifier = effects->findModifierForParam (pageBlockId, valueParamId))
            binding->setModifierActive (modifier->getControllerId() != 0);

    // 12. Wheel steps.
    binding->wheelFineByDefault = (kind == B_INT || kind == B_BYP1 || kind == B_BYP2 || kind == B_BYP3) ? 0 : 1;

    if (auto* settings = getConfigurationForPage())
        binding->setAltState (isWheelReversed (*settings));

    // 13.
    component->setName (label);
    return binding;
}

int ParamControlUtilities::knobDragModeOf (const GlobalConfiguration& settings)
{
    return settings.KNOB_TRACKING == 2 ? 1 : 0;
}

bool ParamControlUtilities::isWheelReversed (const GlobalConfiguration& settings)
{
    return settings.MOUSE_SCROLLING == 2;
}

#include "model/KestrelEffectLayoutManager.h"

#include "model/IdTables.h"
#include "model/ParamNameTables.h"
#include "model/UnitIds.h"

namespace
{
constexpr int spacerType = 1;
constexpr int defaultLabelStyle = 2; // "labelBelowStd"
constexpr int highestSceneNumber = 8;

juce::StringArray splitAtCommas (const juce::String& text)
{
    juce::StringArray pieces;
    pieces.addTokens (text, ",", {});
    return pieces;
}
} // namespace

KestrelEffectLayoutManager::KestrelEffectLayoutManager() = default;
KestrelEffectLayoutManager::~KestrelEffectLayoutManager() = default;

int KestrelEffectLayoutManager::getEffectTypeOfBlock (int blockId) const
{
    return effectTypeOfBlock (blockId);
}

int KestrelEffectLayoutManager::getParamIdForName (int effectType, const juce::String& name) const
{
    if (! hasParamNameTable (effectType))
        return unnamedParameterId;

    return ::getParamIdForName (effectType, name);
}

std::unique_ptr<EditorControl> KestrelEffectLayoutManager::parseEditorControl (int effectType,
                                                                               const juce::XmlElement& element) const
{
    auto control = std::make_unique<EditorControl>();
    control->name = element.getStringAttribute ("name");

    control->type = getIdForName (EditorControlType, element.getStringAttribute ("type"));

    if (control->type == -1)
        return nullptr;

    // Sets a parameter field from an attribute that names a parameter; true
    // when it did. An absent name names no parameter, even for a type whose
    // every name resolves (see getParamIdForName).
    auto takeNamedParameter = [this, effectType] (const juce::String& name, bool& has, juce::uint16& id)
    {
        const auto found = name.isNotEmpty() ? getParamIdForName (effectType, name) : -1;

        if (found == -1)
            return false;

        has = true;
        id = (juce::uint16) found;
        return true;
    };

    if (control->type != spacerType)
    {
        takeNamedParameter (element.getStringAttribute ("parameterName"), control->hasParameter, control->parameterId);
        takeNamedParameter (element.getStringAttribute ("modifierName"), control->hasModifier,
                            control->modifierParameterId);

        const auto controllerName = element.getStringAttribute ("controllerName");
        takeNamedParameter (controllerName, control->hasParameter, control->parameterId);

        // The looper's transport buttons also drive the looper directly.
        if (effectType == EFFECT_LOOPER)
        {
            const auto controllerId = getIdForName (LooperControlParams, controllerName);

            if (controllerId != -1)
            {
                control->hasController = true;
                control->controllerId = (juce::uint16) controllerId;
            }
        }

        if (! control->hasParameter)
            return nullptr;
    }

    control->offsetX = element.getIntAttribute ("offsetX");
    control->offsetY = element.getIntAttribute ("offsetY");

    const auto position = element.getStringAttribute ("positionExact");

    if (position.isNotEmpty())
    {
        control->hasPosition = true;
        parseNumberPair (position, control->positionX, control->positionY);
    }

    const auto sceneText = element.getStringAttribute ("sceneNum");

    if (sceneText.isNotEmpty())
    {
        const auto scene = sceneText.getIntValue();

        if (scene >= 0 && scene <= highestSceneNumber)
        {
            control->hasScene = true;
            control->sceneNumber = (juce::uint16) scene;
        }
    }

    control->version.setFromAttributes (element.getStringAttribute ("version_gtet"),
                                        element.getStringAttribute ("version_lt"));

    const auto columnText = element.getStringAttribute ("col");

    if (columnText.isNotEmpty())
        control->column = columnText.getIntValue();

    if (takeNamedParameter (element.getStringAttribute ("controllingParamName"), control->hasControllingParameter,
                            control->controllingParameterId))
    {
        for (auto& piece : splitAtCommas (element.getStringAttribute ("controllingParamValue")))
            control->controllingValues.add ((juce::int32) (juce::uint16) piece.trim().getIntValue());

        control->controllingStringValues.addArray (
            splitAtCommas (element.getStringAttribute ("controllingParamStrValue")));
    }

    const auto lockText = element.getStringAttribute ("lock");

    if (lockText.isNotEmpty())
    {
        for (auto& piece : splitAtCommas (lockText))
        {
            const auto id = getParamIdForName (effectType, piece.trim());

            if (id != -1)
                control->lockParameterIds.add (id);
        }
    }

    const auto labelStyle = getIdForName (LabelStyle, element.getStringAttribute ("labelStyle"));
    control->labelStyle = labelStyle != -1 ? labelStyle : defaultLabelStyle;

    const auto widthText = element.getStringAttribute ("labelWidth");

    if (widthText.isNotEmpty())
        control->labelWidth = (juce::uint16) juce::jlimit (0, 0xFFFF, widthText.getIntValue());

    return control;
}

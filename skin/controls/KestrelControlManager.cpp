#include "skin/controls/KestrelControlManager.h"

#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"

void KestrelControlManager::loadFromSkin (const SkinManager* skinManager, const juce::XmlElement* skinRoot)
{
    ControlManager::loadFromSkin (skinManager, skinRoot);
    if (skinManager == nullptr || skinRoot == nullptr)
        return;
    auto* section = SkinAttributes::child (*skinRoot, sectionName);
    if (section == nullptr)
        return;

    for (auto* widget : SkinAttributes::children (*section, "Widget"))
    {
        auto name = widget->getStringAttribute ("name");
        if (name == "toggle")
            readToggleStyle (widget, toggleStyle);
        else if (name == "toggleSingleLine")
            readToggleStyle (widget, toggleSingleLineStyle);
        else if (name == "tristate_slider")
            readTrackSliderStyle (widget, triStateSliderStyle);
        else if (name == "bistate_slider")
            readTrackSliderStyle (widget, biStateSliderStyle);
    }
}

std::unique_ptr<DropDownLargeList> KestrelControlManager::createDropDownLargeList (int fieldSize, int extraButtonMode,
                                                                                   int labelPlacement,
                                                                                   juce::Component* owner,
                                                                                   const juce::String& labelText) const
{
    if (skin == nullptr)
        return nullptr;
    auto& style = getDropDownStyle();
    auto fontOf = [this] (const juce::String& name, float height)
    { return juce::Font (skin->getTypeface (name)).withHeight (height > 0.0f ? height : 12.0f); };
    auto labelFont = fontOf (style.labelFontName, style.labelFontHeight);
    auto fieldFont = fontOf (style.fieldFontName, style.fieldFontHeight);
    auto italicFont = fontOf (style.fieldItalicFontName, style.fieldFontHeight);

    auto dropDown = std::make_unique<DropDownLargeList> (style, &labelFont, &fieldFont, &italicFont);
    dropDown->setLabel (labelPlacement, labelText);
    dropDown->setExtraButton (extraButtonMode);
    dropDown->setHasModifier (extraButtonMode == 1);
    dropDown->fieldSize = fieldSize;
    dropDown->updateLayout();
    dropDown->owner = owner;
    return dropDown;
}

#include "skin/ControlManager.h"

#include "skin/SkinAttributes.h"
#include "skin/SkinManager.h"

namespace SA = SkinAttributes;

namespace
{
constexpr int limit = 100000;

void imageIfNamed (const SkinManager& skin, const juce::XmlElement& w, const char* name, juce::Image& target)
{
    if (SA::has (w, name))
        target = SA::image (skin, w, name);
}

int integer (const juce::XmlElement& w, const char* name)
{
    return SA::clampedInt (w, name, limit);
}
} // namespace

void ControlManager::loadFromSkin (const SkinManager* skinManager, const juce::XmlElement* skinRoot)
{
    skin = skinManager;
    if (skin == nullptr || skinRoot == nullptr)
        return;
    if (auto* section = skinRoot->getChildByName (sectionName))
        for (auto* widget : section->getChildWithTagNameIterator ("Widget"))
            if (widget->getStringAttribute ("name") == "DropDownMenu")
                readDropDownStyle (*widget);
}

void ControlManager::readDropDownStyle (const juce::XmlElement& w)
{
    if (skin == nullptr)
        return;
    auto& d = dropDownStyle;
    imageIfNamed (*skin, w, "buttonModifier", d.modifierNormal);
    imageIfNamed (*skin, w, "buttonModifierOver", d.modifierOver);
    imageIfNamed (*skin, w, "buttonModifierOn", d.modifierOn);
    imageIfNamed (*skin, w, "buttonAdd", d.plusNormal);
    imageIfNamed (*skin, w, "buttonAddOver", d.plusOver);
    imageIfNamed (*skin, w, "buttonAddOn", d.plusOn);
    imageIfNamed (*skin, w, "buttonUp", d.upNormal);
    imageIfNamed (*skin, w, "buttonUpOver", d.upOver);
    imageIfNamed (*skin, w, "buttonUpOn", d.upOn);
    imageIfNamed (*skin, w, "buttonDown", d.downNormal);
    imageIfNamed (*skin, w, "buttonDownOver", d.downOver);
    imageIfNamed (*skin, w, "buttonDownOn", d.downOn);
    imageIfNamed (*skin, w, "fieldBackgroundSmall", d.fieldSmall);
    imageIfNamed (*skin, w, "fieldBackground", d.fieldNormal);
    imageIfNamed (*skin, w, "fieldBackgroundLarge", d.fieldLarge);
    imageIfNamed (*skin, w, "fieldBackgroundHuge", d.fieldHuge);
    d.xOffsetBtnFromField = integer (w, "offsetXBtnsFromField");
    d.yOffsetField = integer (w, "yOffsetField");
    d.yOffsetLabel = integer (w, "yOffsetLabel");
    d.labelFontName = w.getStringAttribute ("labelFont");
    d.labelColour = SA::colour (w, "labelFontColor");
    d.labelFontHeight = SA::fontSize (w, "labelFontSize");
    d.labelAboveJustification = w.getIntAttribute ("labelAboveTextJustify") & 0x7f;
    d.labelBelowJustification = w.getIntAttribute ("labelBelowTextJustify") & 0x7f;
    d.labelBesideJustification = w.getIntAttribute ("labelLeftTextJustify") & 0x7f;
    d.fieldFontName = w.getStringAttribute ("fieldFont");
    d.fieldItalicFontName = w.getStringAttribute ("fieldFontItalic");
    d.fieldColour = SA::colour (w, "fieldFontColor");
    d.fieldFontHeight = SA::fontSize (w, "fieldFontSize");
    d.fieldJustification = w.getIntAttribute ("fieldTextJustify") & 0x7f;
}

void ControlManager::readToggleStyle (const juce::XmlElement* widget, ToggleStyle& s) const
{
    if (skin == nullptr || widget == nullptr)
        return;
    auto& w = *widget;
    s.controlWidth = integer (w, "controlWidth");
    s.controlHeight = integer (w, "controlHeight");
    imageIfNamed (*skin, w, "imageOn", s.imageOn);
    imageIfNamed (*skin, w, "imageOff", s.imageOff);
    s.imageRect = SA::rectangle (w, "imageRect");
    if (s.imageRect.getWidth() == 0)
        s.imageRect.setWidth (s.imageOn.getWidth());
    if (s.imageRect.getHeight() == 0)
        s.imageRect.setHeight (s.imageOn.getHeight());
    imageIfNamed (*skin, w, "imageModifierOn", s.imageModifierOn);
    imageIfNamed (*skin, w, "imageModifierOff", s.imageModifierOff);
    s.positionModX = integer (w, "positionModX");
    s.positionModY = integer (w, "positionModY");

    auto& first = s.labels[0];
    first.fontName = w.getStringAttribute ("labelFont");
    first.fontSize = SA::fontSize (w, "labelFontSize");
    first.normal = SA::colour (w, "labelFontColor");
    first.over = SA::colourOr (w, "labelFontColorOver", first.normal);
    first.down = SA::colourOr (w, "labelFontColorDown", first.normal);
    first.active = SA::colourOr (w, "labelFontColorActive", first.normal);
    first.rect = SA::rectangle (w, "labelTextRect1");
    first.justification = w.getIntAttribute ("labelTextJustify1") & 0x7f;
    s.labels[1].rect = SA::rectangle (w, "labelTextRect2");
    s.labels[1].justification = w.getIntAttribute ("labelTextJustify2") & 0x7f;

    for (auto [prefix, index] : { std::pair ("onLabel", 2), std::pair ("offLabel", 3) })
    {
        auto& label = s.labels[(size_t) index];
        juce::String p (prefix);
        label.rect = SA::rectangle (w, p + "Rect");
        label.justification = w.getIntAttribute (p + "Justify") & 0x7f;
        label.fontName = w.getStringAttribute (p + "Font");
        label.fontSize = SA::fontSize (w, p + "FontSize");
        label.normal = label.over = label.down = label.active = SA::colour (w, p + "FontColor");
        label.text = w.getStringAttribute (p + "Text");
    }
    s.hasFillColour = SA::has (w, "fillColor");
    if (s.hasFillColour)
        s.fillColour = SA::colour (w, "fillColor");
    s.loaded = true;
}

void ControlManager::readTrackSliderStyle (const juce::XmlElement* widget, TrackSliderStyle& s) const
{
    if (skin == nullptr || widget == nullptr)
        return;
    auto& w = *widget;
    s.controlWidth = integer (w, "controlWidth");
    s.controlHeight = integer (w, "controlHeight");
    s.orientation = w.getStringAttribute ("orientation");
    imageIfNamed (*skin, w, "background", s.background);
    imageIfNamed (*skin, w, "knob", s.knob);
    imageIfNamed (*skin, w, "knobModOn", s.knobModOn);
    imageIfNamed (*skin, w, "knobModOff", s.knobModOff);
    s.positionBackgroundX = integer (w, "positionBackgroundX");
    s.positionBackgroundY = integer (w, "positionBackgroundY");
    s.knobX = integer (w, "knobX");
    s.knobY = integer (w, "knobY");
    s.knobMinPosition = integer (w, "knobMinPosition");
    s.knobMaxPosition = integer (w, "knobMaxPosition");
    s.knobCenter = SA::rectangle (w, "knobCenter").getPosition();
    s.trackMinPosition = integer (w, "trackMinPosition");
    s.trackMaxPosition = integer (w, "trackMaxPosition");

    s.hasLabel = SA::has (w, "labelFont");
    if (s.hasLabel)
    {
        s.labelFontName = w.getStringAttribute ("labelFont");
        s.labelColour = SA::colour (w, "labelFontColor");
        s.labelFontSize = SA::fontSize (w, "labelFontSize");
        s.labelTextRect = SA::rectangle (w, "labelTextRect");
        s.labelJustification = w.getIntAttribute ("labelTextJustify") & 0x7f;
    }
    s.hasSublabel = SA::has (w, "sublabelFont");
    if (s.hasSublabel)
    {
        s.sublabelFontName = w.getStringAttribute ("sublabelFont");
        s.sublabelColour = SA::colour (w, "sublabelFontColor");
        s.sublabelOverColour = SA::colour (w, "sublabelFontColorOver");
        s.sublabelFontSize = SA::fontSize (w, "sublabelFontSize");
        s.sublabelTextRect = SA::rectangle (w, "sublabelTextRect");
        s.sublabelJustification = w.getIntAttribute ("sublabelTextJustify") & 0x7f;
    }
    s.sublabelOffset = integer (w, "sublabelOffset");
    s.loaded = true;
}

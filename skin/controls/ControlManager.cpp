#include "skin/controls/ControlManager.h"

#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/knobs/TriStateSlider.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/knobs/ZOLSliderComponent.h"
#include "skin/widgets/ZOLToggleButton.h"

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

// A rectangle whose missing width and height come from an image.
juce::Rectangle<int> sizedFrom (juce::Rectangle<int> rect, const juce::Image& image)
{
    if (rect.getWidth() == 0)
        rect.setWidth (image.isValid() ? image.getWidth() : 0);

    if (rect.getHeight() == 0)
        rect.setHeight (image.isValid() ? image.getHeight() : 0);

    return rect;
}

bool hasText (const juce::XmlElement& w, const char* name)
{
    return w.getStringAttribute (name).isNotEmpty();
}

// The label most control styles have: font, colour, size, area and justification.
template <typename Style>
void readLabel (const juce::XmlElement& w, Style& s)
{
    s.labelFontName = w.getStringAttribute ("labelFont");
    s.labelColour = SA::colour (w, "labelFontColor");
    s.labelFontSize = SA::fontSize (w, "labelFontSize");
    s.labelTextRect = SA::rectangle (w, "labelTextRect");
    s.labelJustification = SA::justification (w, "labelTextJustify").getFlags();
}

// The value field of knobs and sliders: background, place, font, colours, area and justification.
template <typename Style>
void readField (const SkinManager& skin, const juce::XmlElement& w, Style& s)
{
    imageIfNamed (skin, w, "fieldBackground", s.fieldBackground);
    s.fieldX = integer (w, "fieldPositionX");
    s.fieldY = integer (w, "fieldPositionY");
    s.fieldWidth = integer (w, "fieldWidth");
    s.fieldHeight = integer (w, "fieldHeight");
    s.fieldFontName = w.getStringAttribute ("fieldFont");
    s.fieldColour = SA::colour (w, "fieldFontColor");
    s.fieldColourOver = SA::colourOr (w, "fieldFontColorOver", s.fieldColour);
    s.fieldFontSize = SA::fontSize (w, "fieldFontSize");
    s.fieldTextRect = SA::rectangle (w, "fieldTextRect");
    s.fieldJustification = SA::justification (w, "fieldTextJustify").getFlags();
}
} // namespace

void ControlManager::loadFromSkin (const SkinManager* skinManager, const juce::XmlElement* skinRoot)
{
    skin = skinManager;
    if (skin == nullptr || skinRoot == nullptr)
        return;
    if (auto* section = SkinAttributes::child (*skinRoot, sectionName))
        for (auto* widget : SkinAttributes::children (*section, "Widget"))
        {
            const auto name = widget->getStringAttribute ("name");

            if (name == "DropDownMenu")
                readDropDownStyle (*widget);
            else if (name == "knob")
                readKnobStyle (*widget);
            else if (name == "slider")
                readSliderStyle (*widget);
            else if (name == "pushButton")
                readPushButtonStyle (*widget);
            else if (name == "tab")
                readTabStyle (*widget);
            else if (name == "meter")
                readMeterStyle (*widget);
            else if (name == "label")
                readLabelStyle (*widget);
            else if (name == "sequencer_slider")
                readSequencerSliderStyle (*widget);
            else if (name == "sequencer_readout")
                readSequencerReadoutStyle (*widget);
        }
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
    d.labelAboveJustification = SA::justification (w, "labelAboveTextJustify").getFlags();
    d.labelBelowJustification = SA::justification (w, "labelBelowTextJustify").getFlags();
    d.labelBesideJustification = SA::justification (w, "labelLeftTextJustify").getFlags();
    d.fieldFontName = w.getStringAttribute ("fieldFont");
    d.fieldItalicFontName = w.getStringAttribute ("fieldFontItalic");
    d.fieldColour = SA::colour (w, "fieldFontColor");
    d.fieldFontHeight = SA::fontSize (w, "fieldFontSize");
    d.fieldJustification = SA::justification (w, "fieldTextJustify").getFlags();
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
    first.justification = SA::justification (w, "labelTextJustify1").getFlags();
    s.labels[1].rect = SA::rectangle (w, "labelTextRect2");
    s.labels[1].justification = SA::justification (w, "labelTextJustify2").getFlags();

    for (auto [prefix, index] : { std::pair ("onLabel", 2), std::pair ("offLabel", 3) })
    {
        auto& label = s.labels[(size_t) index];
        juce::String p (prefix);
        label.rect = SA::rectangle (w, p + "Rect");
        label.justification = SA::justification (w, p + "Justify").getFlags();
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
        readLabel (w, s);
    s.hasSublabel = SA::has (w, "sublabelFont");
    if (s.hasSublabel)
    {
        s.sublabelFontName = w.getStringAttribute ("sublabelFont");
        s.sublabelColour = SA::colour (w, "sublabelFontColor");
        s.sublabelOverColour = SA::colour (w, "sublabelFontColorOver");
        s.sublabelFontSize = SA::fontSize (w, "sublabelFontSize");
        s.sublabelTextRect = SA::rectangle (w, "sublabelTextRect");
        s.sublabelJustification = SA::justification (w, "sublabelTextJustify").getFlags();
    }
    s.sublabelOffset = integer (w, "sublabelOffset");
    s.loaded = true;
}

void ControlManager::readKnobStyle (const juce::XmlElement& w)
{
    if (skin == nullptr)
        return;

    auto& k = knobStyle;
    k.controlWidth = integer (w, "controlWidth");
    k.controlHeight = integer (w, "controlHeight");

    imageIfNamed (*skin, w, "background", k.background);
    if (hasText (w, "backgroundRect"))
        k.backgroundRect = sizedFrom (SA::rectangle (w, "backgroundRect"), k.background);

    imageIfNamed (*skin, w, "knobBase", k.knobBase);
    k.knobBaseRect = sizedFrom (SA::rectangle (w, "knobBaseRect"), k.knobBase);
    imageIfNamed (*skin, w, "knobTop", k.knobTop);
    k.knobTopRect = sizedFrom (SA::rectangle (w, "knobTopRect"), k.knobTop);

    imageIfNamed (*skin, w, "backgroundModifierOn", k.backgroundModifierOn);
    imageIfNamed (*skin, w, "backgroundModifier", k.backgroundModifier);
    imageIfNamed (*skin, w, "knobTopModifier", k.knobTopModifier);
    k.modifierRect = sizedFrom (SA::rectangle (w, "modifierRect"), k.backgroundModifierOn);

    imageIfNamed (*skin, w, "globalMixImageUp", k.globalMixUp);
    imageIfNamed (*skin, w, "globalMixImageDown", k.globalMixDown);
    imageIfNamed (*skin, w, "globalMixImageOver", k.globalMixOver);
    k.globalMixRect = sizedFrom (SA::rectangle (w, "globalMixRect"), k.globalMixUp);

    readLabel (w, k);
    readField (*skin, w, k);
    k.fieldMinHorzScaling = (float) w.getDoubleAttribute ("fieldMinHorzScaling");

    k.loaded = true;
}

std::unique_ptr<ZOLRotaryKnob> ControlManager::createKnob (const juce::String& labelText, bool modifierAssignable,
                                                           bool globalMix, juce::uint16 globalMixParamId) const
{
    const auto& k = knobStyle;

    if (skin == nullptr || ! k.loaded)
        return nullptr;

    auto knob = std::make_unique<ZOLRotaryKnob> (juce::Rectangle<int> (0, 0, k.controlWidth, k.controlHeight),
                                                 k.knobBase, k.knobBaseRect, k.knobTop, k.knobTopRect);
    knob->backgroundImage = k.background;
    knob->backgroundRect = k.backgroundRect;

    if (modifierAssignable)
    {
        knob->modifierOnImage = k.backgroundModifierOn;
        knob->modifierImage = k.backgroundModifier;
        knob->topModifierImage = k.knobTopModifier;
        knob->modifierRect = k.modifierRect;
    }

    knob->setHasModifier (modifierAssignable);

    knob->setLabelStyle (k.labelTextRect, juce::Justification (k.labelJustification),
                         skin->getTypeface (k.labelFontName), k.labelColour, k.labelFontSize);
    knob->attachReadout (juce::Rectangle<int> (k.fieldX, k.fieldY, k.fieldWidth, k.fieldHeight), k.fieldBackground,
                         skin->getTypeface (k.fieldFontName), k.fieldFontSize, k.fieldColour,
                         juce::Justification (k.fieldJustification), k.fieldTextRect, k.fieldMinHorzScaling);

    if (knob->getLabelText() != labelText)
        knob->setLabelText (labelText);

    if (globalMix)
    {
        knob->globalMixParamId = globalMixParamId;
        knob->createGlobalMixButton (k.globalMixUp, k.globalMixDown, k.globalMixOver, k.globalMixRect);
    }

    knob->setWantsKeyboardFocus (true);
    return knob;
}

void ControlManager::readSliderStyle (const juce::XmlElement& w)
{
    if (skin == nullptr)
        return;

    auto& s = sliderStyle;
    s.controlWidth = integer (w, "controlWidth");
    s.controlHeight = integer (w, "controlHeight");
    s.controlWidthNoUnits = integer (w, "controlWidthNoUnits");
    s.controlHeightNoUnits = integer (w, "controlHeightNoUnits");
    const auto orientation = w.getStringAttribute ("orientation");
    s.vertical = orientation.isEmpty() || orientation.equalsIgnoreCase ("v");
    imageIfNamed (*skin, w, "background", s.background);
    imageIfNamed (*skin, w, "backgroundModifierOn", s.backgroundModifierOn);
    imageIfNamed (*skin, w, "backgroundModifier", s.backgroundModifier);
    imageIfNamed (*skin, w, "knob", s.knob);
    s.positionBackgroundX = integer (w, "positionBackgroundX");
    s.positionBackgroundY = integer (w, "positionBackgroundY");
    s.knobX = integer (w, "knobX");
    s.knobY = integer (w, "knobY");
    s.knobMinPosition = integer (w, "knobMinPosition");
    s.knobMaxPosition = integer (w, "knobMaxPosition");
    readLabel (w, s);
    readField (*skin, w, s);
    s.loaded = true;
}

void ControlManager::readPushButtonStyle (const juce::XmlElement& w)
{
    if (skin == nullptr)
        return;

    auto& p = pushButtonStyle;
    p.controlWidth = integer (w, "controlWidth");
    p.controlHeight = integer (w, "controlHeight");
    imageIfNamed (*skin, w, "imageOn", p.imageOn);
    imageIfNamed (*skin, w, "imageOff", p.imageOff);
    p.positionBtnX = integer (w, "positionBtnX");
    p.positionBtnY = integer (w, "positionBtnY");
    imageIfNamed (*skin, w, "imageModifierOn", p.imageModifierOn);
    imageIfNamed (*skin, w, "imageModifierOff", p.imageModifierOff);
    p.positionModX = integer (w, "positionModX");
    p.positionModY = integer (w, "positionModY");
    readLabel (w, p);
    p.loaded = true;
}

std::unique_ptr<ZOLSliderComponent> ControlManager::createSlider (const juce::String& labelText,
                                                                  bool modifierAssignable) const
{
    const auto& s = sliderStyle;

    if (skin == nullptr || ! s.loaded)
        return nullptr;

    auto slider = std::make_unique<ZOLSliderComponent> (
        juce::Rectangle<int> (0, 0, s.controlWidth, s.controlHeight),
        juce::Rectangle<int> (0, 0, s.controlWidthNoUnits, s.controlHeightNoUnits), s.positionBackgroundX,
        s.positionBackgroundY, s.knobX, s.knobY, s.knobMinPosition, s.knobMaxPosition, juce::String(), s.vertical,
        s.background, s.knob, s.knob);

    if (modifierAssignable)
    {
        slider->modifierOnImage = s.backgroundModifierOn;
        slider->modifierImage = s.backgroundModifier;
    }

    slider->setHasModifier (modifierAssignable);

    if (s.labelFontSize != 0.0f)
    {
        slider->setLabelStyle (s.labelTextRect, juce::Justification (s.labelJustification),
                               skin->getTypeface (s.labelFontName), s.labelColour, s.labelFontSize);
        slider->setLabelText (labelText);
    }

    if (s.fieldFontSize != 0.0f)
        slider->attachReadout (juce::Rectangle<int> (s.fieldX, s.fieldY, s.fieldWidth, s.fieldHeight),
                               s.fieldBackground, skin->getTypeface (s.fieldFontName), s.fieldFontSize, s.fieldColour,
                               juce::Justification (s.fieldJustification), s.fieldTextRect, 1.0f);

    slider->setWantsKeyboardFocus (true);
    return slider;
}

std::unique_ptr<ZOLToggleButton> ControlManager::createPushButton (bool modifierAssignable,
                                                                   const juce::String& labelText) const
{
    const auto& p = pushButtonStyle;

    if (skin == nullptr || ! p.loaded)
        return nullptr;

    auto button = std::make_unique<ZOLToggleButton> (juce::Rectangle<int> (0, 0, p.controlWidth, p.controlHeight),
                                                     p.positionBtnX, p.positionBtnY, p.imageOff, p.imageOn);
    const juce::Font font (skin->getTypeface (p.labelFontName));
    button->setLabel (p.labelTextRect, juce::Justification (p.labelJustification), &font, p.labelColour,
                      p.labelFontSize, labelText);

    if (modifierAssignable)
        button->setModifierImages (p.positionModX, p.positionModY, p.imageModifierOn, p.imageModifierOff);

    button->setHasModifier (modifierAssignable);

    button->setWantsKeyboardFocus (true);
    return button;
}

std::unique_ptr<ZOLToggleButton> ControlManager::createToggle (bool modifierAssignable, const juce::String& labelText,
                                                               const ToggleStyle& t) const
{
    if (skin == nullptr || ! t.loaded)
        return nullptr;

    auto toggle = std::make_unique<ZOLToggleButton> (juce::Rectangle<int> (0, 0, t.controlWidth, t.controlHeight),
                                                     t.imageOff, t.imageOn, t.imageRect);
    auto fontOf = [this] (const ToggleStyle::Label& l) { return juce::Font (skin->getTypeface (l.fontName)); };
    auto usable = [] (const juce::Rectangle<int>& r) { return r.getWidth() > 0 && r.getHeight() > 0; };

    const auto& first = t.labels[0];
    const auto firstFont = fontOf (first);
    toggle->setLabel (first.rect, juce::Justification (first.justification), &firstFont, first.normal, first.fontSize,
                      labelText);
    toggle->setLabelColours (first.normal, first.over, first.down, first.active);

    if (usable (t.labels[1].rect))
        toggle->setSecondLabelPlace (t.labels[1].rect, juce::Justification (t.labels[1].justification));

    if (usable (t.labels[2].rect))
    {
        const auto& on = t.labels[2];
        const auto onFont = fontOf (on);
        toggle->setOnLabel (on.rect, juce::Justification (on.justification), &onFont, on.normal, on.fontSize, on.text);
    }

    if (usable (t.labels[3].rect))
    {
        const auto& off = t.labels[3];
        const auto offFont = fontOf (off);
        toggle->setOffLabel (off.rect, juce::Justification (off.justification), &offFont, off.normal, off.fontSize,
                             off.text);
    }

    if (t.hasFillColour)
    {
        toggle->fillBackground = true;
        toggle->backgroundColour = t.fillColour;
    }

    if (modifierAssignable)
        toggle->setModifierImages (t.positionModX, t.positionModY, t.imageModifierOn, t.imageModifierOff);

    toggle->setHasModifier (modifierAssignable);

    toggle->setWantsKeyboardFocus (true);
    return toggle;
}

std::unique_ptr<TriStateSlider> ControlManager::createTrackSlider (const TrackSliderStyle& s,
                                                                   const juce::String& labelText,
                                                                   bool modifierAssignable, int positions) const
{
    if (skin == nullptr || ! s.loaded)
        return nullptr;

    const bool vertical = s.orientation.isEmpty() || s.orientation.equalsIgnoreCase ("v");
    auto slider = std::make_unique<TriStateSlider> (
        juce::Rectangle<int> (0, 0, s.controlWidth, s.controlHeight), s.positionBackgroundX, s.positionBackgroundY,
        s.knobX, s.knobY, s.knobMinPosition, s.knobMaxPosition, juce::String(), vertical, s.background, s.knob);

    if (modifierAssignable)
    {
        slider->modifierOnThumb = s.knobModOn;
        slider->modifierOffThumb = s.knobModOff;
    }

    slider->setHasModifier (modifierAssignable);

    if (s.hasLabel)
    {
        slider->setLabelStyle (s.labelTextRect, juce::Justification (s.labelJustification),
                               skin->getTypeface (s.labelFontName), s.labelColour, s.labelFontSize);
        slider->setLabelText (labelText);
    }

    if (s.hasSublabel)
    {
        const juce::Font font (skin->getTypeface (s.sublabelFontName));

        for (int i = 0; i < juce::jmin (positions, TriStateSlider::maxPositions); ++i)
            slider->createPositionLabel (i, s.sublabelTextRect.translated (0, s.sublabelOffset * i), font,
                                         s.sublabelFontSize, s.sublabelColour, s.sublabelOverColour,
                                         juce::Justification (s.sublabelJustification));
    }

    slider->setWantsKeyboardFocus (true);
    return slider;
}

void ControlManager::readTabStyle (const juce::XmlElement& w)
{
    if (skin == nullptr)
        return;

    auto& t = tabStyle;
    t.controlWidth = integer (w, "controlWidth");
    t.controlHeight = integer (w, "controlHeight");
    t.maxButtonCount = juce::jlimit (0, 64, integer (w, "maxButtonCount"));
    t.tabPositionX = integer (w, "tabPositionX");
    t.tabPositionY = integer (w, "tabPositionY");
    t.imageRect = SA::rectangle (w, "imageRect");

    if (t.imageRect.getWidth() == 0)
        t.imageRect.setWidth (t.controlWidth);

    if (t.imageRect.getHeight() == 0)
        t.imageRect.setHeight (t.controlHeight);

    t.tabSpacingX = integer (w, "tabSpacingX");
    t.tabSpacingY = integer (w, "tabSpacingY");

    if (SA::has (w, "imageUp"))
    {
        t.imageUp = SA::image (*skin, w, "imageUp");

        if (t.controlWidth == 0 && t.imageUp.isValid())
            t.controlWidth = t.imageUp.getWidth();

        if (t.controlHeight == 0 && t.imageUp.isValid())
            t.controlHeight = t.imageUp.getHeight();
    }

    imageIfNamed (*skin, w, "imageDown", t.imageDown);
    readLabel (w, t);
    t.labelColourOver = SA::colour (w, "labelFontColorOver");
    t.labelColourDown = SA::colour (w, "labelFontColorDown");
    t.labelColourActive = SA::colour (w, "labelFontColorActive");
    t.loaded = true;
}

std::unique_ptr<ZOLToggleButton> ControlManager::createTab (int index, const juce::String& labelText) const
{
    const auto& t = tabStyle;

    if (skin == nullptr || ! t.loaded)
        return nullptr;

    auto tab = std::make_unique<ZOLToggleButton> (juce::Rectangle<int> (0, 0, t.controlWidth, t.controlHeight),
                                                  t.imageUp, t.imageDown, t.imageRect);
    const juce::Font font (skin->getTypeface (t.labelFontName));
    tab->setLabel (t.labelTextRect, juce::Justification (t.labelJustification), &font, t.labelColour, t.labelFontSize,
                   labelText);
    tab->setLabelColours (t.labelColour, t.labelColourOver, t.labelColourDown, t.labelColourActive);
    tab->setTopLeftPosition (t.tabPositionX + index * t.tabSpacingX, t.tabPositionY + index * t.tabSpacingY);
    tab->setWantsKeyboardFocus (true);
    return tab;
}

// The templates of the display kinds (meter, label, sequencer step and its
// readout) and of the buttons that other panes style from their own sections
// (painted and on/off buttons).

#include "skin/controls/ControlManager.h"

#include "skin/knobs/BrakFxReadout.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/knobs/ZOLMeterComponent.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/knobs/ZOLSliderComponent.h"
#include "skin/widgets/ZOLToggleButton.h"

#include <cmath>

namespace SA = SkinAttributes;

namespace
{
constexpr int limit = 100000;

int integer (const juce::XmlElement& w, const char* name)
{
    return SA::clampedInt (w, name, limit);
}

void imageIfNamed (const SkinManager& skin, const juce::XmlElement& w, const char* name, juce::Image& target)
{
    if (SA::has (w, name))
        target = SA::image (skin, w, name);
}

juce::Font fontOf (const SkinManager& skin, const juce::String& name)
{
    if (auto typeface = skin.getTypeface (name))
        return juce::Font (typeface);

    return {};
}
} // namespace

void ControlManager::readMeterStyle (const juce::XmlElement& w)
{
    if (skin == nullptr)
        return;

    auto& m = meterStyle;
    m.controlWidth = integer (w, "controlWidth");
    m.controlHeight = integer (w, "controlHeight");
    imageIfNamed (*skin, w, "imageOff", m.imageOff);
    imageIfNamed (*skin, w, "imageOn", m.imageOn);
    m.imagePositionX = integer (w, "imagePositionX");
    m.imagePositionY = integer (w, "imagePositionY");
    m.vertical = SkinWidgetReaders::flag (w, "vertical");
    m.direction = w.getIntAttribute ("direction");
    m.imageWidth = integer (w, "imageWidth");
    m.imageHeight = integer (w, "imageHeight");

    if (SA::has (w, "labelTextRect"))
        m.labelTextRect = SA::rectangle (w, "labelTextRect");

    m.labelFontName = w.getStringAttribute ("labelFont");
    m.labelColour = SA::colour (w, "labelFontColor");
    m.labelFontSize = SA::fontSize (w, "labelFontSize");
    m.labelJustification = SA::justification (w, "labelTextJustify").getFlags();
    imageIfNamed (*skin, w, "fieldBackground", m.fieldBackground);
    m.fieldX = integer (w, "fieldPositionX");
    m.fieldY = integer (w, "fieldPositionY");

    if (SA::has (w, "fieldTextRect"))
        m.fieldTextRect = SA::rectangle (w, "fieldTextRect");

    m.fieldFontName = w.getStringAttribute ("fieldFont");
    m.fieldColour = SA::colour (w, "fieldFontColor");
    m.fieldFontSize = SA::fontSize (w, "fieldFontSize");
    m.fieldJustification = SA::justification (w, "fieldTextJustify").getFlags();

    if (SA::has (w, "unitTextRect"))
        m.unitTextRect = SA::rectangle (w, "unitTextRect");

    m.unitFontName = w.getStringAttribute ("unitFont");
    m.unitColour = SA::colour (w, "unitFontColor");
    m.unitFontSize = SA::fontSize (w, "unitFontSize");
    m.loaded = true;
}

std::unique_ptr<ZOLMeterComponent> ControlManager::createMeter (const juce::String& labelText) const
{
    const auto& m = meterStyle;

    if (skin == nullptr || ! m.loaded)
        return nullptr;

    auto meter = std::make_unique<ZOLMeterComponent> (juce::Rectangle<int> (0, 0, m.controlWidth, m.controlHeight),
                                                      m.imagePositionX, m.imagePositionY, m.imageOn, m.imageOff,
                                                      m.vertical);
    meter->fillDirection = (m.direction >= 1 && m.direction <= 3) ? m.direction : 0;

    if (! m.labelTextRect.isEmpty())
    {
        meter->setLabelStyle (m.labelTextRect, juce::Justification (m.labelJustification),
                              skin->getTypeface (m.labelFontName), m.labelColour, m.labelFontSize);
        meter->setLabelText (labelText);
    }

    meter->setWantsKeyboardFocus (true);
    return meter;
}

void ControlManager::readLabelStyle (const juce::XmlElement& w)
{
    auto& l = labelStyle;
    l.positionX = integer (w, "positionX");
    l.positionY = integer (w, "positionY");
    l.width = integer (w, "width");
    l.height = integer (w, "height");
    l.labelFontName = w.getStringAttribute ("labelFont");
    l.labelColour = SA::colour (w, "labelFontColor");
    l.labelFontSize = SA::fontSize (w, "labelFontSize");
    l.labelJustification = SA::justification (w, "labelTextJustify").getFlags();
    l.minHorzScale = (float) w.getDoubleAttribute ("minHorzScale");

    if (skin != nullptr && SA::has (w, "background"))
        l.background = SA::image (*skin, w, "background");

    if (SA::has (w, "backgroundBounds"))
        l.backgroundBounds = SA::rectangle (w, "backgroundBounds");

    if (SA::has (w, "backgroundColor"))
    {
        l.backgroundColour = SA::colour (w, "backgroundColor");
        l.hasBackgroundColour = true;
    }

    if (SA::has (w, "groupLinesColor"))
    {
        l.groupLinesColour = SA::colour (w, "groupLinesColor");
        l.groupLinesPointUp = SkinWidgetReaders::flag (w, "groupLinesPointUp");
        l.groupLinesWidth = (float) w.getDoubleAttribute ("groupLinesWidth");
        l.hasGroupLines = true;
    }

    l.loaded = true;
}

std::unique_ptr<ZOLLabelComponent> ControlManager::createLabel (const juce::String& labelText) const
{
    const auto& l = labelStyle;

    if (skin == nullptr || ! l.loaded)
        return nullptr;

    const auto font = fontOf (*skin, l.labelFontName).withHeight (juce::jmax (1.0f, l.labelFontSize));
    int width = l.width, height = l.height;

    if (width == 0)
        width = l.background.isValid() ? l.background.getWidth()
                                       : juce::roundToInt (font.getStringWidthFloat (labelText)) + 4;

    if (height == 0)
        height = l.background.isValid() ? l.background.getHeight() : juce::roundToInt (l.labelFontSize) + 4;

    auto label = std::make_unique<ZOLLabelComponent> (l.positionX, l.positionY, width, height, font, l.labelFontSize,
                                                      l.labelColour, juce::Justification (l.labelJustification));
    label->setText (labelText, juce::dontSendNotification);
    label->setMinimumHorizontalScale (l.minHorzScale);

    if (l.background.isValid())
        label->setBackgroundImage (l.background, l.backgroundBounds);

    if (l.hasBackgroundColour)
        label->setColour (juce::Label::backgroundColourId, l.backgroundColour);

    if (l.hasGroupLines)
    {
        label->sideLines = true;
        label->ticksUp = l.groupLinesPointUp;
        label->sideLineColour = l.groupLinesColour;
    }

    label->setWantsKeyboardFocus (true);
    return label;
}

void ControlManager::readSequencerSliderStyle (const juce::XmlElement& w)
{
    if (skin == nullptr)
        return;

    auto& s = sequencerSliderStyle;
    s.controlWidth = integer (w, "controlWidth");
    s.controlHeight = integer (w, "controlHeight");
    imageIfNamed (*skin, w, "background", s.background);
    imageIfNamed (*skin, w, "sliderBtn", s.sliderButton);
    s.positionBackgroundX = integer (w, "positionBackgroundX");
    s.positionBackgroundY = integer (w, "positionBackgroundY");
    s.knobX = integer (w, "knobX");
    s.knobY = integer (w, "knobY");
    s.knobMinPosition = integer (w, "knobMinPosition");
    s.knobMaxPosition = integer (w, "knobMaxPosition");
    s.labelFontName = w.getStringAttribute ("labelFont");
    s.labelColour = SA::colour (w, "labelFontColor");
    s.labelFontSize = SA::fontSize (w, "labelFontSize");
    s.labelTextRect = SA::rectangle (w, "labelTextRect");
    s.labelJustification = SA::justification (w, "labelTextJustify").getFlags();
    s.loaded = true;
}

std::unique_ptr<ZOLSliderComponent> ControlManager::createSequencerSlider (const juce::String& labelText) const
{
    const auto& s = sequencerSliderStyle;

    if (skin == nullptr || ! s.loaded)
        return nullptr;

    const juce::Rectangle<int> bounds (0, 0, s.controlWidth, s.controlHeight);
    auto slider = std::make_unique<ZOLSliderComponent> (bounds, bounds, s.positionBackgroundX, s.positionBackgroundY,
                                                        s.knobX, s.knobY, s.knobMinPosition, s.knobMaxPosition,
                                                        juce::String(), true, s.background, s.sliderButton,
                                                        s.sliderButton);
    slider->setLabelStyle (s.labelTextRect, juce::Justification (s.labelJustification),
                           skin->getTypeface (s.labelFontName), s.labelColour, s.labelFontSize);
    slider->setLabelText (labelText);
    slider->setWantsKeyboardFocus (true);
    return slider;
}

void ControlManager::readSequencerReadoutStyle (const juce::XmlElement& w)
{
    if (skin == nullptr)
        return;

    auto& r = sequencerReadoutStyle;
    imageIfNamed (*skin, w, "background", r.background);
    r.fieldFontName = w.getStringAttribute ("fieldFont");
    r.fieldColour = SA::colour (w, "fieldFontColor");
    r.fieldFontSize = SA::fontSize (w, "fieldFontSize");
    r.fieldTextRect = SA::rectangle (w, "fieldTextRect");
    r.fieldJustification = SA::justification (w, "fieldTextJustify").getFlags();
    r.loaded = true;
}

std::unique_ptr<BrakFxReadout> ControlManager::createSequencerReadout() const
{
    const auto& r = sequencerReadoutStyle;

    if (skin == nullptr || ! r.loaded)
        return nullptr;

    const int width = r.background.isValid() ? r.background.getWidth() : 0;
    const int height = r.background.isValid() ? r.background.getHeight() : 0;
    auto readout = std::make_unique<BrakFxReadout> (0, 0, width, height, juce::String(), r.background,
                                                    skin->getTypeface (r.fieldFontName), r.fieldFontSize,
                                                    r.fieldColour, juce::Justification (r.fieldJustification),
                                                    r.fieldTextRect);
    readout->setEditorInputRestrictions (BrakFxReadout::maxEntryLength, BrakFxReadout::numberCharacters);
    readout->setWantsKeyboardFocus (true);
    return readout;
}

void ControlManager::readPaintedButtonStyle (const juce::XmlElement* widget, PaintedButtonStyle& p) const
{
    p = PaintedButtonStyle();

    if (widget == nullptr || skin == nullptr)
        return;

    SkinWidgetReaders::readPaintedButtonStyle (*skin, *widget, p);
    p.loaded = true;
}

std::unique_ptr<ZOLPaintedButton> ControlManager::createPaintedButton (const PaintedButtonStyle& p) const
{
    if (! p.loaded)
        return nullptr;

    auto button = SkinWidgetReaders::makePaintedButton (p);
    button->setWantsKeyboardFocus (true);
    return button;
}

void ControlManager::readOnOffButtonStyle (const juce::XmlElement* widget, OnOffButtonStyle& o) const
{
    if (widget == nullptr || skin == nullptr)
        return;

    const auto& w = *widget;
    o.controlWidth = integer (w, "controlWidth");
    o.controlHeight = integer (w, "controlHeight");
    imageIfNamed (*skin, w, "imageOn", o.imageOn);
    imageIfNamed (*skin, w, "imageOff", o.imageOff);
    o.positionBtnX = integer (w, "positionBtnX");
    o.positionBtnY = integer (w, "positionBtnY");
    o.labelFontName = w.getStringAttribute ("labelFont");
    o.labelColour = SA::colour (w, "labelFontColor");
    o.labelFontSize = SA::fontSize (w, "labelFontSize");

    if (SA::has (w, "labelTextRectOff"))
        o.off.rect = SA::rectangle (w, "labelTextRectOff");

    o.off.justification = SA::justification (w, "labelTextJustifyOff").getFlags();
    o.off.text = w.getStringAttribute ("labelOff");

    if (SA::has (w, "labelTextRectOn"))
        o.on.rect = SA::rectangle (w, "labelTextRectOn");

    o.on.justification = SA::justification (w, "labelTextJustifyOn").getFlags();
    o.on.text = w.getStringAttribute ("labelOn");
    o.loaded = true;
}

std::unique_ptr<ZOLToggleButton> ControlManager::createOnOffButton (const OnOffButtonStyle& o) const
{
    if (skin == nullptr || ! o.loaded)
        return nullptr;

    auto button = std::make_unique<ZOLToggleButton> (juce::Rectangle<int> (0, 0, o.controlWidth, o.controlHeight),
                                                     o.positionBtnX, o.positionBtnY, o.imageOff, o.imageOn);
    const auto font = fontOf (*skin, o.labelFontName);
    button->setOffLabel (o.off.rect, juce::Justification (o.off.justification), &font, o.labelColour,
                         o.labelFontSize, o.off.text);
    button->setOnLabel (o.on.rect, juce::Justification (o.on.justification), &font, o.labelColour, o.labelFontSize,
                        o.on.text);
    button->setWantsKeyboardFocus (true);
    return button;
}

#pragma once

#include "skin/engine/ControlStyles.h"
#include "skin/engine/DropDownStyle.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class BrakFxReadout;
class SkinManager;
class TriStateSlider;
class ZOLLabelComponent;
class ZOLMeterComponent;
class ZOLPaintedButton;
class ZOLRotaryKnob;
class ZOLSliderComponent;
class ZOLToggleButton;

// The control templates: one style record per control kind, read from the
// skin's "GenericControls" section, from which the effect pages' widgets
// are made so that the skin alone decides their look.
class ControlManager
{
public:
    ControlManager() = default;
    virtual ~ControlManager() = default;

    // Keeps the skin and reads the section of the document's root; without
    // a skin, root or section nothing is read.
    virtual void loadFromSkin (const SkinManager* skin, const juce::XmlElement* skinRoot);

    // Read one Widget element into a record and mark it loaded; nothing
    // without a skin or an element.
    void readToggleStyle (const juce::XmlElement* widget, ToggleStyle& style) const;
    void readTrackSliderStyle (const juce::XmlElement* widget, TrackSliderStyle& style) const;
    void readDropDownStyle (const juce::XmlElement& widget);
    void readKnobStyle (const juce::XmlElement& widget);
    void readSliderStyle (const juce::XmlElement& widget);
    void readPushButtonStyle (const juce::XmlElement& widget);
    void readTabStyle (const juce::XmlElement& widget);
    void readMeterStyle (const juce::XmlElement& widget);
    void readLabelStyle (const juce::XmlElement& widget);
    void readSequencerSliderStyle (const juce::XmlElement& widget);
    void readSequencerReadoutStyle (const juce::XmlElement& widget);

    // Styles of other sections' Widgets, held by the caller. The painted
    // button's record is reset first (even without an element or skin); the
    // on/off button's is left alone then.
    void readPaintedButtonStyle (const juce::XmlElement* widget, PaintedButtonStyle& style) const;
    void readOnOffButtonStyle (const juce::XmlElement* widget, OnOffButtonStyle& style) const;

    // Widgets made from the templates; the caller owns them. None while the
    // template is not loaded or no skin is known. Every one takes keyboard
    // focus; modifierAssignable adds the modifier pictures.
    std::unique_ptr<ZOLRotaryKnob> createKnob (const juce::String& labelText, bool modifierAssignable, bool globalMix,
                                               juce::uint16 globalMixParamId) const;
    std::unique_ptr<ZOLSliderComponent> createSlider (const juce::String& labelText, bool modifierAssignable) const;
    std::unique_ptr<ZOLToggleButton> createPushButton (bool modifierAssignable, const juce::String& labelText) const;
    std::unique_ptr<ZOLToggleButton> createToggle (bool modifierAssignable, const juce::String& labelText,
                                                   const ToggleStyle& style) const;
    std::unique_ptr<TriStateSlider> createTrackSlider (const TrackSliderStyle& style, const juce::String& labelText,
                                                       bool modifierAssignable, int positions) const;
    // Tab index (from 0) of the effect editor's page tabs, placed along the
    // template's row.
    std::unique_ptr<ZOLToggleButton> createTab (int index, const juce::String& labelText) const;
    std::unique_ptr<ZOLMeterComponent> createMeter (const juce::String& labelText) const;
    // A width or height of 0 in the template fits the background image, or
    // else the text in the label font, plus 4.
    std::unique_ptr<ZOLLabelComponent> createLabel (const juce::String& labelText) const;
    std::unique_ptr<ZOLSliderComponent> createSequencerSlider (const juce::String& labelText) const;
    std::unique_ptr<BrakFxReadout> createSequencerReadout() const;
    // Needs no skin, only a loaded record.
    std::unique_ptr<ZOLPaintedButton> createPaintedButton (const PaintedButtonStyle& style) const;
    std::unique_ptr<ZOLToggleButton> createOnOffButton (const OnOffButtonStyle& style) const;

    const DropDownStyle& getDropDownStyle() const { return dropDownStyle; }
    const KnobStyle& getKnobStyle() const { return knobStyle; }
    const SliderStyle& getSliderStyle() const { return sliderStyle; }
    const PushButtonStyle& getPushButtonStyle() const { return pushButtonStyle; }
    const TabStyle& getTabStyle() const { return tabStyle; }
    const MeterStyle& getMeterStyle() const { return meterStyle; }
    const LabelControlStyle& getLabelStyle() const { return labelStyle; }
    const SequencerSliderStyle& getSequencerSliderStyle() const { return sequencerSliderStyle; }
    const SequencerReadoutStyle& getSequencerReadoutStyle() const { return sequencerReadoutStyle; }
    const SkinManager* getSkin() const { return skin; }

    static constexpr const char* sectionName = "GenericControls";

protected:
    const SkinManager* skin = nullptr;
    DropDownStyle dropDownStyle;
    KnobStyle knobStyle;
    SliderStyle sliderStyle;
    PushButtonStyle pushButtonStyle;
    TabStyle tabStyle;
    MeterStyle meterStyle;
    LabelControlStyle labelStyle;
    SequencerSliderStyle sequencerSliderStyle;
    SequencerReadoutStyle sequencerReadoutStyle;
};

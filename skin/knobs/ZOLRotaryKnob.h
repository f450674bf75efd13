#pragma once

#include "skin/knobs/AttachedReadout.h"
#include "skin/widgets/WidgetLabel.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The knob of the effect pages: a base image with a rotating top, a readout
// under it for the unit's text and typed values, a caption, and for some
// parameters a small "Global Mix" toggle. Gestures become change codes.
class ZOLRotaryKnob : public juce::Component,
                      public juce::ChangeListener,
                      public juce::Button::Listener,
                      public juce::SettableTooltipClient,
                      public ZOLEffectParam,
                      public ZOLResizableComponent
{
public:
    ZOLRotaryKnob (juce::Rectangle<int> bounds, const juce::Image& knobBase, juce::Rectangle<int> knobBaseRect,
                   const juce::Image& knobTop, juce::Rectangle<int> knobTopRect);
    ~ZOLRotaryKnob() override;

    // Written by the control factory and the owner.
    juce::Image backgroundImage;
    juce::Rectangle<int> backgroundRect;
    juce::Colour backgroundColour{ juce::Colours::transparentBlack };
    juce::Image modifierOnImage, modifierImage, topModifierImage;
    juce::Rectangle<int> modifierRect;
    bool editorEnabled = true;
    bool readoutFadesWithKnob = false;
    float readoutAlpha = 1.0f;
    float angleMin = -2.4f;
    float angleMax = 2.4f;
    int dragMode = 0; // 0 linear, 1 rotary
    juce::uint16 globalMixParamId = 0;
    bool hideTopWhenDisabled = false;
    bool disableOnLeadChar = false;
    juce::juce_wchar disableLeadChar = 0;

    void setLabelStyle (juce::Rectangle<int> rect, juce::Justification justification, juce::Typeface::Ptr typeface,
                        juce::Colour colour, float fontSize);
    void setLabelText (const juce::String& text);
    juce::String getLabelText() const { return label.text; }
    const WidgetLabel& getCaption() const { return label; }
    // The label's colour alone (the editor marks the current scene with it).
    void setLabelColour (juce::Colour colour) { label.colour = colour; repaint(); }
    juce::Colour getLabelColour() const { return label.colour; }

    virtual void attachReadout (juce::Rectangle<int> fieldRect, const juce::Image& fieldBackground,
                                juce::Typeface::Ptr fieldTypeface, float fieldFontSize, juce::Colour fieldColour,
                                juce::Justification fieldJustification, juce::Rectangle<int> fieldTextRect,
                                float minimumHorizontalScale);
    virtual bool openValueEditor();
    BrakFxReadout* getReadout() const { return attachedReadout.get(); }

    void createGlobalMixButton (const juce::Image& up, const juce::Image& down, const juce::Image& over,
                                juce::Rectangle<int> rect);
    juce::DrawableButton* getGlobalMixButton() const { return globalMixButton.get(); }

    float getAngle() const { return angle; }
    bool isDragging() const { return dragging; }

    // Binding
    int getUnitValue() override;
    int getSecondaryValue() override;
    double getValueAsDouble() override;
    void setFromDevice (juce::uint16 value, juce::uint16 position, const juce::String& text) override;
    void setSecondaryValue (juce::uint16 value) override;
    void cancelValueEntry() override { attachedReadout.cancelEntry(); }
    bool isValueEntryActive() override { return attachedReadout.isEntryActive(); }
    void modifierChanged() override { repaint(); }
    void hasModifierChanged() override { repaint(); }
    void unitChanged() override;
    void rangeChanged() override { attachedReadout.followRange (*this); }

    void applyScale (bool apply) override;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType cause) override;
    void enablementChanged() override;

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void buttonClicked (juce::Button* button) override;

private:
    void setAngleFromPosition (juce::uint16 position);
    float clampAngle (float value) const;

    juce::Image knobBaseImage, knobTopImage;
    juce::Rectangle<int> knobBaseRect, knobTopRect;
    WidgetLabel label;
    AttachedReadout attachedReadout{ *this, *this };
    std::unique_ptr<juce::DrawableButton> globalMixButton;
    juce::Rectangle<int> globalMixRect;

    float angle = 0.0f;
    bool dragging = false;
    juce::Point<int> lastDragPoint;
    float lastDragAngle = 0.0f;
    // A position the unit reported during a drag, shown when the drag ends.
    bool heldPositionPending = false;
    juce::uint16 heldPosition = 0;
};

#pragma once

#include "skin/knobs/AttachedReadout.h"
#include "skin/widgets/WidgetLabel.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLResizableComponent.h"
#include "skin/knobs/ZOLSliderButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The fader of the effect pages: a track image, a draggable thumb, a readout
// for the value and its unit, and a caption. With detents it also serves the
// two- and three-position switches. Gestures become change codes.
class ZOLSliderComponent : public juce::Component,
                           public juce::ChangeListener,
                           public ZOLEffectParam,
                           public ZOLResizableComponent
{
public:
    ZOLSliderComponent (juce::Rectangle<int> sizeWithUnit, juce::Rectangle<int> sizeWithoutUnit,
                        int positionBackgroundX, int positionBackgroundY, int knobX, int knobY, int knobMinPosition,
                        int knobMaxPosition, const juce::String& tooltip, bool vertical, const juce::Image& background,
                        const juce::Image& thumb, const juce::Image& thumbDown);
    ~ZOLSliderComponent() override;

    juce::uint8 steps = 0; // detents; 0 is continuous
    int trackMin = -1;     // optional pointer range on the track; -1 is none
    int trackMax = -1;
    juce::Rectangle<int> modifierRect;
    juce::Image modifierOnImage, modifierImage;

    void setLabelStyle (juce::Rectangle<int> rect, juce::Justification justification, juce::Typeface::Ptr typeface,
                        juce::Colour colour, float fontSize);
    void setLabelText (const juce::String& text);

    void attachReadout (juce::Rectangle<int> fieldRect, const juce::Image& fieldBackground,
                        juce::Typeface::Ptr fieldTypeface, float fieldFontSize, juce::Colour fieldColour,
                        juce::Justification fieldJustification, juce::Rectangle<int> fieldTextRect,
                        float minimumHorizontalScale);
    BrakFxReadout* getReadout() const { return attachedReadout.get(); }
    ZOLSliderButton* getThumb() const { return thumb.get(); }
    const juce::Image& getBackgroundImage() const { return background; }
    const WidgetLabel& getCaption() const { return label; }
    void setLabelColour (juce::Colour colour) { label.colour = colour; repaint(); }
    juce::Rectangle<int> getBackgroundRect() const { return backgroundRect; }
    bool isVertical() const { return vertical; }

    // The fraction snapped to a detent (when there are steps) within 0..1.
    double quantiseFraction (double fraction) const;
    void setFraction (double fraction);
    double getFraction() const;
    // Moves the thumb under the pointer's y (vertical) or x; true when it moved.
    bool setPositionFromPixel (int pixel);

    // Binding
    int getUnitValue() override;
    double getValueAsDouble() override { return lastShownValue; }
    void setFromDevice (juce::uint16 value, juce::uint16 position, const juce::String& text) override;
    void cancelValueEntry() override { attachedReadout.cancelEntry(); }
    bool isValueEntryActive() override { return attachedReadout.isEntryActive(); }
    void unitChanged() override;
    void rangeChanged() override { attachedReadout.followRange (*this); }
    void modifierChanged() override { repaint(); }
    void hasModifierChanged() override { repaint(); }

    void applyScale (bool apply) override;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType cause) override;
    void enablementChanged() override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    friend class ZOLSliderButton;
    void thumbDragged (const juce::MouseEvent& eventInSlider);
    void thumbReleased (const juce::MouseEvent& eventInSlider, bool afterDrag);
    int detentIndex (double fraction) const;
    int nearestDetent (double fraction) const;

    juce::Image background, thumbImage, thumbDownImage;
    bool vertical;
    juce::Rectangle<int> sizeWithUnit, sizeWithoutUnit;
    float lastShownValue = 0.0f;
    int knobMinPosition, knobMaxPosition;
    int knobX, knobY;
    juce::Rectangle<int> backgroundRect;
    WidgetLabel label;
    std::unique_ptr<ZOLSliderButton> thumb;
    AttachedReadout attachedReadout{ *this, *this };
    double shownFraction = -1.0;
    juce::Point<int> shownFractionAt;
    bool heldPositionPending = false;
    juce::uint16 heldPosition = 0;
};

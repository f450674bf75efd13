#pragma once

#include "skin/engine/CommandMenuBuilder.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The skin's image button: up, over, down and disabled images (each with an
// "on" variant), an optional text label whose colour follows the mouse, a
// choice of which mouse buttons press it, an optional right-click block menu,
// and a binding through which the unit can show it pressed.
class ZOLDrawableButton : public juce::DrawableButton, public ZOLResizableComponent, public ZOLEffectParam
{
public:
    explicit ZOLDrawableButton (const juce::String& name, int unused1 = 0, int unused2 = 0);

    bool leftButtonPresses = true;
    bool rightButtonPresses = true;
    bool clickPosts2 = false;

    // A rectangle width or height of 0 means the button's.
    void setLabel (juce::Rectangle<int> rect, juce::Justification justification, const juce::Font* font,
                   juce::Colour colour, float height);
    void setLabelColours (juce::Colour normal, juce::Colour over, juce::Colour pressed);
    void setLabelText (const juce::String& text);
    juce::Label* getLabel() const { return label.get(); }
    void setEnabledWithAlpha (bool enabled, bool withAlpha);

    // The right button then opens the block menu, built for the menu id.
    void setBlockMenu (CommandMenuBuilder builder, int menuId);
    bool hasBlockMenu() const { return blockMenu != nullptr; }
    // How many times the block menu was opened (each opening builds it anew).
    int getBlockMenuShowCount() const { return blockMenuShown; }

    int getUnitValue() override { return getState() != juce::Button::buttonNormal ? 1 : 0; }
    double getValueAsDouble() override { return (double) getUnitValue(); }
    void setFromDevice (juce::uint16 value, juce::uint16 position, const juce::String& text) override;

    bool countsAsPress (const juce::MouseEvent& e) const;

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void focusGained (FocusChangeType cause) override;
    void clicked (const juce::ModifierKeys& modifiers) override;
    void buttonStateChanged() override;

private:
    void setLabelColour (juce::Colour c);

    std::unique_ptr<juce::Label> label;
    juce::Rectangle<int> labelRect;
    float labelHeight = 10.0f;
    juce::Colour labelNormal{ 0xFF000000 }, labelOver{ 0xFF000000 }, labelPressed{ 0xFF000000 };
    CommandMenuBuilder blockMenu;
    int blockMenuId = 0;
    int blockMenuShown = 0;
    bool lastPressCounted = true;
};

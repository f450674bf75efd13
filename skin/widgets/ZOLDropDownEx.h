#pragma once

#include "skin/engine/CommandMenuBuilder.h"
#include "skin/engine/DropDownStyle.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

// The value widget of a parameter with named choices: a field showing the
// current choice, a menu of all choices opened by a click on the field, Up
// and Down buttons that step through them (wrapping), an optional modifier
// or plus button below the arrows, and a label above, below or beside the
// field. Codes: 1 focus taken (or the plus menu closed without a choice),
// 3 modifier button, 4 a new choice, 9 double-click outside the field,
// 11 a plus-menu choice.
class ZOLDropDownEx : public juce::Component,
                      public ZOLEffectParam,
                      public ZOLResizableComponent,
                      public juce::Button::Listener
{
public:
    struct Item
    {
        juce::String shortText, text;
        bool italic = false;
        juce::uint16 value = 0;
    };

    // A null font is made from the style's font name at the style's height.
    ZOLDropDownEx (const DropDownStyle& style, const juce::Font* labelFont, const juce::Font* fieldFont,
                   const juce::Font* italicFieldFont, int unused = 0);
    ~ZOLDropDownEx() override;

    bool alwaysNotify = false;
    bool showShortText = false;
    bool labelExtraGap = false;
    juce::uint16 besideLabelWidth = 0; // placement 4; 0: the field's width
    int fieldSize = 1;                 // 0..3: small, normal, large, huge background

    // Plus menu: texts with their values, or a command menu instead.
    juce::StringArray plusTexts;
    juce::Array<juce::uint16> plusValues;
    int plusChoice = -1;
    CommandMenuBuilder plusCommandMenu;
    int plusCommandMenuId = 0;

    // False (and an empty list) when texts and values differ in number. An
    // index outside the list selects item 0; -1 selects nothing.
    bool setItems (const juce::StringArray& shortTexts, const juce::StringArray& texts,
                   const juce::Array<juce::uint16>& values, const juce::Array<juce::uint8>& italicFlags,
                   int selectedIndex);
    int getNumItems() const { return items.size(); }
    int getSelectedIndex() const { return selected; }
    const Item* getItem (int index) const;
    // The field's text as drawn, with the short text when that is shown: of
    // the selected item, or of any item.
    // A value the unit holds that is none of the items shows the unit's own
    // text for it.
    juce::String getFieldText() const { return selected < 0 ? deviceText : getFieldTextAt (selected); }
    juce::String getFieldTextAt (int index) const;
    // The font the field's text of an item is drawn in, and how far a text
    // too wide for the field is squeezed before it is cut short.
    juce::Font getFieldFont (bool italic) const;
    static constexpr float minimumFieldTextScale = 0.7f;

    // 0 none, 1 above, 3 below on one line, 4 beside, others below on two lines.
    void setLabel (int placement, const juce::String& text);
    const juce::String& getLabelText() const { return labelText; }
    // 0 none, 1 modifier button, 2 plus button.
    void setExtraButton (int mode);
    void setChildEnabled (juce::Button* button, bool enabled);
    void updateLayout();

    juce::Rectangle<int> getFieldRect() const { return fieldRect; }
    juce::Rectangle<int> getLabelRect() const { return labelRect; }
    juce::DrawableButton& getUpButton() { return *upButton; }
    juce::DrawableButton& getDownButton() { return *downButton; }
    juce::DrawableButton& getPlusButton() { return *plusButton; }
    juce::DrawableButton& getModifierButton() { return *modifierButton; }
    int getLabelPlacement() const { return labelPlacement; }
    void setLabelColour (juce::Colour colour) { style.labelColour = colour; repaint(); }
    juce::Colour getLabelColour() const { return style.labelColour; }
    // The colour of the choice's text in the field.
    void setFieldColour (juce::Colour colour)
    {
        style.fieldColour = colour;
        repaint();
    }
    juce::Colour getFieldColour() const { return style.fieldColour; }
    int getLabelLineCount() const { return labelLines; }

    juce::String getDisplayText() override;
    int getUnitValue() override;
    int getSecondaryValue() override;
    double getValueAsDouble() override { return (double) getUnitValue(); }
    void setFromDevice (juce::uint16 value, juce::uint16 position, const juce::String& text) override;
    void modifierChanged() override;
    void hasModifierChanged() override { repaint(); }

    virtual void stepUp();
    virtual void stepDown();
    virtual void modifierButtonPressed();
    virtual void showMenu();
    virtual void showCommandPlusMenu();
    virtual void showPlusMenu();

    // What a menu choice does once the menu closes (r = chosen id, 0 none).
    void handleMenuResult (int result);
    void handlePlusMenuResult (int result);
    void handleCommandPlusMenuResult (int result);

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType cause) override { postSelectionOnFocus (cause); }
    void enablementChanged() override;
    void applyScale (bool apply) override;
    void buttonClicked (juce::Button* button) override;

protected:
    DropDownStyle style;
    juce::Font labelFont, fieldFont, italicFieldFont;
    juce::Array<Item> items;
    int selected = -1;
    // The unit's value and text while its value is none of the items (the
    // list is older than the unit, or not read yet); cleared by a choice.
    juce::uint16 deviceValue = 0;
    juce::String deviceText;

private:
    const juce::Image* fieldBackground() const;
    bool buttonBlocks (const juce::DrawableButton& b) const { return ! b.isEnabled(); }

    int labelPlacement = 1;
    juce::String labelText;
    int labelLines = 1;
    juce::Justification labelJustification{ 0 };
    int extraButtonMode = 0;
    juce::Rectangle<int> fieldRect, labelRect;
    std::unique_ptr<juce::DrawableButton> upButton, downButton, plusButton, modifierButton;
    std::array<juce::Rectangle<int>, 4> buttonRects; // up, down, plus, modifier
    juce::Component menuAnchor;
};

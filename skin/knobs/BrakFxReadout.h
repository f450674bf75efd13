#pragma once

#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// A parameter's value as the unit formats it ("12.5 dB") on a field image,
// with an in-place editor for typing a new number. An accepted entry posts
// code 10, Escape code 0 and a press that opens the editor code 1.
class BrakFxReadout : public juce::Component,
                      public juce::KeyListener,
                      public juce::SettableTooltipClient,
                      public ZOLResizableComponent,
                      public ZOLEffectParam,
                      private juce::TextEditor::Listener
{
public:
    // A width or height of 0 takes the background image's; a text rect
    // without width or height takes the readout's.
    BrakFxReadout (int x, int y, int width, int height, const juce::String& name, const juce::Image& background,
                   juce::Typeface::Ptr typeface, float fontSize, juce::Colour textColour,
                   juce::Justification justification, juce::Rectangle<int> textRect);
    ~BrakFxReadout() override;

    // The value field of a knob or slider: unnamed, placed at the field rect,
    // its editor taking only the characters of a number.
    static std::unique_ptr<BrakFxReadout>
    createForControl (juce::Rectangle<int> fieldRect, const juce::Image& fieldBackground,
                      juce::Typeface::Ptr fieldTypeface, float fieldFontSize, juce::Colour fieldColour,
                      juce::Justification fieldJustification, juce::Rectangle<int> fieldTextRect,
                      float minimumHorizontalScale);

    // The longest text an entry may have.
    static constexpr int maxEntryLength = 100;
    // The characters of a number as the unit shows it.
    static constexpr const char* numberCharacters = "0123456789.-";

    bool editable = true;             // a press may open the editor
    bool commitOnOutsideClick = true; // a press elsewhere applies a valid entry
    bool wheelEditsEntry = false;     // the wheel steps the number being typed
    bool hideWhenNotEditing = false;  // the readout hides itself when the editor closes

    void setText (const juce::String& text);
    void setNumber (float number);
    juce::String getText() const { return displayText; }
    void setUnitText (const juce::String& text);
    void setHasUnit (bool has) { hasUnit = has; }

    void setValidation (bool allowDecimals, bool allowSign, bool clamp, float minimum, float maximum);
    bool isValidationOn() const { return validationOn; }

    // Shown, dimmed, in place of an empty text, and in the empty editor.
    void setHintText (const juce::String& hint);
    juce::String getHintText() const { return hintText; }

    void setTextColour (juce::Colour colour);
    void setMouseOverTextColour (juce::Colour colour);
    void setOverlay (const juce::Image& image, juce::Rectangle<int> bounds);
    void setMinimumHorizontalScale (float scale);
    float getMinimumHorizontalScale() const { return minimumHorizontalScale; }
    void setEditorInputRestrictions (int maxLength, const juce::String& allowedCharacters);

    void setEditorBounds (juce::Rectangle<int> rect);
    juce::Rectangle<int> getTextBounds() const { return textRect; }
    juce::TextEditor* getEditor() const { return editor.get(); }
    const juce::Font& getFont() const { return font; }

    bool isEditorVisible() const { return editor != nullptr && editor->isVisible(); }
    void showEditor();
    void hideEditor();

    // Checks typed text and, when clamping, rewrites it as the clamped number.
    bool validateEntry (juce::String& text) const;
    juce::String stripUnit (const juce::String& text) const;
    static bool isNumericText (const juce::String& text, bool allowDecimals, bool allowSign);

    // Binding
    void cancelValueEntry() override { hideEditor(); }
    bool isValueEntryActive() override { return isEditorVisible(); }
    double getValueAsDouble() override;
    void setFromDevice (juce::uint16 value, juce::uint16 position, const juce::String& text) override;
    void unitChanged() override { hasUnit = unitText.isNotEmpty(); }

    void applyScale (bool apply) override;
    // Used by a knob or slider that owns the readout and is scaled itself.
    void followOwner (double ownerFactor) { followOwnerScale (*this, ownerFactor); }

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void enablementChanged() override { repaint(); }

    using juce::Component::keyPressed;
    bool keyPressed (const juce::KeyPress& key, juce::Component* origin) override;

private:
    void textEditorFocusLost (juce::TextEditor&) override;
    juce::Colour hintColour() const;
    void commitEntry();
    void pressedElsewhere();
    void stopWatchingWindow();

    juce::String displayText, hintText;
    juce::Font font;
    juce::Colour textColour, mouseOverTextColour;
    juce::Image background, overlay;
    juce::Rectangle<int> overlayRect, textRect, editorRect;
    juce::Justification justification;
    std::unique_ptr<juce::TextEditor> editor;
    juce::Component::SafePointer<juce::Component> watchedWindow;

    bool hasUnit = false;
    bool validationOn = false;
    bool allowDecimals = true;
    bool allowSign = false;
    bool clamp = false;
    float minimum = 0.0f;
    float maximum = 0.0f;
    bool mouseOver = false;
    bool hiding = false;
    juce::uint32 editorOpenedAt = 0;
    float minimumHorizontalScale = 1.0f;
};

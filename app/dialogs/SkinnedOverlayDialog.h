#pragma once

#include "app/host/ContentPanes.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <map>
#include <memory>

class SkinManager;
class ZOLLabelComponent;
class ZOLPaintedButton;

// The frame shared by the overlay dialogs that cover the main window: a
// translucent background over the whole window and a rounded dialog box on
// it, with the box's widgets built from one skin section. The section gives
// "backgroudBounds" (spelled so), "dlgBounds" (centred when its x and y are
// both 0), "backgroundColor" and "dlgColor"; widget positions are relative to
// the box.
//
// The dialog posts its change codes under its own lock: 1 shown, 2
// cancelled, 3 confirmed. Escape cancels; the keyboard focus goes to OK,
// else to Cancel.
class SkinnedOverlayDialog : public juce::Component,
                             public ZOLResizableComponent,
                             public juce::ChangeListener,
                             public juce::ChangeBroadcaster,
                             public ContentDialog
{
public:
    static constexpr int codeShown = 1;
    static constexpr int codeCancelled = 2;
    static constexpr int codeConfirmed = 3;

    ~SkinnedOverlayDialog() override;

    void postChangeCode (int code);
    int getChangeCode() const;

    juce::Rectangle<int> getDialogBounds() const { return dialogBounds; }
    juce::Colour getBackgroundColour() const { return backgroundColour; }
    juce::Colour getDialogColour() const { return dialogColour; }

    // A widget the skin named, or null.
    juce::Component* findWidget (const juce::String& name) const;
    ZOLLabelComponent* findLabel (const juce::String& name) const;
    ZOLPaintedButton* findButton (const juce::String& name) const;

    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (juce::Component::FocusChangeType cause) override;
    void applyScale (bool apply) override { applyCommonScale (*this, apply); }

    // Closing with every other dialog is a cancel.
    void closeDialog() override { cancel(); }

protected:
    SkinnedOverlayDialog() = default;

    // Reads the frame of the section and builds its widgets: the names of
    // labels, of painted buttons and of arrow labels (a single arrow glyph,
    // reporting a press as code 1). The dialog listens to buttons and arrows.
    // Returns the section, or null when the skin lacks it.
    const juce::XmlElement* buildFrom (const SkinManager* skin, const juce::String& sectionName,
                                       const juce::StringArray& labelNames, const juce::StringArray& buttonNames,
                                       const juce::StringArray& arrowNames);

    // Adds an owned widget, moved by the box's origin, as a visible child.
    void adoptWidget (const juce::String& name, std::unique_ptr<juce::Component> widget);

    void setLabelText (const juce::String& name, const juce::String& text);
    void setButtonText (const juce::String& name, const juce::String& text);
    void setWidgetEnabled (const juce::String& name, bool enabled);

    // The name of a widget of this dialog, or empty for another broadcaster.
    juce::String nameOf (juce::ChangeBroadcaster* source) const;

    // Escape and the Cancel button.
    virtual void cancel() = 0;

    // Shows the dialog and gives the focus to OK, then posts code 1.
    void showAndPostShown();
    // Hides the dialog and posts the code.
    void hideWithCode (int code);

private:
    juce::Colour backgroundColour{ 0xFF000000 };
    juce::Colour dialogColour{ 0xFF808080 };
    juce::Rectangle<int> backgroundBounds, dialogBounds;
    static constexpr float cornerSize = 6.0f;

    mutable juce::CriticalSection codeLock;
    int changeCode = 0;

    std::map<juce::String, std::unique_ptr<juce::Component>> widgets;
};

#pragma once

#include "app/host/ContentPanes.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class SkinManager;
class ZOLDrawableButton;

// What the modifier and sequencer dialogs share: a skinned box drawn over the
// main window's content, a title, a "Close" button, and closing by Escape, by
// the button or by a click outside the box. The dialog posts its change code
// under its own lock (1 opened, 2 closed) and broadcasts it.
//
// Skin attributes read from the dialog's section (absent ones keep the
// defaults): the background image (its size is the dialog's size), where it
// is drawn, the box ("dlgBounds"), the title bar and the title's typeface,
// size and colour, and a child Widget "Close".
class ParamDialogFrame : public juce::Component,
                         public juce::ChangeBroadcaster,
                         public juce::Button::Listener,
                         public ZOLResizableComponent,
                         public ContentDialog
{
public:
    static constexpr int codeOpened = 1;
    static constexpr int codeClosed = 2;

    // The names a dialog's section and title attributes go by.
    struct SkinNames
    {
        const char* section;
        const char* titleFont;
        const char* titleFontSize;
        const char* titleFontColour;
    };

    ~ParamDialogFrame() override;

    int getChangeCode() const;

    // Hides the dialog and forgets its controls; posts code 2.
    virtual void close() = 0;
    void closeDialog() override { close(); }

    juce::Rectangle<int> getDialogBounds() const { return dialogBounds; }
    juce::Button* getCloseButton() const;
    const juce::String& getTitle() const { return title; }

    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void buttonClicked (juce::Button* button) override;

protected:
    ParamDialogFrame (const SkinManager* skin, const SkinNames& names, juce::Rectangle<int> defaultSize,
                      juce::Colour defaultTitleColour);

    void postChangeCode (int code);
    void applyFrameScale (bool apply);
    // A child is drawn inside the dialog's own transform: it takes the
    // dialog's factor and is not scaled a second time.
    void followFrameScale (juce::Component* child) const;

    // The component framed as the one with the focus; null frames none.
    void setFocusedControl (juce::Component* control);
    juce::Component* getFocusedControl() const { return focusedControl.getComponent(); }

    const SkinManager* skin = nullptr;
    const juce::XmlElement* section = nullptr;
    juce::String title;

private:
    juce::Image background;
    juce::Point<int> backgroundPosition;
    juce::Rectangle<int> dialogBounds, titleBarBounds;
    juce::Font titleFont{ 12.0f };
    juce::Colour titleColour;
    std::unique_ptr<ZOLDrawableButton> closeButton;
    juce::Component::SafePointer<juce::Component> focusedControl;

    mutable juce::CriticalSection changeCodeLock;
    int changeCode = 0;
};

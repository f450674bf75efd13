#pragma once

#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class SkinManager;
class ZOLLabelComponent;
class ZOLToggleButton;

// The small switch of the effect editor that shows and flips the X/Y state of
// the block being edited, with an arrow beside it that opens the X/Y choices.
// Both parts come from the skin section "XYToggleControl". What the user did
// is posted as a change code: 1 the control took the focus by a click or the
// Tab key; 2 the toggle changed; 3 the X/Y choices were asked for (a
// right-click on the toggle, a click on the arrow, Return on the control).
class XYToggleComponent : public juce::Component,
                          public juce::ChangeListener,
                          public juce::ChangeBroadcaster,
                          public ZOLResizableComponent
{
public:
    // The arrow's glyph in the skin's symbol font.
    static constexpr juce::juce_wchar arrowCharacter = 214;

    XYToggleComponent (const SkinManager* skin, int x, int y);
    ~XYToggleComponent() override;

    // Builds the toggle and the arrow; nothing without a skin or its section.
    void loadFromSkin (const SkinManager* skin);

    void postChangeCode (int code);
    int getChangeCode() const;

    ZOLToggleButton* getToggle() const { return toggle.get(); }
    ZOLLabelComponent* getArrow() const { return arrow.get(); }
    int getControlWidth() const { return controlWidth; }
    int getControlHeight() const { return controlHeight; }

    void mouseDown (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType cause) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void applyScale (bool apply) override;

private:
    int controlWidth = 0, controlHeight = 0;
    juce::CriticalSection changeLock;
    int changeCode = 0;
    std::unique_ptr<ZOLToggleButton> toggle;
    std::unique_ptr<ZOLLabelComponent> arrow;
};

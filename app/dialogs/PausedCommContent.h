#pragma once

#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

class SkinManager;

// The dimmed panel that covers the window while the user has paused
// communication with the unit. Its box says so and explains the pause; a
// click in the box or the space bar resumes, by invoking "Pause
// Communications" (1404) again through the command manager.
//
// Skin section "PauseCommunicationMode": "backgroudBounds" (spelled so),
// "dlgBounds" (centred when its x and y are both 0), "backgroundColor",
// "dlgColor", "textFont", "textFontColor".
class PausedCommContent : public juce::Component, public ZOLResizableComponent
{
public:
    static constexpr int pauseCommandId = 1404;
    static constexpr int headlineMessageId = 87;
    static constexpr int explanationMessageId = 88;

    explicit PausedCommContent (const SkinManager* skin);

    // Not owned; none before the content component hands it over.
    void setCommandManager (juce::ApplicationCommandManager* manager) { commandManager = manager; }

    juce::Rectangle<int> getBoxBounds() const { return boxBounds; }

    // Invokes the pause command asynchronously; false without a command manager.
    bool resume();

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void applyScale (bool apply) override { applyCommonScale (*this, apply); }

private:
    juce::ApplicationCommandManager* commandManager = nullptr;
    juce::Rectangle<int> backgroundBounds, boxBounds;
    juce::Colour backgroundColour{ 0xff000000 }, boxColour{ 0xff808080 }, textColour{ 0xffffff00 };
    juce::Typeface::Ptr textTypeface;

    JUCE_DECLARE_NON_COPYABLE (PausedCommContent)
};

#pragma once

#include "device/engines/WaitIndicator.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_gui_extra/juce_gui_extra.h>

class MainAppWindow;
class SkinManager;
class ZOLProgressBar;

// The content of the main window. It owns the panes of the editor and the
// user interface they share: the bubble message and the progress bar that the
// preset manager drives during long transfers. It gives the panes their
// scale and finds the dialog that is showing.
//
// The panes are added as they are built; the effect editor is handed over by
// whoever creates it (setEffectEditor) and is then owned here.
class KestrelContentComponent : public juce::Component, public juce::DragAndDropContainer, private WaitIndicator
{
public:
    static constexpr int designWidth = 1024;
    static constexpr int designHeight = 647;

    // The owner gives the scale; the skin may be null.
    KestrelContentComponent (MainAppWindow* owner, const SkinManager* skin);
    ~KestrelContentComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    // The progress bar's unscaled bounds; the default ones are (128, 623, 768, 20).
    void setProgressBarBounds (juce::Rectangle<int> bounds);
    void updateProgressBarBounds();
    // As large as the default bar, at most the area, centred in it vertically.
    void fitProgressBarInto (juce::Rectangle<int> area);
    juce::Rectangle<int> getProgressBarBounds() const { return progressBounds; }
    juce::Rectangle<int> getDefaultProgressBarBounds() const { return defaultProgressBounds; }
    ZOLProgressBar* getProgressBar() const { return progressBar.get(); }

    // The text in the bubble at the top of the content; a negative time is the skin's.
    void showBubbleMessage (const juce::String& text, int milliseconds);
    void showPauseRefusedMessage();
    int getBubblePopTimeMs() const { return bubblePopTimeMs; }

    // The first dialog that is showing, or null; and closing them all.
    juce::Component* getShowingDialog() const;
    bool isDialogShowing() const { return getShowingDialog() != nullptr; }
    void closeAllDialogs();

    // The effect editor's place.
    void setEffectEditor (std::unique_ptr<juce::Component> editor);
    juce::Component* getEffectEditor() const { return effectEditor.get(); }

private:
    void loadBubbleMessageSkin();
    double getScale() const;

    // WaitIndicator
    void showWaitProgress (double progress, const juce::String& text) override;
    void hideWaitProgress() override;

    MainAppWindow* owner;
    const SkinManager* skin;

    juce::Rectangle<int> progressBounds, defaultProgressBounds;

    juce::Font bubbleFont;
    float bubbleFontHeight = 12.0f;
    juce::Colour bubbleTextColour{ 0xff000000 };
    juce::Colour bubbleBackgroundColour{ 0xffffffff };
    int bubblePopTimeMs = 2000;
    juce::BubbleMessageComponent bubble;

    std::unique_ptr<juce::Component> effectEditor;
    std::unique_ptr<ZOLProgressBar> progressBar;

    JUCE_DECLARE_NON_COPYABLE (KestrelContentComponent)
};

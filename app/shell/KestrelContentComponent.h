#pragma once

#include "app/host/ContentPanes.h"
#include "app/shell/UnitAbsenceNotice.h"
#include "device/engines/WaitIndicator.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_gui_extra/juce_gui_extra.h>

#include <array>

class DialogCommands;
class ControlUnitContent;
class KestrelPresetPicker;
class MainAppWindow;
class PresetListCommands;
class SkinManager;
class ZOLProgressBar;

// The content of the main window. It owns the panes of the editor and the
// user interface they share: the bubble message and the progress bar that the
// preset manager drives during long transfers. It gives the panes their
// scale and finds the dialog that is showing.
//
// createPanes builds every pane that has a creator, in creation order; a test
// may instead hand the content the panes it wants (setPane).
class KestrelContentComponent : public juce::Component,
                                public juce::DragAndDropContainer,
                                public ContentHost,
                                private WaitIndicator
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
    void showBubbleMessage (const juce::String& text, int milliseconds) override;
    void tellFileWritten (const juce::String& what, const juce::File& file) override;
    static constexpr int fileWrittenMessageMs = 5000;
    void showPauseRefusedMessage();
    int getBubblePopTimeMs() const { return bubblePopTimeMs; }
    // The bubble's text while it shows, else empty.
    juce::String getBubbleText() const { return bubble.isVisible() ? shownBubbleText : juce::String(); }
    const juce::Font& getBubbleFont() const { return bubbleFont; }

    // The first dialog that is showing (apart from the one given), or null;
    // and closing them all.
    juce::Component* getShowingDialog (const juce::Component* apartFrom = nullptr) const override;
    bool isDialogShowing() const { return getShowingDialog() != nullptr; }
    void closeAllDialogs() override;
    // The dialog that hides the home screen (the front panel, the grid and
    // the effect editor), or null: any showing dialog but the sequencer
    // while the effect editor shows it as one of its own pages.
    juce::Component* getDialogOverHomeScreen() const;

    // The panes. Creators are registered once for the program (the
    // application's own panes have theirs built in); createPanes builds each
    // pane that has one, in creation order, then connects who listens to whom.
    static void setPaneCreator (ContentPane pane, ContentPaneCreator creator);
    void createPanes();

    // Takes the pane, replacing any it had. It is placed at its own bounds,
    // scaled, and added as a child (visible or hidden); the exchange window
    // is a window of its own and is only kept.
    void setPane (ContentPane pane, std::unique_ptr<juce::Component> component, bool visible);
    juce::Component* getPane (ContentPane pane) const override
    {
        if (auto* owned = panes[(size_t) pane].get())
            return owned;
        return lentPanes[(size_t) pane].getComponent();
    }
    // A pane another pane owns and shows over the content (the effect
    // editor's block-library name dialog): found, closed and scaled with the
    // others, never deleted here.
    void lendPane (ContentPane pane, juce::Component* component) override { lentPanes[(size_t) pane] = component; }
    template <typename PaneType>
    PaneType* getPaneAs (ContentPane pane) const
    {
        return dynamic_cast<PaneType*> (getPane (pane));
    }

    // While no unit answers, the grid and the effect editor take no clicks
    // and a notice over the grid says why and where the ports are chosen.
    void showUnitState (UnitAbsenceNotice::State state);
    const UnitAbsenceNotice& getUnitAbsenceNotice() const { return absenceNotice; }

    // Shows the pause overlay while communication is paused.
    void showPauseOverlay (bool paused);
    // The main window's timer tick for the dialogs that follow the unit.
    void tickDialogs();
    // The front panel across the top; null until createPanes has built it.
    ControlUnitContent* getFrontPanel() const;

    void setEffectEditor (std::unique_ptr<juce::Component> editor) { setPane (ContentPane::effectEditor, std::move (editor), true); }
    juce::Component* getEffectEditor() const { return getPane (ContentPane::effectEditor); }

    // The one preset list window; while it exists it is also the large
    // drop-downs' pick list, and "P" opens it.
    KestrelPresetPicker* getPresetPicker() const;

private:
    void loadBubbleMessageSkin();
    // The bubble pointing at the target from the one side allowed.
    void showBubbleAt (const juce::String& text, int milliseconds, juce::Rectangle<int> target, int placement);
    void loadColorFilterMenuSkin();
    // Puts the preset list's command and pick-list roles on the picker pane, or takes them off.
    void attachPresetPicker (bool attach);
    // Lets the front panel open the preset list (or takes that away).
    void connectPresetListOpener();
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
    juce::String shownBubbleText;

    void scalePane (juce::Component* pane, double scale);
    // Connects (or, going away, disconnects) who listens to whom among the
    // panes, the main window and the preset manager.
    void connectPanes (bool connect);
    // The application's own panes; null for those it has none of (yet).
    static std::unique_ptr<juce::Component> createOwnPane (ContentPane pane, MainAppWindow* owner, const SkinManager* skin);

    std::array<std::unique_ptr<juce::Component>, contentPaneCount> panes;
    std::array<juce::Component::SafePointer<juce::Component>, contentPaneCount> lentPanes;
    std::unique_ptr<DialogCommands> dialogCommands;
    std::unique_ptr<PresetListCommands> presetListCommands;
    std::unique_ptr<ZOLProgressBar> progressBar;
    UnitAbsenceNotice absenceNotice;
    void placeAbsenceNotice();

    JUCE_DECLARE_NON_COPYABLE (KestrelContentComponent)
};

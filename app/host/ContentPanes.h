#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

class MainAppWindow;
class SkinManager;

// The panes and dialogs the main window's content owns, in the order they
// are created. Each is created once and lives as long as the content.
enum class ContentPane
{
    frontPanel,
    grid,
    effectEditor,
    preferences,
    tuner,
    blockLibraryName,
    librarian,
    browserChooser,
    pauseOverlay,
    sequencer,
    cabEasySetup,
    bundleSave,
    rawPreset,
    exchangeWindow, // a window of its own, never a child of the content
    modifierDialog,
    presetPicker,
};
constexpr int contentPaneCount = (int) ContentPane::presetPicker + 1;

// A dialog pane closes in its own way (it may ask the user first); panes
// without this are simply hidden when every dialog is closed.
class ContentDialog
{
public:
    virtual ~ContentDialog() = default;
    virtual void closeDialog() = 0;
};

// Builds one pane for the content. Panes whose code comes after the
// application (the librarian's) are registered by that code at start-up.
using ContentPaneCreator = std::function<std::unique_ptr<juce::Component> (MainAppWindow* owner, const SkinManager* skin)>;

// What a pane may ask of the content that holds it: its sibling panes, to
// have a pane of its own found and closed with the others, a message in the
// bubble, and the dialogs that show. The main window's content is the one; a pane finds it among
// its parents.
class ContentHost
{
public:
    virtual ~ContentHost() = default;

    virtual juce::Component* getPane (ContentPane pane) const = 0;
    virtual void lendPane (ContentPane pane, juce::Component* component) = 0;
    // A negative time is the skin's.
    virtual void showBubbleMessage (const juce::String& text, int milliseconds) = 0;
    // The end of a file export: what was written, and where, in a bubble
    // of its own at the foot of the window, clear of the controls.
    virtual void tellFileWritten (const juce::String& what, const juce::File& file) = 0;
    static juce::String fileWrittenText (const juce::String& what, const juce::File& file)
    {
        return what + " written to\n" + file.getFullPathName();
    }
    // The first dialog that is showing (apart from the one given), or null;
    // and closing them all.
    virtual juce::Component* getShowingDialog (const juce::Component* apartFrom = nullptr) const = 0;
    virtual void closeAllDialogs() = 0;

    template <typename PaneType>
    PaneType* getPaneAs (ContentPane pane) const
    {
        return dynamic_cast<PaneType*> (getPane (pane));
    }
};

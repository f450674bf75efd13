#pragma once

#include "skin/engine/SkinManager.h"
#include "skin/window/ZolLookAndFeel.h"
#include "support/RecordingNotifier.h"
#include "support/RedirectedUserFolders.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

#include <memory>

class EffectEditorContent;
class FastTicks;
class GridUnitContent;
class KestrelCommandTarget;
class KestrelContentComponent;
class MainAppWindow;
class PresetManager;

// The program's main window in its own skin, connected over virtual ports to
// the simulated unit, with the user's folders below a scratch folder. Set the
// unit up first, then open(): it loads what the application loads before its
// window, opens the window and waits until the unit's preset is in. Closed
// however the test ends; the managers it loaded are forgotten afterwards.
class ConnectedProgram
{
public:
    explicit ConnectedProgram (const juce::String& folderPrefix);
    ~ConnectedProgram();

    ::testing::AssertionResult open();
    void close();

    // Set before open(): false finds no block definitions cached, as on a
    // first connection, so they are read from the unit; tickFast ticks the
    // window every millisecond (FastTicks) from its opening on.
    bool cacheDefinitions = true;
    bool tickFast = false;

    // Waits until the program has no request left to run.
    bool settle();

    RedirectedUserFolders scratch;

private:
    struct ForgetManagers
    {
        ForgetManagers();
    } forgetManagers;

public:
    RecordingNotifier notices;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend{ backend };
    SimulatedKestrel unit{ backend };
    SkinManager skin;
    ZolLookAndFeel look; // the program's own, as the application installs it
    std::unique_ptr<MainAppWindow> window;
    std::unique_ptr<FastTicks> fastTicks;

    // Found once open() succeeds.
    KestrelContentComponent* content = nullptr;
    GridUnitContent* grid = nullptr;
    EffectEditorContent* editor = nullptr;
    KestrelCommandTarget* target = nullptr;
    PresetManager* presets = nullptr;
};

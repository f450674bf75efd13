#pragma once

#include "device/wire/UnitReplies.h"

#include <juce_core/juce_core.h>

class GlobalConfiguration;
class PresetManager;
class ZOLMidiProcessing;

// The link and preset-manager duties of the main window's 10 ms timer, in one
// call per tick:
//
// 1. While the unit is not connected: at most once per 1000 ms, open the
//    configured MIDI ports by name (MIDI_IN, MIDI_OUT; "<< none >>" for no
//    port) and start the link.
// 2. Take the link's preset-change, resync and states-changed mailboxes and
//    hand them to the preset manager (a reported preset number, "Resync
//    Preset", "Query Block States"; a states report taken while that request
//    runs starts it again once it has ended). The tuner, looper, knob and
//    modifier mailboxes are left for the panels that show them.
// 3. Read and clear the input and output activity, tempo-changed and
//    editor-disconnected flags (reported to the caller).
// 4. Set or clear the link's hold flag (communication paused by the user).
// 5. Read and clear the preset manager's status-changed flag and, when it was
//    set, send its synchronous change message.
// 6. Run PresetManager::processRequests, cancelling while the link is not up.
//
// Message thread only.
class LinkTicker
{
public:
    static constexpr juce::uint32 portRetryIntervalMs = 1000;
    static constexpr const char* noPortName = "<< none >>";

    // What one tick saw, for the window's LEDs and its connection handling.
    struct Report
    {
        bool linkUp = false;
        bool portsOpened = false; // this tick started the link
        bool inputActivity = false;
        bool outputActivity = false;
        bool tempoChanged = false;
        bool editorDisconnected = false;
        bool presetChanged = false;
        bool presetChangeAskedByEditor = false;
        PresetNumberRecord presetNumber;
        bool resyncRequested = false;
        bool statesChanged = false;
        bool statusBroadcast = false;
    };

    // The configuration may be null: the ports are then opened by the default
    // name "Kestrel MIDI".
    LinkTicker (ZOLMidiProcessing& link, PresetManager& presetManager, GlobalConfiguration* configuration);

    Report tick();

    // Closes both ports and does not open the same devices again while the
    // device lists still show them and the configured names are unchanged:
    // unplugging and plugging the unit back in, or choosing other ports,
    // brings the retry back.
    void forgetPorts();
    bool isForgettingPorts() const { return forgottenInput.isNotEmpty() || forgottenOutput.isNotEmpty(); }

    // The user's pause of communication: the link holds its out-queue.
    void setPaused (bool shouldPause) { paused = shouldPause; }
    bool isPaused() const { return paused; }

    // How long the main window's timer may wait before the next tick: the
    // busy interval while the preset manager has work or a states report
    // waits to be read, and for settleMs after a tick that saw work or
    // traffic (the panels' own requests and LEDs finish in that time);
    // portRetryIntervalMs while connected and idle (the link's activity
    // callback wakes the window); the busy interval while only one port is
    // open; otherwise (nothing but the port retry to do) until the retry is
    // due, between the busy interval and portRetryIntervalMs.
    int getNextTickIntervalMs (int busyIntervalMs) const;
    static constexpr juce::uint32 settleMs = 200;

    // The sleep while connected and idle (portRetryIntervalMs); tests
    // lengthen it to show that only the link's wake-up brings news in.
    void setIdleIntervalMs (int ms) { idleIntervalMs = ms; }

    // Input port, output port and link thread all present. Tests that drive
    // the link's passes by hand turn the thread requirement off; the link is
    // then started without its thread.
    bool isLinkUp() const;
    void setLinkThreadRequired (bool required) { threadRequired = required; }

private:
    bool openPorts();

    ZOLMidiProcessing& link;
    PresetManager& presetManager;
    GlobalConfiguration* configuration;
    bool paused = false;
    bool threadRequired = true;
    bool triedOpening = false;
    // The devices and configured names of forgotten ports.
    juce::String forgottenInput, forgottenOutput, forgottenInName, forgottenOutName;
    juce::uint32 lastOpenAttempt = 0;
    int idleIntervalMs = (int) portRetryIntervalMs;
    // The unit reported changed states while "Query Block States" ran.
    bool statesReportWaiting = false;
    bool sawBusy = false;
    juce::uint32 lastBusyMs = 0;

    JUCE_DECLARE_NON_COPYABLE (LinkTicker)
};

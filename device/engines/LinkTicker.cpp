#include "device/engines/LinkTicker.h"

#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/Clock.h"
#include "model/GlobalConfiguration.h"
#include "model/KestrelGlobalConfiguration.h"

LinkTicker::LinkTicker (ZOLMidiProcessing& linkToUse, PresetManager& manager, GlobalConfiguration* configurationToUse)
    : link (linkToUse)
    , presetManager (manager)
    , configuration (configurationToUse)
{
}

bool LinkTicker::isLinkUp() const
{
    return link.isConnected() && (link.isProcessing() || ! threadRequired);
}

int LinkTicker::getNextTickIntervalMs (int busyIntervalMs) const
{
    auto& ports = link.getPorts();

    if (presetManager.hasWork() || statesReportWaiting || (sawBusy && Clock::elapsedSince (lastBusyMs) < settleMs))
        return busyIntervalMs;

    // Connected and idle: the link wakes the tick when anything arrives.
    if (link.isConnected())
        return idleIntervalMs;

    if (ports.isInputOpen() || ports.isOutputOpen())
        return busyIntervalMs;

    if (! triedOpening)
        return busyIntervalMs;

    const auto elapsed = Clock::elapsedSince (lastOpenAttempt);
    const auto untilRetry = elapsed >= portRetryIntervalMs ? 0 : (int) (portRetryIntervalMs - elapsed);
    return juce::jlimit (busyIntervalMs, (int) portRetryIntervalMs, untilRetry);
}

bool LinkTicker::openPorts()
{
    auto inName = configuration != nullptr ? configuration->MIDI_IN
                                           : juce::String (KestrelGlobalConfiguration::defaultPortName());
    auto outName = configuration != nullptr ? configuration->MIDI_OUT
                                            : juce::String (KestrelGlobalConfiguration::defaultPortName());
    auto& ports = link.getPorts();

    // A forgotten port stays closed while its device is still listed under
    // the same configured name.
    if (forgottenInput.isNotEmpty()
        && (inName != forgottenInName || ! ports.getInputNames().contains (forgottenInput)))
        forgottenInput.clear();

    if (forgottenOutput.isNotEmpty()
        && (outName != forgottenOutName || ! ports.getOutputNames().contains (forgottenOutput)))
        forgottenOutput.clear();

    if (! ports.isInputOpen() && forgottenInput.isEmpty() && inName.isNotEmpty() && inName != noPortName)
        ports.openInputByName (inName);

    if (! ports.isOutputOpen() && forgottenOutput.isEmpty() && outName.isNotEmpty() && outName != noPortName)
        ports.openOutputByName (outName);

    return link.startProcessing (threadRequired);
}

void LinkTicker::forgetPorts()
{
    auto& ports = link.getPorts();
    forgottenInput = ports.getInputName();
    forgottenOutput = ports.getOutputName();
    forgottenInName = configuration != nullptr ? configuration->MIDI_IN
                                               : juce::String (KestrelGlobalConfiguration::defaultPortName());
    forgottenOutName = configuration != nullptr ? configuration->MIDI_OUT
                                                : juce::String (KestrelGlobalConfiguration::defaultPortName());
    link.closePorts();
}

LinkTicker::Report LinkTicker::tick()
{
    Report report;

    if (! link.isConnected())
    {
        auto now = Clock::nowMs();

        if (! triedOpening || Clock::elapsedSince (lastOpenAttempt) >= portRetryIntervalMs)
        {
            triedOpening = true;
            lastOpenAttempt = now;
            report.portsOpened = openPorts();
        }
    }

    // Mailboxes of the preset manager's concern.
    if (link.takePresetChange (&report.presetNumber, &report.presetChangeAskedByEditor))
    {
        report.presetChanged = true;
        presetManager.setCurrentPresetNumber (report.presetNumber);
    }

    if (link.takeResyncRequest())
    {
        report.resyncRequested = true;
        presetManager.requestResyncPreset();
    }

    // A report that comes while the states are being read may be newer than
    // the answer being read: it is kept until the reading ends and then read
    // again.
    if (link.takeStatesChanged())
    {
        report.statesChanged = true;
        statesReportWaiting = true;
    }

    if (statesReportWaiting && presetManager.requestBlockStates())
        statesReportWaiting = false;

    report.inputActivity = link.readAndClearInputActivity();
    report.outputActivity = link.readAndClearOutputActivity();
    report.tempoChanged = link.takeTempoChanged();
    report.editorDisconnected = link.takeEditorDisconnected();

    link.setHold (paused);

    // At most one broadcast per tick, before the processor: no request starts
    // a step while a code waits to be seen.
    if (presetManager.readAndClearStatusChanged())
    {
        report.statusBroadcast = true;
        presetManager.sendSynchronousChangeMessage();
    }

    report.linkUp = isLinkUp();
    presetManager.processRequests (! report.linkUp);

    if (report.portsOpened || report.presetChanged || report.resyncRequested || report.statesChanged
        || report.inputActivity || report.outputActivity || report.tempoChanged || report.editorDisconnected
        || report.statusBroadcast || presetManager.hasWork())
    {
        sawBusy = true;
        lastBusyMs = Clock::nowMs();
    }

    return report;
}

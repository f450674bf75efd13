#include "device/link/ZOLMidiInputCallback.h"

#include "device/link/MidiPortPair.h"

ZOLMidiInputCallback::ZOLMidiInputCallback (MidiPortPair& owner)
    : ports (owner)
{
}

void ZOLMidiInputCallback::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    ports.appendIncoming (message);
}

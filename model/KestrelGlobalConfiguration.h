#pragma once

#include "model/GlobalConfiguration.h"
#include "model/Singleton.h"

// The configuration store that the program instantiates: the general
// settings plus the Kestrel's own keys, with "Kestrel MIDI" as the default
// input and output port names.
class KestrelGlobalConfiguration : public GlobalConfiguration, public Singleton<KestrelGlobalConfiguration>
{
public:
    KestrelGlobalConfiguration();

    bool PROMPT_PRESET_BUNDLE_IMPORT = true;
    bool CHECK_PAUSE_GOES_HOME = false;
    bool BROWSER_CAB_CLEAR_LIST = true;
    juce::int32 BROWSER_SCRATCHPAD = 0;
    double BROWSER_SPLITTER_CAB = 0.0;

    static const char* defaultPortName() { return "Kestrel MIDI"; }

protected:
    void readKeys (const juce::PropertySet& settings) override;
    void writeKeys (juce::PropertySet& settings) const override;

private:
    friend class Singleton<KestrelGlobalConfiguration>;
};

#include "model/KestrelGlobalConfiguration.h"

KestrelGlobalConfiguration::KestrelGlobalConfiguration()
    : GlobalConfiguration (defaultPortName(), defaultPortName())
{
}

void KestrelGlobalConfiguration::readKeys (const juce::PropertySet& settings)
{
    PROMPT_PRESET_BUNDLE_IMPORT = settings.getBoolValue ("PROMPT_PRESET_BUNDLE_IMPORT", true);
    BROWSER_CAB_CLEAR_LIST = settings.getBoolValue ("BROWSER_CAB_CLEAR_LIST", true);
    BROWSER_SCRATCHPAD = settings.getIntValue ("BROWSER_SCRATCHPAD", 0);
    BROWSER_SPLITTER_CAB = readDouble (settings, "BROWSER_SPLITTER_CAB", 0.0);
    CHECK_PAUSE_GOES_HOME = settings.getBoolValue ("CHECK_PAUSE_GOES_HOME", false);

    GlobalConfiguration::readKeys (settings);
}

void KestrelGlobalConfiguration::writeKeys (juce::PropertySet& settings) const
{
    settings.setValue ("PROMPT_PRESET_BUNDLE_IMPORT", PROMPT_PRESET_BUNDLE_IMPORT);
    settings.setValue ("BROWSER_CAB_CLEAR_LIST", BROWSER_CAB_CLEAR_LIST);
    settings.setValue ("BROWSER_SCRATCHPAD", BROWSER_SCRATCHPAD);
    settings.setValue ("BROWSER_SPLITTER_CAB", BROWSER_SPLITTER_CAB);
    settings.setValue ("CHECK_PAUSE_GOES_HOME", CHECK_PAUSE_GOES_HOME);

    GlobalConfiguration::writeKeys (settings);
}

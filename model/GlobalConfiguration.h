#pragma once

#include "model/ColorAssignments.h"

#include <juce_data_structures/juce_data_structures.h>
#include <juce_events/juce_events.h>

// Every per-user preference of the program, kept as plain public fields that
// the preferences page, the windows, the browsers and the managers read and
// assign on the message thread. Only load() and save() touch the settings
// file "Kestrel-Edit.settings" (JUCE's XML properties format) in
// UserFolders::getSettingsFolder(); the colour assignments are loaded and
// saved beside it. The file is read with ExternalPropertiesReader (it comes
// from outside the program) and written as JUCE's XML form.
//
// save() hands the values over and writes the colour file at once; the
// settings file itself is written 3000 ms after the last save() (timed by
// Clock), when the store is destroyed, or by writeSettingsNow(). Each write
// reads the file afresh and replaces only this store's keys, so keys that
// others keep there (the update check's AUTO_UPDATE_DIR and
// AUTO_UPDATE_SKIP_CHECK) survive untouched.
class GlobalConfiguration : private juce::Timer
{
public:
    GlobalConfiguration (const juce::String& defaultMidiInName, const juce::String& defaultMidiOutName);
    ~GlobalConfiguration() override;

    // Reads every key into the fields (a missing or unreadable file, or a
    // missing key, gives the default), makes the templates folder, then
    // loads the colour assignments. False when the settings file or the
    // colour file existed but could not be read.
    virtual bool load();

    // Hands every field to the settings file (written after the save delay)
    // and writes the colour assignments file. False when the colour file
    // could not be written; the previous file is then intact.
    virtual bool save();

    // MRU_DIRECTORY, first replaced by the documents folder when it is gone.
    juce::String getMruDirectory();

    // Replaces a path that is empty, not a full path, or missing with the
    // full path of the user's documents folder.
    static void validateFolder (juce::String& path);

    // Makes the TEMPLATES_DIR folder when it is missing; on failure warns
    // "Preset Templates" and keeps the path. True when the folder exists.
    bool checkTemplatesDirectory();

    bool loadColorAssignments();
    bool saveColorAssignments();

    // Keys that another part keeps in the settings file itself (the update
    // check's AUTO_UPDATE_DIR, AUTO_UPDATE_SKIP_CHECK and
    // AUTO_UPDATE_FEED_BASE), read afresh from the file. Writing one writes
    // the file at once and leaves every other key as it is; false when the
    // file could not be read or written.
    juce::String readOtherKey (const juce::String& key, const juce::String& fallback = {}) const;
    bool writeOtherKey (const juce::String& key, const juce::String& value);

    // Writes the settings file now when a save() is waiting; true when
    // nothing waits or the write succeeded.
    bool writeSettingsNow();

    // Writes the settings file when a save() has waited the save delay.
    // The store's own timer calls this; tests call it after moving the clock.
    bool writeSettingsIfDue();
    bool isSettingsWritePending() const { return settingsWritePending; }

    static juce::File getSettingsFile();
    static juce::File getColorAssignmentsFile();

    static constexpr juce::uint32 saveDelayMs = 3000;

    // The settings; each is kept in the file under the key of its own name.
    juce::String MAIN_WINDOW_STATE;
    juce::String BRAKCHANGE_WINDOW_STATE;
    juce::String MRU_DIR_IMPORT;
    juce::String MRU_DIRECTORY;
    juce::String MRU_SYSEX_INFO;
    juce::String SNAPSHOTS_DIR;
    juce::String EFFECT_DEFS_DIR;
    juce::String BLOCKS_DEFS_DIR;
    juce::String TEMPLATES_DIR;
    juce::String MIDI_IN;
    juce::String MIDI_OUT;
    juce::int32 MOUSE_SCROLLING = 1; // 1 or 2
    juce::int32 KNOB_TRACKING = 1;   // 1 or 2
    juce::int32 LANGUAGE = 1;        // only language 1 exists
    bool PROMPT_MANAGER_LOAD = true;
    bool PROMPT_MANAGER_WAIT_TIME = true;
    bool PROMPT_MANAGER_RESYNC = true;
    bool SHOW_TOOLTIPS = true;
    bool ALLOW_MORE_THAN_ONE = false;
    bool SEARCH_NUMBER_AND_NAME = true;
    bool CHECK_FOR_UPDATE = true;
    bool CHECK_AUTO_PAUSE_ON_RESYNC = true;
    bool BROWSER_RECURSE_DIRECTORIES = true;
    bool BROWSER_PRESET_CLEAR_LIST = true;
    double BROWSER_SPLITTER_PRESET = 0.0;
    ColorAssignments colorAssignments;

    // Learnt from the connected unit, never saved: its MIDI channel (1-based)
    // and the number its preset displays start from.
    juce::uint16 unitMidiChannel = 0;
    juce::uint16 displayOffset = 0;
    juce::int32 IR_PROCESSING_MODE = 1; // 1 to 3
    juce::int32 IR_OUTPUT_FORMAT = 1;   // 1 or 2

    const juce::String defaultMidiIn;
    const juce::String defaultMidiOut;

protected:
    // Reading and writing the keys; a subclass adds its own keys before
    // calling these.
    virtual void readKeys (const juce::PropertySet& settings);
    virtual void writeKeys (juce::PropertySet& settings) const;

    static double readDouble (const juce::PropertySet& settings, const char* key, double defaultValue);

private:
    void timerCallback() override;

    juce::PropertySet pendingValues;
    bool settingsWritePending = false;
    juce::uint32 lastSaveMs = 0;
    bool colorFileUnreadable = false; // the last load found a colour file it could not read

    JUCE_DECLARE_NON_COPYABLE (GlobalConfiguration)
};

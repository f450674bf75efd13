#include "model/GlobalConfiguration.h"

#include "model/Clock.h"
#include "model/ExternalPropertiesReader.h"
#include "model/FileUtils.h"
#include "model/SafeFileWrite.h"
#include "model/UserFolders.h"
#include "model/UserNotifier.h"

#include <cmath>

namespace
{
// Real colour files are a few kilobytes; anything far larger is not ours and
// is not read into memory (the settings reader has a limit of its own).
constexpr juce::int64 maxColorFileSize = 4 * 1024 * 1024;

constexpr int timerIntervalMs = 250;

const juce::String& separator()
{
    static const juce::String sep (juce::File::getSeparatorString());
    return sep;
}

juce::String withSeparator (const juce::String& path)
{
    return path.endsWith (separator()) ? path : path + separator();
}

// The folder's path, then each word followed by a separator.
juce::String folderPath (const juce::File& base, std::initializer_list<const char*> words)
{
    auto path = withSeparator (base.getFullPathName());

    for (auto* word : words)
        path << word << separator();

    return path;
}

juce::File backupFileFor (const juce::File& file)
{
    return file.getSiblingFile (file.getFileName() + ".bad");
}

// The properties in the settings file. True when there is no file or it was
// read; false when a file is there that cannot be read as properties.
bool readSettingsFile (const juce::File& file, PropertyList& values)
{
    return ExternalPropertiesReader::readFile (file, values) != ExternalPropertiesReader::Result::unreadable;
}

// The settings file in JUCE's XML properties form. Every value is stored as
// an attribute, so it reads back exactly as it was given.
juce::String settingsXml (const PropertyList& values)
{
    juce::XmlElement doc ("PROPERTIES");
    auto& keys = values.getAllKeys();
    auto& texts = values.getAllValues();

    // Linked in from the last one: appending walks every earlier sibling.
    for (int i = keys.size(); --i >= 0;)
    {
        auto* e = new juce::XmlElement ("VALUE");
        e->setAttribute ("name", keys[i]);
        e->setAttribute ("val", texts[i]);
        doc.prependChildElement (e);
    }

    return doc.toString();
}

juce::int32 readRanged (const juce::PropertySet& settings, const char* key, juce::int32 lowest, juce::int32 highest,
                        juce::int32 fallback)
{
    const auto value = settings.getIntValue (key, fallback);
    return (value < lowest || value > highest) ? fallback : value;
}

juce::String readPortName (const juce::PropertySet& settings, const char* key, const juce::String& defaultName)
{
    auto name = settings.getValue (key, defaultName).trim();
    return name.isEmpty() ? defaultName : name;
}
} // namespace

GlobalConfiguration::GlobalConfiguration (const juce::String& defaultMidiInName, const juce::String& defaultMidiOutName)
    : MIDI_IN (defaultMidiInName)
    , MIDI_OUT (defaultMidiOutName)
    , defaultMidiIn (defaultMidiInName)
    , defaultMidiOut (defaultMidiOutName)
    , pendingValues (false)
{
    const auto documents = UserFolders::getDocumentsFolder();
    const auto company = UserFolders::companyFolderName();
    const auto program = UserFolders::programFolderName();

    MRU_DIRECTORY = documents.getFullPathName();
    MRU_DIR_IMPORT = MRU_DIRECTORY;
    MRU_SYSEX_INFO = MRU_DIRECTORY;
    SNAPSHOTS_DIR = folderPath (documents, { company, program, "presets", "snapshots" });
    BLOCKS_DEFS_DIR = folderPath (documents, { company, program, "blocks" });
    TEMPLATES_DIR = folderPath (documents, { company, program, "presets", "templates" });
    EFFECT_DEFS_DIR = folderPath (UserFolders::getApplicationDataFolder(), { company, program });
}

GlobalConfiguration::~GlobalConfiguration()
{
    stopTimer();
    writeSettingsNow();
}

juce::File GlobalConfiguration::getSettingsFile()
{
    return UserFolders::getSettingsFolder().getChildFile ("Kestrel-Edit.settings");
}

juce::File GlobalConfiguration::getColorAssignmentsFile()
{
    return UserFolders::getSettingsFolder().getChildFile ("color-assignments.dat");
}

bool GlobalConfiguration::load()
{
    // Values handed over by an earlier save must reach the file before it is read back.
    writeSettingsNow();

    PropertyList stored;
    const bool settingsRead = readSettingsFile (getSettingsFile(), stored);

    // A property set searches all its keys for each lookup, so it is given
    // only the keys this store reads, which are the keys it writes; the rest
    // of a large file would make every lookup slow.
    juce::PropertySet known (false), settings (false);
    writeKeys (known);

    for (auto& key : known.getAllProperties().getAllKeys())
        if (stored.containsKey (key))
            settings.setValue (key, stored[key]);

    // An unreadable file reads as an empty one: every key takes its default.
    readKeys (settings);

    const bool colorsRead = loadColorAssignments();
    return settingsRead && colorsRead;
}

bool GlobalConfiguration::save()
{
    pendingValues.clear();
    writeKeys (pendingValues);

    settingsWritePending = true;
    lastSaveMs = Clock::nowMs();

    if (! isTimerRunning())
        startTimer (timerIntervalMs);

    return saveColorAssignments();
}

void GlobalConfiguration::readKeys (const juce::PropertySet& settings)
{
    MRU_DIRECTORY = settings.getValue ("MRU_DIRECTORY", MRU_DIRECTORY);
    MRU_DIR_IMPORT = settings.getValue ("MRU_DIR_IMPORT", MRU_DIR_IMPORT);
    MRU_SYSEX_INFO = settings.getValue ("MRU_SYSEX_INFO", MRU_SYSEX_INFO);
    MAIN_WINDOW_STATE = settings.getValue ("MAIN_WINDOW_STATE", MAIN_WINDOW_STATE);
    BRAKCHANGE_WINDOW_STATE = settings.getValue ("BRAKCHANGE_WINDOW_STATE", BRAKCHANGE_WINDOW_STATE);
    SNAPSHOTS_DIR = settings.getValue ("SNAPSHOTS_DIR", SNAPSHOTS_DIR);
    EFFECT_DEFS_DIR = settings.getValue ("EFFECT_DEFS_DIR", EFFECT_DEFS_DIR);
    BLOCKS_DEFS_DIR = settings.getValue ("BLOCKS_DEFS_DIR", BLOCKS_DEFS_DIR);
    TEMPLATES_DIR = settings.getValue ("TEMPLATES_DIR", TEMPLATES_DIR);
    checkTemplatesDirectory();

    MIDI_IN = readPortName (settings, "MIDI_IN", defaultMidiIn);
    MIDI_OUT = readPortName (settings, "MIDI_OUT", defaultMidiOut);
    MOUSE_SCROLLING = readRanged (settings, "MOUSE_SCROLLING", 1, 2, 1);
    KNOB_TRACKING = readRanged (settings, "KNOB_TRACKING", 1, 2, 1);
    LANGUAGE = 1; // the only language there is, whatever the file says

    PROMPT_MANAGER_LOAD = settings.getBoolValue ("PROMPT_MANAGER_LOAD", true);
    PROMPT_MANAGER_WAIT_TIME = settings.getBoolValue ("PROMPT_MANAGER_WAIT_TIME", true);
    PROMPT_MANAGER_RESYNC = settings.getBoolValue ("PROMPT_MANAGER_RESYNC", true);
    SHOW_TOOLTIPS = settings.getBoolValue ("SHOW_TOOLTIPS", true);
    CHECK_FOR_UPDATE = settings.getBoolValue ("CHECK_FOR_UPDATE", true);
    ALLOW_MORE_THAN_ONE = settings.getBoolValue ("ALLOW_MORE_THAN_ONE", false);
    SEARCH_NUMBER_AND_NAME = settings.getBoolValue ("SEARCH_NUMBER_AND_NAME", true);
    BROWSER_RECURSE_DIRECTORIES = settings.getBoolValue ("BROWSER_RECURSE_DIRECTORIES", true);
    BROWSER_PRESET_CLEAR_LIST = settings.getBoolValue ("BROWSER_PRESET_CLEAR_LIST", true);
    BROWSER_SPLITTER_PRESET = readDouble (settings, "BROWSER_SPLITTER_PRESET", 0.0);
    CHECK_AUTO_PAUSE_ON_RESYNC = settings.getBoolValue ("CHECK_AUTO_PAUSE_ON_RESYNC", true);
    IR_PROCESSING_MODE = readRanged (settings, "IR_PROCESSING_MODE", 1, 3, 1);
    IR_OUTPUT_FORMAT = readRanged (settings, "IR_OUTPUT_FORMAT", 1, 2, 1);
}

void GlobalConfiguration::writeKeys (juce::PropertySet& settings) const
{
    settings.setValue ("MRU_DIRECTORY", MRU_DIRECTORY);
    settings.setValue ("MRU_DIR_IMPORT", MRU_DIR_IMPORT);
    settings.setValue ("MRU_SYSEX_INFO", MRU_SYSEX_INFO);
    settings.setValue ("MAIN_WINDOW_STATE", MAIN_WINDOW_STATE);
    settings.setValue ("BRAKCHANGE_WINDOW_STATE", BRAKCHANGE_WINDOW_STATE);
    settings.setValue ("SNAPSHOTS_DIR", SNAPSHOTS_DIR);
    settings.setValue ("EFFECT_DEFS_DIR", EFFECT_DEFS_DIR);
    settings.setValue ("BLOCKS_DEFS_DIR", BLOCKS_DEFS_DIR);
    settings.setValue ("TEMPLATES_DIR", TEMPLATES_DIR);
    settings.setValue ("MIDI_IN", MIDI_IN);
    settings.setValue ("MIDI_OUT", MIDI_OUT);
    settings.setValue ("MOUSE_SCROLLING", MOUSE_SCROLLING);
    settings.setValue ("KNOB_TRACKING", KNOB_TRACKING);
    settings.setValue ("LANGUAGE", LANGUAGE);
    settings.setValue ("PROMPT_MANAGER_LOAD", PROMPT_MANAGER_LOAD);
    settings.setValue ("PROMPT_MANAGER_WAIT_TIME", PROMPT_MANAGER_WAIT_TIME);
    settings.setValue ("PROMPT_MANAGER_RESYNC", PROMPT_MANAGER_RESYNC);
    settings.setValue ("SHOW_TOOLTIPS", SHOW_TOOLTIPS);
    settings.setValue ("CHECK_FOR_UPDATE", CHECK_FOR_UPDATE);
    settings.setValue ("ALLOW_MORE_THAN_ONE", ALLOW_MORE_THAN_ONE);
    settings.setValue ("SEARCH_NUMBER_AND_NAME", SEARCH_NUMBER_AND_NAME);
    settings.setValue ("BROWSER_RECURSE_DIRECTORIES", BROWSER_RECURSE_DIRECTORIES);
    settings.setValue ("BROWSER_PRESET_CLEAR_LIST", BROWSER_PRESET_CLEAR_LIST);
    settings.setValue ("BROWSER_SPLITTER_PRESET", BROWSER_SPLITTER_PRESET);
    settings.setValue ("CHECK_AUTO_PAUSE_ON_RESYNC", CHECK_AUTO_PAUSE_ON_RESYNC);
    settings.setValue ("IR_PROCESSING_MODE", IR_PROCESSING_MODE);
    settings.setValue ("IR_OUTPUT_FORMAT", IR_OUTPUT_FORMAT);
}

double GlobalConfiguration::readDouble (const juce::PropertySet& settings, const char* key, double defaultValue)
{
    // Divider positions feed straight into layouts; "nan" or "inf" in the
    // file would poison them, so those read as the default.
    const auto value = settings.getDoubleValue (key, defaultValue);
    return std::isfinite (value) ? value : defaultValue;
}

juce::String GlobalConfiguration::getMruDirectory()
{
    validateFolder (MRU_DIRECTORY);
    return MRU_DIRECTORY;
}

void GlobalConfiguration::validateFolder (juce::String& path)
{
    // A relative path is never a usable folder, and juce::File must not be given one.
    if (path.isEmpty() || ! juce::File::isAbsolutePath (path) || ! juce::File (path).exists())
        path = UserFolders::getDocumentsFolder().getFullPathName();
}

bool GlobalConfiguration::checkTemplatesDirectory()
{
    juce::String reason;

    if (! juce::File::isAbsolutePath (TEMPLATES_DIR))
    {
        reason = "the path is not a full path";
    }
    else
    {
        const juce::File folder (TEMPLATES_DIR);

        if (folder.isDirectory())
            return true;

        const auto created = folder.createDirectory();

        if (created.wasOk() && folder.isDirectory())
            return true;

        reason = created.failed() ? created.getErrorMessage() : juce::String ("a file of that name exists");
    }

    Notice notice;
    notice.icon = Notice::Icon::warning;
    notice.title = "Preset Templates";
    notice.message = "Unable to create Templates directory: " + reason + "\n" +
                     "Please correct the Preset Templates path in the Preferences::Workpsace.";
    UserNotifier::show (std::move (notice));
    return false;
}

bool GlobalConfiguration::loadColorAssignments()
{
    const auto file = getColorAssignmentsFile();
    colorFileUnreadable = false;

    if (! file.exists())
        return true;

    juce::MemoryBlock data;
    bool read = false;

    // A failed read keeps whatever groups came before the damage; the file
    // itself stays as it is until the next save, which first copies it aside.
    if (readRegularFile (file, maxColorFileSize, data) == FileReadResult::read)
        read = colorAssignments.readFrom (data);
    else
        colorAssignments.clear();

    colorFileUnreadable = ! read;
    return read;
}

bool GlobalConfiguration::saveColorAssignments()
{
    const auto file = getColorAssignmentsFile();

    // A file that the last load could not read is kept as "<name>.bad"
    // before it is replaced, so a damaged file never costs the user more
    // than the colours it already lost.
    if (colorFileUnreadable && isRegularFile (file))
    {
        if (! file.copyFileTo (backupFileFor (file)))
            return false;
    }

    colorFileUnreadable = false;

    juce::MemoryBlock data;
    colorAssignments.writeTo (data);
    return writeFileSafely (file, data).isEmpty();
}

bool GlobalConfiguration::writeSettingsNow()
{
    if (! settingsWritePending)
        return true;

    const auto file = getSettingsFile();
    PropertyList values;

    if (! readSettingsFile (file, values) && isRegularFile (file))
    {
        // Keep the unreadable file rather than silently replace it (a FIFO
        // or device there holds nothing to keep, and copying it would wait).
        if (! file.copyFileTo (backupFileFor (file)))
        {
            lastSaveMs = Clock::nowMs();
            return false;
        }
    }

    // Only this store's keys are replaced; everything else in the file stays.
    // The file's keys are written in key order, new keys after them.
    values.sortByKey();
    auto& pending = pendingValues.getAllProperties();

    for (int i = 0; i < pending.size(); ++i)
        values.set (pending.getAllKeys()[i], pending.getAllValues()[i]);

    if (writeFileSafely (file, settingsXml (values)).isNotEmpty())
    {
        lastSaveMs = Clock::nowMs(); // try again after another delay, and at exit
        return false;
    }

    settingsWritePending = false;
    return true;
}

juce::String GlobalConfiguration::readOtherKey (const juce::String& key, const juce::String& fallback) const
{
    PropertyList values;

    if (! readSettingsFile (getSettingsFile(), values))
        return fallback;

    return values.getValue (key, fallback);
}

bool GlobalConfiguration::writeOtherKey (const juce::String& key, const juce::String& value)
{
    const auto file = getSettingsFile();
    PropertyList values;

    // An unreadable file is left for load() and save() to keep aside.
    if (! readSettingsFile (file, values))
        return false;

    values.sortByKey();
    values.set (key, value);
    return writeFileSafely (file, settingsXml (values)).isEmpty();
}

bool GlobalConfiguration::writeSettingsIfDue()
{
    if (! settingsWritePending || Clock::elapsedSince (lastSaveMs) < saveDelayMs)
        return true;

    return writeSettingsNow();
}

void GlobalConfiguration::timerCallback()
{
    writeSettingsIfDue();

    if (! settingsWritePending)
        stopTimer();
}

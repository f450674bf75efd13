#include "model/BlockLibraryManager.h"

#include "model/FileUtils.h"
#include "model/GlobalConfiguration.h"
#include "model/IdTables.h"
#include "model/ModelFirmwareText.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"

namespace
{
// A log that has grown past this is started afresh rather than kept growing.
constexpr juce::int64 maxLogFileBytes = 128 * 1024;

const char* const libraryTitle = "Block Library";
} // namespace

BlockLibraryManager::BlockLibraryManager (GlobalConfiguration* config)
    : configuration (config)
{
}

BlockLibraryManager::~BlockLibraryManager()
{
    scanWalk.reset();
    errorLog.reset();
}

juce::File BlockLibraryManager::getLibraryFolder() const
{
    if (configuration == nullptr || ! juce::File::isAbsolutePath (configuration->BLOCKS_DEFS_DIR))
        return {};

    return juce::File (configuration->BLOCKS_DEFS_DIR);
}

void BlockLibraryManager::setConnectedDevice (int modelId, int major, int minor)
{
    connectedModelId = (juce::uint16) modelId;
    connectedMajor = (juce::uint8) major;
    connectedMinor = (juce::uint8) minor;
}

// Entries ---------------------------------------------------------------------------

BlockLibraryEntry* BlockLibraryManager::createEntry (int effectType)
{
    if (effectType == 0)
        return nullptr;

    auto entry = std::make_unique<BlockLibraryEntry> (effectType, connectedModelId, connectedMajor, connectedMinor);
    entry->modified = 1;
    return addEntry (std::move (entry));
}

BlockLibraryEntry* BlockLibraryManager::addEntry (std::unique_ptr<BlockLibraryEntry> entry)
{
    auto* added = fileEntry (std::move (entry));
    index.noteHandedOut (added);
    return added;
}

BlockLibraryEntry* BlockLibraryManager::fileEntry (std::unique_ptr<BlockLibraryEntry> entry)
{
    if (entry == nullptr)
        return nullptr;

    // Entry ids are 16 bits wide and 0 means "none".
    if ((juce::uint16) nextEntryId == 0)
        ++nextEntryId;

    entry->entryId = (juce::uint16) nextEntryId++;
    auto* added = entries.add (entry.release());
    index.add (added);
    return added;
}

BlockLibraryEntry* BlockLibraryManager::getEntry (int entryIndex) const
{
    auto* entry = entries[entryIndex];
    index.noteHandedOut (entry);
    return entry;
}

BlockLibraryEntry* BlockLibraryManager::findEntryById (int entryId) const
{
    index.refresh();
    auto* entry = index.findById (entryId);
    index.noteHandedOut (entry);
    return entry;
}

BlockLibraryEntry* BlockLibraryManager::findEntryByUuid (const juce::Uuid& uuid) const
{
    index.refresh();
    auto* entry = index.findByUuid (uuid);
    index.noteHandedOut (entry);
    return entry;
}

bool BlockLibraryManager::isNameUnique (const juce::Uuid& uuid) const
{
    index.refresh();
    return index.findByUuid (uuid) == nullptr;
}

bool BlockLibraryManager::isTextUniqueForType (int effectType, const juce::String& name) const
{
    index.refresh();
    return ! index.hasName (effectType, name);
}

bool BlockLibraryManager::makeUniqueText (int effectType, const juce::String& name, juce::String& out) const
{
    index.refresh();
    out = index.makeUniqueName (effectType, name);
    return true;
}

bool BlockLibraryManager::getEffectTypes (juce::Array<int>& types) const
{
    for (auto* entry : entries)
        types.addIfNotAlreadyThere (entry->effectType);

    return ! entries.isEmpty();
}

bool BlockLibraryManager::getEntryUuidsForType (int effectType, juce::Array<juce::Uuid>& uuids) const
{
    bool any = false;

    for (auto* entry : entries)
    {
        if (entry->effectType == effectType)
        {
            uuids.add (entry->uuid);
            any = true;
        }
    }

    return any;
}

bool BlockLibraryManager::removeEntry (const juce::Uuid& uuid, bool deleteFile)
{
    index.refresh();
    auto* entry = index.findByUuid (uuid);

    if (entry == nullptr)
        return false;

    const auto& file = entry->file;

    if (deleteFile && file != juce::File() && file.exists() && ! file.deleteFile())
    {
        UserNotifier::warn ("Failed deleting file:" + file.getFullPathName() +
                                juce::String::formatted ("\n\nwriteAccess(%d), hidden(%d).",
                                                         file.hasWriteAccess() ? 1 : 0, file.isHidden() ? 1 : 0),
                            libraryTitle);
        return false;
    }

    index.remove (entry);
    entries.removeObject (entry);
    return true;
}

void BlockLibraryManager::clearEntries()
{
    index.clear();
    entries.clear();
    nextEntryId = 1;

    // Links name entries by id; with the entries gone (and ids given out
    // afresh) they would point at whatever the next scan numbers alike.
    links.clear();
}

// Folder and files ------------------------------------------------------------------------

bool BlockLibraryManager::checkLibraryDirectory()
{
    const auto folder = getLibraryFolder();

    if (folder != juce::File() && folder.isDirectory())
        return true;

    const auto result = folder == juce::File() ? juce::Result::fail ("No folder is set.") : folder.createDirectory();

    if (result.wasOk())
        return true;

    UserNotifier::warn ("Unable to create Block Library directory: " + result.getErrorMessage() + "\n" +
                            "Please correct the Block Library path in the Preferences::Workpsace.",
                        libraryTitle);
    return false;
}

void BlockLibraryManager::startScan()
{
    errorsLogged = 0;

    // A linked folder that leads back into the library is not walked again,
    // which would load the same files many times over.
    scanWalk = std::make_unique<FolderWalk> (getLibraryFolder(), juce::String ("*") + fileExtension());
}

bool BlockLibraryManager::scanNext (juce::String& fileName, int& errorCode)
{
    juce::File file;

    if (scanWalk != nullptr && scanWalk->next (file))
    {
        juce::String name;

        if (loadBlockFile (file, errorCode, name) != 0)
            fileName = file.getFullPathName();

        return true;
    }

    scanWalk.reset();
    return false;
}

int BlockLibraryManager::loadBlockFile (const juce::File& file, int& errorCode, juce::String& name)
{
    index.refresh();

    if (auto* held = index.findByFile (file))
    {
        index.remove (held);
        entries.removeObject (held);
    }

    auto entry = std::make_unique<BlockLibraryEntry>();
    errorCode = entry->read (file);
    lastStamp = entry->getStamp();

    // Each check runs only while the file is still acceptable, so a later one
    // never clears an earlier refusal.
    if (errorCode == BlockLibraryEntry::okay && firstBlockIdOfType (entry->effectType) < 0)
        errorCode = BlockLibraryEntry::effectTypeIncompatible;

    if (errorCode == BlockLibraryEntry::okay)
        errorCode = checkFirmware (&lastStamp, entry->effectType);

    if (errorCode != BlockLibraryEntry::okay)
    {
        logError (file.getFullPathName() + ": " + getErrorText (errorCode, lastStamp));
        return 0;
    }

    if (index.hasName (entry->effectType, entry->name))
        entry->name = index.makeUniqueName (entry->effectType, entry->name);

    if (index.findByUuid (entry->uuid) != nullptr)
        entry->makeNewUuid();

    auto* added = fileEntry (std::move (entry));
    name = added->name;
    return added->entryId;
}

bool BlockLibraryManager::saveModifiedEntries()
{
    const auto stamp = juce::Time::getCurrentTime().formatted ("_%Y%m%d_%H%M%S");
    const auto library = getLibraryFolder();
    bool allWritten = true;

    for (auto* entry : entries)
    {
        if (entry->modified != 1)
            continue;

        juce::File target;

        if (entry->file != juce::File() && entry->file.existsAsFile())
        {
            target = entry->file;
        }
        else
        {
            auto folderName = makeLegalFileName (
                entry->folderText.isNotEmpty() ? entry->folderText
                                               : getNameForId (EffectTypeFileNames, (juce::uint32) entry->effectType));

            if (folderName.isEmpty())
                folderName = "unnamed";

            auto baseName = makeLegalFileName (entry->name.trim());

            if (baseName.isEmpty())
                baseName = "unnamed";

            if (entry->addTimestamp == 1)
                baseName += stamp;

            // Two names can become the same file name (e.g. "A/B" and "AB");
            // the second then gets a counter instead of overwriting the first.
            juce::String path;

            if (library == juce::File() ||
                ! makeUniqueFilePath (library.getChildFile (folderName), baseName, fileExtension(), false, path))
            {
                UserNotifier::warn (
                    library == juce::File()
                        ? juce::String ("Unable to write \"" + entry->name + "\": no Block Library folder is set.")
                        : "Unable to write "
                              + library.getChildFile (folderName).getChildFile (baseName + fileExtension()).getFullPathName()
                              + ": no free file name is left in its folder.",
                    "Block Library Write");
                allWritten = false;
                continue;
            }

            target = juce::File (path);
        }

        const auto written = entry->writeToFile (target);
        index.refile (entry);

        if (written)
            entry->modified = 0;
        else
            allWritten = false;
    }

    return allWritten;
}

juce::File BlockLibraryManager::getLogFile() const
{
    const auto library = getLibraryFolder();
    return library == juce::File() ? juce::File() : library.getChildFile (logFileName());
}

void BlockLibraryManager::logError (const juce::String& line)
{
    errorsLogged = 1;

    if (errorLog == nullptr)
    {
        const auto file = getLogFile();

        if (file == juce::File())
            return;

        file.getParentDirectory().createDirectory();
        auto stream = std::make_unique<juce::FileOutputStream> (file);

        if (stream->failedToOpen())
            return;

        if (stream->getPosition() > maxLogFileBytes)
        {
            stream->setPosition (0);
            stream->truncate();
        }

        stream->writeText ("Log started: " + juce::Time::getCurrentTime().toString (true, true, true, true) + "\n",
                           false, false, nullptr);
        errorLog = std::move (stream);
    }

    errorLog->writeText (line + "\n", false, false, nullptr);
    errorLog->flush();
}

// Links -------------------------------------------------------------------------------------

void BlockLibraryManager::linkBlockToEntry (int blockId, int entryId)
{
    for (int i = links.size(); --i >= 0;)
        if (links.getReference (i).blockId == blockId)
            links.remove (i);

    links.add ({ (juce::uint16) blockId, (juce::uint16) entryId, 1 });
}

void BlockLibraryManager::unlinkEntry (int entryId)
{
    for (int i = links.size(); --i >= 0;)
        if (links.getReference (i).entryId == entryId)
            links.remove (i);
}

int BlockLibraryManager::getLinkedEntryId (int blockId) const
{
    for (auto& link : links)
        if (link.blockId == blockId)
            return link.entryId;

    return -1;
}

juce::uint8 BlockLibraryManager::getLinkMatchState (int blockId) const
{
    for (auto& link : links)
        if (link.blockId == blockId)
            return link.matches;

    return 0;
}

bool BlockLibraryManager::clearLinkMatch (int blockId)
{
    for (auto& link : links)
    {
        if (link.blockId == blockId)
        {
            link.matches = 0;
            return true;
        }
    }

    return false;
}

void BlockLibraryManager::clearLinks()
{
    links.clear();
}

// Firmware ------------------------------------------------------------------------------------

void BlockLibraryManager::addFirmwareRules (const IdPairRow* table)
{
    if (table == nullptr)
        return;

    for (auto* row = table; row->id != idTableEnd; ++row)
        firmwareRules.add ({ row->id, row->a, row->b });
}

int BlockLibraryManager::checkFirmware (const FirmwareStamp* stamp, int) const
{
    if (stamp == nullptr)
        return BlockLibraryEntry::deviceMismatch;

    for (auto& rule : firmwareRules)
    {
        if (rule.modelId != stamp->modelId)
            continue;

        if (stamp->major < rule.major || (stamp->major == rule.major && stamp->minor < rule.minor))
            return BlockLibraryEntry::firmwareIncompatible;

        return BlockLibraryEntry::okay;
    }

    return BlockLibraryEntry::deviceMismatch;
}

juce::String BlockLibraryManager::getErrorText (int code, const FirmwareStamp& stamp)
{
    switch (code)
    {
        case 0: return "Okay";
        case 1: return "Unable to open file";
        case 2: return "Invalid file format";
        case 3: return "Incompatible file version";
        case 4: return "Not a valid block file (bad checksum)";
        case 5: return "Invalid effect type Id";
        case 6: return "Invalid XY state value";
        case 7: return "The block's device Id did not match the connected device's Id.";
        case 8:
        {
            juce::String modelName, version;
            getModelAndFirmwareText (stamp.modelId, stamp.major, stamp.minor, modelName, version);
            return "The block was saved using " + modelName + " firmware version " + version +
                   " and is not compatible with the connected device's firmware.";
        }
        case 9: return "Effect type is incompatible with the connected device.";
        default: break;
    }

    return juce::String::formatted ("Unknown error (0x%x)", code);
}

void BlockLibraryManager::getErrorText (int code, juce::String& out) const
{
    out = getErrorText (code, lastStamp);
}

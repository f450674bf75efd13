#pragma once

#include "model/BlockLibraryEntry.h"
#include "model/BlockLibraryIndex.h"
#include "model/BlockLink.h"
#include "model/FirmwareRule.h"
#include "model/FolderWalk.h"
#include "model/IdNameTable.h"

#include <memory>

class GlobalConfiguration;

// The block library: single effect blocks kept as ".blk" files below the
// library folder (the BLOCKS_DEFS_DIR setting). The manager holds the entries
// read from the folder, writes new and changed ones, checks each file against
// the connected unit's model and firmware, logs load errors to
// "block_library.log" in the library folder, and remembers which block of the
// current preset was loaded from which entry.
//
// Message thread only. The raw preset worker writes entries of its own
// without touching the manager.
class BlockLibraryManager
{
public:
    explicit BlockLibraryManager (GlobalConfiguration* config);
    virtual ~BlockLibraryManager();

    static const char* fileExtension() { return ".blk"; }
    static const char* logFileName() { return "block_library.log"; }

    // The library folder of the configuration (an invalid File when unset).
    juce::File getLibraryFolder() const;

    // The unit files are tested against; set when a unit connects.
    void setConnectedDevice (int modelId, int major, int minor);
    juce::uint16 getConnectedModelId() const { return connectedModelId; }
    juce::uint8 getConnectedMajor() const { return connectedMajor; }
    juce::uint8 getConnectedMinor() const { return connectedMinor; }

    // Entries -----------------------------------------------------------------
    // A new, modified entry of the type stamped with the connected unit and
    // added to the library; nullptr for type 0.
    BlockLibraryEntry* createEntry (int effectType);

    // Takes the entry, gives it the next entry id and returns it.
    BlockLibraryEntry* addEntry (std::unique_ptr<BlockLibraryEntry> entry);

    BlockLibraryEntry* findEntryById (int entryId) const;
    BlockLibraryEntry* findEntryByUuid (const juce::Uuid& uuid) const;
    int getNumEntries() const { return entries.size(); }
    BlockLibraryEntry* getEntry (int index) const;

    // True when no entry has the uuid.
    bool isNameUnique (const juce::Uuid& uuid) const;

    // True when no entry of the type has exactly this name.
    bool isTextUniqueForType (int effectType, const juce::String& name) const;

    // The first of name(1), name(2), ... that no entry of the type has.
    bool makeUniqueText (int effectType, const juce::String& name, juce::String& out) const;

    // Adds each effect type held once; false when the library is empty.
    bool getEffectTypes (juce::Array<int>& types) const;

    // Appends the uuid of every entry of the type; false when none.
    bool getEntryUuidsForType (int effectType, juce::Array<juce::Uuid>& uuids) const;

    // Removes the entry, deleting its file first when asked. A file that
    // cannot be deleted warns "Block Library" and keeps the entry (false).
    bool removeEntry (const juce::Uuid& uuid, bool deleteFile);

    // Empties the library before a new scan: entry ids start again at 1 and
    // links to the old entries are dropped.
    void clearEntries();

    // Folder and files ---------------------------------------------------------
    // Creates the library folder when missing; warns "Block Library" when that
    // fails.
    bool checkLibraryDirectory();

    // Starts a scan of every ".blk" file below the library folder and clears
    // the errors-logged flag.
    void startScan();

    // Takes the scan's next file and loads it; hands back its error code and,
    // when it loaded, its full path. False when the scan is over.
    bool scanNext (juce::String& fileName, int& errorCode);

    // Loads a ".blk" file as a new entry (replacing an entry of the same file)
    // and returns its entry id; 0 with the error code on failure, which is
    // also logged. The name handed back is made unique within the type.
    int loadBlockFile (const juce::File& file, int& errorCode, juce::String& name);

    // Writes every modified entry: over its own file when it has one, else to
    // a new file <library>/<folder or type>/<name>_<time stamp>.blk that no
    // other file uses. An entry that fails keeps its modified flag (and the
    // user is warned). True when everything was written.
    bool saveModifiedEntries();

    bool hasLoggedErrors() const { return errorsLogged != 0; }
    juce::File getLogFile() const;

    // Links -------------------------------------------------------------------
    void linkBlockToEntry (int blockId, int entryId);
    void unlinkEntry (int entryId);
    int getLinkedEntryId (int blockId) const;
    juce::uint8 getLinkMatchState (int blockId) const;
    bool clearLinkMatch (int blockId);
    void clearLinks();

    // Firmware ------------------------------------------------------------------
    // Appends the rules of a table ended by model id -1.
    // Rows of {model, lowest major, lowest minor}, ended by id -1.
    void addFirmwareRules (const IdPairRow* table);
    int getNumFirmwareRules() const { return firmwareRules.size(); }

    // Whether a file of this stamp and effect type suits the connected unit:
    // 0, or error code 7, 8 or 9. A null stamp gives 7.
    virtual int checkFirmware (const FirmwareStamp* stamp, int effectType) const;

    // The text of a result code; code 8 names the model and firmware of the
    // stamp.
    static juce::String getErrorText (int code, const FirmwareStamp& stamp);

    // The text of a result code, for code 8 with the stamp of the last file
    // loaded.
    void getErrorText (int code, juce::String& out) const;

protected:
    juce::uint16 connectedModelId = 0;
    juce::uint8 connectedMajor = 0;
    juce::uint8 connectedMinor = 0;

private:
    void logError (const juce::String& line);
    BlockLibraryEntry* fileEntry (std::unique_ptr<BlockLibraryEntry> entry);

    GlobalConfiguration* configuration;
    int nextEntryId = 1;
    juce::OwnedArray<BlockLibraryEntry> entries;
    mutable BlockLibraryIndex index; // lookups over the entries
    juce::Array<BlockLink> links;
    std::unique_ptr<FolderWalk> scanWalk;
    std::unique_ptr<juce::FileOutputStream> errorLog;
    juce::uint8 errorsLogged = 0;
    juce::Array<FirmwareRule> firmwareRules;
    FirmwareStamp lastStamp;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BlockLibraryManager)
};

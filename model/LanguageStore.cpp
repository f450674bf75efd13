#include "model/LanguageStore.h"

#include "model/ExternalPropertiesReader.h"
#include "model/IdTables.h"
#include "model/UserFolders.h"

namespace
{
const char* const languageFileSuffix = ".lbrakml";
} // namespace

LanguageStore::LanguageStore()
{
    setLanguage (1);
}

LanguageStore::~LanguageStore() = default;

void LanguageStore::setLanguage (juce::int32 index)
{
    if (index == currentLanguage)
        return;

    currentLanguage = index;
    languageFile.reset();
    openLanguageFile();
}

void LanguageStore::openLanguageFile()
{
    const auto folder = UserFolders::getProgramFolder();

    auto fileName = getNameForId (LanguageFiles, (juce::uint32) currentLanguage);

    if (fileName.isEmpty())
        fileName = juce::String ("default") + languageFileSuffix;

    if (! folder.isDirectory())
        folder.createDirectory();

    const auto file = folder.getChildFile (fileName);
    languageFile = std::make_unique<PropertyList>();

    // An oversized, missing or unreadable file gives an empty set: every
    // message gets its built-in text.
    ExternalPropertiesReader::readFile (file, *languageFile, maxLanguageFileSize);
}

bool LanguageStore::getText (juce::int32 messageId, juce::String& text) const
{
    if (keyTable == nullptr || defaultTextTable == nullptr)
        return false;

    const auto* message = findMessage (messageId);

    if (message == nullptr || languageFile == nullptr)
        return false;

    // A key the file holds wins, even with an empty value; callers that get
    // false keep the text they passed in.
    text = languageFile->getValue (message->first, message->second);

    return text.isNotEmpty();
}

const std::pair<juce::String, juce::String>* LanguageStore::findMessage (juce::int32 messageId) const
{
    if (indexedKeys != keyTable || indexedTexts != defaultTextTable)
    {
        messages.clear();
        indexedKeys = keyTable;
        indexedTexts = defaultTextTable;

        std::unordered_map<juce::int32, const char*> builtIns;

        for (auto* row = defaultTextTable; row != nullptr && row->id != idTableEnd; ++row)
            builtIns.emplace (row->id, row->name);

        for (auto* row = keyTable; row != nullptr && row->id != idTableEnd; ++row)
        {
            const auto builtIn = builtIns.find (row->id);
            messages.emplace (row->id,
                              std::make_pair (juce::String (row->name),
                                              juce::String (builtIn != builtIns.end() ? builtIn->second : "")));
        }
    }

    const auto found = messages.find (messageId);

    if (found == messages.end() || found->second.first.isEmpty() || found->second.second.isEmpty())
        return nullptr;

    return &found->second;
}

juce::String LanguageStore::getText (juce::int32 messageId) const
{
    juce::String text;
    getText (messageId, text);
    return text;
}

juce::String LanguageStore::textOr (juce::int32 messageId, const juce::String& fallback, const LanguageStore* store)
{
    if (store != nullptr)
        if (auto text = store->getText (messageId); text.isNotEmpty())
            return text;

    return fallback;
}

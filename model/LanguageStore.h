#pragma once

#include "model/IdNameTable.h"
#include "model/PropertyList.h"
#include "model/Singleton.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <unordered_map>
#include <utility>

// Gives every user-facing prompt, title, tooltip and preference label by its
// message id (see PromptCatalogue.h). A language file in the program's folder
// may replace any text by key; it is only ever read, never created or written,
// and is read with ExternalPropertiesReader (XML or binary properties form).
// A file that cannot be read is treated as empty: every text is built in.
// Message thread only.
class LanguageStore : public Singleton<LanguageStore>
{
public:
    ~LanguageStore();

    // Selects a language by its LanguageFiles index and reads that file. Does
    // nothing when the index is already the current one.
    void setLanguage (juce::int32 index);
    juce::int32 getLanguage() const { return currentLanguage; }

    // The text of a message: the language file's value for the id's key
    // (even an empty one), or the built-in text when the file lacks the key.
    // False, with text left as it was, when the tables have not been handed
    // over or the id has no key or built-in text; otherwise true when the
    // delivered text is not empty. Takes the same time however large the
    // catalogue and the file are.
    bool getText (juce::int32 messageId, juce::String& text) const;

    // The same, as a value: empty when getText would give false.
    juce::String getText (juce::int32 messageId) const;

    // The text of a message from the given store (by default the running one),
    // or the fallback when there is no store or its text is empty.
    static juce::String textOr (juce::int32 messageId, const juce::String& fallback = {},
                                const LanguageStore* store = getInstanceWithoutCreating());

    // The message catalogue, handed over by the application right after
    // creating the store (PromptKeys and PromptDefaultTexts). Until then every
    // lookup gives false.
    const IdNameRow* keyTable = nullptr;
    const IdNameRow* defaultTextTable = nullptr;

    // Larger language files are not read: a full catalogue is a few tens of
    // kilobytes, so anything this big is not one, and reading it would only
    // waste memory.
    static constexpr juce::int64 maxLanguageFileSize = 4 * 1024 * 1024;

private:
    friend class Singleton<LanguageStore>;
    LanguageStore();

    void openLanguageFile();

    // The key and built-in text of a message id, from the catalogue as
    // handed over; null when the id has none.
    const std::pair<juce::String, juce::String>* findMessage (juce::int32 messageId) const;

    juce::int32 currentLanguage = 0;

    // The language file's properties (keys case-sensitive); none before a
    // language has been selected.
    std::unique_ptr<PropertyList> languageFile;

    // The catalogue by id (the first row of an id wins), made at the first
    // lookup after the tables were handed over.
    mutable std::unordered_map<juce::int32, std::pair<juce::String, juce::String>> messages;
    mutable const IdNameRow* indexedKeys = nullptr;
    mutable const IdNameRow* indexedTexts = nullptr;

    JUCE_DECLARE_NON_COPYABLE (LanguageStore)
};

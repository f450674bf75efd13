#pragma once

#include <juce_core/juce_core.h>

#include <functional>

// Where the preset exchange window gets its search results from. Nothing in
// this program specifies the exchange's search form or the form of its
// answers, so the window talks to this interface only; the program's own
// service says that the exchange cannot be reached.
class ExchangeService
{
public:
    struct Entry
    {
        juce::String name;
        juce::String author;
        juce::String kind; // "Preset", "Cab", ...
    };

    struct Page
    {
        int total = 0; // results of the whole search
        juce::Array<Entry> entries;
        juce::String error; // empty when the search worked
    };

    virtual ~ExchangeService() = default;

    // Asks for one page (1-based) of the search; done is called on the
    // message thread, possibly before search returns.
    virtual void search (const juce::String& query, int page, int perPage, std::function<void (Page)> done) = 0;

    // The program's own: the exchange cannot be reached.
    static std::unique_ptr<ExchangeService> createUnavailable();
    static constexpr const char* unavailableText = "The Brak-Change exchange cannot be reached from this version.";
};

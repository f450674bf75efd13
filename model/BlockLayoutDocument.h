#pragma once

#include <juce_core/juce_core.h>

#include <memory>

class EffectLayoutManager;

// The built-in layout document (__block_layout.xml): reading it from the
// program's resources and the checks that decide whether it suits this
// program and unit before the layout manager reads it.

// The text every refusal is shown after.
extern const char* const blockLayoutErrorIntro;

// The firmware a unit model needs for this program's layouts: true with the
// lowest accepted major and minor, false for a model without a requirement.
bool getRequiredFirmware (int model, int& major, int& minor);

// Checks a parsed document; empty when it is accepted, else the reason
// ("Invalid application name.", "Invalid application version.", "Invalid
// firmware model." or "Invalid firmware version.").
juce::String checkBlockLayoutDocument (const juce::XmlElement& root);

// Parses and checks document text. On refusal returns nullptr and sets
// errorText to the whole alert text (the intro followed by the reason).
std::unique_ptr<juce::XmlElement> parseBlockLayoutDocument (const juce::String& text, juce::String& errorText);

// The embedded document, parsed and checked; on refusal nullptr, with
// errorText set to the whole alert text. Showing it is the caller's part.
std::unique_ptr<juce::XmlElement> loadBlockLayoutXml (juce::String& errorText);

// The start-up step: appends the effect-type, block and page-layout name
// tables to the manager and lets it read the embedded document. False (and
// the manager without layouts) when the document was refused; errorText then
// holds the alert text.
bool loadEffectLayouts (EffectLayoutManager& manager, juce::String& errorText);

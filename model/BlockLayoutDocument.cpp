#include "model/BlockLayoutDocument.h"

#include "model/EffectLayoutManager.h"
#include "model/ExternalXmlReader.h"
#include "model/IdTables.h"

#if KESTREL_HAS_RESOURCES
#include "BinaryData.h"
#endif

const char* const blockLayoutErrorIntro = "There was an error while trying to load the effect layouts:\n";

namespace
{
const char* const applicationName = "Kestrel-Edit";
constexpr int documentVersion = 1;
} // namespace

bool getRequiredFirmware (int model, int& major, int& minor)
{
    // -1 is the table's terminator, never a model.
    if (model == idTableEnd)
        return false;

    return getPairForId (FirmwareRequirements, model, major, minor);
}

juce::String checkBlockLayoutDocument (const juce::XmlElement& root)
{
    if (root.getStringAttribute ("name") != applicationName)
        return "Invalid application name.";

    if (root.getIntAttribute ("version") != documentVersion)
        return "Invalid application version.";

    for (auto* device : root.getChildWithTagNameIterator ("Device"))
    {
        int major = 0, minor = 0;

        if (! getRequiredFirmware (device->getIntAttribute ("model", -1), major, minor))
            return "Invalid firmware model.";

        if (device->getIntAttribute ("majorVersion", -1) != major)
            return "Invalid firmware version.";
    }

    return {};
}

std::unique_ptr<juce::XmlElement> parseBlockLayoutDocument (const juce::String& text, juce::String& errorText)
{
    errorText.clear();

    if (! text.containsNonWhitespaceChars())
    {
        errorText = blockLayoutErrorIntro + juce::String ("The layout document is empty.");
        return nullptr;
    }

    // The same reader as for documents from outside: one parser for all XML.
    juce::String parseError;
    const auto utf8 = text.toUTF8();
    auto root = ExternalXmlReader::parse (utf8.getAddress(), utf8.sizeInBytes() - 1, parseError);

    if (root == nullptr)
    {
        errorText = juce::String (blockLayoutErrorIntro) + "The layout document could not be read: " + parseError;
        return nullptr;
    }

    const auto reason = checkBlockLayoutDocument (*root);

    if (reason.isNotEmpty())
    {
        errorText = blockLayoutErrorIntro + reason;
        return nullptr;
    }

    return root;
}

std::unique_ptr<juce::XmlElement> loadBlockLayoutXml (juce::String& errorText)
{
    juce::String text;

#if KESTREL_HAS_RESOURCES
    int size = 0;

    if (auto* data = BinaryData::getNamedResource ("__block_layout_xml", size))
        if (size > 0)
        {
            ExternalXmlReader::knowNamesOf (data, (size_t) size);
            text = juce::String::fromUTF8 (data, size);
        }
#endif

    return parseBlockLayoutDocument (text, errorText);
}

bool loadEffectLayouts (EffectLayoutManager& manager, juce::String& errorText)
{
    manager.appendEffectTypeNames (EffectLayoutNames);
    manager.appendBlockIdentifiers (BlockIdentifiers);
    manager.appendPageLayoutNames (PageLayoutNames);

    auto root = loadBlockLayoutXml (errorText);

    if (root == nullptr)
        return false;

    manager.parseLayouts (root.get());
    return true;
}

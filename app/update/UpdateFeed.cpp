#include "app/update/UpdateFeed.h"

#include "model/ExternalXmlReader.h"

namespace
{
const juce::XmlElement* firstChild (const juce::XmlElement& parent, const char* name)
{
    return parent.getChildByName (name);
}
} // namespace

bool UpdateFeed::read (const juce::MemoryBlock& data, const juce::String& platform, UpdateFeed& feed,
                       juce::String& errorText)
{
    feed = {};

    const auto attribute = platform.isEmpty() ? juce::String ("win") : platform;
    ExternalXmlReader::knowNames ({ "VERSION", "major", "minor", "revision", "compatibility", "eol", "URL",
                                    "RELEASENOTES", "EOLNOTES", "url", attribute, attribute + "Signature" });

    // The feed comes from the network: well-formed UTF-8 XML or nothing.
    auto root = ExternalXmlReader::parse (data, errorText);

    if (root == nullptr)
        return false;

    auto* version = firstChild (*root, "VERSION");

    // Well-formed XML that names no version (an error page, say) is not the feed.
    if (version == nullptr)
    {
        errorText = "The document is not an update feed.";
        return false;
    }

    {
        feed.major = version->getIntAttribute ("major");
        feed.minor = version->getIntAttribute ("minor");
        feed.revision = version->getIntAttribute ("revision");
        feed.compatibility = version->getBoolAttribute ("compatibility");
        feed.endOfLife = version->getBoolAttribute ("eol");

        if (auto* url = firstChild (*version, "URL"))
        {
            feed.downloadUrl = url->getStringAttribute (attribute).trim();
            feed.signature = url->getStringAttribute (attribute + "Signature").trim();
        }
    }

    if (auto* notes = firstChild (*root, "RELEASENOTES"))
    {
        feed.hasReleaseNotes = true;
        feed.releaseNotesUrl = notes->getStringAttribute ("url").trim();
    }

    if (auto* notes = firstChild (*root, "EOLNOTES"))
    {
        feed.hasEndOfLifeNotes = true;
        feed.endOfLifeNotesUrl = notes->getStringAttribute ("url").trim();
    }

    return true;
}

bool UpdateFeed::isNewerThan (int installedMajor, int installedMinor, int installedRevision) const
{
    if (major != installedMajor)
        return major > installedMajor;

    if (minor != installedMinor)
        return minor > installedMinor;

    return revision > installedRevision;
}

juce::String UpdateFeed::versionText() const
{
    return juce::String (major) + "." + juce::String (minor) + "." + juce::String (revision);
}

juce::String UpdateFeed::installerFileName (const juce::String& downloadUrl)
{
    auto path = downloadUrl.upToFirstOccurrenceOf ("?", false, false).upToFirstOccurrenceOf ("#", false, false);
    auto segment = path.fromLastOccurrenceOf ("/", false, false).fromLastOccurrenceOf ("\\", false, false);

    // The name comes from the network: only letters, digits, ".", "_" and
    // "-" are kept, so no shell, home-folder ("~") or quoting character ever
    // reaches the file system or a process. A leading "." or "-" goes too:
    // hidden files and names taken as options are not installers.
    juce::String name;

    for (auto c : segment)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
            c == '-')
            name << juce::String::charToString (c);

    while (name.startsWithChar ('.') || name.startsWithChar ('-'))
        name = name.substring (1);

    name = name.substring (0, maxInstallerNameLength);

    if (name.removeCharacters (".").isEmpty())
        return "Kestrel-Edit-Setup.exe";

    if (! name.endsWithIgnoreCase (".exe"))
        name << ".exe";

    return name;
}

#pragma once

#include <juce_core/juce_core.h>

// What the update feed of one product says: one XML document whose root
// (of any name) has the children "VERSION" (attributes "major", "minor",
// "revision", "compatibility", "eol", and a child "URL" whose attribute named
// after the platform gives the installer's address and whose attribute of
// that name plus "Signature" gives the installer's Ed25519 signature in
// base64), "RELEASENOTES" and "EOLNOTES" (attribute "url": plain-text notes).
struct UpdateFeed
{
    // A feed is a few hundred bytes; the update check fetches no more than this.
    static constexpr juce::int64 maxBytes = 1024 * 1024;

    int major = 0;
    int minor = 0;
    int revision = 0;
    bool compatibility = false;
    bool endOfLife = false;

    juce::String downloadUrl;
    juce::String signature; // base64, as given; empty when the feed has none

    bool hasReleaseNotes = false;
    juce::String releaseNotesUrl;
    bool hasEndOfLifeNotes = false;
    juce::String endOfLifeNotesUrl;

    // Reads a fetched feed for a platform ("win" when empty). A document that
    // is not well-formed UTF-8 XML is refused with errorText saying why. A
    // feed without "VERSION" reads as version 0.0.0 without flags, so it
    // offers nothing.
    static bool read (const juce::MemoryBlock& data, const juce::String& platform, UpdateFeed& feed,
                      juce::String& errorText);

    // True when this version is later than the one given; equal is not newer.
    bool isNewerThan (int installedMajor, int installedMinor, int installedRevision) const;

    juce::String versionText() const;

    // The installer's file name: the last path segment of the download URL
    // without its query, of which only letters, digits, ".", "_" and "-" are
    // kept (and no leading "." or "-"), with ".exe" added when it does not
    // already end so; "Kestrel-Edit-Setup.exe" when nothing usable is left.
    static constexpr int maxInstallerNameLength = 120;
    static juce::String installerFileName (const juce::String& downloadUrl);
};

#pragma once

#include <juce_core/juce_core.h>

#include <array>

// The check that a downloaded installer is the maker's own: an Ed25519
// signature (RFC 8032, as libsodium makes and checks it), made with the
// maker's release key, over the installer's bytes AND the version the
// installer installs. The program carries only the public half of that key;
// nothing downloaded is written as runnable or started unless it passes.
//
// The signed message (installerMessage) is, byte for byte:
//
//     "Kestrel-Edit installer\n"
//     "version " <major> "." <minor> "." <revision> "\n"
//     <the installer's bytes, unchanged>
//
// with the version numbers in plain decimal (no sign, no leading zeros, as
// the feed's integers print). Because the version is inside what is signed,
// a feed cannot offer an older signed installer as a newer version: its
// signature was made over its own version line and fails under any other.
// The release machine signs exactly this message.
class InstallerSignature
{
public:
    static constexpr size_t publicKeySize = 32;
    static constexpr size_t signatureSize = 64;

    using PublicKey = std::array<juce::uint8, publicKeySize>;

    // The public half of the maker's release key, built into the program.
    static const PublicKey& builtInKey();

    // True only when signatureBase64 decodes to exactly one signature and it
    // is a valid signature of data under key. Missing, malformed and foreign
    // signatures are all refused.
    static bool verify (const void* data, size_t size, const juce::String& signatureBase64, const PublicKey& key);
    static bool verify (const juce::MemoryBlock& data, const juce::String& signatureBase64, const PublicKey& key);

    struct Version
    {
        int major = 0, minor = 0, revision = 0;
    };

    // The message that the release key signs for an installer of a version.
    static juce::MemoryBlock installerMessage (const juce::MemoryBlock& installer, Version version);

    // True only when signatureBase64 is the key's signature of the
    // installerMessage of these bytes and this version.
    static bool verifyInstaller (const juce::MemoryBlock& installer, Version version,
                                 const juce::String& signatureBase64, const PublicKey& key);
};

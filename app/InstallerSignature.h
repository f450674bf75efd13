#pragma once

#include <juce_core/juce_core.h>

#include <array>

// The check that a downloaded installer is the maker's own: an Ed25519
// signature (RFC 8032, as libsodium makes and checks it) over the installer's
// bytes, made with the maker's release key. The program carries only the
// public half of that key; nothing downloaded is written as runnable or
// started unless it passes.
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
};

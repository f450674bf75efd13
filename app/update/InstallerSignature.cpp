#include "app/update/InstallerSignature.h"

#include <sodium.h>

const InstallerSignature::PublicKey& InstallerSignature::builtInKey()
{
    // The release key's public half. Installers are signed with its secret
    // half, which never leaves the maker's release machine.
    static const PublicKey key{ 0x27, 0x83, 0xa4, 0x58, 0x3b, 0xd7, 0x5e, 0x12, //
                                0xcf, 0x4e, 0x77, 0xcc, 0x70, 0x98, 0x6f, 0x86, //
                                0xe8, 0x56, 0xc1, 0xa0, 0x7e, 0x5c, 0xa4, 0x01, //
                                0x75, 0xc2, 0x42, 0x3e, 0x7e, 0xc5, 0x43, 0x40 };
    return key;
}

bool InstallerSignature::verify (const void* data, size_t size, const juce::String& signatureBase64,
                                 const PublicKey& key)
{
    static_assert (signatureSize == crypto_sign_BYTES && publicKeySize == crypto_sign_PUBLICKEYBYTES);

    if (sodium_init() < 0 || (data == nullptr && size > 0))
        return false;

    juce::MemoryOutputStream decoded;

    if (signatureBase64.isEmpty() || ! juce::Base64::convertFromBase64 (decoded, signatureBase64) ||
        decoded.getDataSize() != signatureSize)
        return false;

    return crypto_sign_verify_detached (static_cast<const unsigned char*> (decoded.getData()),
                                        static_cast<const unsigned char*> (data), (unsigned long long) size,
                                        key.data()) == 0;
}

bool InstallerSignature::verify (const juce::MemoryBlock& data, const juce::String& signatureBase64,
                                 const PublicKey& key)
{
    return verify (data.getData(), data.getSize(), signatureBase64, key);
}

juce::MemoryBlock InstallerSignature::installerMessage (const juce::MemoryBlock& installer, Version version)
{
    // Negative numbers never come from a readable feed; they would print a
    // sign that the release machine never signs, so they simply fail.
    const auto header = juce::String ("Kestrel-Edit installer\nversion ") + juce::String (version.major) + "." +
                        juce::String (version.minor) + "." + juce::String (version.revision) + "\n";

    juce::MemoryBlock message;
    message.append (header.toRawUTF8(), header.getNumBytesAsUTF8());
    message.append (installer.getData(), installer.getSize());
    return message;
}

bool InstallerSignature::verifyInstaller (const juce::MemoryBlock& installer, Version version,
                                          const juce::String& signatureBase64, const PublicKey& key)
{
    return verify (installerMessage (installer, version), signatureBase64, key);
}

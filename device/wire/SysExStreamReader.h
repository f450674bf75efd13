#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

// A cursor over a copy of a buffer of concatenated SysEx messages (a ".syx"
// file, a dump being sent) that yields one message at a time.
//
// A message starts at a header prefix: F0 00 02 6B <model>, or F0 00 02 6B
// for any model (sysExAnyModel, 254), or a bare F0 for any SysEx message
// (sysExAnySysEx, 255). It ends just before the next prefix, or at the last
// byte of the data. Bytes after an F7 that no prefix follows therefore stay
// with the message before them, a message cut off before its F7 is yielded
// on its own (never joined to the next), and bytes before the first prefix
// are skipped.
//
// Every prefix yields exactly one message, a prefix that ends exactly at the
// end of the data included, so the number of messages read always equals
// countMessages().
class SysExStreamReader
{
public:
    SysExStreamReader() = default;

    // Copies the bytes, sets the prefix for the model, counts the messages and
    // rewinds. False (and the reader left empty) for a null buffer or one too
    // big for a MIDI message.
    bool setData (const void* bytes, size_t size, juce::uint8 model);

    // Number of prefixes found in the data when it was set.
    int countMessages() const { return messageCount; }

    // True and the next message; false when no further message starts.
    bool readNextMessage (juce::MidiMessage& message);

    void rewind() { position = 0; }
    size_t getPosition() const { return position; }
    size_t getDataSize() const { return data.getSize(); }
    bool isAtEnd() const { return position >= data.getSize(); }

private:
    bool prefixAt (size_t index) const;

    juce::MemoryBlock prefix;
    juce::MemoryBlock data;
    int messageCount = 0;
    size_t position = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SysExStreamReader)
};

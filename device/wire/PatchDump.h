#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

// A preset as it travels between the unit, files and the clipboard: one
// SYSEX_PATCH_START, a run of SYSEX_PATCH_DATA messages of 64 words each and
// one SYSEX_PATCH_END carrying the XOR of all words. A 4096-byte preset
// (models 3, 5, 10) is 34 messages, an 8192-byte one (models 6, 7, 8) 66.
//
// PatchDump decodes such a dump into its bytes (16-bit little-endian words),
// checks it, converts it between the layouts of compatible models, fills
// blank presets, and encodes the converted ("output") data as a dump again.
//
// Completeness: only a dump that ended with its SYSEX_PATCH_END is whole. A
// cut-off file would otherwise pass for a preset, so parse() refuses a dump
// without its end unless asked for the lenient reading (good enough to show a
// name), and data read that way can neither be converted nor built, so it can
// never reach the unit or a file.
class PatchDump
{
public:
    enum ErrorCode
    {
        errorNone = 0,
        errorEmptyInput = 1,
        errorUnexpectedMessage = 2, // wrong function, too short, a second start or end
        errorChecksum = 3,          // of a message, or the END value against the words
        errorWrongModel = 4,        // no message for the model, or a conversion that does not apply
        errorBadField = 5,          // a field that does not decode (or cannot be encoded)
        errorWordCount = 6,         // words differ from the start's count; also a missing end
        errorDataSize = 7,          // data of the wrong size for a conversion
        errorPackedData = 8         // packed data that does not fit or ends early
    };

    enum Stage
    {
        stageNone = 0,
        stageStart = 1,
        stageData = 2,
        stageEnd = 3,
        stageFinal = 4 // final checks and conversions
    };

    enum class EndRule
    {
        required, // a dump without its SYSEX_PATCH_END is refused (error 6, stage 4)
        optional  // accepted, but isComplete() stays false: for reading a name only
    };

    static constexpr int wordsPerDataMessage = 64;
    static constexpr size_t smallPresetSize = 4096; // models 3, 5, 10
    static constexpr size_t largePresetSize = 8192; // models 6, 7, 8
    static constexpr juce::uint8 currentPresetLocation = 127;

    PatchDump();
    ~PatchDump();

    // Clears everything: data, output, header (location 127/127), counters
    // and the error.
    void reset();

    // Decodes a dump of the expected model. True when it was decoded and
    // verified; the data, header fields and model are then set. Otherwise
    // getErrorCode() and getErrorStage() tell why.
    bool parse (const void* bytes, size_t size, juce::uint8 expectedModel, EndRule endRule = EndRule::required);
    bool parse (const juce::MemoryBlock& block, juce::uint8 expectedModel, EndRule endRule = EndRule::required);

    // True when the data came from a dump that ended with a verified
    // SYSEX_PATCH_END, or from makeBlank. Conversions and build require it.
    bool isComplete() const { return complete; }

    // Encodes the output data as a dump for the output model and appends the
    // messages to out. False for an empty output (no error code set), for
    // output that does not come from complete data, or when a message cannot
    // be built (error 5 at the stage of that message).
    bool build (juce::MemoryBlock& out);

    // Output for model 7 (flag 1) or 6 (any other flag) from data of model
    // 3, 6 or 7. Model 3 data is expanded to the 8192-byte layout.
    bool convertForModel6or7 (int flag);

    // Output for model 3 from data of model 3, 6 or 7 (the first 2048 bytes
    // of each 4096-byte half of the larger layout).
    bool convertForModel3();

    // Output for model 10 (flag 1) or 5 (any other flag) from data of model 5
    // or 10; the layouts are the same.
    bool convertForModel5or10 (int flag);

    // Fills the data with a blank preset: for models 3, 6 and 7 the model 3
    // blank (model 3 data, which the caller converts for 6 or 7), for 5 and
    // 10 their own blank (both 4096 bytes), for 8 8192 bytes of 0xFF. False
    // with error 4 (data unchanged) for any other model.
    bool makeBlank (juce::uint8 model);

    // The name held in words 2 to 33; "EMPTY" when every place is empty,
    // trimmed otherwise. The text is left untouched without at least 34 words.
    void getPresetName (juce::String& name) const;

    //==========================================================================
    const juce::MemoryBlock& getData() const { return data; }
    juce::uint8 getDataModel() const { return dataModel; }
    const juce::MemoryBlock& getOutput() const { return output; }
    juce::uint8 getOutputModel() const { return outputModel; }

    juce::uint8 getLocationBank() const { return locationBank; }
    juce::uint8 getLocationProgram() const { return locationProgram; }
    int getHeaderWordCount() const { return headerWordCount; }
    int getDataMessageCount() const { return dataMessageCount; }
    juce::uint32 getEndCheckValue() const { return endCheckValue; }

    int getErrorCode() const { return errorCode; }
    int getErrorStage() const { return errorStage; }

    // Word i of a buffer of 16-bit little-endian words; 0 past the end.
    static juce::uint16 getWord (const juce::MemoryBlock& block, size_t index);

    // Decodes the packed first half of a model 3 preset: a pre-order code
    // tree (1 bit + 8-bit symbol for a leaf, 0 bit + two subtrees for an inner
    // node, at most 511 nodes) and then symbolCount symbols, bits read most
    // significant first. False when the tree is too big or the stream ends
    // early; nothing is read past size.
    static bool decodePackedHalf (const juce::uint8* stream, size_t size, juce::uint8* symbols, size_t symbolCount);

private:
    bool fail (int code, int stage);
    bool handleMessage (const juce::MidiMessage& message, juce::uint8 expectedModel);
    bool expandModel3 (juce::MemoryBlock& out);

    juce::MemoryBlock data;
    juce::uint8 dataModel = 0;
    bool complete = false;

    juce::MemoryBlock output;
    juce::uint8 outputModel = 0;

    juce::uint8 locationBank = currentPresetLocation;
    juce::uint8 locationProgram = currentPresetLocation;
    int headerWordCount = 0;
    bool startSeen = false;
    bool endSeen = false;

    int dataMessageCount = 0;
    juce::uint32 endCheckValue = 0;

    int errorCode = errorNone;
    int errorStage = stageNone;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PatchDump)
};

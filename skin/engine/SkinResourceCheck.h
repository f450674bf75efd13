#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// Checks a resource of a skin archive before the framework's decoders see it.
// Those decoders trust their input: a PNG cut short ends in libpng's error
// path, which the framework does not survive; an SVG whose <use> refers to
// itself recurses without end; coordinates past the int range overflow the
// framework's geometry. Each check gives an empty text for a resource that is
// safe to decode, or says what is wrong with it.
class SkinResourceCheck
{
public:
    // A PNG or JPEG: its structure is complete and consistent, and it
    // announces a size of at most maxSide on each side, given back in
    // announcedSize when it passes. PNG pictures are checked whole (chunks,
    // checksums, the compressed rows); JPEG pictures segment by segment, with
    // every table their scans use. GIF pictures are refused: the framework's
    // GIF reader is unsafe on any of them.
    static juce::String checkPicture (const juce::MemoryBlock& data, int maxSide,
                                      juce::Point<int>* announcedSize = nullptr);

    // An SVG document, read with the program's own XML reader; on success
    // tree holds it, ready for juce::Drawable::createFromSVG, and elements
    // (when given) the number of elements drawing it makes, each reference
    // followed, and styleBytes the size of its style sheets. One of more
    // than maxSvgElements, or with style sheets of more than
    // maxSvgStyleBytes, is refused.
    static juce::String checkSvg (const juce::MemoryBlock& data, std::unique_ptr<juce::XmlElement>& tree,
                                  juce::uint64* elements = nullptr, juce::uint64* styleBytes = nullptr);

    // The framework's time to make a drawable grows with the square of its
    // elements: this many take about a tenth of a second, 40,000 seconds,
    // 200,000 minutes.
    // A skin's icons and panels hold a few hundred.
    static constexpr juce::uint64 maxSvgElements = 10000;

    // The framework searches the whole text of a drawing's style sheets for
    // every style value of every element with a class, so its time grows with
    // elements times sheet: 1,000 elements with a sheet of a megabyte take
    // half a minute, the most elements with this much sheet under a second
    // (a fifth of that without). A skin's drawings need a few rules, if any.
    static constexpr juce::uint64 maxSvgStyleBytes = 2048;

    // The largest coordinate a skin's SVG or font may hold.
    static constexpr double maxCoordinate = 100000.0;
};

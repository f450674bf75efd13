#pragma once

#include "model/Singleton.h"
#include "skin/engine/ImageDepot.h"

// The unit's image depot: knows which of the unit's block ids (and
// footswitch functions, which continue the block-id numbering) each image
// set serves, by the set's exact name.
class KestrelImageDepot : public ImageDepot, public Singleton<KestrelImageDepot>
{
public:
    KestrelImageDepot() = default;
    ~KestrelImageDepot() override = default;

    // Appends the ids of the set's name to every set; names compare exactly.
    void assignBlockIds() override;

    // The ids a set of this name serves (empty for an unknown name).
    static juce::Array<juce::uint16> blockIdsForName (const juce::String& name);
    // Every name a set may carry, in the order they are compared.
    static juce::StringArray getSetNames();
};

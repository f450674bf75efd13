#pragma once

#include <juce_core/juce_core.h>

// Base of the page-layout records that the effect editor builds from the
// skin's PageLayout entries (geometry, background, monitor graph). The layout
// manager only keeps them and finds them by layout id; the editor derives its
// own record with the skin's fields.
class SkinPageLayout
{
public:
    explicit SkinPageLayout (juce::int32 pageLayoutId)
        : layoutId (pageLayoutId)
    {
    }
    virtual ~SkinPageLayout();

    juce::int32 layoutId; // PageLayoutId

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SkinPageLayout)
};

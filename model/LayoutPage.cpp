#include "model/LayoutPage.h"

bool LayoutPage::matchesType (const juce::String& typeName) const
{
    return typeContains.isEmpty() || typeName.contains (typeContains);
}

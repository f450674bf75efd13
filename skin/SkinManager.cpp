#include "skin/SkinManager.h"

namespace
{
template <typename Value>
const Value* findEntry (const std::map<juce::String, Value>& entries, const juce::String& name)
{
    auto found = entries.find (name);
    return found != entries.end() ? &found->second : nullptr;
}
} // namespace

void SkinManager::addImage (const juce::String& name, const juce::Image& image)
{
    if (image.isValid())
        images[name] = image;
}

void SkinManager::addTypeface (const juce::String& name, juce::Typeface::Ptr typeface)
{
    if (typeface != nullptr)
        typefaces[name] = typeface;
}

juce::Image SkinManager::getImage (const juce::String& name) const
{
    if (auto* image = findEntry (images, name))
        return *image;
    if (auto* image = findEntry (images, missingImageName))
        return *image;
    // Even a skin without its stand-in gives something drawable.
    return juce::Image (juce::Image::ARGB, 1, 1, true);
}

juce::Typeface::Ptr SkinManager::getTypeface (const juce::String& name) const
{
    if (auto* typeface = findEntry (typefaces, name))
        return *typeface;
    if (auto* typeface = findEntry (typefaces, missingFontName))
        return *typeface;
    return juce::Font().getTypefacePtr();
}

#include "skin/engine/ImageDepot.h"

#include "model/UnitIds.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"

const char* const ImageDepot::cursorNames[numCursors] = { "Move", "Copy", "Swap", "NotAllowed" };
const char* const ImageDepot::overlayNames[numOverlays] = { "xState", "yState", "warning" };

ImageDepot::~ImageDepot()
{
    clearImageSets();
}

BlockImageSet& ImageDepot::addImageSet (const juce::String& name)
{
    auto* set = imageSets.add (new BlockImageSet());
    set->name = name;
    return *set;
}

void ImageDepot::readSkinSection (const SkinManager& skin, const juce::XmlElement& section)
{
    missingImage = skin.getImage (SkinManager::missingImageName);

    if (auto* list = SkinAttributes::child (section, "MouseCursors"))
        for (auto* cursor : SkinAttributes::children (*list, "Cursor"))
        {
            auto name = cursor->getStringAttribute ("name");
            for (int i = 0; i < numCursors; ++i)
                if (name == cursorNames[i])
                {
                    auto image = skin.getImage (cursor->getStringAttribute ("image"));
                    if (! image.isValid())
                        continue;
                    // A hot spot outside the picture is moved onto its edge.
                    auto x = juce::jlimit (0, image.getWidth() - 1, cursor->getIntAttribute ("hotSpotX"));
                    auto y = juce::jlimit (0, image.getHeight() - 1, cursor->getIntAttribute ("hotSpotY"));
                    cursors[(size_t) i] = std::make_unique<juce::MouseCursor> (image, x, y);
                }
        }

    if (auto* list = SkinAttributes::child (section, "BlockOverlays"))
        for (auto* overlay : SkinAttributes::children (*list, "Overlay"))
        {
            auto name = overlay->getStringAttribute ("name");
            for (int i = 0; i < numOverlays; ++i)
                if (name == overlayNames[i])
                    overlays[(size_t) i] = skin.getImage (overlay->getStringAttribute ("image"));
        }

    if (auto* list = SkinAttributes::child (section, "BlockIcons"))
        for (auto* icon : SkinAttributes::children (*list, "BlockIcon"))
        {
            auto& set = addImageSet (icon->getStringAttribute ("name"));
            const char* attributes[] = { "icon", "iconOver", "iconDown", "iconBypassed", "iconMenu" };
            for (int i = 0; i < 5; ++i)
                set.images[(size_t) i] = SkinAttributes::image (skin, *icon, attributes[i]);
        }
}

BlockImageSet* ImageDepot::findImageSetForBlock (juce::uint16 blockId) const
{
    for (auto* set : imageSets)
        if (set->blockIds.contains (blockId))
            return set;
    return nullptr;
}

BlockImageSet* ImageDepot::findImageSetForType (int effectType) const
{
    auto blockId = firstBlockIdOfType (effectType);
    if (blockId < 0 || blockId > 0xFFFF)
        return nullptr;
    return findImageSetForBlock ((juce::uint16) blockId);
}

void ImageDepot::clearImageSets()
{
    imageSets.clear();
}

juce::Image ImageDepot::pictureOf (const BlockImageSet* set, BlockImageSet::Which which) const
{
    if (set != nullptr && juce::isPositiveAndBelow ((int) which, (int) BlockImageSet::numImages))
        if (set->images[(size_t) which].isValid())
            return set->images[(size_t) which];
    return missingImage;
}

juce::Image ImageDepot::getBlockImage (juce::uint16 blockId, BlockImageSet::Which which) const
{
    return pictureOf (findImageSetForBlock (blockId), which);
}

juce::Image ImageDepot::getTypeImage (int effectType, BlockImageSet::Which which) const
{
    return pictureOf (findImageSetForType (effectType), which);
}

const juce::MouseCursor* ImageDepot::getCursor (CursorKind kind) const
{
    return juce::isPositiveAndBelow ((int) kind, (int) numCursors) ? cursors[(size_t) kind].get() : nullptr;
}

juce::Image ImageDepot::getOverlay (OverlayKind kind) const
{
    if (! juce::isPositiveAndBelow ((int) kind, (int) numOverlays) || ! overlays[(size_t) kind].isValid())
        return missingImage;
    return overlays[(size_t) kind];
}

void ImageDepot::readColourMenuSection (const SkinManager& skin, const juce::XmlElement& section)
{
    colouredItems.clear();
    colouredItemWidth = section.getIntAttribute ("width", 0);
    colouredItemHeight = section.getIntAttribute ("height", 0);

    for (auto* widget : SkinAttributes::children (section, "Widget"))
    {
        auto* item = colouredItems.add (new ColoredMenuItem());
        item->text = widget->getStringAttribute ("name");
        item->colour = SkinAttributes::colour (*widget, "color");
        const auto size = SkinAttributes::fontSize (*widget, "fontSize");
        item->fontSize = size > 0.0f ? size : 16.0f;
        item->font = SkinAttributes::font (skin, *widget, "font", item->fontSize).withHeight (item->fontSize);
        item->textColour = SkinAttributes::colourOr (*widget, "fontColor", juce::Colours::black);
    }
}

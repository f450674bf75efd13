#include "skin/knobs/TriStateSlider.h"

#include "skin/widgets/WidgetSupport.h"

TriStateSlider::TriStateSlider (juce::Rectangle<int> size, int backgroundX, int backgroundY, int thumbX, int thumbY,
                                int minPosition, int maxPosition, const juce::String& tooltip, bool isVertical,
                                const juce::Image& backgroundPicture, const juce::Image& thumbPicture)
    : ZOLSliderComponent (size, size, backgroundX, backgroundY, thumbX, thumbY, minPosition, maxPosition, tooltip,
                          isVertical, backgroundPicture, thumbPicture, thumbPicture)
{
}

TriStateSlider::~TriStateSlider()
{
    for (auto& position : positions)
        position.label.reset();
}

void TriStateSlider::createPositionLabel (int index, juce::Rectangle<int> rect, const juce::Font& font, float fontSize,
                                          juce::Colour textColour, juce::Colour overColour,
                                          juce::Justification justification)
{
    if (index < 0 || index >= maxPositions)
        return;

    auto& slot = positions[(size_t) index];
    if (slot.label != nullptr)
        removeChildComponent (slot.label.get());

    rect = WidgetSupport::withoutNegativeSize (rect);
    slot.label = std::make_unique<ZOLLabelComponent> (
        rect.getX(), rect.getY(), rect.getWidth() > 0 ? rect.getWidth() : getWidth(),
        rect.getHeight() > 0 ? rect.getHeight() : getHeight(), font, fontSize, textColour, justification);
    slot.label->clickable = true;
    slot.label->addChangeListener (this);
    addAndMakeVisible (*slot.label);
    slot.label->setStateColours (textColour, juce::Colours::transparentBlack, textColour,
                                 juce::Colours::transparentBlack, overColour, juce::Colours::transparentBlack);
}

ZOLLabelComponent* TriStateSlider::getPositionLabel (int index) const
{
    return index >= 0 && index < maxPositions ? positions[(size_t) index].label.get() : nullptr;
}

juce::uint16 TriStateSlider::getPositionValue (int index) const
{
    return index >= 0 && index < maxPositions ? positions[(size_t) index].value : 0;
}

bool TriStateSlider::setPositions (const juce::StringArray& texts, const juce::Array<juce::uint16>& values)
{
    if (texts.size() != values.size())
        return false;

    for (int i = 0; i < juce::jmin (texts.size(), maxPositions); ++i)
    {
        auto& slot = positions[(size_t) i];
        if (slot.label != nullptr)
        {
            slot.label->setText (texts[i], juce::dontSendNotification);
            slot.label->fitWidthToText();
            // A name never reaches past the switch's own area, where it would be cut off.
            if (getWidth() > slot.label->getX())
                slot.label->setSize (juce::jmin (slot.label->getWidth(), getWidth() - slot.label->getX()),
                                     slot.label->getHeight());
        }
        slot.value = values[i];
    }
    return true;
}

void TriStateSlider::paint (juce::Graphics& g)
{
    WidgetSupport::drawImageInto (g, getBackgroundImage(), getBackgroundRect());
    getCaption().paint (g);
}

void TriStateSlider::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    for (auto& slot : positions)
    {
        if (slot.label != nullptr && source == static_cast<juce::ChangeBroadcaster*> (slot.label.get()))
        {
            currentValue = slot.value;
            postChangeCode (10);
            return;
        }
    }
    ZOLSliderComponent::changeListenerCallback (source);
}

void TriStateSlider::showModifierThumb()
{
    auto* thumbButton = getThumb();
    if (! modifierOnThumb.isValid() || ! hasModifier || thumbButton == nullptr)
        return;

    // A missing picture leaves the thumb as it is rather than blank.
    if (auto image = WidgetSupport::drawableOf (modifierActive ? modifierOnThumb : modifierOffThumb))
        thumbButton->setImages (image.get(), nullptr, image.get());
}

#include "skin/widgets/XYToggleComponent.h"

#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLToggleButton.h"

XYToggleComponent::XYToggleComponent (const SkinManager* skin, int x, int y)
{
    loadFromSkin (skin);
    setBounds (x, y, controlWidth, controlHeight);
    rememberUnscaledBounds (getBounds());
    setWantsKeyboardFocus (true);
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);
}

XYToggleComponent::~XYToggleComponent()
{
    if (toggle != nullptr)
        toggle->removeMouseListener (this);
}

void XYToggleComponent::loadFromSkin (const SkinManager* skin)
{
    auto* section = skin != nullptr ? skin->getSection ("XYToggleControl") : nullptr;
    if (section == nullptr)
        return;

    constexpr int sizeLimit = 4096;
    controlWidth = juce::jmax (0, SkinAttributes::clampedInt (*section, "controlWidth", sizeLimit));
    controlHeight = juce::jmax (0, SkinAttributes::clampedInt (*section, "controlHeight", sizeLimit));

    for (auto* widget : SkinAttributes::children (*section, "Widget"))
    {
        auto name = widget->getStringAttribute ("name");

        if (name == "XYToggle")
        {
            if (toggle != nullptr)
                toggle->removeMouseListener (this);
            toggle = SkinWidgetReaders::createLabelledToggleButton (*skin, widget);
            toggle->clearUseAlpha();
            toggle->leftButtonPresses = true;
            toggle->returnToggles = true;
            toggle->arrowKeysToggle = true;
            toggle->spaceToggles = false;
            toggle->rightButtonPresses = false;
            toggle->setName (name);
            toggle->addChangeListener (this);
            toggle->addMouseListener (this, true);
            addAndMakeVisible (*toggle);
        }
        else if (name == "XYToggleArrow")
        {
            arrow = skin->createLabelComponent (widget, name);
            arrow->setText (juce::String::charToString (arrowCharacter), juce::dontSendNotification);
            arrow->setAlwaysOnTop (true);
            arrow->clickable = true;
            arrow->addChangeListener (this);
            addAndMakeVisible (*arrow);
        }
    }
}

void XYToggleComponent::postChangeCode (int code)
{
    {
        const juce::ScopedLock lock (changeLock);
        changeCode = code;
    }
    sendChangeMessage();
}

int XYToggleComponent::getChangeCode() const
{
    const juce::ScopedLock lock (changeLock);
    return changeCode;
}

void XYToggleComponent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (toggle != nullptr && source == static_cast<juce::ChangeBroadcaster*> (toggle.get()))
    {
        if (toggle->getChangeCode() != 1)
            postChangeCode (2);
    }
    else if (arrow != nullptr && source == static_cast<juce::ChangeBroadcaster*> (arrow.get()))
    {
        if (arrow->getChangeCode() == 1)
            postChangeCode (3);
    }
}

void XYToggleComponent::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isRightButtonDown() && e.eventComponent != nullptr &&
        (e.eventComponent == toggle.get() || e.eventComponent == arrow.get()))
        postChangeCode (3);
}

bool XYToggleComponent::keyPressed (const juce::KeyPress& key)
{
    if (isEnabled() && key.isKeyCode (juce::KeyPress::returnKey))
        postChangeCode (3);
    return false;
}

void XYToggleComponent::focusGained (FocusChangeType cause)
{
    if (cause == focusChangedByMouseClick || cause == focusChangedByTabKey)
        postChangeCode (1);
}

void XYToggleComponent::applyScale (bool apply)
{
    applyCommonScale (*this, apply);

    // The parts are drawn inside this control's transform: they take its
    // factor but are not scaled a second time.
    for (auto* part : { (ZOLResizableComponent*) toggle.get(), (ZOLResizableComponent*) arrow.get() })
    {
        if (part != nullptr)
        {
            part->scaleFactor = scaleFactor;
            part->applyScale (false);
        }
    }
}

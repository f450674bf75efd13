#include "app/dialogs/SkinnedOverlayDialog.h"

#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLPaintedButton.h"

#include <cmath>

namespace
{
// The arrow glyph of the skin's dialog font, unless the widget gives its own text.
const juce::juce_wchar arrowGlyph = 0x00D6;
} // namespace

SkinnedOverlayDialog::~SkinnedOverlayDialog()
{
    for (auto& [name, widget] : widgets)
        if (auto* broadcaster = dynamic_cast<juce::ChangeBroadcaster*> (widget.get()))
            broadcaster->removeChangeListener (this);

    // A widget that has the keyboard hands it back to the box as it goes, and
    // the box looks for its buttons then: they leave the list before any goes.
    std::map<juce::String, std::unique_ptr<juce::Component>> leaving;
    leaving.swap (widgets);
    leaving.clear();
}

const juce::XmlElement* SkinnedOverlayDialog::buildFrom (const SkinManager* skin, const juce::String& sectionName,
                                                         const juce::StringArray& labelNames,
                                                         const juce::StringArray& buttonNames,
                                                         const juce::StringArray& arrowNames)
{
    setWantsKeyboardFocus (false);
    setFocusContainerType (juce::Component::FocusContainerType::focusContainer);

    const juce::XmlElement* section = skin != nullptr ? skin->getSection (sectionName) : nullptr;

    if (section != nullptr)
    {
        if (section->getStringAttribute ("backgroudBounds").isNotEmpty())
            backgroundBounds = SkinAttributes::rectangle (*section, "backgroudBounds");
        if (section->getStringAttribute ("dlgBounds").isNotEmpty())
            dialogBounds = SkinAttributes::rectangle (*section, "dlgBounds");

        if (dialogBounds.getX() == 0 && dialogBounds.getY() == 0)
            dialogBounds.setPosition (
                juce::roundToInt (backgroundBounds.getWidth() * 0.5 - dialogBounds.getWidth() * 0.5),
                juce::roundToInt (backgroundBounds.getHeight() * 0.5 - dialogBounds.getHeight() * 0.5));

        backgroundColour = SkinAttributes::colourOr (*section, "backgroundColor", backgroundColour);
        dialogColour = SkinAttributes::colourOr (*section, "dlgColor", dialogColour);

        for (auto* widget : SkinAttributes::children (*section, "Widget"))
        {
            const auto name = widget->getStringAttribute ("name");

            if (labelNames.contains (name))
            {
                adoptWidget (name, skin->createLabelComponent (widget, name));
            }
            else if (buttonNames.contains (name))
            {
                auto button = SkinWidgetReaders::createPaintedButton (*skin, *widget);
                button->addChangeListener (this);
                adoptWidget (name, std::move (button));
            }
            else if (arrowNames.contains (name))
            {
                auto arrow = skin->createLabelComponent (widget, name);
                arrow->setText (widget->hasAttribute ("text") ? widget->getStringAttribute ("text")
                                                              : juce::String::charToString (arrowGlyph),
                                juce::dontSendNotification);
                arrow->fitWidthToText();
                arrow->setAlwaysOnTop (true);
                arrow->clickable = true;
                arrow->addChangeListener (this);
                adoptWidget (name, std::move (arrow));
            }
        }
    }

    setBounds (backgroundBounds);
    return section;
}

void SkinnedOverlayDialog::adoptWidget (const juce::String& name, std::unique_ptr<juce::Component> widget)
{
    if (widget == nullptr)
        return;

    widget->setTopLeftPosition (widget->getPosition() + dialogBounds.getPosition());

    if (auto* resizable = dynamic_cast<ZOLResizableComponent*> (widget.get()))
        resizable->unscaledBounds = widget->getBounds();

    addAndMakeVisible (*widget);
    widgets[name] = std::move (widget);
}

juce::Component* SkinnedOverlayDialog::findWidget (const juce::String& name) const
{
    auto found = widgets.find (name);
    return found != widgets.end() ? found->second.get() : nullptr;
}

ZOLLabelComponent* SkinnedOverlayDialog::findLabel (const juce::String& name) const
{
    return dynamic_cast<ZOLLabelComponent*> (findWidget (name));
}

ZOLPaintedButton* SkinnedOverlayDialog::findButton (const juce::String& name) const
{
    return dynamic_cast<ZOLPaintedButton*> (findWidget (name));
}

void SkinnedOverlayDialog::setLabelText (const juce::String& name, const juce::String& text)
{
    if (auto* label = findLabel (name))
        label->setText (text, juce::dontSendNotification);
}

void SkinnedOverlayDialog::setButtonText (const juce::String& name, const juce::String& text)
{
    if (auto* button = findButton (name))
        button->setLabelText (text);
}

void SkinnedOverlayDialog::setWidgetEnabled (const juce::String& name, bool enabled)
{
    if (auto* widget = findWidget (name))
        widget->setEnabled (enabled);
}

juce::String SkinnedOverlayDialog::nameOf (juce::ChangeBroadcaster* source) const
{
    for (auto& [name, widget] : widgets)
        if (dynamic_cast<juce::ChangeBroadcaster*> (widget.get()) == source)
            return name;

    return {};
}

void SkinnedOverlayDialog::postChangeCode (int code)
{
    {
        const juce::ScopedLock sl (codeLock);
        changeCode = code;
    }
    sendChangeMessage();
}

int SkinnedOverlayDialog::getChangeCode() const
{
    const juce::ScopedLock sl (codeLock);
    return changeCode;
}

void SkinnedOverlayDialog::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);
    g.setColour (dialogColour);
    g.fillRoundedRectangle (dialogBounds.toFloat(), cornerSize);
}

bool SkinnedOverlayDialog::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::escapeKey)
    {
        cancel();
        return true;
    }

    return false;
}

void SkinnedOverlayDialog::focusGained (juce::Component::FocusChangeType)
{
    for (auto* name : { "btnOK", "btnCancel" })
        if (auto* button = findWidget (name); button != nullptr && button->isEnabled())
        {
            button->grabKeyboardFocus();
            return;
        }
}

void SkinnedOverlayDialog::showAndPostShown()
{
    setVisible (true);
    setWantsKeyboardFocus (true);
    toFront (false);

    if (auto* ok = findWidget ("btnOK"); ok != nullptr && isShowing())
        ok->grabKeyboardFocus();

    postChangeCode (codeShown);
}

void SkinnedOverlayDialog::hideWithCode (int code)
{
    setWantsKeyboardFocus (false);
    setVisible (false);
    postChangeCode (code);
}

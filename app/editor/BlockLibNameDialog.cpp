#include "app/editor/BlockLibNameDialog.h"

#include "model/BlockLibraryManager.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLLabelComponent.h"

namespace SA = SkinAttributes;

BlockLibNameDialog::BlockLibNameDialog (const SkinManager* skinManager)
    : skin (skinManager)
{
    setWantsKeyboardFocus (false);
    readSkin();
    setVisible (false);
}

BlockLibNameDialog::~BlockLibNameDialog()
{
    for (auto* button : { closeButton.get(), saveButton.get(), cancelButton.get() })
        if (button != nullptr)
            button->removeListener (this);
}

void BlockLibNameDialog::readSkin()
{
    auto* section = skin != nullptr ? skin->getSection (sectionName) : nullptr;

    if (section == nullptr)
        return;

    backgroundPosition = { section->getIntAttribute ("positionX"), section->getIntAttribute ("positionY") };

    if (section->getStringAttribute ("background").isNotEmpty())
        background = SA::image (*skin, *section, "background");

    dialogBounds = SA::rectangle (*section, "dlgBounds");
    titleBarBounds = SA::rectangle (*section, "titleBarBounds");
    skinTitle = section->getStringAttribute ("titleString");
    titleColour = SA::colourOr (*section, "titleFontColor", titleColour);

    auto size = SA::fontSize (*section, "titleFontSize");
    hasTitleFont = section->getStringAttribute ("titleFont").isNotEmpty();
    titleFont = SA::font (*skin, *section, "titleFont", size > 0.0f ? size : 12.0f);

    auto button = [this, section] (const char* name)
    {
        auto made = SkinWidgetReaders::createDrawableButton (*skin, SA::findWidget (*section, name), name, this, false);

        if (made != nullptr)
        {
            if (auto* widget = SA::findWidget (*section, name))
                if (widget->hasAttribute ("labelText"))
                    made->setLabelText (widget->getStringAttribute ("labelText"));

            addAndMakeVisible (*made);
        }

        return made;
    };

    closeButton = button ("Close");
    saveButton = button ("SaveBtn");
    cancelButton = button ("CancelBtn");

    if (auto* widget = SA::findWidget (*section, "editBox"))
    {
        editBox = skin->createTextEditor (widget, "editBox");

        if (editBox != nullptr)
        {
            editBox->setInputRestrictions (maxNameLength, unitNameCharacters());
            // The edit box keeps Return and Escape to itself.
            editBox->onReturnKey = [this] { accept(); };
            editBox->onEscapeKey = [this] { close (5); };
            addAndMakeVisible (*editBox);
        }
    }

    if (auto* widget = SA::findWidget (*section, "description"))
    {
        description = skin->createLabelComponent (widget, "description");

        if (description != nullptr)
        {
            description->setText (widget->getStringAttribute ("string"), juce::dontSendNotification);
            addAndMakeVisible (*description);
        }
    }

    setSize (background.getWidth(), background.getHeight());
}

juce::Button* BlockLibNameDialog::getSaveButton() const
{
    return saveButton.get();
}

juce::Button* BlockLibNameDialog::getCancelButton() const
{
    return cancelButton.get();
}

void BlockLibNameDialog::post (int code)
{
    if (code == 0)
        return;

    {
        const juce::ScopedLock sl (codeLock);
        changeCode = code;
    }

    sendChangeMessage();
}

int BlockLibNameDialog::getChangeCode() const
{
    const juce::ScopedLock sl (codeLock);
    return changeCode;
}

void BlockLibNameDialog::open (int newMode, const juce::Uuid& entryUuid, const juce::String& text,
                               const BlockLibraryManager* library)
{
    entry = entryUuid;
    mode = newMode;
    shownTitle = skinTitle + ": " + getNameForId (BlockLibraryDialogMode, (juce::uint32) newMode);

    if (library != nullptr && editBox != nullptr)
    {
        if (auto* found = library->findEntryByUuid (entryUuid))
        {
            auto name = text;

            if (name.isEmpty())
                name = found->name;

            if (name.isEmpty())
                name = getNameForId (EffectTypeFileNames, (juce::uint32) found->effectType);

            editBox->setText (name, false);
            reselectText();
        }
    }

    setVisible (true);
    toFront (false);
    setWantsKeyboardFocus (true);

    if (editBox != nullptr && editBox->isShowing())
        editBox->grabKeyboardFocus();

    repaint();
    post (1);
}

void BlockLibNameDialog::close (int code)
{
    setVisible (false);
    setWantsKeyboardFocus (false);
    post (code);
}

juce::String BlockLibNameDialog::getText() const
{
    return editBox != nullptr ? editBox->getText() : juce::String();
}

void BlockLibNameDialog::setText (const juce::String& text)
{
    if (editBox != nullptr)
        editBox->setText (text, false);
}

void BlockLibNameDialog::reselectText()
{
    if (editBox == nullptr)
        return;

    editBox->setCaretPosition (editBox->getTotalNumChars());
    editBox->selectAll();

    if (editBox->isShowing())
        editBox->grabKeyboardFocus();
}

void BlockLibNameDialog::accept()
{
    switch (mode)
    {
        case modeSave: post (2); break;
        case modeSaveAs: post (3); break;
        case modeRename: post (4); break;
        default: break;
    }
}

void BlockLibNameDialog::applyScale (bool apply)
{
    rememberUnscaledBounds (getBounds());

    if (apply)
        setTransform (juce::AffineTransform::scale ((float) scaleFactor));

    for (auto* child :
         { static_cast<juce::Component*> (closeButton.get()), static_cast<juce::Component*> (description.get()),
           static_cast<juce::Component*> (saveButton.get()), static_cast<juce::Component*> (cancelButton.get()) })
        if (auto* resizable = dynamic_cast<ZOLResizableComponent*> (child))
        {
            resizable->scaleFactor = scaleFactor;
            resizable->applyScale (false);
        }
}

void BlockLibNameDialog::mouseDown (const juce::MouseEvent& event)
{
    if (! dialogBounds.contains (event.getPosition()))
        close (5);
}

void BlockLibNameDialog::paint (juce::Graphics& g)
{
    if (! isVisible())
        return;

    if (background.isValid())
        g.drawImageAt (background, backgroundPosition.x, backgroundPosition.y);

    if (shownTitle.isNotEmpty())
    {
        if (hasTitleFont)
            g.setFont (titleFont);

        g.setColour (titleColour);
        g.drawText (shownTitle, titleBarBounds, juce::Justification::centred, true);
    }
}

bool BlockLibNameDialog::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::escapeKey)
    {
        close (5);
        return true;
    }

    if (key == juce::KeyPress::returnKey)
    {
        accept();
        return true;
    }

    return false;
}

void BlockLibNameDialog::buttonClicked (juce::Button* button)
{
    if (button == saveButton.get())
        accept();
    else if (button == closeButton.get() || button == cancelButton.get())
        close (5);
}

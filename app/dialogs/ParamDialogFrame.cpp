#include "app/dialogs/ParamDialogFrame.h"

#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/widgets/ZOLDrawableButton.h"

namespace
{
constexpr int sizeLimit = 4096;
const juce::Colour boxColour{ 0xff2a2c31 }, boxEdgeColour{ 0xff111214 }, titleBarColour{ 0xff34373c };
} // namespace

ParamDialogFrame::ParamDialogFrame (const SkinManager* skinManager, const SkinNames& names,
                                    juce::Rectangle<int> defaultSize, juce::Colour defaultTitleColour)
    : skin (skinManager)
    , dialogBounds (defaultSize)
    , titleColour (defaultTitleColour)
{
    using namespace SkinAttributes;
    setSize (defaultSize.getWidth(), defaultSize.getHeight());
    setWantsKeyboardFocus (false);

    if (skin != nullptr)
        section = skin->getSection (names.section);

    if (section == nullptr)
        return;

    const auto& s = *section;
    background = image (*skin, s, "background");
    backgroundPosition = { clampedInt (s, "positionX", sizeLimit), clampedInt (s, "positionY", sizeLimit) };

    if (background.isValid())
        setSize (juce::jmin (sizeLimit, background.getWidth()), juce::jmin (sizeLimit, background.getHeight()));

    if (has (s, "dlgBounds"))
        dialogBounds = rectangle (s, "dlgBounds");

    titleBarBounds = rectangle (s, "titleBarBounds");
    const float size = has (s, names.titleFontSize) ? fontSize (s, names.titleFontSize) : 12.0f;
    titleFont = font (*skin, s, names.titleFont, size);
    titleColour = colourOr (s, names.titleFontColour, titleColour);

    closeButton = SkinWidgetReaders::createDrawableButton (*skin, findWidget (s, "Close"), "Close", this, false);

    if (closeButton != nullptr)
    {
        closeButton->setWantsKeyboardFocus (false);
        addAndMakeVisible (*closeButton);
    }
}

ParamDialogFrame::~ParamDialogFrame()
{
    if (closeButton != nullptr)
        closeButton->removeListener (this);
}

juce::Button* ParamDialogFrame::getCloseButton() const
{
    return closeButton.get();
}

int ParamDialogFrame::getChangeCode() const
{
    const juce::ScopedLock lock (changeCodeLock);
    return changeCode;
}

void ParamDialogFrame::postChangeCode (int code)
{
    {
        const juce::ScopedLock lock (changeCodeLock);
        changeCode = code;
    }

    sendSynchronousChangeMessage();
}

void ParamDialogFrame::applyFrameScale (bool apply)
{
    applyCommonScale (*this, apply);
    followFrameScale (closeButton.get());
}

void ParamDialogFrame::followFrameScale (juce::Component* child) const
{
    if (child == nullptr)
        return;

    if (auto* resizable = dynamic_cast<ZOLResizableComponent*> (child))
    {
        resizable->scaleFactor = scaleFactor;
        resizable->applyScale (false);
    }
    child->setTransform ({});
}

void ParamDialogFrame::setFocusedControl (juce::Component* control)
{
    if (focusedControl.getComponent() == control)
        return;

    focusedControl = control;
    repaint();
}

void ParamDialogFrame::paint (juce::Graphics& g)
{
    if (background.isValid())
    {
        g.drawImageAt (background, backgroundPosition.x, backgroundPosition.y);
    }
    else
    {
        // A skin without a picture still gets a calm, framed box.
        g.setColour (boxColour);
        g.fillRect (dialogBounds);
        g.setColour (titleBarColour);
        g.fillRect (titleBarBounds.isEmpty() ? dialogBounds.withHeight (28) : titleBarBounds);
        g.setColour (boxEdgeColour);
        g.drawRect (dialogBounds, 1);
    }

    if (title.isNotEmpty() && ! titleBarBounds.isEmpty())
    {
        g.setFont (titleFont);
        g.setColour (titleColour);
        g.drawFittedText (title, titleBarBounds, juce::Justification (36), 1, 0.8f);
    }

    drawComponentFrame (g, focusedControl.getComponent());
}

bool ParamDialogFrame::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::escapeKey)
    {
        close();
        return true;
    }

    return false;
}

void ParamDialogFrame::mouseDown (const juce::MouseEvent& e)
{
    if (! dialogBounds.contains (e.getEventRelativeTo (this).getPosition()))
        close();
}

void ParamDialogFrame::buttonClicked (juce::Button* button)
{
    if (button != nullptr && button == closeButton.get())
        close();
}

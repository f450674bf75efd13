#include "skin/knobs/BrakFxReadout.h"

#include "model/Clock.h"
#include "model/IdNameTable.h"
#include "model/IdTables.h"
#include "skin/widgets/WidgetSupport.h"

#include <cmath>

BrakFxReadout::BrakFxReadout (int x, int y, int width, int height, const juce::String& name,
                              const juce::Image& backgroundImage, juce::Typeface::Ptr typeface, float fontSize,
                              juce::Colour colour, juce::Justification textJustification, juce::Rectangle<int> textArea)
    : font (WidgetSupport::makeFont (typeface, fontSize))
    , textColour (colour)
    , mouseOverTextColour (colour)
    , background (backgroundImage)
    , justification (textJustification)
{
    setName (name);
    if (width == 0 && height == 0 && background.isValid())
    {
        width = background.getWidth();
        height = background.getHeight();
    }
    width = juce::jmax (0, width);
    height = juce::jmax (0, height);

    textArea = WidgetSupport::withoutNegativeSize (textArea);
    if (textArea.getWidth() == 0)
        textArea.setWidth (width);
    if (textArea.getHeight() == 0)
        textArea.setHeight (height);
    textRect = textArea;
    editorRect = { 0, 0, width, height };

    editor = std::make_unique<juce::TextEditor>();
    editor->setColour (juce::TextEditor::focusedOutlineColourId, juce::Colours::transparentBlack);
    editor->setBorder (juce::BorderSize<int> (0));
    editor->setInputRestrictions (maxEntryLength);
    editor->addListener (this);
    addChildComponent (*editor);
    editor->setBounds (editorRect);

    setSize (width, height);
    setTopLeftPosition (x, y);
}

BrakFxReadout::~BrakFxReadout()
{
    hideEditor();
    editor->removeListener (this);
}

std::unique_ptr<BrakFxReadout>
BrakFxReadout::createForControl (juce::Rectangle<int> fieldRect, const juce::Image& fieldBackground,
                                 juce::Typeface::Ptr fieldTypeface, float fieldFontSize, juce::Colour fieldColour,
                                 juce::Justification fieldJustification, juce::Rectangle<int> fieldTextRect,
                                 float minimumHorizontalScale)
{
    auto readout = std::make_unique<BrakFxReadout> (
        fieldRect.getX(), fieldRect.getY(), fieldRect.getWidth(), fieldRect.getHeight(), juce::String(),
        fieldBackground, fieldTypeface, fieldFontSize, fieldColour, fieldJustification, fieldTextRect);
    readout->setMinimumHorizontalScale (minimumHorizontalScale);
    readout->setEditorInputRestrictions (maxEntryLength, numberCharacters);
    return readout;
}

void BrakFxReadout::setText (const juce::String& text)
{
    displayText = text;
    if (unitText.isNotEmpty() && ! text.endsWith (unitText))
        displayText << " " << unitText;
    repaint();
}

void BrakFxReadout::setNumber (float number)
{
    if (std::isfinite (number))
        setText (juce::String (number));
}

void BrakFxReadout::setUnitText (const juce::String& text)
{
    auto id = getIdForName (ParamUnitSuffixes, text);
    if (id >= 0)
        setUnit (id);
    else
        unitText = text;
}

void BrakFxReadout::setValidation (bool decimals, bool sign, bool clampToRange, float low, float high)
{
    allowDecimals = decimals;
    allowSign = sign;
    clamp = clampToRange;
    minimum = (float) WidgetSupport::finiteOr (low, 0.0);
    maximum = (float) WidgetSupport::finiteOr (high, 0.0);
    validationOn = true;
}

void BrakFxReadout::setTextColour (juce::Colour colour)
{
    textColour = colour;
    repaint();
}

void BrakFxReadout::setMouseOverTextColour (juce::Colour colour)
{
    mouseOverTextColour = colour;
    repaint();
}

void BrakFxReadout::setOverlay (const juce::Image& image, juce::Rectangle<int> bounds)
{
    overlay = image;
    overlayRect = WidgetSupport::withoutNegativeSize (bounds);
    repaint();
}

void BrakFxReadout::setMinimumHorizontalScale (float scale)
{
    scale = std::isfinite (scale) ? juce::jlimit (0.1f, 1.0f, scale) : 1.0f;
    if (scale != minimumHorizontalScale)
    {
        minimumHorizontalScale = scale;
        repaint();
    }
}

void BrakFxReadout::setEditorInputRestrictions (int maxLength, const juce::String& allowedCharacters)
{
    editor->setInputRestrictions (juce::jlimit (1, maxEntryLength, maxLength), allowedCharacters);
}

void BrakFxReadout::setEditorBounds (juce::Rectangle<int> rect)
{
    editorRect = WidgetSupport::withoutNegativeSize (rect);
    editor->setBounds (editorRect);
}

void BrakFxReadout::showEditor()
{
    if (editor == nullptr || editor->isVisible())
        return;

    editor->setFont (font);
    editor->setText (stripUnit (displayText), true);
    editor->setWantsKeyboardFocus (true);
    editor->setVisible (true);
    editor->grabKeyboardFocus();
    editor->addKeyListener (this);
    editorOpenedAt = Clock::nowMs();

    // Watch presses anywhere in the window, so a press elsewhere can end the entry.
    auto* window = getTopLevelComponent();
    if (window != this)
    {
        window->addMouseListener (this, true);
        watchedWindow = window;
    }
}

void BrakFxReadout::stopWatchingWindow()
{
    if (auto* window = watchedWindow.getComponent())
        window->removeMouseListener (this);
    watchedWindow = nullptr;
}

void BrakFxReadout::hideEditor()
{
    if (hiding)
        return;
    const juce::ScopedValueSetter<bool> guard (hiding, true);

    stopWatchingWindow();
    if (editor != nullptr)
    {
        editor->removeKeyListener (this);
        editor->setWantsKeyboardFocus (false);
        editor->setVisible (false);
    }
    editorOpenedAt = 0;
    if (hideWhenNotEditing)
        setVisible (false);
    repaint();
}

bool BrakFxReadout::isNumericText (const juce::String& text, bool decimals, bool sign)
{
    bool digitSeen = false, pointSeen = false;
    for (int i = 0; i < text.length(); ++i)
    {
        auto c = text[i];
        if (juce::CharacterFunctions::isDigit (c))
            digitSeen = true;
        else if (c == '.' && decimals && ! pointSeen)
            pointSeen = true;
        else if ((c == '-' || c == '+') && sign && i == 0)
            continue;
        else
            return false;
    }
    // A sign or a point alone is no number.
    return digitSeen;
}

bool BrakFxReadout::validateEntry (juce::String& text) const
{
    if (text.isEmpty() || text.length() > maxEntryLength)
        return false;
    if (! validationOn)
        return true;
    if (! isNumericText (text, allowDecimals, allowSign))
        return false;

    auto number = text.getFloatValue();
    if (clamp)
    {
        number = number < minimum ? minimum : juce::jmin (number, maximum);
        text = juce::String (number);
        return true;
    }
    return std::isfinite (number);
}

juce::String BrakFxReadout::stripUnit (const juce::String& text) const
{
    if (! hasUnit)
        return text;
    auto stripped = text.retainCharacters (numberCharacters);
    return stripped.isEmpty() ? text : stripped;
}

double BrakFxReadout::getValueAsDouble()
{
    return WidgetSupport::leadingNumber (stripUnit (displayText));
}

void BrakFxReadout::setFromDevice (juce::uint16, juce::uint16, const juce::String& text)
{
    setText (text);
}

void BrakFxReadout::applyScale (bool apply)
{
    applyCommonScale (*this, apply);
    // The editor is drawn inside the readout's own transform, so it keeps its
    // unscaled rectangle.
    if (apply && editor != nullptr)
        editor->setBounds (editorRect);
}

void BrakFxReadout::paint (juce::Graphics& g)
{
    WidgetSupport::drawImageInto (g, background, getLocalBounds());
    g.setFont (font);
    g.setColour (mouseOver && isEnabled() ? mouseOverTextColour : textColour);
    if (displayText.isEmpty() && hintText.isNotEmpty())
    {
        // A hint may be narrowed a little to be read whole.
        g.setColour (hintColour());
        g.drawFittedText (hintText, textRect, justification, 1, juce::jmin (minimumHorizontalScale, 0.8f));
    }
    else
    {
        g.drawFittedText (displayText, textRect, justification, 1, minimumHorizontalScale);
    }

    WidgetSupport::drawImageInto (g, overlay, overlayRect);
}

juce::Colour BrakFxReadout::hintColour() const
{
    return textColour.withMultipliedAlpha (0.55f);
}

void BrakFxReadout::setHintText (const juce::String& hint)
{
    hintText = hint;

    if (editor != nullptr)
        editor->setTextToShowWhenEmpty (hint, hintColour());

    repaint();
}

void BrakFxReadout::commitEntry()
{
    auto text = editor->getText();
    if (! validateEntry (text))
        return;
    setText (text);
    hideEditor();
    postChangeCode (10);
}

void BrakFxReadout::mouseDown (const juce::MouseEvent& e)
{
    if (e.eventComponent == this)
    {
        if (editable && isEnabled())
        {
            showEditor();
            postChangeCode (1);
        }
        return;
    }

    // A press elsewhere in the window while editing.
    if (! isEditorVisible() || e.eventComponent == nullptr)
        return;
    if (e.eventComponent == editor.get() || editor->isParentOf (e.eventComponent))
        return;
    pressedElsewhere();
}

void BrakFxReadout::pressedElsewhere()
{
    // The press that opened the editor may still arrive through the window.
    if (Clock::elapsedSince (editorOpenedAt) < 11)
        return;

    auto text = editor->getText();
    if (commitOnOutsideClick && validateEntry (text))
    {
        setText (text);
        hideEditor();
        postChangeCode (10);
        return;
    }
    hideEditor();
}

void BrakFxReadout::mouseEnter (const juce::MouseEvent& e)
{
    if (e.eventComponent != this)
        return;
    mouseOver = true;
    repaint();
}

void BrakFxReadout::mouseExit (const juce::MouseEvent& e)
{
    if (e.eventComponent != this)
        return;
    mouseOver = false;
    repaint();
}

void BrakFxReadout::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    bool onReadout = e.eventComponent == this || e.eventComponent == editor.get();
    if (wheelEditsEntry && onReadout && isEditorVisible() && isNumericText (editor->getText(), allowDecimals, true))
    {
        auto number = editor->getText().getFloatValue() + (isWheelUp (wheel) ? 1.0f : -1.0f);
        if (validationOn && clamp)
            number = number < minimum ? minimum : juce::jmin (number, maximum);
        if (std::isfinite (number))
            editor->setText (juce::String (number), true);
    }
    if (e.eventComponent == this)
        juce::Component::mouseWheelMove (e, wheel);
}

bool BrakFxReadout::keyPressed (const juce::KeyPress& key, juce::Component* origin)
{
    if (! isEditorVisible())
        return false;

    if (key.isKeyCode (juce::KeyPress::returnKey) || key.isKeyCode (juce::KeyPress::tabKey))
    {
        commitEntry();
        return true;
    }
    if (key.isKeyCode (juce::KeyPress::escapeKey))
    {
        hideEditor();
        postChangeCode (0);
        return false;
    }
    if (origin != editor.get())
        editor->keyPressed (key);
    return false;
}

void BrakFxReadout::textEditorFocusLost (juce::TextEditor&)
{
    if (! isEditorVisible())
        return;
    // A click on another component takes the focus before the press itself
    // arrives; it is still a press elsewhere, which may apply the entry.
    if (juce::ModifierKeys::currentModifiers.isAnyMouseButtonDown())
        pressedElsewhere();
    if (isEditorVisible())
        hideEditor();
}

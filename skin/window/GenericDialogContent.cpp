#include "skin/window/GenericDialogContent.h"

#include "skin/widgets/LinkButton.h"
#include "skin/widgets/WidgetSupport.h"
#include "skin/widgets/ZOLToggleButton.h"

GenericDialogContent::GenericDialogContent (const GenericDialogStyle& dialogStyle)
    : style (dialogStyle)
{
    setOpaque (true);
    setSize (390, 245);

    if (style.valid)
    {
        closeButton = makeButton (closeText);
        closeButton->arrowKeysToggle = true;

        makeHyperlink ({}, {});
    }

    updateLayout();
    setWantsKeyboardFocus (true);
}

GenericDialogContent::~GenericDialogContent()
{
    if (keysWindow != nullptr)
        keysWindow->removeKeyListener (&windowKeys);

    for (auto& button : answerButtons)
        button->removeChangeListener (this);
    answerButtons.clear();
    hyperlink.reset();
    if (closeButton != nullptr)
        closeButton->removeChangeListener (this);
    closeButton.reset();
}

std::unique_ptr<ZOLToggleButton> GenericDialogContent::makeButton (const juce::String& text)
{
    auto button =
        std::make_unique<ZOLToggleButton> (style.okButtonUp.getBounds(), 0, 0, style.okButtonUp, style.okButtonDown);
    button->setLabel (style.labelTextRect, juce::Justification (style.labelJustification), &style.labelFont,
                      style.labelColourNormal, style.labelFontSize, text);
    button->setLabelColours (style.labelColourNormal, style.labelColourOver, style.labelColourDown,
                             style.labelColourActive);
    button->returnToggles = true;
    button->setWantsKeyboardFocus (true);
    button->addChangeListener (this);
    addAndMakeVisible (*button);
    return button;
}

void GenericDialogContent::setAnswers (const std::vector<Answer>& newAnswers)
{
    for (auto& button : answerButtons)
    {
        button->removeChangeListener (this);
        removeChildComponent (button.get());
    }
    answerButtons.clear();
    answers = newAnswers;

    if (style.valid)
    {
        for (auto& answer : answers)
        {
            answerButtons.push_back (makeButton (answer.text));
            // An arrow key moves between answers; it never gives one.
            answerButtons.back()->arrowKeysToggle = false;
        }
        closeButton->setVisible (answers.empty());
    }
    updateLayout();
}

ZOLToggleButton* GenericDialogContent::getAnswerButton (int index) const
{
    return juce::isPositiveAndBelow (index, (int) answerButtons.size()) ? answerButtons[(size_t) index].get() : nullptr;
}

void GenericDialogContent::setHyperlink (const juce::String& text, const juce::String& url)
{
    hyperlinkText = text;
    if (hyperlink != nullptr)
    {
        makeHyperlink (text, url);
        hyperlink->setTooltip (url);
        auto width = juce::roundToInt (style.textFont.getStringWidthFloat (text)) + 6;
        hyperlink->setSize (width, hyperlink->getHeight());
        hyperlink->setVisible (text.isNotEmpty());
    }
    updateLayout();
}

void GenericDialogContent::makeHyperlink (const juce::String& text, const juce::String& url)
{
    // A new button takes its address when it is built.
    if (hyperlink != nullptr)
        removeChildComponent (hyperlink.get());
    hyperlink = std::make_unique<LinkButton> (text, url);
    hyperlink->setFont (style.textFont, juce::Justification (4));
    hyperlink->setTextColour (style.textColour);
    hyperlink->setSize (0, (int) (1.25f * WidgetSupport::usableFontSize (style.textFontSize, 12.0f)));
    addChildComponent (*hyperlink);
}

const juce::Image* GenericDialogContent::getIcon() const
{
    if (! style.valid)
        return nullptr;
    switch (iconType)
    {
        case 1: return &style.stopIcon;
        case 2: return &style.stopIconSmall;
        case 3: return &style.questionIcon;
        case 4: return &style.questionIconSmall;
        case 5: return &style.warningIcon;
        case 6: return &style.warningIconSmall;
        default: return nullptr;
    }
}

void GenericDialogContent::updateLayout()
{
    if (! style.valid)
    {
        repaint();
        return;
    }

    const int lineCount = 1 + message.length() - message.removeCharacters ("\n").length();
    int textWidth = 0;
    for (auto& line : juce::StringArray::fromLines (message))
        textWidth = juce::jmax (textWidth, juce::roundToInt (style.textFont.getStringWidthFloat (line)));

    auto* icon = getIcon();
    bool showIcon = icon != nullptr && icon->isValid();
    iconRect = showIcon ? icon->getBounds() : juce::Rectangle<int>();
    const int iconWidth = iconRect.getWidth();

    const int buttonWidth = style.okButtonUp.getWidth();
    const int rowWidth =
        answerButtons.empty() ? 0 : (int) answerButtons.size() * (buttonWidth + answerGap) - answerGap + 2 * answerGap;
    const int W = juce::jmin (sizeLimit, juce::jmax (getWidth(), textWidth + 10 + 2 * iconWidth, rowWidth));
    const int textHeight = (int) ((float) (lineCount + 2) * style.textFontSize);

    bool besideIcon = showIcon && ! logoMode;
    textRect = { besideIcon ? iconWidth : 0, 0, besideIcon ? W - 2 * iconWidth : W, textHeight };

    int top = style.imageYOffset;
    if (logoMode)
    {
        logoRect = style.logo.getBounds();
        logoRect.setPosition (juce::jmax (W / 2 - logoRect.getWidth() / 2, 0), style.imageYOffset);
        top += logoRect.getHeight();
    }
    textRect.setY (top);
    int next = textRect.getBottom();

    if (hyperlink != nullptr && hyperlink->isVisible())
    {
        hyperlink->setTopLeftPosition (juce::jmax (W / 2 - hyperlink->getWidth() / 2, 0), next);
        hyperlinkRect = hyperlink->getBounds();
        next += (int) ((float) hyperlink->getHeight() + style.textFontSize);
    }
    else
        hyperlinkRect = {};

    if (! answerButtons.empty())
    {
        // One row, centred where the close button stands.
        const int row = (int) answerButtons.size() * (buttonWidth + answerGap) - answerGap;
        int x = juce::jmax (W / 2 - row / 2, 0);
        closeRect = { x, next, row, style.okButtonUp.getHeight() };
        for (auto& button : answerButtons)
        {
            button->setTopLeftPosition (x, next);
            x += buttonWidth + answerGap;
        }
    }
    else if (closeButton != nullptr)
    {
        closeButton->setTopLeftPosition (juce::jmax (W / 2 - closeButton->getWidth() / 2, 0), next);
        closeRect = closeButton->getBounds();
    }

    const int H = style.imageYOffset + juce::jmax (next + closeRect.getHeight(), iconRect.getHeight());
    setSize (W, juce::jmin (sizeLimit, H));
    repaint();
}

void GenericDialogContent::paint (juce::Graphics& g)
{
    g.fillAll (style.valid ? style.backgroundColour : juce::Colour (unstyledBackground));

    if (auto* icon = getIcon())
        WidgetSupport::drawImageInto (g, *icon, iconRect.withPosition (0, style.imageYOffset));
    if (logoMode && style.valid)
        WidgetSupport::drawImageInto (g, style.logo, logoRect);

    if (style.valid)
    {
        g.setFont (style.textFont);
        g.setColour (style.textColour);
    }
    else
    {
        g.setFont (juce::Font());
        g.setColour (juce::Colour (0xFF000000));
    }
    g.drawFittedText (message, style.valid ? textRect : getLocalBounds(), juce::Justification (textJustification),
                      juce::jlimit (1, 1000, message.length()), 0.7f);
}

bool GenericDialogContent::keyPressed (const juce::KeyPress& key)
{
    auto code = key.getKeyCode();
    if (code == juce::KeyPress::spaceKey || code == juce::KeyPress::returnKey || code == juce::KeyPress::escapeKey)
    {
        // As the framework's boxes do: Escape declines, Return takes the first answer.
        closeDialog (code != juce::KeyPress::escapeKey && ! answers.empty() ? answers.front().result : 0);
        return true;
    }
    return false;
}

void GenericDialogContent::parentHierarchyChanged()
{
    auto* window = getParentComponent() != nullptr ? getTopLevelComponent() : nullptr;

    if (window == keysWindow.getComponent())
        return;

    if (keysWindow != nullptr)
        keysWindow->removeKeyListener (&windowKeys);

    keysWindow = window;

    if (window != nullptr)
        window->addKeyListener (&windowKeys);
}

void GenericDialogContent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (closeButton != nullptr && source == closeButton.get() && closeButton->getChangeCode() == 2)
        closeDialog();

    for (size_t i = 0; i < answerButtons.size(); ++i)
        if (source == answerButtons[i].get() && answerButtons[i]->getChangeCode() == 2)
        {
            closeDialog (answers[i].result);
            return;
        }
}

void GenericDialogContent::closeDialog (int result)
{
    if (auto* window = findParentComponentOfClass<juce::DocumentWindow>())
    {
        // Whoever opened the window learns the answer from its modal state.
        if (window->isCurrentlyModal (false))
            window->exitModalState (result);
        window->closeButtonPressed();
    }
}

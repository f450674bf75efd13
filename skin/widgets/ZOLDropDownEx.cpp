#include "skin/widgets/ZOLDropDownEx.h"

#include "skin/engine/UserInteraction.h"

#include "skin/widgets/WidgetSupport.h"

namespace
{
juce::Font fontOr (const juce::Font* given, const juce::String& name, float height, bool italic)
{
    if (given != nullptr)
        return *given;
    auto size = WidgetSupport::usableFontSize (height, 12.0f);
    auto style = italic ? juce::Font::italic : juce::Font::plain;
    return name.isEmpty() ? juce::Font (size, style) : juce::Font (name, size, style);
}

std::unique_ptr<juce::DrawableButton> makeButton (const juce::String& name, const juce::Image& normal,
                                                  const juce::Image& over, const juce::Image& on)
{
    auto button =
        std::make_unique<juce::DrawableButton> (name, juce::DrawableButton::ImageOnButtonBackgroundOriginalSize);
    WidgetSupport::clearButtonBackground (*button);
    WidgetSupport::setButtonImages (*button, normal, over, on, {}, on);
    button->setSize (normal.getWidth(), normal.getHeight());
    button->setWantsKeyboardFocus (false);
    return button;
}
} // namespace

ZOLDropDownEx::ZOLDropDownEx (const DropDownStyle& dropDownStyle, const juce::Font* label, const juce::Font* field,
                              const juce::Font* italicField, int)
    : style (dropDownStyle)
    , labelFont (fontOr (label, style.labelFontName, style.labelFontHeight, false))
    , fieldFont (fontOr (field, style.fieldFontName, style.fieldFontHeight, false))
    , italicFieldFont (fontOr (italicField, style.fieldItalicFontName, style.fieldFontHeight, true))
{
    upButton = makeButton ("UpButton", style.upNormal, style.upOver, style.upOn);
    downButton = makeButton ("DownButton", style.downNormal, style.downOver, style.downOn);
    plusButton = makeButton ("PlusButton", style.plusNormal, style.plusOver, style.plusOn);
    modifierButton = makeButton ("ModifierButton", style.modifierNormal, style.modifierOver, style.modifierOn);

    for (auto* b : { upButton.get(), downButton.get(), plusButton.get(), modifierButton.get() })
    {
        b->addListener (this);
        addChildComponent (*b);
    }
    upButton->setVisible (true);
    downButton->setVisible (true);
    addChildComponent (menuAnchor);
    menuAnchor.setInterceptsMouseClicks (false, false);

    setLabel (1, {});
    for (auto* b : { upButton.get(), downButton.get(), plusButton.get(), modifierButton.get() })
        setChildEnabled (b, false);
    setWantsKeyboardFocus (true);
}

ZOLDropDownEx::~ZOLDropDownEx()
{
    for (auto* b : { upButton.get(), downButton.get(), plusButton.get(), modifierButton.get() })
        b->removeListener (this);
}

bool ZOLDropDownEx::setItems (const juce::StringArray& shortTexts, const juce::StringArray& texts,
                              const juce::Array<juce::uint16>& values, const juce::Array<juce::uint8>& italicFlags,
                              int selectedIndex)
{
    items.clear();
    deviceText = {};
    bool matched = texts.size() == values.size();
    if (matched)
    {
        items.ensureStorageAllocated (texts.size());
        for (int i = 0; i < texts.size(); ++i)
            items.add ({ shortTexts[i], texts[i], italicFlags[i] == 1, values[i] });
        selected = (selectedIndex == -1 || juce::isPositiveAndBelow (selectedIndex, items.size())) ? selectedIndex : 0;
    }
    else
        selected = -1;

    repaint();
    setChildEnabled (upButton.get(), ! items.isEmpty());
    setChildEnabled (downButton.get(), ! items.isEmpty());
    return matched;
}

const ZOLDropDownEx::Item* ZOLDropDownEx::getItem (int index) const
{
    return juce::isPositiveAndBelow (index, items.size()) ? &items.getReference (index) : nullptr;
}

juce::String ZOLDropDownEx::getFieldTextAt (int index) const
{
    auto* item = getItem (index);
    if (item == nullptr)
        return {};
    auto shortText = item->shortText.trim();
    if (showShortText && shortText.isNotEmpty())
        return shortText + ": " + item->text;
    return item->text;
}

void ZOLDropDownEx::setLabel (int placement, const juce::String& text)
{
    labelPlacement = placement;
    labelText = text;
    if (placement == 1)
        labelJustification = juce::Justification (style.labelAboveJustification);
    else if (placement == 4)
        labelJustification = juce::Justification (style.labelBesideJustification);
    else
        labelJustification = juce::Justification (style.labelBelowJustification);
    labelLines = placement == 0 ? 0 : (placement == 1 || placement == 3 || placement == 4) ? 1 : 2;
    updateLayout();
}

void ZOLDropDownEx::setExtraButton (int mode)
{
    extraButtonMode = mode;
    modifierButton->setVisible (mode == 1);
    plusButton->setVisible (mode == 2);
    // The plus button is usable like the modifier button once it is shown.
    if (mode == 1)
        setChildEnabled (modifierButton.get(), true);
    if (mode == 2)
        setChildEnabled (plusButton.get(), true);
    updateLayout();
}

void ZOLDropDownEx::setChildEnabled (juce::Button* button, bool enabled)
{
    if (button == nullptr)
        return;
    button->setEnabled (enabled);
    button->setAlpha (WidgetSupport::usableAlpha (enabled ? alphaEnabled : alphaDisabled));
}

const juce::Image* ZOLDropDownEx::fieldBackground() const
{
    switch (fieldSize)
    {
        case 0: return &style.fieldSmall;
        case 1: return &style.fieldNormal;
        case 2: return &style.fieldLarge;
        case 3: return &style.fieldHuge;
        default: return nullptr;
    }
}

void ZOLDropDownEx::updateLayout()
{
    if (auto* background = fieldBackground())
        fieldRect.setSize (background->getWidth(), background->getHeight());

    const int fw = fieldRect.getWidth(), fh = fieldRect.getHeight();
    const int lh = (int) (WidgetSupport::usableFontSize (style.labelFontHeight, 12.0f) + 0.5f);
    const int gap = style.xOffsetBtnFromField;
    auto* extra = extraButtonMode == 1 ? modifierButton.get() : extraButtonMode == 2 ? plusButton.get() : nullptr;
    const int ch = upButton->getHeight() + (extra != nullptr ? extra->getHeight() : 0) + downButton->getHeight();
    const int xc = gap + fw;
    int tw = xc + upButton->getWidth();
    const int yc = fh / 2 - ch / 2;
    int columnX = xc, columnY = yc;

    switch (labelPlacement)
    {
        case 1:
        {
            const int s = lh + 5;
            labelRect = { 0, 0, fw, s };
            fieldRect.setPosition (0, s);
            columnY = yc + s;
            if (yc < -s)
            {
                columnY = 0;
                labelRect.setY (s);
            }
            break;
        }
        case 3:
        {
            const int d = yc < 0 ? -yc : 0;
            columnY = yc < 0 ? 0 : yc;
            fieldRect.setPosition (0, d);
            labelRect = { 0, fh + d, tw, lh };
            if (labelExtraGap)
                labelRect.translate (0, ch / 4);
            break;
        }
        case 4:
        {
            const int d = yc < 0 ? -yc : 0;
            columnY = yc < 0 ? 0 : yc;
            const int lw = besideLabelWidth != 0 ? (int) besideLabelWidth : tw;
            labelRect = { 0, d, lw, fh };
            fieldRect.setPosition (lw, d);
            columnX = xc + lw;
            tw += lw;
            break;
        }
        case 0:
            labelLines = 0;
            labelRect = {};
            fieldRect.setPosition (0, 0);
            break;
        default:
            if (yc < 0)
            {
                fieldRect.setPosition (0, style.yOffsetField);
                columnY = yc + style.yOffsetField;
            }
            else
                fieldRect.setPosition (0, 0);
            labelRect = { 0, style.yOffsetLabel, tw, labelLines * lh };
            break;
    }

    int y = columnY;
    for (auto* b : { upButton.get(), extra, downButton.get() })
        if (b != nullptr)
        {
            b->setTopLeftPosition (columnX, y);
            y += b->getHeight();
        }
    buttonRects = { upButton->getBounds(), downButton->getBounds(), plusButton->getBounds(),
                    modifierButton->getBounds() };
    if (extra == nullptr)
    {
        plusButton->setTopLeftPosition (columnX, columnY + upButton->getHeight());
        modifierButton->setTopLeftPosition (columnX, columnY + upButton->getHeight());
    }

    const int columnBottom = y;
    int height = 0;
    if (labelPlacement == 1)
        height = juce::jmax (fieldRect.getBottom(), columnBottom);
    else if (labelPlacement == 4)
        height = columnBottom;
    else
        height = juce::jmax (columnBottom, labelRect.getBottom());

    setSize (juce::jmax (0, tw), juce::jmax (0, height));
    menuAnchor.setBounds (fieldRect);
    repaint();
}

juce::String ZOLDropDownEx::getDisplayText()
{
    auto* item = getItem (selected);
    return item != nullptr ? item->text : deviceText;
}

int ZOLDropDownEx::getUnitValue()
{
    auto* item = getItem (selected);
    return item != nullptr ? item->value : deviceText.isNotEmpty() ? deviceValue : 0;
}

int ZOLDropDownEx::getSecondaryValue()
{
    return juce::isPositiveAndBelow (plusChoice, plusValues.size()) ? plusValues[plusChoice] : 0;
}

void ZOLDropDownEx::setFromDevice (juce::uint16 value, juce::uint16, const juce::String& text)
{
    // A value outside the list never shows another entry: the field shows
    // what the unit says until the user picks.
    selected = -1;
    deviceValue = value;
    deviceText = text.trim();
    for (int i = 0; i < items.size(); ++i)
        if (items.getReference (i).value == value)
        {
            selected = i;
            deviceText = {};
            break;
        }
    repaint();
}

void ZOLDropDownEx::modifierChanged()
{
    modifierButton->setToggleState (modifierActive, juce::dontSendNotification);
}

void ZOLDropDownEx::stepUp()
{
    if (buttonBlocks (*upButton) || items.isEmpty())
        return;
    selected = juce::isPositiveAndBelow (selected, items.size()) ? (selected + items.size() - 1) % items.size() : 0;
    deviceText = {};
    postChangeCode (4);
    repaint();
}

void ZOLDropDownEx::stepDown()
{
    if (buttonBlocks (*downButton) || items.isEmpty())
        return;
    selected = juce::isPositiveAndBelow (selected, items.size()) ? (selected + 1) % items.size() : 0;
    deviceText = {};
    postChangeCode (4);
    repaint();
}

void ZOLDropDownEx::modifierButtonPressed()
{
    if (! buttonBlocks (*modifierButton))
        postChangeCode (3);
}

void ZOLDropDownEx::showMenu()
{
    juce::PopupMenu menu;
    for (int i = 0; i < items.size(); ++i)
        menu.addItem (i + 1, items.getReference (i).text, true, i == selected);
    juce::Component::SafePointer<ZOLDropDownEx> self (this);
    UserInteraction::showMenu (
        menu, juce::PopupMenu::Options().withTargetComponent (&menuAnchor).withItemThatMustBeVisible (selected + 1),
        [self] (int result)
        {
            if (self != nullptr)
                self->handleMenuResult (result);
        });
}

void ZOLDropDownEx::handleMenuResult (int result)
{
    if (result <= 0 || result > items.size())
        return;
    int chosen = result - 1;
    bool changed = chosen != selected;
    if (changed)
    {
        selected = chosen;
        deviceText = {};
        repaint();
    }
    if (changed || alwaysNotify)
        postChangeCode (4);
}

void ZOLDropDownEx::showPlusMenu()
{
    if (buttonBlocks (*plusButton))
        return;
    if (plusTexts.size() != plusValues.size())
    {
        postChangeCode (1);
        return;
    }
    juce::PopupMenu menu;
    for (int i = 0; i < plusTexts.size(); ++i)
        menu.addItem (i + 1, plusTexts[i], true, i == plusChoice);
    juce::Component::SafePointer<ZOLDropDownEx> self (this);
    UserInteraction::showMenu (menu, juce::PopupMenu::Options().withTargetComponent (plusButton.get()),
                        [self] (int result)
                        {
                            if (self != nullptr)
                                self->handlePlusMenuResult (result);
                        });
}

void ZOLDropDownEx::handlePlusMenuResult (int result)
{
    if (result > 0 && result <= plusTexts.size())
    {
        plusChoice = result - 1;
        postChangeCode (11);
    }
    else
        postChangeCode (1);
}

void ZOLDropDownEx::showCommandPlusMenu()
{
    if (buttonBlocks (*plusButton) || plusCommandMenu == nullptr)
        return;
    auto menu = plusCommandMenu (plusCommandMenuId);
    juce::Component::SafePointer<ZOLDropDownEx> self (this);
    UserInteraction::showMenu (menu, juce::PopupMenu::Options().withTargetComponent (plusButton.get()),
                        [self] (int result)
                        {
                            if (self != nullptr)
                                self->handleCommandPlusMenuResult (result);
                        });
}

void ZOLDropDownEx::handleCommandPlusMenuResult (int result)
{
    if (result <= 0)
        return;
    plusChoice = result;
    postChangeCode (11);
}

juce::Font ZOLDropDownEx::getFieldFont (bool italic) const
{
    return (italic ? italicFieldFont : fieldFont)
        .withHeight (WidgetSupport::usableFontSize (style.fieldFontHeight, 12.0f));
}

void ZOLDropDownEx::paint (juce::Graphics& g)
{
    if (auto* background = fieldBackground())
        WidgetSupport::drawImageInto (g, *background, fieldRect);

    if (labelLines > 0 && labelText.isNotEmpty())
    {
        g.setFont (labelFont.withHeight (WidgetSupport::usableFontSize (style.labelFontHeight, 12.0f)));
        g.setColour (style.labelColour);
        g.drawFittedText (labelText, labelPlacement == 1 ? labelRect.translated (2, 0) : labelRect, labelJustification,
                          labelLines, 1.0f);
    }

    auto* item = getItem (selected);
    if (item != nullptr || deviceText.isNotEmpty())
    {
        g.setFont (getFieldFont (item != nullptr && item->italic));
        g.setColour (style.fieldColour);
        g.drawFittedText (getFieldText(), fieldRect, juce::Justification (style.fieldJustification), 2,
                          minimumFieldTextScale);
    }
}

void ZOLDropDownEx::mouseDown (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;
    if (fieldRect.contains (e.getPosition()))
        showMenu();
    else if (e.getNumberOfClicks() >= 2)
        postChangeCode (9);
}

bool ZOLDropDownEx::keyPressed (const juce::KeyPress& key)
{
    if (! isEnabled())
        return false;
    if (key.isKeyCode (juce::KeyPress::upKey))
    {
        buttonClicked (upButton.get());
        return true;
    }
    if (key.isKeyCode (juce::KeyPress::downKey))
    {
        buttonClicked (downButton.get());
        return true;
    }
    if (isModifierEditKey (key))
    {
        buttonClicked (modifierButton.get());
        return true;
    }
    if (key.getTextCharacter() == '+')
    {
        buttonClicked (plusButton.get());
        return true;
    }
    if (key.isKeyCode (juce::KeyPress::returnKey))
        showMenu();
    return false;
}

void ZOLDropDownEx::enablementChanged()
{
    setAlpha (WidgetSupport::usableAlpha (isEnabled() ? alphaEnabled : alphaDisabled));
}

void ZOLDropDownEx::applyScale (bool apply)
{
    applyCommonScale (*this, apply);
}

void ZOLDropDownEx::buttonClicked (juce::Button* button)
{
    if (! isEnabled())
        return;
    if (button == upButton.get())
        stepUp();
    else if (button == downButton.get())
        stepDown();
    else if (button == plusButton.get())
    {
        if (plusCommandMenu != nullptr)
            showCommandPlusMenu();
        else
            showPlusMenu();
    }
    else if (button == modifierButton.get())
        modifierButtonPressed();
}

#include "skin/lists/ScrollableListCell.h"

#include "model/UserNotifier.h"
#include "skin/lists/ZolScrollableListCtrl.h"

namespace
{
float usableHeight (float height)
{
    return std::isfinite (height) && height > 0.0f ? juce::jmin (height, 1000.0f) : 12.0f;
}

// The cell keeps its fonts at the height it draws them with.
std::unique_ptr<juce::Font> copyOf (const juce::Font* font, float height)
{
    return font != nullptr ? std::make_unique<juce::Font> (font->withHeight (height)) : nullptr;
}

// What Graphics::drawFittedText draws of text laid out for the area.
void drawLaidOut (juce::Graphics& g, const juce::GlyphArrangement& glyphs, juce::Rectangle<int> area)
{
    if (glyphs.getNumGlyphs() > 0 && g.clipRegionIntersects (area))
        glyphs.draw (g);
}
} // namespace

ZolScrollableListCtrl* findParentScrollableListCtrl (const juce::Component* component)
{
    for (auto* c = component != nullptr ? component->getParentComponent() : nullptr; c != nullptr;
         c = c->getParentComponent())
        if (auto* list = dynamic_cast<ZolScrollableListCtrl*> (c))
            return list;
    return nullptr;
}

ScrollableListCell::ScrollableListCell (int cellRow, int cellColumn)
    : row (cellRow)
    , column (cellColumn)
{
    setWantsKeyboardFocus (true);
    label = std::make_unique<AutoVisibleLabel>();
    label->addListener (this);
    addChildComponent (*label);
}

ScrollableListCell::~ScrollableListCell()
{
    if (label != nullptr)
        label->removeListener (this);
    label.reset();
}

ZolScrollableListCtrl* ScrollableListCell::getList() const
{
    return findParentScrollableListCtrl (this);
}

void ScrollableListCell::setMarkerImage (const juce::Image& image, int width)
{
    markerImage = image;
    markerWidth = juce::jlimit (0, 100000, width);
}

void ScrollableListCell::setNumberFont (const juce::Font* font, juce::Colour colour, float height)
{
    numberHeight = usableHeight (height);
    numberFont = copyOf (font, numberHeight);
    numberColour = colour;
    fontsChanged = true;
    repaint();
}

void ScrollableListCell::setNameFonts (const juce::Font* normal, const juce::Font* bold, const juce::Font* italicF,
                                       const juce::Font* italicBold, float height, juce::Colour colour)
{
    nameHeight = usableHeight (height);
    nameFont = copyOf (normal, nameHeight);
    boldFont = copyOf (bold, nameHeight);
    italicFont = copyOf (italicF, nameHeight);
    italicBoldFont = copyOf (italicBold, nameHeight);
    nameColour = colour;
    fontsChanged = true;
    if (label != nullptr)
    {
        label->setFont ((nameFont != nullptr ? *nameFont : juce::Font()).withHeight (nameHeight));
        label->setColour (juce::Label::textColourId, nameColour);
    }
    repaint();
}

void ScrollableListCell::setCellColours (juce::Colour over, juce::Colour selection, juce::Colour overlapping)
{
    mouseOverColour = over;
    selectionColour = selection;
    overlappingColour = overlapping;
    repaint();
}

void ScrollableListCell::setEditorColours (juce::Colour field, juce::Colour frame)
{
    editorField = field;
    editorFrame = frame;
}

void ScrollableListCell::setNameRestrictions (int maxLength, const juce::String& allowedCharacters)
{
    if (label == nullptr)
        return;
    label->maxTextLength = juce::jmax (0, maxLength);
    label->allowedCharacters = allowedCharacters;
}

int ScrollableListCell::measureText (const juce::Font* numberFont, const juce::Font* nameFont, float nameHeight,
                                     const juce::String& number, const juce::String& name)
{
    int numberWidth = numberFont != nullptr ? juce::roundToInt (numberFont->getStringWidthFloat (number)) : 0;
    auto font = nameFont != nullptr ? *nameFont : juce::Font (nameHeight);
    return numberWidth + juce::roundToInt (font.getStringWidthFloat (name + "W"));
}

void ScrollableListCell::setNumberAndName (const juce::String& number, const juce::String& name)
{
    numberText = number;
    nameText = name;
    if (measureText (numberFont.get(), nameFont.get(), nameHeight, numberText, nameText) > getWidth())
        postChangeCode (8, 0);
    repaint();
}

void ScrollableListCell::getNumberAndName (juce::String& number, juce::String& name) const
{
    number = numberText;
    name = nameText;
}

void ScrollableListCell::setItalic (bool flag)
{
    italic = flag;
    repaint();
}

void ScrollableListCell::setSelected (bool flag)
{
    if (flag == selected)
        return;
    selected = flag;
    repaint();
}

void ScrollableListCell::setMouseOver (bool flag)
{
    if (flag == mouseOver)
        return;
    mouseOver = flag;
    repaint();
}

void ScrollableListCell::setDropMark (bool flag)
{
    if (flag == dropMark)
        return;
    dropMark = flag;
    repaint();
}

int ScrollableListCell::getChangeCode (int* argument) const
{
    const juce::ScopedLock sl (codeLock);
    if (argument != nullptr)
        *argument = changeArgument;
    return changeCode;
}

void ScrollableListCell::postChangeCode (int code, int argument)
{
    {
        const juce::ScopedLock sl (codeLock);
        changeCode = code;
        changeArgument = argument;
        pendingCodes.emplace_back (code, argument);
    }
    sendChangeMessage();
}

bool ScrollableListCell::takeChangeCode (int& code, int& argument)
{
    const juce::ScopedLock sl (codeLock);
    if (pendingCodes.empty())
        return false;
    code = pendingCodes.front().first;
    argument = pendingCodes.front().second;
    pendingCodes.pop_front();
    return true;
}

bool ScrollableListCell::showNameEditor()
{
    if (! renamable || label == nullptr || label->isBeingEdited())
        return false;
    label->setText (nameText, juce::dontSendNotification);

    // The field reads as the list does: the name's colour on the list's
    // ground, selected text in the selection's colour, inside a frame.
    const auto frame = editorFrame.isTransparent() ? nameColour : editorFrame;
    label->setColour (juce::Label::textWhenEditingColourId, nameColour);
    label->setColour (juce::Label::backgroundWhenEditingColourId, editorField.withAlpha (1.0f));
    label->setColour (juce::Label::outlineWhenEditingColourId, frame);
    label->setColour (juce::TextEditor::outlineColourId, frame);
    label->setColour (juce::TextEditor::highlightColourId, selectionColour);
    label->setColour (juce::TextEditor::highlightedTextColourId, nameColour);
    label->setColour (juce::CaretComponent::caretColourId, nameColour);
    label->showEditor();
    repaint();
    return true;
}

void ScrollableListCell::getDroppedFiles (juce::StringArray& out) const
{
    out = droppedFiles;
    out.sortNatural();
}

void ScrollableListCell::getItemInfo (ScrollableListItem& item) const
{
    item.number = numberText;
    item.name = nameText;
    item.tooltip = const_cast<ScrollableListCell*> (this)->getTooltip();
    item.itemId = itemId;
    item.italic = italic;
    item.showMarker = showMarker;
    item.dragEnabled = dragEnabled;
    item.plainDropFlag = plainDropFlag;
    item.shiftDropFlag = shiftDropFlag;
    item.positionalDropFlag = positionalDropFlag;
    item.showDropPosition = showDropPosition;
    item.acceptsFiles = acceptsFiles;
    item.hasBackground = hasBackground;
    item.background = background;
    item.hasNumberBox = hasNumberBox;
    item.numberBoxColour = numberBoxColour;
    item.hasRenameSettings = true;
    item.renamable = renamable;
    item.maxNameLength = label != nullptr ? label->maxTextLength : 0;
    item.allowedNameCharacters = label != nullptr ? label->allowedCharacters : juce::String();
}

bool ScrollableListCell::isOnMarker (int x, int y) const
{
    return markerImage.isValid() && juce::Rectangle<int> (0, 0, markerWidth, getHeight()).contains (x, y);
}

int ScrollableListCell::getDropAction() const
{
    auto mods = juce::ModifierKeys::getCurrentModifiers();
    const bool shift = mods.isShiftDown(), ctrl = mods.isCtrlDown();
    const int shiftOrNone = shiftDropFlag ? 2 : 0;

    if (! plainDropFlag)
    {
        if (! positionalDropFlag)
            return shiftOrNone;
        return shift && ! ctrl && shiftDropFlag ? 2 : 1;
    }
    if (shift && ctrl)
        return 3;
    if (shift)
        return shiftDropFlag ? 2 : 3;
    if (ctrl)
        return positionalDropFlag ? 1 : 3;
    return 3;
}

void ScrollableListCell::updateDropZone (int mouseY)
{
    int zone = 0;
    if (getDropAction() == 1 && showDropPosition)
    {
        juce::DragAndDropContainer* container = nullptr;
        if (auto* list = getList())
            container = list->getDragContainer();
        else
            container = juce::DragAndDropContainer::findParentDragContainerFor (this);
        if (container != nullptr && container->isDragAndDropActive() && getHeight() > 0)
        {
            auto f = (float) mouseY / (float) getHeight();
            zone = f < 0.33f ? 1 : f > 0.66f ? 2 : 0;
        }
    }
    if (zone != dropZone)
    {
        dropZone = zone;
        repaint();
    }
}

juce::Font ScrollableListCell::chosenNameFont() const
{
    const juce::Font* chosen = nullptr;
    if (highlighted || searchMatch)
        chosen = italic ? italicBoldFont.get() : boldFont.get();
    else
        chosen = italic ? italicFont.get() : nameFont.get();
    return (chosen != nullptr ? *chosen : juce::Font()).withHeight (nameHeight);
}

int ScrollableListCell::getNameFontChoice() const
{
    return (highlighted || searchMatch ? 2 : 0) + (italic ? 1 : 0);
}

int ScrollableListCell::getNumberWidth() const
{
    return numberFont != nullptr ? juce::roundToInt (numberFont->withHeight (numberHeight).getStringWidthFloat (numberText))
                                 : 0;
}

const ScrollableListCell::TextLayout& ScrollableListCell::getTextLayout()
{
    if (textLayout == nullptr)
        textLayout = std::make_unique<TextLayout>();
    auto& t = *textLayout;
    const int w = getWidth(), h = getHeight(), choice = getNameFontChoice();
    if (! fontsChanged && t.width == w && t.height == h && t.markerWidth == markerWidth && t.nameFontChoice == choice
        && t.minimumScale == minimumHorizontalScale && t.number == numberText && t.name == nameText)
        return t;

    fontsChanged = false;
    t.number = numberText;
    t.name = nameText;
    t.width = w;
    t.height = h;
    t.markerWidth = markerWidth;
    t.nameFontChoice = choice;
    t.minimumScale = minimumHorizontalScale;

    // Laid out as Graphics::drawFittedText lays them out.
    t.numberWidth = getNumberWidth();
    t.numberGlyphs.clear();
    if (numberFont != nullptr && numberText.isNotEmpty() && w > 0 && h > 0)
        t.numberGlyphs.addFittedText (numberFont->withHeight (numberHeight), numberText, (float) markerWidth, 0.0f,
                                      (float) w, (float) h, juce::Justification::centredLeft, 1, 0.7f);

    t.nameFont = chosenNameFont();
    t.nameX = markerWidth + t.numberWidth;
    const int nameWidth = juce::jmax (0, w - t.nameX);
    t.nameGlyphs.clear();
    if (nameText.isNotEmpty() && nameWidth > 0 && h > 0)
        t.nameGlyphs.addFittedText (t.nameFont, nameText, (float) t.nameX, 0.0f, (float) nameWidth, (float) h,
                                    juce::Justification::centredLeft, 1, minimumHorizontalScale);
    t.nameWidth = (float) juce::roundToInt (t.nameFont.getStringWidthFloat (nameText));
    return t;
}

void ScrollableListCell::paint (juce::Graphics& g)
{
    ++paintCount;
    // While the name is edited, only its editor shows, over the whole cell.
    if (isEditingName())
        return;

    const int w = getWidth(), h = getHeight();
    juce::Colour fill = juce::Colours::transparentBlack;
    if (selected)
        fill = (mouseOver || dropMark) ? overlappingColour : selectionColour;
    else if (hasText())
        fill = (mouseOver || dropMark) ? mouseOverColour : hasBackground ? background : juce::Colours::transparentBlack;
    g.fillAll (fill);

    if (showMarker && markerImage.isValid())
        g.drawImageAt (markerImage, juce::jmax (0, markerWidth / 2 - markerImage.getWidth() / 2),
                       juce::jmax (0, h / 2 - markerImage.getHeight() / 2));

    const auto& text = getTextLayout();
    const int numberWidth = text.numberWidth;
    if (hasNumberBox && numberWidth > 2)
    {
        g.setColour (numberBoxColour);
        g.fillRoundedRectangle ((float) markerWidth - 1.0f, 1.0f, (float) numberWidth - 2.0f, (float) h - 2.0f, 4.0f);
    }
    if (numberFont != nullptr)
    {
        g.setFont (numberFont->withHeight (numberHeight));
        g.setColour (numberColour);
        drawLaidOut (g, text.numberGlyphs, { markerWidth, 0, w, h });
    }

    g.setFont (text.nameFont);
    g.setColour (nameColour);
    const int nameX = text.nameX;
    drawLaidOut (g, text.nameGlyphs, { nameX, 0, juce::jmax (0, w - nameX), h });

    if (highlighted)
    {
        auto y = (float) h - 2.0f * (float) getUsableScale();
        g.drawLine ((float) nameX, y, (float) nameX + text.nameWidth, y);
    }

    if (dropMark && hasText() && (dropZone == 1 || dropZone == 2))
    {
        auto s = (float) getUsableScale();
        g.setColour (juce::Colours::black);
        auto y = dropZone == 1 ? s : (float) h - s;
        g.drawLine (0.0f, y, (float) w, y);
    }
}

void ScrollableListCell::resized()
{
    if (label == nullptr)
        return;
    label->setBounds (getLocalBounds());
    label->setFont ((nameFont != nullptr ? *nameFont : juce::Font()).withHeight (nameHeight));
}

void ScrollableListCell::mouseEnter (const juce::MouseEvent&)
{
    if (! isEnabled())
        return;
    setMouseOver (true);
    if (auto* list = getList())
        list->cellMouseEnter (this);
}

void ScrollableListCell::mouseExit (const juce::MouseEvent&)
{
    setMouseOver (false);
    if (auto* list = getList())
        list->cellMouseExit (this);
}

void ScrollableListCell::mouseDown (const juce::MouseEvent& e)
{
    dragAsked = false;
    if (! isEnabled() || ! hasText())
        return;
    int onMarker = isOnMarker (e.x, e.y) ? 1 : 0;
    if (e.mods.isRightButtonDown())
        postChangeCode (6, onMarker);
    else if (e.getNumberOfClicks() <= 1)
        postChangeCode (1, onMarker);
    else
        postChangeCode (3, onMarker);
}

void ScrollableListCell::mouseDrag (const juce::MouseEvent& e)
{
    if (! isEnabled() || ! hasText() || e.mods.isRightButtonDown() || ! dragEnabled)
        return;
    if (juce::DragAndDropContainer::findParentDragContainerFor (this) == nullptr)
        return;
    auto* list = getList();
    if (! dragAsked)
    {
        dragAsked = true;
        if (list != nullptr && list->startDrag (this))
        {
            dragging = true;
            juce::Desktop::getInstance().beginDragAutoRepeat (250);
        }
        return;
    }
    if (list != nullptr)
        list->autoScrollForDrag (this, e.getPosition(), juce::ModifierKeys::getCurrentModifiers().isCtrlDown());
    if (dragging)
        showDragCursor();
}

void ScrollableListCell::showDragCursor()
{
    int action = getDropAction();
    if (action == shownAction)
        return;
    shownAction = action;
    auto* list = getList();
    if (list == nullptr)
        return;
    int which = action == 2 ? 2 : action == 3 ? 1 : 0;
    if (auto* dragCursor = list->getDragCursor (which))
        setMouseCursor (*dragCursor);
}

void ScrollableListCell::mouseUp (const juce::MouseEvent& e)
{
    if (dragging)
    {
        dragging = false;
        shownAction = -1;
        setMouseCursor (juce::MouseCursor::NormalCursor);
        repaint();
    }
    else if (isEnabled() && hasText())
    {
        int onMarker = isOnMarker (e.x, e.y) ? 1 : 0;
        if (e.mods.isRightButtonDown())
            postChangeCode (7, onMarker);
        else if (e.getNumberOfClicks() <= 1)
            postChangeCode (2, onMarker);
    }
    juce::Desktop::getInstance().beginDragAutoRepeat (0);
}

bool ScrollableListCell::keyPressed (const juce::KeyPress& key)
{
    if (key.isKeyCode (juce::KeyPress::returnKey) && hasText() && isEnabled())
    {
        postChangeCode (3, 0);
        return true;
    }
    return false;
}

void ScrollableListCell::focusGained (FocusChangeType cause)
{
    // A window given the keyboard back (after a menu had it, say) hands it
    // to the cell that had it before; while a name is edited, in this cell
    // or in another of the list, it belongs to that editor.
    if (auto* editor = label != nullptr ? label->getCurrentTextEditor() : nullptr; editor != nullptr && editor->isShowing())
        editor->grabKeyboardFocus();
    else if (auto* list = cause == focusChangedDirectly ? getList() : nullptr)
        list->giveKeyboardToNameEditor();
}

bool ScrollableListCell::isInterestedInDragSource (const SourceDetails& details)
{
    auto* list = getList();
    if (! dragEnabled || ! isEnabled() || details.sourceComponent.get() == this || list == nullptr)
        return false;
    auto description = details.description.toString();
    if (description != list->dragDescription)
        return list->acceptedDragDescriptions.contains (description);
    return dynamic_cast<ScrollableListCell*> (details.sourceComponent.get()) != nullptr;
}

void ScrollableListCell::itemDragEnter (const SourceDetails& details)
{
    setDropMark (true);
    updateDropZone (details.localPosition.y);
}

void ScrollableListCell::itemDragMove (const SourceDetails& details)
{
    setDropMark (true);
    updateDropZone (details.localPosition.y);
    auto* list = getList();
    if (list == nullptr)
        return;
    int count = 1;
    if (auto* sourceCell = dynamic_cast<ScrollableListCell*> (details.sourceComponent.get()))
        if (auto* sourceList = findParentScrollableListCtrl (sourceCell))
            count = sourceList->getNumSelectedCells();
    list->markDropRange (this, count, true);
    list->autoScrollForDrag (this, details.localPosition, juce::ModifierKeys::getCurrentModifiers().isCtrlDown());
}

void ScrollableListCell::itemDragExit (const SourceDetails& details)
{
    setDropMark (false);
    updateDropZone (details.localPosition.y);
    if (auto* list = getList())
        list->markDropRange (this, 0, false);
}

void ScrollableListCell::itemDropped (const SourceDetails& details)
{
    juce::Component::SafePointer<ScrollableListCell> self (this);
    if (auto* source = details.sourceComponent.get())
        if (auto* list = getList())
            list->itemDroppedOnCell (this, source, getDropAction(), dropZone);
    if (self == nullptr)
        return;
    setDropMark (false);
    updateDropZone (details.localPosition.y);
}

bool ScrollableListCell::isInterestedInFileDrag (const juce::StringArray& files)
{
    return acceptsFiles && isEnabled() && hasText() && ! files.isEmpty();
}

void ScrollableListCell::fileDragEnter (const juce::StringArray&, int, int)
{
    if (acceptsFiles)
        setDropMark (true);
}

void ScrollableListCell::fileDragMove (const juce::StringArray& files, int x, int y)
{
    if (! acceptsFiles)
        return;
    setDropMark (true);
    if (auto* list = getList())
    {
        list->markDropRange (this, files.size(), true);
        list->autoScrollForDrag (this, { x, y }, juce::ModifierKeys::getCurrentModifiers().isCtrlDown());
    }
}

void ScrollableListCell::fileDragExit (const juce::StringArray&)
{
    if (! acceptsFiles)
        return;
    setDropMark (false);
    if (auto* list = getList())
        list->markDropRange (this, 0, false);
}

void ScrollableListCell::filesDropped (const juce::StringArray& files, int, int)
{
    setDropMark (false);
    if (acceptsFiles && ! files.isEmpty())
    {
        droppedFiles = files;
        postChangeCode (4, 0);
    }
}

void ScrollableListCell::labelTextChanged (juce::Label* source)
{
    if (source != label.get())
        return;
    auto text = label->getText();
    if (label->maxTextLength > 0 && text.length() > label->maxTextLength)
        text = text.substring (0, label->maxTextLength);

    bool reserved = false;
    for (auto& r : reservedNames)
        reserved = reserved || r.equalsIgnoreCase (text);

    if (reserved)
    {
        label->setText (text, juce::dontSendNotification);
        reopenPending = true;
        Notice notice;
        notice.icon = Notice::Icon::warning;
        notice.title = "Warning";
        notice.message = "This name is reserved.\nPlease enter a different name.";
        juce::Component::SafePointer<ScrollableListCell> self (this);
        // The editor opens again once the warning is closed, so that the two
        // do not fight over the keyboard focus.
        notice.onResult = [self] (int)
        {
            if (self != nullptr)
                self->reopenEditor();
        };
        UserNotifier::show (std::move (notice));
    }
    else
    {
        nameText = text;
        postChangeCode (5, 0);
    }
    repaint();
}

void ScrollableListCell::editorHidden (juce::Label* source, juce::TextEditor&)
{
    if (source != label.get())
        return;

    // The list hears of it once the label has taken the text (or not) and
    // the cell has queued its rename, whatever closed the editor.
    closingEditor = true;
    juce::Component::SafePointer<ScrollableListCell> self (this);
    juce::MessageManager::callAsync (
        [self]
        {
            if (self == nullptr)
                return;
            self->closingEditor = false;
            if (auto* list = self->getList())
                list->cellEditorClosed (self.getComponent());
        });
}

void ScrollableListCell::reopenEditor()
{
    reopenPending = false;
    if (label != nullptr && ! label->isBeingEdited())
    {
        label->showEditor();
        repaint();
    }
}

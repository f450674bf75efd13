#include "librarian/LibrarianStyle.h"

#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/window/ZOLWindowSplitter.h"
#include "skin/lists/ZolScrollableListCtrl.h"

LibrarianStyle::Frame LibrarianStyle::readFrame (const SkinManager* skin, const juce::String& section,
                                                 juce::Rectangle<int> fallback)
{
    Frame frame;
    frame.bounds = fallback;
    const auto* element = skin != nullptr ? skin->getSection (section) : nullptr;

    if (element == nullptr)
        return frame;

    auto bounds = SkinAttributes::rectangle (*element, "bounds");
    if (! bounds.isEmpty())
        frame.bounds = bounds;

    using SkinAttributes::colourOr;
    frame.background = colourOr (*element, "backgroundColor", frame.background);
    frame.box = colourOr (*element, "dlgColor", frame.box);
    frame.textColour = colourOr (*element, "fontColor", frame.textColour);
    return frame;
}

void LibrarianStyle::styleButton (juce::Button& button)
{
    button.setColour (juce::TextButton::buttonColourId, juce::Colour (outline));
    button.setColour (juce::TextButton::buttonOnColourId, juce::Colour (accent).withAlpha (0.35f));
    button.setColour (juce::TextButton::textColourOffId, juce::Colour (text));
    button.setColour (juce::TextButton::textColourOnId, juce::Colour (accent));
    button.setColour (juce::ComboBox::outlineColourId, juce::Colour (panel));
}

void LibrarianStyle::styleLabel (juce::Label& label, bool heading)
{
    label.setColour (juce::Label::textColourId, juce::Colour (heading ? text : quietText));
    label.setFont (juce::Font (heading ? 17.0f : 13.0f, heading ? juce::Font::bold : juce::Font::plain));
    label.setMinimumHorizontalScale (0.8f);
}

void LibrarianStyle::styleEditor (juce::TextEditor& editor)
{
    editor.setColour (juce::TextEditor::backgroundColourId, juce::Colour (field));
    editor.setColour (juce::TextEditor::textColourId, juce::Colour (text));
    editor.setColour (juce::TextEditor::outlineColourId, juce::Colour (outline));
    editor.setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (accent));
    editor.setColour (juce::CaretComponent::caretColourId, juce::Colour (text));
}

void LibrarianStyle::styleProgress (juce::ProgressBar& bar)
{
    bar.setColour (juce::ProgressBar::backgroundColourId, juce::Colour (field));
    bar.setColour (juce::ProgressBar::foregroundColourId, juce::Colour (accent).withAlpha (0.6f));
}

void LibrarianStyle::styleList (ZolScrollableListCtrl& list, bool multipleSelection)
{
    list.layoutMode = 1;
    list.fixedCount = 1;
    list.minCellHeight = 20;
    list.minCellWidth = 40;
    list.multipleSelection = multipleSelection;
    list.backgroundFill = true;
    list.backgroundColour = juce::Colour (field);
    list.editorOutlineColour = juce::Colour (accent); // as the focused frame of its other text fields
    const juce::Font plainFont (13.0f), boldFont (13.0f, juce::Font::bold), italicFont (13.0f, juce::Font::italic);
    list.setNumberFont (&boldFont, juce::Colour (quietText), 13.0f);
    list.setNameFonts (&plainFont, &boldFont, &italicFont, &boldFont, 13.0f, juce::Colour (text));
    list.setCellColours (juce::Colour (outline), juce::Colour (accent).withAlpha (0.35f),
                         juce::Colour (accent).withAlpha (0.5f));
}

void LibrarianStyle::fitCellsToWidth (ZolScrollableListCtrl& list)
{
    // The vertical scroll bar takes its room from the view: a cell as wide as
    // the list would reach under it and bring a horizontal bar of its own.
    list.minCellWidth = juce::jmax (40, list.getWidth() - list.getViewport().getScrollBarThickness());
}

void LibrarianStyle::enableDragging (ZolScrollableListCtrl& list, const juce::String& description,
                                     const juce::String& accepted)
{
    list.enableDragAndDrop (0, description, 0);
    list.acceptedDragDescriptions = juce::StringArray (accepted);

    if (auto* depot = KestrelImageDepot::getInstanceWithoutCreating())
        list.setDragCursors (depot->getCursor (ImageDepot::moveCursor), depot->getCursor (ImageDepot::copyCursor),
                             depot->getCursor (ImageDepot::swapCursor), depot->getCursor (ImageDepot::notAllowedCursor));
}

bool LibrarianStyle::isDropFromElsewhere (const ZolScrollableListCtrl& list, int changeCode)
{
    constexpr int droppedWithShift = 3, droppedPositioned = 4, droppedPlain = 5;
    return (changeCode == droppedWithShift || changeCode == droppedPositioned || changeCode == droppedPlain)
           && ! list.lastDropWasInternal() && list.getExternalDragSource() != nullptr;
}

std::unique_ptr<ZOLWindowSplitter> LibrarianStyle::makeSplitter (const SkinManager* skin, const juce::String& section)
{
    const auto* element = skin != nullptr ? skin->getSection (section) : nullptr;
    const auto* widget = element != nullptr ? SkinAttributes::findWidget (*element, "splitter") : nullptr;
    auto splitter = widget != nullptr ? skin->createWindowSplitter (widget) : nullptr;

    if (splitter == nullptr)
    {
        splitter = std::make_unique<ZOLWindowSplitter>();
        splitter->backgroundColour = juce::Colour (panel);
        splitter->stripeColour = juce::Colour (outline);
        splitter->dotColour = juce::Colour (quietText);
        splitter->defaultPosition = 0.5;
    }

    splitter->vertical = true;
    if (splitter->getWidth() <= 0)
        splitter->setSize (11, 10);
    splitter->windowRect = {};
    return splitter;
}

std::pair<juce::Rectangle<int>, juce::Rectangle<int>> LibrarianStyle::splitPanes (ZOLWindowSplitter& splitter,
                                                                                  juce::Rectangle<int> area,
                                                                                  int minimumLeft, int minimumRight)
{
    const int barWidth = splitter.getWidth();
    const double place = splitter.windowRect.isEmpty() ? splitter.defaultPosition : splitter.getProportionalPosition();

    // When the area cannot give both panes their minimum, each gives up the same share.
    const int spare = area.getWidth() - barWidth - minimumLeft - minimumRight;
    if (spare < 0)
    {
        minimumLeft = juce::jmax (0, minimumLeft + spare / 2);
        minimumRight = juce::jmax (0, minimumRight + spare / 2);
    }

    splitter.windowRect = { area.getX() + minimumLeft, area.getY(),
                            juce::jmax (barWidth, area.getWidth() - minimumLeft - minimumRight), area.getHeight() };
    splitter.setBounds (splitter.windowRect.getX(), area.getY(), barWidth, area.getHeight());
    splitter.setProportionalPosition (false, place);
    return { area.withRight (splitter.getX()), area.withLeft (splitter.getRight()) };
}

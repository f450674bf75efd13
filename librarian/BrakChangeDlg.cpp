#include "librarian/BrakChangeDlg.h"

#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLPaginationComponent.h"
#include "skin/window/ZOLWindowSplitter.h"
#include "skin/lists/ZolScrollableListCtrl.h"

namespace
{
constexpr int margin = 16;
constexpr int rowHeight = 26;
constexpr int minimumListWidth = 300;
constexpr int minimumDetailsWidth = 200;
constexpr int listSelected = 1;
constexpr int listSelectionChanged = 11;
} // namespace

BrakChangeDlg::BrakChangeDlg (const SkinManager* skin)
    : frame (LibrarianStyle::readFrame (skin, "BrakChangeDlg", { 0, 0, 800, 560 }))
    , service (ExchangeService::createUnavailable())
    , list (std::make_unique<ZolScrollableListCtrl> (0, 0, 10, 10))
{
    LibrarianStyle::styleLabel (titleLabel, true);
    LibrarianStyle::styleLabel (statusLabel);
    titleLabel.setText ("Brak-Change", juce::dontSendNotification);
    statusLabel.setText ("Search the exchange for presets and cabs.", juce::dontSendNotification);
    addAndMakeVisible (titleLabel);
    addAndMakeVisible (statusLabel);

    LibrarianStyle::styleEditor (searchField);
    searchField.setTextToShowWhenEmpty ("Name, author or style", juce::Colour (LibrarianStyle::quietText));
    searchField.onReturnKey = [this] { search (searchField.getText()); };
    addAndMakeVisible (searchField);

    LibrarianStyle::styleButton (searchButton);
    searchButton.onClick = [this] { search (searchField.getText()); };
    addAndMakeVisible (searchButton);

    LibrarianStyle::styleList (*list, false);
    list->addChangeListener (this);
    addAndMakeVisible (*list);

    LibrarianStyle::styleLabel (detailsLabel);
    detailsLabel.setJustificationType (juce::Justification::topLeft);
    detailsLabel.setColour (juce::Label::backgroundColourId, frame.box);
    addAndMakeVisible (detailsLabel);

    splitter = LibrarianStyle::makeSplitter (skin, "BrakChangeDlg");
    splitter->addChangeListener (this);
    addAndMakeVisible (*splitter);

    const auto* section = skin != nullptr ? skin->getSection ("BrakChangeDlg") : nullptr;
    const auto* widget = section != nullptr ? SkinAttributes::findWidget (*section, "pagination") : nullptr;

    if (widget != nullptr)
    {
        pagination = std::make_unique<ZOLPaginationComponent> (*skin, *widget);
        paginationBounds = pagination->getBounds();
        pagination->addChangeListener (this);
        addChildComponent (*pagination);
    }

    setSize (frame.bounds.getWidth(), frame.bounds.getHeight());
}

BrakChangeDlg::~BrakChangeDlg()
{
    splitter->removeChangeListener (this);
    list->removeChangeListener (this);

    if (pagination != nullptr)
        pagination->removeChangeListener (this);
}

void BrakChangeDlg::setService (std::unique_ptr<ExchangeService> newService)
{
    service = newService != nullptr ? std::move (newService) : ExchangeService::createUnavailable();
    ++searchSerial;
}

void BrakChangeDlg::search (const juce::String& newQuery)
{
    query = newQuery.trim();
    showPage (1);
}

void BrakChangeDlg::showPage (int page)
{
    const int serial = ++searchSerial;
    statusLabel.setText ("Searching...", juce::dontSendNotification);
    juce::Component::SafePointer<BrakChangeDlg> self (this);

    // An answer to an older search, or to a search of another service, is dropped.
    service->search (query, page, resultsPerPage,
                     [self, serial, page] (ExchangeService::Page results)
                     {
                         if (self != nullptr && serial == self->searchSerial)
                             self->showResults (page, results);
                     });
}

void BrakChangeDlg::showResults (int page, const ExchangeService::Page& results)
{
    records.clear();
    entries.clear();
    juce::Array<ScrollableListItem*> items;

    if (results.error.isNotEmpty())
    {
        statusLabel.setText (results.error, juce::dontSendNotification);
    }
    else
    {
        records.resize ((size_t) results.entries.size());
        entries = results.entries;

        for (int i = 0; i < results.entries.size(); ++i)
        {
            auto& entry = results.entries.getReference (i);
            auto& record = records[(size_t) i];
            record.number = juce::String ((page - 1) * resultsPerPage + i + 1) + "  ";
            record.name = entry.name + (entry.author.isNotEmpty() ? "  -  " + entry.author : juce::String());
            record.tooltip = entry.kind;
            record.itemId = i + 1;
            record.dragEnabled = false;
            items.add (&record);
        }

        statusLabel.setText (juce::String (results.total) + " result(s)", juce::dontSendNotification);
    }

    list->setItems (items);
    shownPage = results.error.isEmpty() ? page : 0;
    showDetails();

    if (pagination != nullptr)
    {
        pagination->setItemCount (results.error.isEmpty() ? results.total : 0, resultsPerPage);
        pagination->setCurrentPage (juce::jmax (1, page));
    }
}

juce::String BrakChangeDlg::getShownText (int index) const
{
    return juce::isPositiveAndBelow (index, (int) records.size())
               ? records[(size_t) index].number.trimEnd() + " " + records[(size_t) index].name
               : juce::String();
}

void BrakChangeDlg::showDetails()
{
    juce::Array<ScrollableListCell*> cells;
    list->getSelectedCells (cells);
    const int index = cells.isEmpty() ? -1 : list->getCellIndex (cells.getFirst());

    if (! juce::isPositiveAndBelow (index, entries.size()))
    {
        detailsLabel.setText ({}, juce::dontSendNotification);
        return;
    }

    const auto& entry = entries.getReference (index);
    detailsLabel.setText (entry.name + "\n" + (entry.author.isNotEmpty() ? "by " + entry.author + "\n" : juce::String())
                              + entry.kind,
                          juce::dontSendNotification);
}

juce::Rectangle<int> BrakChangeDlg::getListBounds() const
{
    return list->getBounds();
}

void BrakChangeDlg::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == splitter.get())
    {
        resized();
        return;
    }

    if (source == list.get())
    {
        const int code = list->getChangeCode();
        if (code == listSelected || code == listSelectionChanged)
            showDetails();
        return;
    }

    if (pagination == nullptr || source != pagination.get())
        return;

    int page = 0;
    if (pagination->getChangeCode (&page) != 0 && page >= 1)
        showPage (page);
}

void BrakChangeDlg::paint (juce::Graphics& g)
{
    g.fillAll (frame.background);
}

void BrakChangeDlg::resized()
{
    auto area = getLocalBounds().reduced (margin);
    titleLabel.setBounds (area.removeFromTop (rowHeight + 4));
    area.removeFromTop (6);
    auto searchRow = area.removeFromTop (rowHeight);
    searchButton.setBounds (searchRow.removeFromRight (100));
    searchField.setBounds (searchRow.withTrimmedRight (8));
    area.removeFromTop (8);

    auto bottom = area.removeFromBottom (juce::jmax (rowHeight, paginationBounds.getHeight()));
    if (pagination != nullptr)
        pagination->setBounds (paginationBounds.withPosition (bottom.getRight() - paginationBounds.getWidth(),
                                                              bottom.getY()));
    statusLabel.setBounds (bottom.withTrimmedRight (paginationBounds.getWidth() + 8));
    area.removeFromBottom (8);
    auto [listSide, detailsSide] =
        LibrarianStyle::splitPanes (*splitter, area, minimumListWidth, minimumDetailsWidth);
    list->setBounds (listSide);
    detailsLabel.setBounds (detailsSide);
    LibrarianStyle::fitCellsToWidth (*list);

    // The cells take the list's new width; the chosen result stays chosen.
    if (! records.empty())
    {
        juce::Array<ScrollableListCell*> cells;
        list->getSelectedCells (cells);
        const int selected = cells.isEmpty() ? -1 : list->getCellIndex (cells.getFirst());
        juce::Array<ScrollableListItem*> items;
        for (auto& record : records)
            items.add (&record);
        list->setItems (items);
        if (selected >= 0 && selected < list->getNumCells())
            list->selectCell (selected, true, false, false);
    }
}

#pragma once

#include "librarian/ExchangeService.h"
#include "librarian/LibrarianStyle.h"
#include "skin/lists/ScrollableListItem.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

class SkinManager;
class ZOLPaginationComponent;
class ZOLWindowSplitter;
class ZolScrollableListCtrl;

// The content of the preset exchange window: a search field, one page of
// results beside the details of the chosen one (a bar between them moves
// the border), and the page navigator. After each search the navigator is told
// the number of results and the page shown; a move on the navigator fetches
// the page it names.
class BrakChangeDlg : public juce::Component, public juce::ChangeListener
{
public:
    static constexpr int resultsPerPage = 20;

    explicit BrakChangeDlg (const SkinManager* skin);
    ~BrakChangeDlg() override;

    // The service the searches go to; the default cannot reach the exchange.
    void setService (std::unique_ptr<ExchangeService> newService);

    void search (const juce::String& query);
    void showPage (int page);
    int getShownPage() const { return shownPage; }
    int getNumShown() const { return (int) records.size(); }
    juce::String getShownText (int index) const;
    juce::String getStatusText() const { return statusLabel.getText(); }
    ZOLPaginationComponent* getPagination() const { return pagination.get(); }
    ZOLWindowSplitter* getSplitter() const { return splitter.get(); }
    juce::Rectangle<int> getListBounds() const;
    juce::Rectangle<int> getDetailsBounds() const { return detailsLabel.getBounds(); }
    juce::String getDetailsText() const { return detailsLabel.getText(); }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void showResults (int page, const ExchangeService::Page& results);
    void showDetails();

    LibrarianStyle::Frame frame;
    std::unique_ptr<ExchangeService> service;
    juce::String query;
    int shownPage = 0;
    int searchSerial = 0;
    std::vector<ScrollableListItem> records;
    juce::Array<ExchangeService::Entry> entries;

    juce::Label titleLabel, statusLabel, detailsLabel;
    juce::TextEditor searchField;
    juce::TextButton searchButton{ "Search" };
    std::unique_ptr<ZolScrollableListCtrl> list;
    std::unique_ptr<ZOLPaginationComponent> pagination;
    std::unique_ptr<ZOLWindowSplitter> splitter;
    juce::Rectangle<int> paginationBounds;

    JUCE_DECLARE_NON_COPYABLE (BrakChangeDlg)
};

#include "librarian/BrakChangeDlg.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLPaginationComponent.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace
{
// An exchange that holds `total` results named by their position.
class FakeExchange : public ExchangeService
{
public:
    explicit FakeExchange (int totalToHave, juce::Array<int>& pagesAskedFor)
        : total (totalToHave)
        , asked (pagesAskedFor)
    {
    }

    void search (const juce::String& query, int page, int perPage, std::function<void (Page)> done) override
    {
        asked.add (page);
        Page result;
        result.total = total;
        for (int i = (page - 1) * perPage; i < juce::jmin (total, page * perPage); ++i)
            result.entries.add ({ query + " " + juce::String (i + 1), "Quillon", "Preset" });
        done (result);
    }

    int total;
    juce::Array<int>& asked;
};

TEST (BrakChange, ANavigatorMoveFetchesThePageItNamesAndTheNavigatorFollowsEachSearch)
{
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    BrakChangeDlg browser (&skin);
    auto* pages = browser.getPagination();
    ASSERT_NE (pages, nullptr);

    browser.search ("crunch");
    EXPECT_TRUE (browser.getStatusText().contains ("cannot be reached")) << "the program's own service";
    EXPECT_EQ (browser.getNumShown(), 0);

    juce::Array<int> asked;
    browser.setService (std::make_unique<FakeExchange> (45, asked));
    browser.search ("crunch");
    EXPECT_EQ (pages->getPageCount(), 3);
    EXPECT_EQ (pages->getCurrentPage(), 1);
    EXPECT_EQ (browser.getNumShown(), BrakChangeDlg::resultsPerPage);

    // The user clicks "3" on the navigator.
    pages->postChangeCode (3, 3);
    pages->dispatchPendingMessages();
    EXPECT_EQ (asked.getLast(), 3);
    EXPECT_EQ (browser.getShownPage(), 3);
    EXPECT_EQ (pages->getCurrentPage(), 3);
    ASSERT_EQ (browser.getNumShown(), 5);
    EXPECT_EQ (browser.getShownText (0), "41 crunch 41  -  Quillon");

    // Choosing a result shows its details beside the list.
    ZolScrollableListCtrl* list = nullptr;
    for (auto* child : browser.getChildren())
        if (auto* found = dynamic_cast<ZolScrollableListCtrl*> (child))
            list = found;
    ASSERT_NE (list, nullptr);
    EXPECT_TRUE (browser.getDetailsText().isEmpty());
    list->selectCell (1, true, true, true);
    list->dispatchPendingMessages();
    EXPECT_EQ (browser.getDetailsText(), "crunch 42\nby Quillon\nPreset");

    browser.setBounds (0, 0, 800, 560);
    saveScreenshot (browser, "librarian-exchange");
}
} // namespace

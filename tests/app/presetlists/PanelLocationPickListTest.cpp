#include "app/presetlists/PanelLocationPickList.h"
#include "app/presetlists/PresetListContent.h"
#include "skin/engine/SkinManager.h"

#include <gtest/gtest.h>

namespace
{
struct CountingListener : juce::ChangeListener
{
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++messages; }
    int messages = 0;
};

// The bundle dialog's pick list: the preset list window opened in save mode
// with the request's items, its picks passed on, closed on request, and
// nothing left behind when the window goes first.
TEST (PanelLocationPickList, OpensThePresetListForASaveAndPassesItsPickOn)
{
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    auto list = std::make_unique<PresetListContent> (&skin, nullptr, nullptr, nullptr);
    PanelLocationPickList pickList (*list);
    CountingListener borrower;
    pickList.addChangeListener (&borrower);

    LocationPickList::Request request;
    request.title = "Pick a cab";
    request.kind = LocationPickList::Kind::cabs;
    request.currentValue = 1;
    for (int i = 0; i < 3; ++i)
        request.items.add (ScrollableListItem());
    pickList.openForPick (request);

    ASSERT_TRUE (list->isVisible());
    EXPECT_EQ (list->getMode(), PresetListContent::saveTo);
    EXPECT_EQ (list->getListKind(), (int) LocationPickList::Kind::cabs);
    EXPECT_EQ (list->getCurrentValue(), 1);

    list->sendSynchronousChangeMessage();
    EXPECT_EQ (borrower.messages, 1);

    pickList.closeList();
    EXPECT_FALSE (list->isVisible());

    list.reset();
    pickList.openForPick (request);
    juce::uint16 value = 0;
    EXPECT_EQ (pickList.getPickResult (value), 0);
    pickList.removeChangeListener (&borrower);
}
} // namespace

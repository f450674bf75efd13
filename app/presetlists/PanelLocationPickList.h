#pragma once

#include "app/host/LocationPickList.h"
#include "skin/lists/PickListPanel.h"

// Lends a dialog the large pick list panel (the preset list window) as its
// location pick list: opens the panel in save mode with small, unlabelled
// tabs beside the panel's first, and passes the panel's pick on.
class PanelLocationPickList : public LocationPickList,
                              private juce::ChangeListener
{
public:
    // The panel may go first; this then does nothing.
    explicit PanelLocationPickList (PickListPanel& listPanel) : panel (&listPanel), panelComponent (&listPanel.getPanelComponent()) {}
    ~PanelLocationPickList() override;

    void openForPick (const Request& request) override;
    int getPickResult (juce::uint16& value) const override;
    void closeList() override;

private:
    void changeListenerCallback (juce::ChangeBroadcaster*) override { sendSynchronousChangeMessage(); }

    PickListPanel* getPanel() const { return panelComponent != nullptr ? panel : nullptr; }

    PickListPanel* panel;
    juce::Component::SafePointer<juce::Component> panelComponent;

    JUCE_DECLARE_NON_COPYABLE (PanelLocationPickList)
};

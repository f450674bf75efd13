#pragma once

#include "app/host/ContentPanes.h"
#include "librarian/BrakChangeDlg.h"

#include <juce_gui_basics/juce_gui_basics.h>

class ControlManager;
class GlobalConfiguration;
class ImageDepot;
class SkinManager;

// The preset exchange's own window ("Brak-Change"): the exchange browser in a
// window beside the main one. Its close button hides it; opening it again
// keeps the last search.
class BrakChangeWindow : public juce::DocumentWindow, public ContentDialog
{
public:
    BrakChangeWindow (const SkinManager* skin, ControlManager* controls, GlobalConfiguration* configuration,
                      ImageDepot* images);
    ~BrakChangeWindow() override;

    // Shown over the window that holds `over` (the main window), or in the
    // middle of the screen without one.
    void open (juce::Component* over = nullptr);
    void closeButtonPressed() override;
    void closeDialog() override { closeButtonPressed(); }

    BrakChangeDlg& getBrowser() { return *browser; }

private:
    BrakChangeDlg* browser;
    bool placed = false;

    JUCE_DECLARE_NON_COPYABLE (BrakChangeWindow)
};

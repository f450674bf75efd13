#include "librarian/BrakChangeWindow.h"

BrakChangeWindow::BrakChangeWindow (const SkinManager* skin, ControlManager*, GlobalConfiguration*, ImageDepot*)
    : juce::DocumentWindow ("Brak-Change", juce::Colour (LibrarianStyle::panel), juce::DocumentWindow::closeButton)
{
    auto content = std::make_unique<BrakChangeDlg> (skin);
    browser = content.get();
    setUsingNativeTitleBar (false);
    setContentOwned (content.release(), true);
    setResizable (false, false);
}

BrakChangeWindow::~BrakChangeWindow() = default;

void BrakChangeWindow::open (juce::Component* over)
{
    // Placed when it first opens; afterwards it stays where the user put it.
    if (! placed)
    {
        placed = true;
        auto* window = over != nullptr ? over->getTopLevelComponent() : nullptr;

        if (window != nullptr && window->isOnDesktop())
            centreAroundComponent (window, getWidth(), getHeight());
        else
            centreWithSize (getWidth(), getHeight());
    }

    setVisible (true);
    toFront (true);
}

void BrakChangeWindow::closeButtonPressed()
{
    setVisible (false);
}

#include "app/dialogs/CabEasySetupDlg.h"

#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/engine/UserInteraction.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/widgets/ZOLToggleButton.h"

namespace
{
const char* const rowSuffixes[] = { "Cab1L", "Cab1R", "Cab2L", "Cab2R" };

juce::String rowButton (int row) { return "btnScratchpad" + juce::String (row + 1); }
juce::String rowArrow (int row) { return "arrowScratchpad" + juce::String (row + 1); }
} // namespace

CabEasySetupDlg::CabEasySetupDlg (const SkinManager* skin)
{
    juce::StringArray labels{ "labelTitle",         "labelDescription1", "labelDescription2",   "labelReview",
                              "labelPreset",        "labelPresetValue",  "labelHeaderLocation", "labelHeaderCab",
                              "labelHeaderChangeTo", "swatchHeaderTop",  "swatchHeaderBtm",     "swatchFooter" };
    for (auto* suffix : rowSuffixes)
        labels.addArray ({ juce::String ("swatch") + suffix, juce::String ("label") + suffix,
                           juce::String ("label") + suffix + "Value" });

    juce::StringArray buttons{ "btnCancel", "btnOK" };
    juce::StringArray arrows;
    for (int row = 0; row < CabSetupInfo::locationCount; ++row)
    {
        buttons.add (rowButton (row));
        arrows.add (rowArrow (row));
    }

    if (auto* section = buildFrom (skin, "CabEasySetupDialog", labels, buttons, arrows))
        if (auto toggle = SkinWidgetReaders::createLabelledToggleButton (
                *skin, SkinAttributes::findWidget (*section, "checkDontShow")))
        {
            toggle->addChangeListener (this);
            adoptWidget ("checkDontShow", std::move (toggle));
        }
}

CabEasySetupDlg::~CabEasySetupDlg() = default;

juce::String CabEasySetupDlg::scratchpadButtonText (int target)
{
    if (juce::isPositiveAndBelow (target, scratchpadCount))
        return " Scratchpad " + juce::String (target + 1);

    return " No Change";
}

void CabEasySetupDlg::setSetupInfo (const CabSetupInfo& info)
{
    setupInfo = info;

    // The locations in use get Scratchpad 1, 2, ... in order; the others keep theirs.
    int next = 0;
    for (int row = 0; row < CabSetupInfo::locationCount; ++row)
        if (setupInfo.inUse[row])
            setupInfo.targets[row] = next++;

    setLabelText ("labelPresetValue",
                  (juce::String::formatted ("%.3d: ", setupInfo.presetNumber) + setupInfo.presetName).trimEnd());

    for (int row = 0; row < CabSetupInfo::locationCount; ++row)
    {
        const bool used = setupInfo.inUse[row];
        setLabelText (juce::String ("label") + rowSuffixes[row] + "Value", used ? setupInfo.cabText[row] : notUsedText);
        setWidgetEnabled (rowButton (row), used);
        setWidgetEnabled (rowArrow (row), used);
        setButtonText (rowButton (row), scratchpadButtonText (setupInfo.targets[row]));
    }

    if (auto* toggle = dynamic_cast<ZOLToggleButton*> (findWidget ("checkDontShow")))
        if (toggle->getToggleState() != (setupInfo.dontShow != 0))
            toggle->setToggleState (setupInfo.dontShow != 0, false);

    showAndPostShown();
}

void CabEasySetupDlg::close (bool ok)
{
    hideWithCode (ok ? codeConfirmed : codeCancelled);
}

juce::PopupMenu CabEasySetupDlg::buildScratchpadMenu() const
{
    juce::PopupMenu menu;

    for (int i = 1; i <= scratchpadCount; ++i)
        menu.addItem (i, "Scratchpad " + juce::String (i));

    menu.addItem (scratchpadCount + 1, "No Change");
    return menu;
}

void CabEasySetupDlg::chooseScratchpad (int row)
{
    auto* button = findButton (rowButton (row));

    if (button == nullptr || ! button->isEnabled() || ! setupInfo.inUse[row])
        return;

    juce::Component::SafePointer<CabEasySetupDlg> self (this);
    UserInteraction::showMenu (buildScratchpadMenu(), juce::PopupMenu::Options().withTargetComponent (button),
                               [self, row] (int chosen)
                               {
                                   if (self != nullptr && chosen > 0)
                                       self->storeTarget (row, chosen);
                               });
}

void CabEasySetupDlg::storeTarget (int row, int menuId)
{
    const int target = menuId - 1 < scratchpadCount ? menuId - 1 : CabSetupInfo::noChange;
    setupInfo.targets[row] = target;
    setButtonText (rowButton (row), scratchpadButtonText (target));
}

void CabEasySetupDlg::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    const auto name = nameOf (source);

    if (name == "btnCancel")
        close (false);
    else if (name == "btnOK")
        close (true);
    else if (name == "checkDontShow")
    {
        if (auto* toggle = dynamic_cast<ZOLToggleButton*> (findWidget (name)))
            setupInfo.dontShow = toggle->getToggleState() ? 1 : 0;
    }
    else
        for (int row = 0; row < CabSetupInfo::locationCount; ++row)
            if (name == rowButton (row) || name == rowArrow (row))
                chooseScratchpad (row);
}

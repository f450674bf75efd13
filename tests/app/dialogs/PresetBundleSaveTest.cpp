#include "app/dialogs/PresetBundleSave.h"
#include "app/dialogs/SavePresetBundleDlg.h"
#include "support/BundleImport.h"

#include <gtest/gtest.h>

// A bundle of two cabs, brought into the unit from its ".syx" form: the cab of
// Cab 1 L goes to the User Cab location the dialog chose, the cab of Cab 1 R
// was given none and stays in its scratchpad, the preset goes to its target.
TEST (PresetBundleSave, SavesTheBundlesPresetAndCabsWhereTheDialogSays)
{
    bench::ProgramRig rig;
    ASSERT_TRUE (rig.connectAndLoad());

    ASSERT_TRUE (importTwoCabBundle (rig));

    PresetBundleInfo info;
    info.presetTarget = 20;
    info.cabs[0] = { 0, "S001: Cab 0" };
    info.cabs[1] = { 1, "S002: Cab 1" };
    info.cabTargets[0] = 5;

    // Without a target no preset location is addressed: refused, nothing sent.
    auto unset = info;
    unset.presetTarget = -1;
    EXPECT_FALSE (startPresetBundleSave (*rig.manager, unset));

    ASSERT_TRUE (startPresetBundleSave (*rig.manager, info));
    ASSERT_TRUE (rig.waitForRequest (savePresetCabBundle));

    const int factory = rig.unit->getNumFactoryCabs();
    const int firstScratchpad = factory + rig.unit->getNumUserCabs();
    EXPECT_EQ (rig.unit->getCabName (factory + 5).name, "Cab 0");
    EXPECT_EQ (rig.unit->getCabName (firstScratchpad + 1).name, "Cab 1");
    for (int slot = factory; slot < firstScratchpad; ++slot)
        EXPECT_NE (rig.unit->getCabName (slot).name, "Cab 1") << "stays in its scratchpad, slot " << slot;

    auto saved = rig.unit->getPreset (20);
    EXPECT_EQ (saved.name, "Bundled");
    juce::uint16 left = 0, right = 0;
    ASSERT_TRUE (saved.getParam (108, 0, left) && saved.getParam (108, 2, right));
    EXPECT_EQ (left, factory + 5);
    EXPECT_EQ (right, firstScratchpad + 1);
}

#include "support/WidgetTestKit.h"

#include "model/UnitIds.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinManager.h"

using namespace WidgetTestKit;

namespace
{
std::unique_ptr<juce::XmlElement> depotSkin (const juce::String& extraIcons = {})
{
    return juce::parseXML (R"(<GridEditor>
        <MouseCursors><Cursor name="Move" image="move.png" hotSpotX="4" hotSpotY="400"/>
          <Cursor name="Copy" image="nowhere.png"/><Cursor name="Drag" image="move.png"/></MouseCursors>
        <BlockOverlays><Overlay name="xState" image="x.png"/></BlockOverlays>
        <BlockIcons><BlockIcon name="shunt" icon="shunt.png"/><BlockIcon name="Reverb" icon="reverb.png" iconOver="reverb-over.png"/>
          <BlockIcon name="Output" icon="out.png"/><BlockIcon name="reverb" icon="x.png"/>)" +
                           extraIcons + "</BlockIcons></GridEditor>");
}

struct Depot
{
    explicit Depot (const juce::String& extraIcons = {})
    {
        for (auto* name : { "move.png", "x.png", "shunt.png", "reverb.png", "reverb-over.png", "out.png" })
            skin.addImage (name,
                           solid (16, 16, juce::Colour ((juce::uint32) juce::String (name).hashCode() | 0xFF000000)));
        skin.addImage (SkinManager::missingImageName, solid (16, 16, juce::Colours::magenta));
        auto xml = depotSkin (extraIcons);
        depot.readSkinSection (skin, *xml);
        depot.assignBlockIds();
    }

    SkinManager skin;
    KestrelImageDepot depot;
};
} // namespace

TEST (ImageDepot, BlockIdsFindTheirSetsByExactName)
{
    Depot d;
    auto& depot = d.depot;
    ASSERT_EQ (depot.getNumImageSets(), 4);
    EXPECT_EQ (depot.findImageSetForBlock (300)->name, "shunt");
    EXPECT_EQ (depot.findImageSetForBlock (335)->name, "shunt");
    EXPECT_EQ (depot.findImageSetForBlock (336), nullptr);
    EXPECT_EQ (depot.findImageSetForBlock (173)->name, "Output");
    EXPECT_EQ (depot.findImageSetForBlock (140)->name, "Output");
    EXPECT_EQ (depot.findImageSetForBlock (110)->name, "Reverb");
    EXPECT_TRUE (depot.getImageSet (3)->blockIds.isEmpty()); // "reverb" is not "Reverb"

    auto reverbType = effectTypeOfBlock (110);
    ASSERT_GT (reverbType, 0);
    EXPECT_EQ (depot.findImageSetForType (reverbType)->name, "Reverb");
    EXPECT_EQ (depot.findImageSetForType (-1), nullptr);

    // Every kind of picture comes back valid: the set's own, else the stand-in.
    EXPECT_EQ (depot.getBlockImage (110, BlockImageSet::iconOver).getPixelAt (1, 1),
               d.skin.getImage ("reverb-over.png").getPixelAt (1, 1));
    for (auto which : { BlockImageSet::icon, BlockImageSet::iconMenu, BlockImageSet::extra })
        for (juce::uint16 id : { (juce::uint16) 100, (juce::uint16) 336, (juce::uint16) 0xFFFF, (juce::uint16) 110 })
            EXPECT_TRUE (depot.getBlockImage (id, which).isValid());
    EXPECT_EQ (depot.getBlockImage (100, BlockImageSet::icon).getPixelAt (1, 1), juce::Colours::magenta);
    EXPECT_TRUE (depot.getTypeImage (12345, BlockImageSet::icon).isValid());
    EXPECT_TRUE (depot.getOverlay (ImageDepot::warningOverlay).isValid());

    ASSERT_NE (depot.getCursor (ImageDepot::moveCursor), nullptr);
    EXPECT_NE (depot.getCursor (ImageDepot::copyCursor), nullptr); // the skin's stand-in picture
    EXPECT_EQ (depot.getCursor (ImageDepot::swapCursor), nullptr);

    depot.clearImageSets();
    EXPECT_EQ (depot.findImageSetForBlock (300), nullptr);
}

TEST (ImageDepot, TwiceAssignedOrTwiceNamedSetsKeepTheFirstInListOrder)
{
    Depot d (R"(<BlockIcon name="Output" icon="x.png"/>)");
    auto& depot = d.depot;
    EXPECT_EQ (depot.findImageSetForBlock (140), depot.getImageSet (2));
    EXPECT_EQ (depot.getImageSet (4)->blockIds, juce::Array<juce::uint16> ({ 140, 173 }));
    depot.assignBlockIds();
    EXPECT_EQ (depot.getImageSet (2)->blockIds.size(), 4);
    EXPECT_EQ (depot.findImageSetForBlock (173), depot.getImageSet (2));

    EXPECT_EQ (KestrelImageDepot::blockIdsForName ("Looper Control").size(), 8);
    EXPECT_EQ (KestrelImageDepot::blockIdsForName ("Scene 8"), juce::Array<juce::uint16> ({ 191 }));
    EXPECT_TRUE (KestrelImageDepot::blockIdsForName ("").isEmpty());
}

TEST (ImageDepot, EveryBlockAndEffectTypeOfTheUnitFindsItsSet)
{
    KestrelImageDepot depot;
    for (auto& name : KestrelImageDepot::getSetNames())
        depot.addImageSet (name).images[BlockImageSet::icon] = solid (4, 4, ink);
    depot.assignBlockIds();

    for (int id = 100; id <= 335; ++id)
    {
        if (id <= 205 || id >= 300)
        {
            EXPECT_NE (depot.findImageSetForBlock ((juce::uint16) id), nullptr) << id;
        }
    }
    for (int id = 100; id <= 205; ++id)
    {
        if (isBlockIdSupported (id) && effectTypeOfBlock (id) > 0)
        {
            EXPECT_NE (depot.findImageSetForType (effectTypeOfBlock (id)), nullptr) << id;
        }
    }
}

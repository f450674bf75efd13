#pragma once

#include "app/grid/FootswitchAssignment.h"
#include "app/grid/BlockStyle.h"
#include "app/grid/FootswitchBlockComponent.h"
#include "skin/engine/ControlStyles.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

class ControlManager;
class ImageDepot;
class PresetManager;
class SkinManager;
class ZOLLabelComponent;
class ZOLToggleButton;

// The footswitch grid: the panel on which the user assigns blocks and footswitch functions to the
// unit's eight switches, laid out as on the unit: 2 rows of 4, switches 1-4
// at the bottom and 5-8 at the top. Mode 0 edits the per-preset assignments,
// mode 1 the global ones.
//
// Opening reads the assignments ("Get Footswitch Grid"); every change sends
// all eight ("Set Footswitch Grid"), whose end reads them back. A change made
// while a send is under way is kept and sent once that send has ended, and a
// failed request enables the tiles again like an ended one. An answer from
// the unit with more than eight entries is cut to eight; a block id the unit
// does not have is shown as an empty switch.
//
// Blocks are dragged from switch to switch (a move onto an empty switch or
// with Ctrl held, a swap otherwise) and from the effect grid onto a switch.
class FootswitchGridPanel : public juce::Component, public juce::Button::Listener, public juce::ChangeListener,
                            public juce::DragAndDropContainer, public ZOLResizableComponent
{
public:
    static constexpr int rows = 2, columns = 4, tileMargin = 3;
    static constexpr int setBeginCode = 138, setEndCode = 139, getBeginCode = 140, getEndCode = 141;
    static constexpr juce::uint16 menuNone = 65535;

    // The choices of one effect type: its name and ascending block ids.
    struct ChoiceGroup
    {
        int effectType = 0;
        juce::String typeName;
        juce::Array<juce::uint16> blockIds;
    };

    // The skin, image depot and control templates are not owned and may be
    // null: without the templates there are no mode switches.
    FootswitchGridPanel (const SkinManager* skin, const ImageDepot* depot, const ControlManager* controls,
                         PresetManager* presetManager, int mode);
    ~FootswitchGridPanel() override;

    int getMode() const { return mode; }

    // The title and instructions the editor gives the page.
    void setTexts (const juce::String& titleText, const juce::String& infoText);

    void requestAssignments();
    void commitAssignments();
    void reloadAssignments();
    void showAssignments();
    void updateGlobalControls();

    const juce::Array<FootswitchAssignment>& getAssignments() const { return assignments; }
    FootswitchBlockComponent* getTile (int row, int column) const;
    juce::Button* getGlobalButton (int row, int column) const;
    juce::Label* getGlobalLabel (int row, int column) const;
    juce::Label* getNumberLabel (int row, int column) const;
    ZOLToggleButton* getPresetModeSwitch (int row, int column) const;
    ZOLToggleButton* getGlobalModeSwitch (int row, int column) const;
    bool areTilesEnabled() const { return tilesEnabled; }

    void selectTile (int row, int column);
    void clearBlockId (int blockId);

    // The block id of the tile a drag is over; 0 when none.
    void setHoveredBlockId (juce::uint16 blockId) { hoveredBlockId = blockId; }
    juce::uint16 getHoveredBlockId() const { return hoveredBlockId; }
    // What a drop would do now: move with Ctrl held or over an empty tile,
    // else swap (FootswitchBlockComponent::dropMove / dropSwap).
    int getDropMode() const;
    // Whether a switch may be given the block: one of the choices offered.
    bool canAssign (juce::uint16 blockId) const;

    // The block menu of the tile at the position; none for a global switch
    // on the per-preset page, which warns instead.
    virtual std::unique_ptr<juce::PopupMenu> createBlockMenu (int row, int column) = 0;
    virtual void fillChoices() = 0;
    // Shows the tile's menu through the interaction seam and assigns the pick.
    void showBlockMenu (FootswitchBlockComponent& tile);

    void clearChoices() { choiceGroups.clear(); }
    void addChoice (int blockId);
    bool isChoice (int blockId) const;
    const ChoiceGroup* findChoiceGroup (int effectType) const;
    const std::vector<ChoiceGroup>& getChoiceGroups() const { return choiceGroups; }

    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void applyScale (bool apply) override;
    void buttonClicked (juce::Button* button) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

protected:
    PresetManager* presets = nullptr;
    const int mode;
    const ImageDepot* getImageDepot() const { return depot; }

private:
    struct Position
    {
        std::unique_ptr<FootswitchBlockComponent> tile;
        std::unique_ptr<ZOLLabelComponent> number, globalLabel;
        std::unique_ptr<juce::DrawableButton> globalButton;
        std::unique_ptr<ZOLToggleButton> presetModeSwitch, globalModeSwitch;
    };

    // A label's look from the skin: size, offset, typeface, size, colour, justification.
    struct LabelLook
    {
        juce::Point<int> size, offset;
        juce::String fontName;
        float fontSize = 0.0f;
        juce::Colour colour;
        int justification = 36;
    };

    void loadSkin();
    void readLabelLook (const juce::XmlElement& grid, const juce::String& stem, LabelLook& look);
    std::unique_ptr<ZOLLabelComponent> makeLabel (const LabelLook& look, juce::Point<int> step,
                                                  const juce::String& text) const;
    void addGlobalButton (Position& p, juce::Point<int> step);
    void addModeSwitches (Position& p, juce::Point<int> step);
    void buildControls();
    void setTilesEnabled (bool enabled);
    Position* positionOf (int row, int column) const;
    void sendAssignments();

    const SkinManager* skin = nullptr;
    const ImageDepot* depot = nullptr;
    const ControlManager* controls = nullptr;

    juce::Rectangle<int> dialogBounds{ 0, 0, 560, 300 };
    juce::Colour dialogColour{ 0xff232529 };
    juce::Point<int> spacing{ 110, 96 }, tileOffset{ 150, 40 }, globalButtonOffset{ 164, 96 },
        presetModeSwitchOffset{ 150, 98 }, globalModeSwitchOffset{ 150, 120 };
    juce::Point<int> tileSize{ 100, 56 };
    LabelLook numberLook{ { 100, 16 }, { 150, 24 }, {}, 13.0f, juce::Colour (0xffa7abb1), 36 };
    LabelLook globalLook{ { 100, 30 }, { 150, 96 }, {}, 12.0f, juce::Colour (0xffa7abb1), 12 };
    juce::Image globalButtonImage, globalButtonDownImage, globalButtonOverImage;
    BlockStyle emptyStyle, effectStyle;
    OnOffButtonStyle modeSwitchStyle;

    std::unique_ptr<juce::Label> title;
    std::unique_ptr<juce::TextEditor> info;
    std::vector<Position> positions; // row by row
    juce::Array<FootswitchAssignment> assignments;
    std::vector<ChoiceGroup> choiceGroups;
    bool tilesEnabled = true;
    bool commitPending = false;
    juce::uint16 hoveredBlockId = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FootswitchGridPanel)
};

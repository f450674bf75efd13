#pragma once

#include "app/grid/BlockStyle.h"
#include "app/host/CommandPerformer.h"
#include "model/UnitIds.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <deque>
#include <functional>

class CableComponent;
class ImageDepot;
class KestrelBlockComponent;
class PresetManager;
class SkinManager;

// The effect grid editor: the 4 x 12 cells of the unit's current preset, each
// a tile showing its block (icon, bypass and X/Y state), the cables between
// them, the jacks that make new cables, and the buttons of the blocks that
// have no cell (controllers, footswitches, MIDI, global).
//
// Everything the user does becomes a named request of the preset manager
// (move, copy, swap, insert, delete, connect, bypass, X/Y); the grid never
// changes its own picture, it redraws from the unit's model whenever a
// request ends or fails, so a refused request leaves the grid showing what
// the unit holds. A copy and a move across both rows and columns take more
// than one request; they run one after the other and stop at the first
// failure.
//
// Selection: the change code 1 tells listeners that the selection changed;
// its state says what is selected.
class GridUnitContent : public juce::Component,
                        public ZOLResizableComponent,
                        public juce::ChangeBroadcaster,
                        public juce::ChangeListener,
                        public juce::Button::Listener,
                        public CommandPerformer
{
public:
    static constexpr const char* sectionName = "GridUnitSkin";
    static constexpr int selectionChangedCode = 1;
    static constexpr int cableRadioGroup = 4;

    enum SelectionState
    {
        nothingSelected = 0,
        blockSelected = 1,
        blockBypassToggled = 2,
        controllersSelected = 3,
        footswitchesSelected = 4,
        midiSelected = 5,
        globalSelected = 6
    };

    enum class DropKind
    {
        refused,
        move,
        copy,
        swap
    };

    // Menu ids of the tile menu's "Insert" entries: base + block id.
    static constexpr int insertMenuBase = 10000;
    static constexpr int insertShuntCommand = 1209;
    static constexpr int pasteCommand = 1202;

    // Reads its skin section into the image depot (cursors, overlays, block
    // icons; the depot then learns its block ids) and listens to the preset
    // manager. Any of the three may be null.
    GridUnitContent (const SkinManager* skin, PresetManager* presetManager, ImageDepot* depot);
    ~GridUnitContent() override;

    // Redraws every tile and cable from the unit's model.
    void refreshFromUnit();

    // Selection -------------------------------------------------------------------
    int getSelectionState() const { return selectionState; }
    int getSelectedBlockId() const { return selectedBlockId; }
    int getSelectedCell() const { return selectedCell; }
    // Selects the cell holding the block; false (selection unchanged) when no cell does.
    bool selectBlockById (int blockId);
    // Selects a cell (its block, or the empty cell); false outside the grid.
    bool selectCell (int cell, int state = blockSelected);
    void selectPage (SelectionState state);
    int getChangeCode() const;

    // Called with the selected block id whenever the selection changes (the
    // effect editor's hook).
    std::function<void (int blockId, int state)> onSelectionChanged;

    // Drag and drop --------------------------------------------------------------
    DropKind classifyDrop (int sourceCell, int targetCell, bool copyModifier) const;
    // Starts the requests of the drop; false when refused or the unit's
    // manager refused to start.
    bool dropTile (int sourceCell, int targetCell, bool copyModifier);
    // The hovered tile while a tile is dragged over the grid; -1 when none.
    int getHoveredCell() const { return hoveredCell; }
    // True while a chained request waits for the one before it to end.
    bool isWaitingForUnit() const { return awaitedEndCode != 0 || ! chain.empty(); }
    void setHoveredCell (int cell) { hoveredCell = cell; }

    // Cells and cables -------------------------------------------------------------
    KestrelBlockComponent* getTile (int cell) const;
    int getNumCables() const { return cables.size(); }
    CableComponent* getCable (int index) const { return cables[index]; }
    CableComponent* findCable (int sourceCell, int destinationCell) const;
    // Sends the cable's connection (1) or cut (0); false when refused here or
    // by the manager: both ends must hold blocks and lie one column apart.
    bool connectCells (int sourceCell, int destinationCell, bool connect);
    // A click on a jack: an output jack arms, the input jack of a cell one
    // column right then connects the two (or cuts their cable); anything
    // else disarms.
    void clickJack (int cell, bool output);
    int getArmedJack() const { return armedCell; }

    // The centre of a cell's input (left) or output (right) jack, unscaled.
    juce::Point<int> getJackCentre (int cell, bool output) const;
    juce::Rectangle<int> getCellArea (int cell) const;

    // Menus -----------------------------------------------------------------------
    // The tile's context menu through the menu seam: the block commands for a
    // block, the insert list for an empty cell.
    void showTileMenu (int cell);
    // The blocks that can be inserted into the selected cell (ids
    // insertMenuBase + block id); empty unless that cell is empty.
    juce::PopupMenu buildInsertMenu() const;
    // Inserts a block chosen from that menu into the selected cell.
    bool insertIntoSelectedCell (int menuItemId);

    // The next preset that comes in holds the same blocks as the one shown
    // (it was just saved there): the framed block stays framed and shown
    // instead of the frame being cleared.
    void keepSelectionThroughNextLoad();

    // CommandPerformer: the block commands act on the selected block.
    bool ownsCommand (int commandId) const override;
    bool performCommand (int commandId) override;
    bool canPerform (int commandId) const override;

    // Component and listeners --------------------------------------------------
    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void buttonClicked (juce::Button* button) override;
    void applyScale (bool apply) override { applyCommonScale (*this, apply); }

    const ImageDepot* getImageDepot() const { return depot; }
    const juce::MouseCursor* cursorFor (DropKind kind) const;

private:
    struct Step
    {
        int endCode = 0;
        std::function<bool()> start;
    };

    void readSkin();
    void buildTiles();
    void rebuildCables();
    void setSelection (int cell, int blockId, int state);
    void runNextStep();
    bool startChain (std::deque<Step> steps);
    bool startMove (int fromCell, int toCell);
    bool startCopy (int fromCell, int toCell);
    int findJackAt (juce::Point<int> p, bool& output) const;
    bool isCellInGrid (int cell) const;
    // Asks the unit to put the block into the empty cell; the cell is shown
    // with its block once that is there, while it stays framed.
    bool insertBlock (int cell, int blockId);
    juce::uint16 blockAt (int cell) const;

    const SkinManager* skin = nullptr;
    PresetManager* presets = nullptr;
    ImageDepot* depot = nullptr;

    // Layout (unscaled, from the skin).
    juce::Colour backgroundColour{ 0xff1c1d20 }, cellColour{ 0xff232529 }, jackColour{ 0xff6b7078 },
        jackArmedColour{ 0xffe8a33d }, cableColour{ 0xffa7abb1 }, cableSelectedColour{ 0xffe8a33d },
        labelColour{ 0xffa7abb1 };
    juce::Point<int> gridOrigin{ 40, 12 };
    int cellWidth = 64, cellHeight = 40, spacingX = 14, spacingY = 8, tileMargin = 3, jackSize = 8;
    float cableThickness = 3.0f;
    juce::String cableToolTip{ "Double click to disconnect." };
    BlockStyle emptyStyle, effectStyle;

    juce::OwnedArray<KestrelBlockComponent> tiles;
    juce::OwnedArray<CableComponent> cables;
    juce::OwnedArray<juce::TextButton> pageButtons;

    int selectionState = nothingSelected;
    int selectedBlockId = 0;
    int selectedCell = -1;
    // The empty cell a block is being inserted into: framed, and shown once it is there.
    int insertingCell = -1;
    bool keepSelectionOnLoad = false;
    juce::int32 loadedPreset = -1; // the preset number of the last load
    int hoveredCell = -1;
    int armedCell = -1;

    // The cells the cables were last laid out for.
    std::array<juce::uint32, gridCellCount> cabledCells{};
    bool cablesLaidOut = false;

    std::deque<Step> chain;
    int awaitedEndCode = 0;

    mutable juce::CriticalSection codeLock;
    int changeCode = 0;

    JUCE_DECLARE_NON_COPYABLE (GridUnitContent)
};

#include "app/grid/GridUnitContent.h"

#include "app/grid/CableComponent.h"
#include "app/host/CommandTables.h"
#include "app/grid/KestrelBlockComponent.h"
#include "app/host/PaneHost.h"
#include "device/engines/PresetManager.h"
#include "model/UnitIds.h"
#include "skin/engine/ImageDepot.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/engine/UserInteraction.h"

#include <memory>
#include <utility>

namespace
{
constexpr int moveHigherColumn = 0, moveLowerColumn = 1, moveHigherRow = 2, moveLowerRow = 3;

// End codes of the requests the grid chains.
constexpr int blockCopyEnd = 53, insertBlockEnd = 37, blockPasteEnd = 55, moveBlockEnd = 39, deleteBlockEnd = 35;

int rowOf (int cell) { return cell % gridRows; }
int columnOf (int cell) { return cell / gridRows; }

struct PageButton
{
    const char* widget;
    const char* label;
    GridUnitContent::SelectionState state;
};

const PageButton pageButtonList[] = {
    { "controllersButton", "CTRL", GridUnitContent::controllersSelected },
    { "footswitchesButton", "FOOT", GridUnitContent::footswitchesSelected },
    { "midiButton", "MIDI", GridUnitContent::midiSelected },
    { "globalButton", "GLOBAL", GridUnitContent::globalSelected },
};
} // namespace

GridUnitContent::GridUnitContent (const SkinManager* skinDocument, PresetManager* presetManager, ImageDepot* imageDepot)
    : skin (skinDocument)
    , presets (presetManager)
    , depot (imageDepot)
{
    setSize (1024, 176);
    readSkin();
    buildTiles();

    if (presets != nullptr)
        presets->addChangeListener (this);

    if (auto* target = PaneHost::find())
        target->addPerformer (this);

    refreshFromUnit();
}

GridUnitContent::~GridUnitContent()
{
    if (auto* target = PaneHost::find())
        target->removePerformer (this);

    if (presets != nullptr)
        presets->removeChangeListener (this);

    for (auto* cable : cables)
        cable->removeChangeListener (this);
}

//==============================================================================
void GridUnitContent::readSkin()
{
    auto* section = skin != nullptr ? skin->getSection (sectionName) : nullptr;

    if (section == nullptr)
        return;

    using namespace SkinAttributes;
    constexpr int limit = 4096;
    setBounds (clampedInt (*section, "positionX", limit), clampedInt (*section, "positionY", limit),
               juce::jmax (1, clampedInt (*section, "width", limit, getWidth())),
               juce::jmax (1, clampedInt (*section, "height", limit, getHeight())));
    backgroundColour = colourOr (*section, "backgroundColor", backgroundColour);
    cellColour = colourOr (*section, "cellColor", cellColour);
    labelColour = colourOr (*section, "labelColor", labelColour);
    jackColour = colourOr (*section, "jackColor", jackColour);
    jackArmedColour = colourOr (*section, "jackColorArmed", jackArmedColour);
    cableColour = colourOr (*section, "cableColor", cableColour);
    cableSelectedColour = colourOr (*section, "cableColorSelected", cableSelectedColour);
    gridOrigin = { clampedInt (*section, "gridOffsetX", limit, gridOrigin.x),
                   clampedInt (*section, "gridOffsetY", limit, gridOrigin.y) };
    // A cell must stay large enough to hold a tile.
    cellWidth = juce::jmax (8, clampedInt (*section, "cellWidth", 512, cellWidth));
    cellHeight = juce::jmax (8, clampedInt (*section, "cellHeight", 512, cellHeight));
    spacingX = juce::jmax (0, clampedInt (*section, "cellSpacingX", 512, spacingX));
    spacingY = juce::jmax (0, clampedInt (*section, "cellSpacingY", 512, spacingY));
    tileMargin = juce::jmax (0, clampedInt (*section, "tileMargin", 32, tileMargin));
    jackSize = juce::jmax (2, clampedInt (*section, "jackWidth", 64, jackSize));
    cableThickness = (float) juce::jlimit (0.5, 16.0, section->getDoubleAttribute ("cableThickness", cableThickness));

    if (section->hasAttribute ("cableToolTip"))
        cableToolTip = section->getStringAttribute ("cableToolTip");

    BlockStyle::readPair (*skin, *section, emptyStyle, effectStyle);

    if (depot != nullptr)
    {
        // The skin's sets replace any an earlier grid read, so none is listed twice.
        depot->clearImageSets();
        depot->readSkinSection (*skin, *section);
        depot->assignBlockIds();
    }
}

juce::Rectangle<int> GridUnitContent::getCellArea (int cell) const
{
    if (! isCellInGrid (cell))
        return {};

    return { gridOrigin.x + columnOf (cell) * (cellWidth + spacingX), gridOrigin.y + rowOf (cell) * (cellHeight + spacingY),
             cellWidth, cellHeight };
}

juce::Point<int> GridUnitContent::getJackCentre (int cell, bool output) const
{
    auto area = getCellArea (cell);
    auto offset = tileMargin + jackSize / 2;
    return { output ? area.getRight() + offset : area.getX() - offset, area.getCentreY() };
}

void GridUnitContent::buildTiles()
{
    for (int cell = 0; cell < gridCellCount; ++cell)
    {
        auto* tile = tiles.add (new KestrelBlockComponent (*this, cell, getCellArea (cell), tileMargin, depot));
        tile->emptyStyle = emptyStyle;
        tile->effectStyle = effectStyle;
        tile->setStates (true, true);
        tile->addListener (this);
        addAndMakeVisible (tile);
    }

    const auto* section = skin != nullptr ? skin->getSection (sectionName) : nullptr;
    int y = gridOrigin.y;

    for (auto& entry : pageButtonList)
    {
        auto* button = pageButtons.add (new juce::TextButton (entry.label));
        button->setColour (juce::TextButton::buttonColourId, cellColour);
        button->setColour (juce::TextButton::buttonOnColourId, cellColour.brighter (0.15f));
        button->setColour (juce::TextButton::textColourOffId, labelColour);
        button->setColour (juce::TextButton::textColourOnId, jackArmedColour);
        button->setClickingTogglesState (false);
        juce::Rectangle<int> bounds (8, y, juce::jmax (8, gridOrigin.x - 24), cellHeight);

        if (section != nullptr)
            if (auto* widget = SkinAttributes::findWidget (*section, entry.widget))
                bounds = { widget->getIntAttribute ("positionX"), widget->getIntAttribute ("positionY"),
                           juce::jlimit (1, 512, widget->getIntAttribute ("width", bounds.getWidth())),
                           juce::jlimit (1, 512, widget->getIntAttribute ("height", bounds.getHeight())) };

        button->setBounds (bounds);
        button->onClick = [this, state = entry.state] { selectPage (state); };
        addAndMakeVisible (button);
        y += cellHeight + spacingY;
    }
}

//==============================================================================
bool GridUnitContent::isCellInGrid (int cell) const
{
    return juce::isPositiveAndBelow (cell, gridCellCount);
}

juce::uint16 GridUnitContent::blockAt (int cell) const
{
    return presets != nullptr && isCellInGrid (cell) ? presets->getPresetGrid().getBlockIdAt (cell) : 0;
}

KestrelBlockComponent* GridUnitContent::getTile (int cell) const
{
    return isCellInGrid (cell) ? tiles[cell] : nullptr;
}

void GridUnitContent::refreshFromUnit()
{
    const int model = presets != nullptr ? (int) presets->getConnectedModel() : 0;

    for (int cell = 0; cell < tiles.size(); ++cell)
    {
        auto* tile = tiles.getUnchecked (cell);
        const auto id = blockAt (cell);
        bool engaged = true;
        juce::uint8 disabled = 0;
        int channel = 0;
        const bool real = id != blockIdNone && ! isShuntBlockId (id);

        if (real && presets != nullptr)
        {
            engaged = presets->getBlockEngaged (id, disabled);
            presets->getBlockXYState (id, channel);
        }

        const bool badge = real && hasXYChannels (id, model);
        const bool warn = disabled != 0;

        if (tile->showXYBadge != badge || tile->xyState != channel || tile->warning != warn)
        {
            tile->showXYBadge = badge;
            tile->xyState = channel;
            tile->warning = warn;
            tile->repaint();
        }

        tile->setBlockId (id);
        tile->setStates (engaged, true);

        juce::String name;
        if (id != blockIdNone && ! getBlockName (id, name))
            name = "Unknown block " + juce::String (id);
        if (tile->getTooltip() != name)
            tile->setTooltip (name);
    }

    // The selection follows its block to wherever the unit put it.
    if (selectionState == blockSelected || selectionState == blockBypassToggled)
    {
        int cell = -1;

        for (int c = 0; c < gridCellCount && selectedBlockId != 0; ++c)
            if (blockAt (c) == selectedBlockId)
                cell = c;

        if (selectedBlockId != 0 && cell < 0)
            setSelection (-1, 0, nothingSelected);
        else if (cell >= 0)
            selectedCell = cell;
    }

    for (int cell = 0; cell < tiles.size(); ++cell)
    {
        auto* tile = tiles.getUnchecked (cell);
        const bool isCurrent = cell == selectedCell;

        if (tile->current != isCurrent)
        {
            tile->current = isCurrent;
            tile->repaint();
        }
    }

    if (armedCell >= 0 && blockAt (armedCell) == blockIdNone)
        armedCell = -1;

    rebuildCables();
    repaint();
}

void GridUnitContent::rebuildCables()
{
    // Most requests leave the grid as it was: its cables (and the one the
    // user selected) stay as they are.
    std::array<juce::uint32, gridCellCount> cells{};

    if (presets != nullptr)
        for (int cell = 0; cell < gridCellCount; ++cell)
            if (auto* gridCell = presets->getPresetGrid().getCell (cell))
                cells[(size_t) cell] = ((juce::uint32) gridCell->blockId << 16) | gridCell->inputMask;

    if (cablesLaidOut && cells == cabledCells)
        return;

    cabledCells = cells;
    cablesLaidOut = true;

    for (auto* cable : cables)
        cable->removeChangeListener (this);

    cables.clear();

    if (presets == nullptr)
        return;

    const auto& grid = presets->getPresetGrid();

    for (int cell = gridRows; cell < juce::jmin (grid.getNumCells(), gridCellCount); ++cell)
    {
        if (blockAt (cell) == blockIdNone)
            continue;

        const auto mask = grid.getCell (cell)->inputMask & 0x0F;

        for (int row = 0; row < gridRows; ++row)
        {
            const int source = (columnOf (cell) - 1) * gridRows + row;

            // A cable from an empty cell carries nothing: it is not drawn.
            if ((mask & (1 << row)) == 0 || blockAt (source) == blockIdNone)
                continue;

            auto* cable = cables.add (new CableComponent (cableColour, cableSelectedColour, jackSize / 2, cableThickness));
            cable->sourceCell = source;
            cable->destinationCell = cell;
            cable->setTooltip (cableToolTip);
            cable->setClickingTogglesState (true);
            cable->setRadioGroupId (cableRadioGroup);
            cable->addListener (this);
            cable->addChangeListener (this);
            auto from = getJackCentre (source, true);
            auto to = getJackCentre (cell, false);
            cable->setEndpoints (from.x, from.y, to.x, to.y);
            addAndMakeVisible (cable);
        }
    }
}

CableComponent* GridUnitContent::findCable (int sourceCell, int destinationCell) const
{
    for (auto* cable : cables)
        if (cable->sourceCell == sourceCell && cable->destinationCell == destinationCell)
            return cable;

    return nullptr;
}

//==============================================================================
int GridUnitContent::getChangeCode() const
{
    const juce::ScopedLock lock (codeLock);
    return changeCode;
}

void GridUnitContent::setSelection (int cell, int blockId, int state)
{
    selectedCell = cell;
    selectedBlockId = blockId;
    selectionState = state;

    for (int c = 0; c < tiles.size(); ++c)
    {
        auto* tile = tiles.getUnchecked (c);

        if (tile->current != (c == cell))
        {
            tile->current = c == cell;
            tile->repaint();
        }
    }

    for (int i = 0; i < pageButtons.size(); ++i)
        pageButtons.getUnchecked (i)->setToggleState (pageButtonList[i].state == state, juce::dontSendNotification);

    {
        const juce::ScopedLock lock (codeLock);
        changeCode = selectionChangedCode;
    }

    sendSynchronousChangeMessage();

    if (onSelectionChanged)
        onSelectionChanged (blockId, state);
}

bool GridUnitContent::selectCell (int cell, int state)
{
    if (! isCellInGrid (cell))
        return false;

    const auto id = blockAt (cell);
    setSelection (cell, id, id == blockIdNone ? nothingSelected : state);
    return true;
}

bool GridUnitContent::selectBlockById (int blockId)
{
    switch (blockId)
    {
        case blockIdControllers: selectPage (controllersSelected); return true;
        case blockIdGlobal: selectPage (globalSelected); return true;
        case blockIdLayoutMidi: selectPage (midiSelected); return true;
        default: break;
    }

    if (blockId == blockIdNone)
        return false;

    for (int cell = 0; cell < gridCellCount; ++cell)
        if (blockAt (cell) == blockId)
            return selectCell (cell, blockSelected);

    return false;
}

void GridUnitContent::selectPage (SelectionState state)
{
    int blockId = 0;

    switch (state)
    {
        case controllersSelected: blockId = blockIdControllers; break;
        case footswitchesSelected:
        case globalSelected: blockId = blockIdGlobal; break;
        case midiSelected: blockId = blockIdLayoutMidi; break;
        default: return;
    }

    setSelection (-1, blockId, state);
}

//==============================================================================
GridUnitContent::DropKind GridUnitContent::classifyDrop (int sourceCell, int targetCell, bool copyModifier) const
{
    if (presets == nullptr || ! isCellInGrid (sourceCell) || ! isCellInGrid (targetCell) || sourceCell == targetCell)
        return DropKind::refused;

    const auto source = blockAt (sourceCell);
    const auto target = blockAt (targetCell);

    if (source == blockIdNone)
        return DropKind::refused;

    if (copyModifier)
    {
        if (target != blockIdNone)
            return DropKind::refused;

        if (isShuntBlockId (source))
            return presets->getPresetGrid().findFreeShuntId() >= 0 ? DropKind::copy : DropKind::refused;

        juce::uint16 unused = 0;
        return presets->findUnusedBlockId (effectTypeOfBlock (source), unused) ? DropKind::copy : DropKind::refused;
    }

    if (target != blockIdNone)
        return DropKind::swap;

    if (rowOf (sourceCell) == rowOf (targetCell) || columnOf (sourceCell) == columnOf (targetCell))
        return DropKind::move;

    // Across rows and columns: two moves through an empty corner cell.
    const int viaColumn = gridCellIndex (rowOf (sourceCell), columnOf (targetCell));
    const int viaRow = gridCellIndex (rowOf (targetCell), columnOf (sourceCell));
    return blockAt (viaColumn) == blockIdNone || blockAt (viaRow) == blockIdNone ? DropKind::move : DropKind::refused;
}

bool GridUnitContent::dropTile (int sourceCell, int targetCell, bool copyModifier)
{
    switch (classifyDrop (sourceCell, targetCell, copyModifier))
    {
        case DropKind::move: return startMove (sourceCell, targetCell);
        case DropKind::copy: return startCopy (sourceCell, targetCell);
        case DropKind::swap: return presets->requestSwapBlocks (sourceCell, targetCell);
        case DropKind::refused: break;
    }

    return false;
}

const juce::MouseCursor* GridUnitContent::cursorFor (DropKind kind) const
{
    if (depot == nullptr)
        return nullptr;

    switch (kind)
    {
        case DropKind::move: return depot->getCursor (ImageDepot::moveCursor);
        case DropKind::copy: return depot->getCursor (ImageDepot::copyCursor);
        case DropKind::swap: return depot->getCursor (ImageDepot::swapCursor);
        case DropKind::refused: break;
    }

    return depot->getCursor (ImageDepot::notAllowedCursor);
}

bool GridUnitContent::startChain (std::deque<Step> steps)
{
    // One chain at a time: a second one would take the first one's end codes.
    if (presets == nullptr || steps.empty() || ! chain.empty() || awaitedEndCode != 0)
        return false;

    chain = std::move (steps);
    auto first = chain.front();
    chain.pop_front();

    if (! first.start())
    {
        chain.clear();
        return false;
    }

    awaitedEndCode = first.endCode;
    return true;
}

void GridUnitContent::runNextStep()
{
    awaitedEndCode = 0;

    if (chain.empty())
        return;

    auto next = chain.front();
    chain.pop_front();

    if (next.start())
    {
        awaitedEndCode = next.endCode;
        return;
    }

    // The unit did not do what the previous step asked: stop, show what it holds.
    chain.clear();
    refreshFromUnit();
}

bool GridUnitContent::startMove (int fromCell, int toCell)
{
    auto moveOnce = [this] (int from, int to) -> bool
    {
        if (rowOf (from) == rowOf (to))
        {
            const int d = columnOf (to) - columnOf (from);
            return presets->requestMoveBlock ((juce::uint8) from, d > 0 ? moveHigherColumn : moveLowerColumn,
                                              (juce::uint8) std::abs (d));
        }

        const int d = rowOf (to) - rowOf (from);
        return presets->requestMoveBlock ((juce::uint8) from, d > 0 ? moveHigherRow : moveLowerRow,
                                          (juce::uint8) std::abs (d));
    };

    if (rowOf (fromCell) == rowOf (toCell) || columnOf (fromCell) == columnOf (toCell))
        return startChain ({ { moveBlockEnd, [=] { return moveOnce (fromCell, toCell); } } });

    int via = gridCellIndex (rowOf (fromCell), columnOf (toCell));

    if (blockAt (via) != blockIdNone)
        via = gridCellIndex (rowOf (toCell), columnOf (fromCell));

    const auto id = blockAt (fromCell);
    return startChain ({ { moveBlockEnd, [=] { return moveOnce (fromCell, via); } },
                         { moveBlockEnd,
                           [=] { return blockAt (via) == id && blockAt (toCell) == blockIdNone && moveOnce (via, toCell); } } });
}

bool GridUnitContent::startCopy (int fromCell, int toCell)
{
    const auto source = blockAt (fromCell);

    if (isShuntBlockId (source))
    {
        const auto shunt = presets->getPresetGrid().findFreeShuntId();
        return shunt >= 0 && presets->requestInsertBlock ((juce::uint8) toCell, (juce::uint16) shunt);
    }

    auto copyId = std::make_shared<juce::uint16> (0);
    const int type = effectTypeOfBlock (source);

    return startChain ({
        { blockCopyEnd, [=] { return presets->requestBlockCopy (source); } },
        { insertBlockEnd,
          [=]
          {
              return blockAt (toCell) == blockIdNone && presets->findUnusedBlockId (type, *copyId) &&
                     presets->requestInsertBlock ((juce::uint8) toCell, *copyId);
          } },
        { blockPasteEnd,
          [=] { return blockAt (toCell) == *copyId && presets->requestBlockPaste (*copyId, nullptr); } },
    });
}

//==============================================================================
bool GridUnitContent::connectCells (int sourceCell, int destinationCell, bool connect)
{
    if (presets == nullptr || ! isCellInGrid (sourceCell) || ! isCellInGrid (destinationCell) ||
        columnOf (sourceCell) + 1 != columnOf (destinationCell) || blockAt (sourceCell) == blockIdNone ||
        blockAt (destinationCell) == blockIdNone)
        return false;

    CableConnection connection;
    connection.sourceCell = (juce::uint8) sourceCell;
    connection.destinationCell = (juce::uint8) destinationCell;
    connection.connect = connect ? 1 : 0;
    return presets->requestConnectBlocks ({ connection });
}

void GridUnitContent::clickJack (int cell, bool output)
{
    if (! isCellInGrid (cell) || blockAt (cell) == blockIdNone)
    {
        armedCell = -1;
    }
    else if (output)
    {
        armedCell = armedCell == cell ? -1 : cell;
    }
    else
    {
        // Output then input: joins the two, or cuts the cable that joins them.
        if (armedCell >= 0)
            connectCells (armedCell, cell, findCable (armedCell, cell) == nullptr);

        armedCell = -1;
    }

    repaint();
}

int GridUnitContent::findJackAt (juce::Point<int> p, bool& output) const
{
    const int reach = jackSize / 2 + 2;

    for (int cell = 0; cell < gridCellCount; ++cell)
    {
        if (blockAt (cell) == blockIdNone)
            continue;

        for (bool out : { true, false })
            if (getJackCentre (cell, out).getDistanceFrom (p) <= reach)
            {
                output = out;
                return cell;
            }
    }

    return -1;
}

void GridUnitContent::mouseDown (const juce::MouseEvent& e)
{
    bool output = false;
    const int cell = findJackAt (e.getPosition(), output);

    if (cell >= 0)
        clickJack (cell, output);
    else if (armedCell >= 0)
        clickJack (-1, false);
}

//==============================================================================
void GridUnitContent::showTileMenu (int cell)
{
    if (! isCellInGrid (cell) || presets == nullptr)
        return;

    selectCell (cell);
    juce::PopupMenu menu;

    if (blockAt (cell) != blockIdNone)
    {
        fillMenuFromCommandTable (menu, BlockContextMenuCommands, nullptr);
    }
    else
    {
        menu.addItem (insertShuntCommand, "Insert Shunt", presets->getPresetGrid().findFreeShuntId() >= 0);
        menu.addSeparator();
        auto insert = buildInsertMenu();
        menu.addSubMenu ("Insert", insert, insert.getNumItems() > 0);
    }

    juce::Component::SafePointer<GridUnitContent> self (this);
    auto options = juce::PopupMenu::Options().withTargetComponent (getTile (cell));
    UserInteraction::showMenu (menu, options,
                               [self, cell] (int chosen)
                               {
                                   if (self == nullptr || chosen == 0)
                                       return;

                                   if (chosen > self->insertMenuBase)
                                   {
                                       self->insertBlock (cell, chosen - insertMenuBase);
                                       return;
                                   }

                                   if (self->selectedCell == cell)
                                       self->performCommand (chosen);
                               });
}

juce::PopupMenu GridUnitContent::buildInsertMenu() const
{
    juce::PopupMenu insert;

    if (presets == nullptr || ! isCellInGrid (selectedCell) || blockAt (selectedCell) != blockIdNone)
        return insert;

    for (int id = firstBlockInstanceId; id <= lastBlockInstanceId; ++id)
    {
        juce::String name;

        if (isAssignableBlockId (id) && getParamCount (id) > 0 && effectTypeOfBlock (id) != 0 &&
            ! presets->getPresetGrid().containsBlock ((juce::uint16) id) && getBlockName (id, name))
            insert.addItem (insertMenuBase + id, name);
    }

    return insert;
}

bool GridUnitContent::insertIntoSelectedCell (int menuItemId)
{
    const auto id = menuItemId - insertMenuBase;

    if (id < firstBlockInstanceId || id > lastBlockInstanceId)
        return false;

    return insertBlock (selectedCell, id);
}

bool GridUnitContent::insertBlock (int cell, int blockId)
{
    if (presets == nullptr || ! isCellInGrid (cell) || blockAt (cell) != blockIdNone ||
        ! presets->requestInsertBlock ((juce::uint8) cell, (juce::uint16) blockId))
        return false;

    insertingCell = cell;
    return true;
}

void GridUnitContent::keepSelectionThroughNextLoad()
{
    keepSelectionOnLoad = true;
}

bool GridUnitContent::ownsCommand (int commandId) const
{
    return commandId >= 1200 && commandId <= 1217;
}

bool GridUnitContent::canPerform (int commandId) const
{
    // A paste needs a block copied whole.
    if (commandId == pasteCommand && (presets == nullptr || ! presets->hasBlockClipboard()))
        return false;

    // A shunt goes into an empty cell; every other block command needs a block.
    return isCellInGrid (selectedCell) && ((blockAt (selectedCell) == blockIdNone) == (commandId == insertShuntCommand));
}

bool GridUnitContent::performCommand (int commandId)
{
    if (presets == nullptr || ! isCellInGrid (selectedCell))
        return false;

    const int cell = selectedCell;
    const auto id = blockAt (cell);

    if (commandId == insertShuntCommand)
    {
        const auto shunt = presets->getPresetGrid().findFreeShuntId();
        return id == blockIdNone && shunt >= 0 && presets->requestInsertBlock ((juce::uint8) cell, (juce::uint16) shunt);
    }

    if (id == blockIdNone)
        return false;

    const bool real = ! isShuntBlockId (id);
    juce::uint8 disabled = 0;
    int channel = 0;

    switch (commandId)
    {
        case 1200:
            return real && startChain ({ { blockCopyEnd, [=] { return presets->requestBlockCopy (id); } },
                                         { deleteBlockEnd,
                                           [=] { return blockAt (cell) == id && presets->requestDeleteBlock ((juce::uint8) cell); } } });
        case 1201: return real && presets->requestBlockCopy (id);
        case pasteCommand: return real && presets->requestBlockPaste (id, nullptr);
        case 1203: return presets->requestDeleteBlock ((juce::uint8) cell);
        case 1204: return real && presets->requestInitializeBlock (id, false);
        case 1208: return real && presets->requestInitializeBlock (id, true);
        case 1205:
        {
            juce::Array<int> feeding, fed;
            juce::Array<CableConnection> cuts;
            presets->getGridCellConnections (cell, feeding, fed);

            for (auto source : feeding)
                cuts.add ({ (juce::uint8) source, (juce::uint8) cell, 0 });

            for (auto destination : fed)
                cuts.add ({ (juce::uint8) cell, (juce::uint8) destination, 0 });

            return ! cuts.isEmpty() && presets->requestConnectBlocks (cuts);
        }
        case 1206: return real && presets->requestBypassBlock (id, presets->getBlockEngaged (id, disabled));
        case 1207:
            presets->getBlockXYState (id, channel);
            return real && presets->requestSetXY (id, channel == 0);
        case 1210: return rowOf (cell) > 0 && presets->requestMoveBlock ((juce::uint8) cell, moveLowerRow, 1);
        case 1211:
            return rowOf (cell) < gridRows - 1 && presets->requestMoveBlock ((juce::uint8) cell, moveHigherRow, 1);
        case 1212: return columnOf (cell) > 0 && presets->requestMoveBlock ((juce::uint8) cell, moveLowerColumn, 1);
        case 1213:
            return columnOf (cell) < gridColumns - 1 && presets->requestMoveBlock ((juce::uint8) cell, moveHigherColumn, 1);
        case 1214: return real && presets->requestAllScenesBypass (id, true);
        case 1215: return real && presets->requestAllScenesBypass (id, false);
        case 1216: return real && presets->requestAllScenesXY (id, false);
        case 1217: return real && presets->requestAllScenesXY (id, true);
        default: break;
    }

    return false;
}

//==============================================================================
void GridUnitContent::buttonClicked (juce::Button* button)
{
    auto* tile = dynamic_cast<KestrelBlockComponent*> (button);

    if (tile == nullptr)
        return;

    const auto mods = juce::ModifierKeys::currentModifiers;

    // Alt-click engages or bypasses the block as it selects it.
    if (mods.isAltDown() && presets != nullptr && blockAt (tile->getCell()) != blockIdNone &&
        ! isShuntBlockId (blockAt (tile->getCell())))
    {
        // The effect editor toggles the bypass once it has read the block's
        // modifiers; without one listening the grid toggles it itself.
        const bool editorToggles = static_cast<bool> (onSelectionChanged);
        selectCell (tile->getCell(), blockBypassToggled);

        if (! editorToggles)
            performCommand (1206);

        return;
    }

    selectCell (tile->getCell(), blockSelected);
}

void GridUnitContent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (presets != nullptr && source == presets)
    {
        const int code = presets->getStatus();

        if (code == PresetManager::timeOutCode)
        {
            chain.clear();
            awaitedEndCode = 0;
        }

        // Every code is a moment to show what the unit holds: ends and
        // failures change it, and a broadcast carries only the latest code,
        // so an end may arrive folded into a later begin. Unchanged tiles
        // and cables are left alone.
        refreshFromUnit();

        // Another preset (chosen here, on the unit or read after a
        // reconnection) leaves nothing framed: the effect editor then shows
        // no block either. The same preset read again (the librarian had
        // the unit elsewhere meanwhile) keeps its framed block where it still is.
        constexpr int loadPresetEndCode = 21;

        if (code == loadPresetEndCode)
        {
            insertingCell = -1;
            const auto number = presets->getCurrentPresetNumber();
            const bool reloaded = number >= 0 && std::exchange (loadedPreset, number) == number;
            const bool keep = std::exchange (keepSelectionOnLoad, false) || reloaded;

            const bool same = isCellInGrid (selectedCell) ? blockAt (selectedCell) == selectedBlockId
                                                          : selectionState != nothingSelected;

            if (keep && same)
            {
                // Told again once every listener has had the load, so that
                // the editor shows the block after it let the old one go.
                juce::Component::SafePointer<GridUnitContent> safeThis (this);
                juce::MessageManager::callAsync (
                    [safeThis, cell = selectedCell, block = selectedBlockId, state = selectionState]
                    {
                        if (safeThis != nullptr && safeThis->selectedCell == cell && safeThis->selectedBlockId == block)
                            safeThis->setSelection (cell, block, state);
                    });
            }
            else if (selectionState != nothingSelected)
            {
                setSelection (-1, 0, nothingSelected);
            }
        }

        // A block inserted into the framed cell is shown once it is there.
        if (insertingCell >= 0 && insertingCell == selectedCell && blockAt (insertingCell) != blockIdNone)
            selectCell (std::exchange (insertingCell, -1), blockSelected);

        if (awaitedEndCode != 0 && code == awaitedEndCode)
            runNextStep();

        return;
    }

    for (auto* cable : cables)
    {
        if (cable == source && cable->getChangeCode() == CableComponent::disconnectCode)
        {
            cable->setChangeCode (0);
            connectCells (cable->sourceCell, cable->destinationCell, false);
            return;
        }
    }
}

void GridUnitContent::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);

    for (int cell = 0; cell < gridCellCount; ++cell)
    {
        auto area = getCellArea (cell).toFloat();
        g.setColour (cellColour);
        g.fillRoundedRectangle (area, 4.0f);

        // Jacks for the blocks the tiles show (the model may be half read).
        if (tiles[cell]->getBlockId() == blockIdNone)
            continue;

        for (bool output : { false, true })
        {
            auto centre = getJackCentre (cell, output).toFloat();
            auto r = juce::Rectangle<float> ((float) jackSize, (float) jackSize).withCentre (centre);
            g.setColour (output && cell == armedCell ? jackArmedColour : jackColour);
            g.fillEllipse (r);
            g.setColour (backgroundColour);
            g.fillEllipse (r.reduced ((float) jackSize * 0.3f));
        }
    }
}

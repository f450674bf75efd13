#include "app/grid/FootswitchGridPanel.h"

#include "device/engines/PresetManager.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "skin/controls/ControlManager.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/engine/UserInteraction.h"
#include "skin/widgets/WidgetSupport.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLToggleButton.h"

#include <algorithm>

namespace
{
constexpr int coordinateLimit = 4096;

// A block id the unit could hold on a switch; anything else shows as none.
bool isShowableBlockId (int blockId)
{
    return blockId == 0 || isBlockIdSupported (blockId) || effectTypeOfBlock (blockId) != 0;
}
} // namespace

FootswitchGridPanel::FootswitchGridPanel (const SkinManager* skinDocument, const ImageDepot* imageDepot,
                                          const ControlManager* controlManager, PresetManager* presetManager,
                                          int gridMode)
    : presets (presetManager)
    , mode (gridMode)
    , skin (skinDocument)
    , depot (imageDepot)
    , controls (controlManager)
{
    assignments.resize (footswitchCount);
    loadSkin();
    buildControls();
    setBounds (dialogBounds);
    setWantsKeyboardFocus (true);
    setFocusContainerType (FocusContainerType::focusContainer);

    if (presets != nullptr)
        presets->addChangeListener (this);
}

FootswitchGridPanel::~FootswitchGridPanel()
{
    if (presets != nullptr)
        presets->removeChangeListener (this);

    choiceGroups.clear();
}

void FootswitchGridPanel::readLabelLook (const juce::XmlElement& grid, const juce::String& stem, LabelLook& look)
{
    using namespace SkinAttributes;

    auto read = [&grid] (const juce::String& name, int fallback)
    { return has (grid, name) ? clampedInt (grid, name, coordinateLimit) : fallback; };

    look.size = { read (stem + "Width", look.size.x), read (stem + "Height", look.size.y) };
    look.offset = { read (stem + "OffsetX", look.offset.x), read (stem + "OffsetY", look.offset.y) };

    if (has (grid, stem + "Font"))
        look.fontName = grid.getStringAttribute (stem + "Font");

    if (has (grid, stem + "FontSize"))
        look.fontSize = fontSize (grid, stem + "FontSize");

    look.colour = colourOr (grid, stem + "FontColor", look.colour);

    if (has (grid, stem + "Justify"))
        look.justification = justification (grid, stem + "Justify").getFlags();
}

void FootswitchGridPanel::loadSkin()
{
    using namespace SkinAttributes;

    auto* section = skin != nullptr ? skin->getSection ("FootswitchGrid") : nullptr;

    if (section == nullptr)
        return;

    if (has (*section, "dlgBounds"))
        dialogBounds = rectangle (*section, "dlgBounds");

    dialogColour = colourOr (*section, "dlgColor", dialogColour);

    if (auto* grid = SkinAttributes::child (*section, "Grid"))
    {
        auto point = [grid] (const char* x, const char* y, juce::Point<int> fallback)
        {
            if (! has (*grid, x) && ! has (*grid, y))
                return fallback;

            return juce::Point<int> (clampedInt (*grid, x, coordinateLimit), clampedInt (*grid, y, coordinateLimit));
        };

        spacing = point ("controlSpacingX", "controlSpacingY", spacing);
        tileSize = point ("blockWidth", "blockHeight", tileSize);
        tileOffset = point ("blockOffsetX", "blockOffsetY", tileOffset);
        globalButtonOffset = point ("globalBtnOffsetX", "globalBtnOffsetY", globalButtonOffset);
        presetModeSwitchOffset = point ("presetModeSwitchOffsetX", "presetModeSwitchOffsetY", presetModeSwitchOffset);
        globalModeSwitchOffset = point ("globalModeSwitchOffsetX", "globalModeSwitchOffsetY", globalModeSwitchOffset);
        readLabelLook (*grid, "blockLabel", numberLook);
        readLabelLook (*grid, "globalLabel", globalLook);
        globalButtonImage = image (*skin, *grid, "globalBtn");
        globalButtonDownImage = image (*skin, *grid, "globalBtnDown");
        globalButtonOverImage = image (*skin, *grid, "globalBtnOver");
    }

    if (controls != nullptr)
        controls->readOnOffButtonStyle (SkinAttributes::child (*section, "DipSwitchProperty"), modeSwitchStyle);

    BlockStyle::readPair (*skin, *section, emptyStyle, effectStyle);

    title = skin->createLabelComponent (findWidget (*section, "title"), "title");
    info = skin->createTextEditor (findWidget (*section, "info"), "info");

    if (title != nullptr)
    {
        if (auto* label = dynamic_cast<ZOLLabelComponent*> (title.get()))
            label->setUseAlpha (false);

        addAndMakeVisible (*title);
    }

    if (info != nullptr)
    {
        info->setMultiLine (true, true);
        info->setReadOnly (true);
        info->setCaretVisible (false);
        info->setPopupMenuEnabled (false);
        info->setMouseCursor (juce::MouseCursor::NormalCursor);
        addAndMakeVisible (*info);
    }
}

std::unique_ptr<ZOLLabelComponent> FootswitchGridPanel::makeLabel (const LabelLook& look, juce::Point<int> step,
                                                                   const juce::String& text) const
{
    const auto at = look.offset + step;
    auto label = std::make_unique<ZOLLabelComponent> (skin, at.x, at.y, look.size.x, look.size.y, juce::String(), text,
                                                      look.fontName, look.fontSize, look.colour,
                                                      juce::Justification (look.justification));
    label->setUseAlpha (false);
    label->setInterceptsMouseClicks (false, false);
    return label;
}

void FootswitchGridPanel::addGlobalButton (Position& p, juce::Point<int> step)
{
    p.globalButton = std::make_unique<juce::DrawableButton> ("Global", juce::DrawableButton::ImageRaw);
    auto normal = WidgetSupport::drawableOf (globalButtonImage);
    auto over = WidgetSupport::drawableOf (globalButtonOverImage);
    auto down = WidgetSupport::drawableOf (globalButtonDownImage);
    if (normal != nullptr)
        p.globalButton->setImages (normal.get(), over.get(), down.get(), normal.get(), down.get(), down.get(),
                                   down.get(), down.get());
    p.globalButton->setBounds (juce::Rectangle<int> (globalButtonImage.getWidth(), globalButtonImage.getHeight())
                                   .withPosition (globalButtonOffset + step));
    p.globalButton->setClickingTogglesState (true);
    p.globalButton->setColour (juce::DrawableButton::backgroundOnColourId, juce::Colours::transparentBlack);
    p.globalButton->addListener (this);
    addChildComponent (*p.globalButton);
}

void FootswitchGridPanel::addModeSwitches (Position& p, juce::Point<int> step)
{
    if (controls == nullptr)
        return;

    auto make = [this, step] (juce::Point<int> offset)
    {
        auto modeSwitch = controls->createOnOffButton (modeSwitchStyle);

        if (modeSwitch != nullptr)
        {
            modeSwitch->setTopLeftPosition (offset + step);
            modeSwitch->clearUseAlpha();
            modeSwitch->addChangeListener (this);
            addChildComponent (*modeSwitch);
        }

        return modeSwitch;
    };

    p.presetModeSwitch = make (presetModeSwitchOffset);
    p.globalModeSwitch = make (globalModeSwitchOffset);
}

void FootswitchGridPanel::buildControls()
{
    positions.resize ((size_t) (rows * columns));

    for (int row = 0; row < rows; ++row)
    {
        for (int column = 0; column < columns; ++column)
        {
            auto& p = positions[(size_t) (row * columns + column)];
            const juce::Point<int> step (column * spacing.x, row * spacing.y);
            const auto cell = juce::Rectangle<int> (tileSize.x, tileSize.y).withPosition (tileOffset + step).reduced (tileMargin);

            p.tile = std::make_unique<FootswitchBlockComponent> (*this, row, column, cell, tileMargin, depot);
            p.tile->emptyStyle = emptyStyle;
            p.tile->effectStyle = effectStyle;
            p.tile->setClickingTogglesState (true);
            p.tile->setRadioGroupId (2);
            p.tile->setStates (true, true);
            p.tile->addListener (this);
            addAndMakeVisible (*p.tile);

            p.number = makeLabel (numberLook, step, juce::String (footswitchIndexAt (row, column) + 1));
            addAndMakeVisible (*p.number);

            addGlobalButton (p, step);

            p.globalLabel = makeLabel (globalLook, step, {});
            addChildComponent (*p.globalLabel);

            addModeSwitches (p, step);
        }
    }
}

void FootswitchGridPanel::setTexts (const juce::String& titleText, const juce::String& infoText)
{
    if (title != nullptr)
        title->setText (titleText, juce::dontSendNotification);

    if (info != nullptr)
        info->setText (infoText, false);
}

FootswitchGridPanel::Position* FootswitchGridPanel::positionOf (int row, int column) const
{
    if (! juce::isPositiveAndBelow (row, rows) || ! juce::isPositiveAndBelow (column, columns))
        return nullptr;

    return const_cast<Position*> (&positions[(size_t) (row * columns + column)]);
}

FootswitchBlockComponent* FootswitchGridPanel::getTile (int row, int column) const
{
    auto* p = positionOf (row, column);
    return p != nullptr ? p->tile.get() : nullptr;
}

juce::Button* FootswitchGridPanel::getGlobalButton (int row, int column) const
{
    auto* p = positionOf (row, column);
    return p != nullptr ? p->globalButton.get() : nullptr;
}

juce::Label* FootswitchGridPanel::getGlobalLabel (int row, int column) const
{
    auto* p = positionOf (row, column);
    return p != nullptr ? p->globalLabel.get() : nullptr;
}

juce::Label* FootswitchGridPanel::getNumberLabel (int row, int column) const
{
    auto* p = positionOf (row, column);
    return p != nullptr ? p->number.get() : nullptr;
}

ZOLToggleButton* FootswitchGridPanel::getPresetModeSwitch (int row, int column) const
{
    auto* p = positionOf (row, column);
    return p != nullptr ? p->presetModeSwitch.get() : nullptr;
}

ZOLToggleButton* FootswitchGridPanel::getGlobalModeSwitch (int row, int column) const
{
    auto* p = positionOf (row, column);
    return p != nullptr ? p->globalModeSwitch.get() : nullptr;
}

//==============================================================================
// Talking to the unit.

void FootswitchGridPanel::requestAssignments()
{
    if (presets == nullptr)
        return;

    auto& request = presets->getRequest (getFootswitchGrid);

    if (request.isRunning())
        return;

    request.start();
    request.footswitchGrid = {};
    request.footswitchGrid.first = 0;
}

void FootswitchGridPanel::commitAssignments()
{
    for (int row = 0; row < rows; ++row)
    {
        for (int column = 0; column < columns; ++column)
        {
            const int k = footswitchIndexAt (row, column);
            auto& p = *positionOf (row, column);
            auto a = assignments[k];
            const auto low = (juce::uint16) (a.mode & 0xFF), high = (juce::uint16) (a.mode & 0xFF00);

            if (mode == 0)
            {
                // A global switch shows its global block; its own per-preset
                // block waits unchanged for Global to be turned off.
                if (! p.tile->isGlobalLocked)
                    a.presetBlockId = p.tile->getBlockId();

                if (p.presetModeSwitch != nullptr)
                {
                    const bool momentary = p.presetModeSwitch->isVisible() && ! p.presetModeSwitch->getToggleState();
                    a.mode = (juce::uint16) ((momentary ? 0x100 : 0) | low);
                }
            }
            else
            {
                a.globalBlockId = p.tile->getBlockId();

                if (p.globalButton->isVisible())
                {
                    juce::uint16 kind = 0;

                    if (p.globalButton->getToggleState())
                    {
                        const bool momentary = p.globalModeSwitch != nullptr && p.globalModeSwitch->isVisible() &&
                                               ! p.globalModeSwitch->getToggleState();
                        kind = momentary ? 2 : 1;
                    }

                    a.mode = (juce::uint16) (high | kind);
                }
            }

            assignments.set (k, a);
        }
    }

    sendAssignments();
}

void FootswitchGridPanel::sendAssignments()
{
    if (presets == nullptr)
        return;

    auto& request = presets->getRequest (setFootswitchGrid);

    // One send at a time; the latest assignments go out when it has ended.
    if (request.isRunning())
    {
        commitPending = true;
        return;
    }

    commitPending = false;
    request.start();
    request.footswitchGrid = {};
    request.footswitchGrid.first = 1;

    for (int i = 0; i < footswitchCount; ++i)
    {
        const auto& a = assignments.getReference (i);
        request.footswitchGrid.entries.add ({ a.presetBlockId, a.globalBlockId, a.mode });
    }
}

void FootswitchGridPanel::reloadAssignments()
{
    if (presets == nullptr)
        return;

    const auto& record = presets->getFootswitchGrid();
    clearChoices();
    fillChoices();

    // The unit has eight switches; anything past them is not ours to keep.
    for (int i = 0; i < juce::jmin (footswitchCount, record.entries.size()); ++i)
    {
        const auto& entry = record.entries.getReference (i);
        assignments.set (i, { entry.a, entry.b, entry.c });
    }

    showAssignments();
    updateGlobalControls();
}

void FootswitchGridPanel::showAssignments()
{
    for (int k = 0; k < footswitchCount; ++k)
    {
        int row = 0, column = 0;

        if (! footswitchPosition (k, row, column))
            continue;

        auto& tile = *positionOf (row, column)->tile;
        const auto& a = assignments.getReference (k);
        int blockId = 0;
        bool engaged = true;

        if (mode == 0 && ! a.isGlobal())
        {
            blockId = a.presetBlockId;
            tile.isGlobalLocked = false;
        }
        else if (mode == 0)
        {
            blockId = a.globalBlockId;
            tile.isGlobalLocked = true;
            engaged = isAssignableBlockId (blockId) ? isChoice (blockId) : true;
        }
        else
        {
            blockId = a.globalBlockId;
            engaged = a.getKind() > 0;
            tile.isGlobalLocked = true;
        }

        tile.setBlockId ((juce::uint16) (isShowableBlockId (blockId) ? blockId : 0));
        tile.setStates (engaged, false);
    }
}

void FootswitchGridPanel::updateGlobalControls()
{
    for (int k = 0; k < footswitchCount; ++k)
    {
        int row = 0, column = 0;

        if (! footswitchPosition (k, row, column))
            continue;

        auto& p = *positionOf (row, column);
        const auto& a = assignments.getReference (k);
        const int kind = a.getKind();
        const bool hasModeSwitches = p.presetModeSwitch != nullptr;

        if (mode == 0)
        {
            p.globalButton->setVisible (false);

            juce::String label;

            if (kind == 1)
                label = hasModeSwitches ? "(Global)\n(Latching)" : "(Global)";
            else if (kind == 2)
                label = "(Global)\n(Momentary)";

            p.globalLabel->setText (label, juce::dontSendNotification);
            p.globalLabel->setVisible (label.isNotEmpty());

            if (p.globalModeSwitch != nullptr)
                p.globalModeSwitch->setVisible (false);

            if (p.presetModeSwitch != nullptr)
            {
                p.presetModeSwitch->setVisible (! a.isGlobal());
                p.presetModeSwitch->setToggleState (! a.isPresetMomentary(), false);
            }
        }
        else
        {
            p.globalButton->setVisible (true);
            p.globalButton->setToggleState (kind != 0, juce::dontSendNotification);
            p.globalLabel->setVisible (false);

            if (p.presetModeSwitch != nullptr)
                p.presetModeSwitch->setVisible (false);

            if (p.globalModeSwitch != nullptr)
            {
                p.globalModeSwitch->setVisible (kind != 0);
                p.globalModeSwitch->setToggleState (kind != 2, false);
            }
        }
    }
}

void FootswitchGridPanel::setTilesEnabled (bool enabled)
{
    tilesEnabled = enabled;

    for (auto& p : positions)
        p.tile->setEnabled (enabled);
}

void FootswitchGridPanel::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (dynamic_cast<ZOLToggleButton*> (source) != nullptr)
    {
        commitAssignments();
        return;
    }

    if (presets == nullptr || source != presets)
        return;

    switch (presets->getStatus())
    {
        case setBeginCode:
        case getBeginCode: setTilesEnabled (false); break;

        case setEndCode:
            setTilesEnabled (true);

            // A change made while the last send was under way goes out first;
            // its own end reads the assignments back.
            if (commitPending)
                sendAssignments();
            else
                requestAssignments();
            break;

        case getEndCode:
            setTilesEnabled (true);
            reloadAssignments();
            break;

        // A request that timed out or failed posts no end code; without this
        // the tiles would stay disabled for good.
        case PresetManager::timeOutCode:
            if (! presets->getRequest (setFootswitchGrid).isRunning() &&
                ! presets->getRequest (getFootswitchGrid).isRunning())
                setTilesEnabled (true);
            break;

        default: break;
    }
}

//==============================================================================
// Choices.

void FootswitchGridPanel::addChoice (int blockId)
{
    const int type = effectTypeOfBlock (blockId);

    for (auto& group : choiceGroups)
    {
        if (group.effectType == type)
        {
            juce::DefaultElementComparator<juce::uint16> ascending;

            if (! group.blockIds.contains ((juce::uint16) blockId))
                group.blockIds.addSorted (ascending, (juce::uint16) blockId);

            return;
        }
    }

    ChoiceGroup group;
    group.effectType = type;
    group.typeName = getNameForId (EffectTypeNames, (juce::uint32) type);
    group.blockIds.add ((juce::uint16) blockId);

    auto at = std::lower_bound (choiceGroups.begin(), choiceGroups.end(), group.typeName,
                                [] (const ChoiceGroup& g, const juce::String& name) { return g.typeName.compare (name) < 0; });
    choiceGroups.insert (at, std::move (group));
}

bool FootswitchGridPanel::isChoice (int blockId) const
{
    for (auto& group : choiceGroups)
        if (group.blockIds.contains ((juce::uint16) blockId))
            return true;

    return false;
}

const FootswitchGridPanel::ChoiceGroup* FootswitchGridPanel::findChoiceGroup (int effectType) const
{
    for (auto& group : choiceGroups)
        if (group.effectType == effectType)
            return &group;

    return nullptr;
}

//==============================================================================
// The user.

void FootswitchGridPanel::selectTile (int row, int column)
{
    for (auto& p : positions)
        p.tile->setSelected (p.tile->getRow() == row && p.tile->getColumn() == column);
}

int FootswitchGridPanel::getDropMode() const
{
    // Ctrl (Cmd on a Mac) asks for a move, as on the effect grid.
    const bool moveAsked = juce::ModifierKeys::currentModifiers.isCommandDown();
    return moveAsked || hoveredBlockId == 0 ? FootswitchBlockComponent::dropMove : FootswitchBlockComponent::dropSwap;
}

bool FootswitchGridPanel::canAssign (juce::uint16 blockId) const
{
    return blockId != 0 && isAssignableBlockId (blockId) && isChoice (blockId);
}

void FootswitchGridPanel::clearBlockId (int blockId)
{
    for (auto& p : positions)
    {
        // On the per-preset page a global switch's tile shows a block it does not hold.
        if (mode == 0 && p.tile->isGlobalLocked)
            continue;

        if (p.tile->getBlockId() == blockId)
        {
            p.tile->setBlockId (0);
            return;
        }
    }
}

void FootswitchGridPanel::showBlockMenu (FootswitchBlockComponent& tile)
{
    if (! tile.isEnabled())
        return;

    auto menu = createBlockMenu (tile.getRow(), tile.getColumn());

    if (menu == nullptr)
        return;

    juce::Component::SafePointer<FootswitchGridPanel> self (this);
    juce::Component::SafePointer<FootswitchBlockComponent> chosenTile (&tile);
    UserInteraction::showMenu (*menu, juce::PopupMenu::Options().withTargetComponent (&tile),
                               [self, chosenTile] (int result)
                               {
                                   if (self == nullptr || chosenTile == nullptr || result <= 0)
                                       return;

                                   if (result != menuNone)
                                       self->clearBlockId (result);

                                   chosenTile->setBlockId ((juce::uint16) (result == menuNone ? 0 : result));
                                   self->commitAssignments();
                               });
}

void FootswitchGridPanel::paint (juce::Graphics& g)
{
    g.fillAll (dialogColour);
}

bool FootswitchGridPanel::keyPressed (const juce::KeyPress& key)
{
    const int code = key.getKeyCode();

    if (code != juce::KeyPress::upKey && code != juce::KeyPress::downKey && code != juce::KeyPress::leftKey &&
        code != juce::KeyPress::rightKey)
        return false;

    int row = 0, column = 0;
    bool found = false;

    for (auto& p : positions)
    {
        if (p.tile->getToggleState())
        {
            row = p.tile->getRow();
            column = p.tile->getColumn();
            found = true;
            break;
        }
    }

    if (found)
    {
        row += code == juce::KeyPress::upKey ? -1 : code == juce::KeyPress::downKey ? 1 : 0;
        column += code == juce::KeyPress::leftKey ? -1 : code == juce::KeyPress::rightKey ? 1 : 0;
    }

    getTile (juce::jlimit (0, rows - 1, row), juce::jlimit (0, columns - 1, column))->triggerClick();
    return true;
}

void FootswitchGridPanel::applyScale (bool apply)
{
    applyCommonScale (*this, apply);

    for (auto& p : positions)
        p.tile->applyScale (apply);
}

void FootswitchGridPanel::buttonClicked (juce::Button* button)
{
    if (auto* tile = dynamic_cast<FootswitchBlockComponent*> (button))
    {
        if (tile->isShowing())
            tile->grabKeyboardFocus();

        selectTile (tile->getRow(), tile->getColumn());
        return;
    }

    for (auto& p : positions)
    {
        if (button == p.globalButton.get())
        {
            // Turning Global on makes a latching switch to start with.
            if (p.globalModeSwitch != nullptr)
            {
                p.globalModeSwitch->setToggleState (true, false);
                p.globalModeSwitch->setVisible (p.globalButton->getToggleState());
            }

            commitAssignments();
            return;
        }
    }
}

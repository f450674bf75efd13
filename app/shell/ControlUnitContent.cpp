#include "app/shell/ControlUnitContent.h"

#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelMenuBarModel.h"
#include "app/shell/MainAppWindow.h"
#include "app/dialogs/SavePresetBundleDlg.h"
#include "app/shell/SnapshotList.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/Clock.h"
#include "model/FileUtils.h"
#include "model/ModelFirmwareText.h"
#include "model/SnapshotMenu.h"
#include "model/UnitIds.h"
#include "skin/knobs/BrakFxMeter.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/engine/UserInteraction.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLLedComponent.h"

#include <cmath>

namespace
{
constexpr int presetGroup = 6;
constexpr int sceneGroup = 1;
constexpr int entryAccepted = 10;
} // namespace

ControlUnitContent::ControlUnitContent (MainAppWindow* ownerWindow, const SkinManager* skinDocument,
                                        PresetManager* manager)
    : owner (ownerWindow)
    , skin (skinDocument)
    , presetManager (manager)
{
    setOpaque (true);
    loadFromSkin();

    unscaledBounds = { 0, 0, designWidth, designHeight };
    setBounds (unscaledBounds);

    if (editLed != nullptr)
        editLed->setEnabled (false);

    addChildComponent (bubble);
    bubble.setAlwaysOnTop (true);
    setFocusContainerType (juce::Component::FocusContainerType::keyboardFocusContainer);

    if (auto* target = KestrelCommandTarget::getInstance())
        target->addPerformer (this);
}

ControlUnitContent::~ControlUnitContent()
{
    if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
        target->removePerformer (this);

    if (presetManager != nullptr)
        presetManager->removeChangeListener (this);
}

//==============================================================================
// Building from the skin.

void ControlUnitContent::addWidget (juce::Component* widget)
{
    if (widget != nullptr)
        addAndMakeVisible (widget);
}

void ControlUnitContent::setCommand (juce::Component* widget, int commandId)
{
    auto* target = KestrelCommandTarget::getInstanceWithoutCreating();
    auto* tooltipClient = dynamic_cast<juce::SettableTooltipClient*> (widget);
    juce::String tip;

    if (target != nullptr && tooltipClient != nullptr && target->getCommandTooltip (commandId, tip) && tip.isNotEmpty())
        tooltipClient->setTooltip (tip);
}

std::unique_ptr<ZOLDrawableButton> ControlUnitContent::makeGroupButton (const juce::XmlElement& node, int group,
                                                                        int commandId)
{
    auto button = SkinWidgetReaders::createDrawableButton (*skin, &node, node.getStringAttribute ("name"), this, false);

    if (button == nullptr)
        return nullptr;

    button->setClickingTogglesState (true);
    button->setRadioGroupId (group, juce::dontSendNotification);
    button->setColour (juce::DrawableButton::backgroundOnColourId, juce::Colours::transparentBlack);
    button->addMouseListener (this, false);
    setCommand (button.get(), commandId);
    return button;
}

void ControlUnitContent::loadFromSkin()
{
    auto* section = skin != nullptr ? skin->getSection ("ControlUnitSkin") : nullptr;

    if (section == nullptr)
        return;

    background = SkinAttributes::image (*skin, *section, "background");

    if (background.isValid())
    {
        designWidth = background.getWidth();
        designHeight = background.getHeight();
    }

    auto button = [this] (const juce::XmlElement& node, const juce::String& name, int commandId)
    {
        auto made = SkinWidgetReaders::createDrawableButton (*skin, &node, name, this, false);
        if (made != nullptr && commandId != 0)
            setCommand (made.get(), commandId);
        addWidget (made.get());
        return made;
    };

    auto readout = [this] (const juce::XmlElement& node, const juce::String& name, bool entry)
    {
        auto made = skin->createFxReadout (&node, name, this);
        if (made != nullptr)
        {
            made->editable = entry;
            addWidget (made.get());
        }
        return made;
    };

    auto label = [this] (const juce::XmlElement& node, const juce::String& name)
    {
        auto made = skin->createLabelComponent (&node, name);
        if (made != nullptr)
        {
            made->setEditable (false);
            addWidget (made.get());
        }
        return made;
    };

    auto led = [this] (const juce::XmlElement& node, const juce::String& name)
    {
        auto made = skin->createLedComponent (&node, name);
        addWidget (made.get());
        // A lit LED means activity: each starts dark.
        if (made != nullptr)
            made->setEnabled (false);
        return made;
    };

    for (auto* node : SkinAttributes::children (*section, "Widget"))
    {
        const auto name = node->getStringAttribute ("name");

        if (name == "logoButton") logoButton = button (*node, name, 2301);
        else if (name == "midiInLed") midiInLed = led (*node, name);
        else if (name == "midiOutLed") midiOutLed = led (*node, name);
        else if (name == "tunerButton") tunerButton = button (*node, name, 1301);
        else if (name == "tempoButton") tempoButton = button (*node, name, 0);
        else if (name == "tempoField")
        {
            tempoField = readout (*node, name, true);
            if (tempoField != nullptr)
            {
                tempoField->setValidation (false, false, true, (float) minTempo, (float) maxTempo);
                tempoField->wheelEditsEntry = true;
                tempoField->setEditorInputRestrictions (3, "0123456789");
            }
        }
        else if (name == "tempoDropDown") tempoDropDown = button (*node, name, 0);
        else if (name == "tempoLed") tempoLed = led (*node, name);
        else if (name == "cpuField")
        {
            cpuField = readout (*node, name, false);
            if (cpuField != nullptr)
                cpuField->setUnitText ("%");
        }
        else if (name == "cpuMeter")
        {
            cpuMeter = skin->createFxMeter (node, name);
            if (cpuMeter != nullptr)
            {
                // Driven by the panel, not by its own timer.
                cpuMeter->stopTimer();
                cpuMeter->freeRunning = true;
                cpuMeter->decayFactor = 0.0;
                cpuMeter->levelGain = 1;
                addWidget (cpuMeter.get());
            }
        }
        else if (name == "importButton") importButton = button (*node, name, 1001);
        else if (name == "bankButton")
        {
            bankButton = button (*node, name, 1117);
            if (bankButton != nullptr)
                bankButton->setTriggeredOnMouseDown (true);
        }
        else if (name == "bankUpButton") bankUpButton = button (*node, name, 1123);
        else if (name == "bankDownButton") bankDownButton = button (*node, name, 1124);
        else if (name == "bankNumber")
        {
            bankNumber = readout (*node, name, true);
            if (bankNumber != nullptr)
            {
                setCommand (bankNumber.get(), 1122);
                bankNumber->wheelEditsEntry = true;
                bankNumber->setEditorInputRestrictions (4, "0123456789-*+/,.;:");
            }
        }
        else if (name == "presetName")
        {
            presetName = readout (*node, name, true);
            if (presetName != nullptr)
            {
                setCommand (presetName.get(), 1108);
                presetName->setEditorInputRestrictions (31, unitNameCharacters());
            }
        }
        else if (name == "presetSource") presetSource = label (*node, name);
        else if (name == "presetAmps") presetAmps = label (*node, name);
        else if (name == "presetLabel") presetLabel = readout (*node, name, false);
        else if (name == "sceneLabel") sceneLabel = readout (*node, name, false);
        else if (name == "sceneArrow")
        {
            sceneArrow = label (*node, name);
            if (sceneArrow != nullptr)
            {
                sceneArrow->setText (juce::String::charToString ((juce::juce_wchar) 0xd6), juce::dontSendNotification);
                sceneArrow->setAlwaysOnTop (true);
                sceneArrow->clickable = true;
                sceneArrow->addChangeListener (this);
            }
        }
        else if (name == "saveButton") saveButton = button (*node, name, 1118);
        else if (name == "saveMenuButton") saveMenuButton = button (*node, name, 0);
        else if (name == "editLabel") editLabel = readout (*node, name, false);
        else if (name == "editLed") editLed = led (*node, name);
        else if (name == "snapshotButton")
        {
            snapshotButton = button (*node, name, 1000);
            if (snapshotButton != nullptr)
                snapshotButton->addMouseListener (this, false);
        }
        else if (name == "snapshotBubble")
        {
            const auto size = (float) node->getDoubleAttribute ("fontSize", 0.0);
            bubbleFont = SkinAttributes::font (*skin, *node, "font", size);
            if (node->getIntAttribute ("fontBold", 0) != 0)
                bubbleFont = bubbleFont.boldened();
            bubbleTextColour = SkinAttributes::colourOr (*node, "fontColor", bubbleTextColour);
            bubbleBackgroundColour = SkinAttributes::colourOr (*node, "backgroundColor", bubbleBackgroundColour);
            bubblePopTimeMs = node->getIntAttribute ("bubblePopTime", 0);
        }
        else if (name == "fileDropTarget")
        {
            dropColour = SkinAttributes::colourOr (*node, "color", dropColour);
        }
        else
        {
            for (int i = 0; i < 8; ++i)
            {
                if (name == "presetButton" + juce::String (i + 1))
                {
                    presetButtons[i] = makeGroupButton (*node, presetGroup, 2401 + i);
                    addWidget (presetButtons[i].get());
                }
                else if (name == "sceneButton" + juce::String (i + 1))
                {
                    sceneButtons[i] = makeGroupButton (*node, sceneGroup, 1109 + i);
                    addWidget (sceneButtons[i].get());
                }
            }
        }
    }
}

ZOLDrawableButton* ControlUnitContent::getPresetButton (int index) const
{
    return juce::isPositiveAndBelow (index, 8) ? presetButtons[index].get() : nullptr;
}

ZOLDrawableButton* ControlUnitContent::getSceneButton (int index) const
{
    return juce::isPositiveAndBelow (index, 8) ? sceneButtons[index].get() : nullptr;
}

ZOLDrawableButton* ControlUnitContent::getButtonNamed (const juce::String& skinName) const
{
    for (auto* child : getChildren())
        if (auto* button = dynamic_cast<ZOLDrawableButton*> (child); button != nullptr && button->getName() == skinName)
            return button;

    return nullptr;
}

//==============================================================================
// Enabling, LEDs and the CPU display.

void ControlUnitContent::setControlsEnabled (bool enabled)
{
    controlsEnabled = enabled;
    setPresetChoiceEnabled (enabled);

    for (auto* c : { bankNumber.get(), presetName.get() })
        if (c != nullptr)
            c->setEnabled (enabled);

    for (auto& b : sceneButtons)
        if (b != nullptr)
            b->setEnabled (enabled);

    juce::Component* more[] = { saveButton.get(),  saveMenuButton.get(), snapshotButton.get(), importButton.get(),
                                tunerButton.get(), tempoButton.get(),    tempoField.get(),     tempoDropDown.get() };
    for (auto* c : more)
        if (c != nullptr)
            c->setEnabled (enabled);

    rebuildMenus();
}

void ControlUnitContent::setPresetChoiceEnabled (bool enabled)
{
    for (auto* c : { bankButton.get(), bankUpButton.get(), bankDownButton.get() })
        if (c != nullptr)
            c->setEnabled (enabled);

    for (auto& b : presetButtons)
        if (b != nullptr)
            b->setEnabled (enabled);
}

void ControlUnitContent::rebuildMenus()
{
    if (owner != nullptr)
        if (auto* menus = owner->getMenuBarModel())
            menus->rebuildMenus();
}

void ControlUnitContent::setActivity (bool active, ZOLLedComponent* led, Blink& blink)
{
    if (led == nullptr)
        return;

    if (active)
    {
        led->setEnabled (true);
        blink.marked = false;
    }
    else if (led->isEnabled() && ! blink.marked)
    {
        blink.marked = true;
        blink.markedAt = Clock::nowMs();
    }
}

void ControlUnitContent::expireActivity()
{
    const auto now = Clock::nowMs();
    const std::pair<ZOLLedComponent*, Blink*> leds[] = { { tempoLed.get(), &tempoBlink },
                                                         { midiInLed.get(), &midiInBlink },
                                                         { midiOutLed.get(), &midiOutBlink } };

    for (auto [led, blink] : leds)
    {
        if (led == nullptr || ! blink->marked)
            continue;

        const auto apart = now >= blink->markedAt ? now - blink->markedAt : blink->markedAt - now;

        if (apart > ledHoldMs)
        {
            led->setEnabled (false);
            blink->marked = false;
        }
    }
}

void ControlUnitContent::showActivity (bool input, bool output, bool tempo, bool modified)
{
    setActivity (input, midiInLed.get(), midiInBlink);
    setActivity (output, midiOutLed.get(), midiOutBlink);
    setActivity (tempo, tempoLed.get(), tempoBlink);

    if (editLed != nullptr && editLed->isEnabled() != modified)
        editLed->setEnabled (modified);

    expireActivity();
}

void ControlUnitContent::showLinkState (bool up)
{
    if (! up)
    {
        if (tempoField != nullptr)
            tempoField->setText ({});

        showCpuLoad (false);

        // Nothing is selected on a unit that is not there.
        for (auto* buttons : { &presetButtons, &sceneButtons })
            for (auto& b : *buttons)
                if (b != nullptr)
                    b->setToggleState (false, juce::dontSendNotification);
    }

    setControlsEnabled (up);
}

void ControlUnitContent::showCpuLoad (bool connected)
{
    int load = 0;

    // The unit's byte is signed; a negative load means none.
    if (connected && presetManager != nullptr)
        load = juce::jlimit (0, 100, (int) (juce::int8) presetManager->getCpuLoad());

    if (cpuField != nullptr)
        cpuField->setNumber ((float) load);

    if (cpuMeter != nullptr)
    {
        cpuMeter->setLevel (load / 100.0);
        cpuMeter->timerCallback();
    }
}

void ControlUnitContent::cancelEntries()
{
    for (auto* field : { bankNumber.get(), presetName.get(), tempoField.get() })
        if (field != nullptr && field->isEditorVisible())
            field->hideEditor();
}

//==============================================================================
// Refreshing from the preset manager.

void ControlUnitContent::refreshBankNumber()
{
    if (presetManager == nullptr || bankNumber == nullptr)
        return;

    juce::String text, bankText, presetText;
    const auto number = presetManager->getCurrentPresetNumber();

    if (number >= 0 && formatPresetNumber (number, {}, text, bankText, presetText))
        bankNumber->setText (text);
}

void ControlUnitContent::refreshPresetButtons()
{
    if (presetManager == nullptr)
        return;

    const auto number = presetManager->getCurrentPresetNumber();

    if (number >= 0)
        if (auto* button = presetButtons[number & 7].get())
            button->setToggleState (true, juce::dontSendNotification);
}

void ControlUnitContent::refreshSceneButtons()
{
    juce::uint16 preset = 0, scene = 0;

    if (presetManager != nullptr && presetManager->getCurrentPresetAndScene (preset, scene) && scene < 8)
        if (auto* button = sceneButtons[scene].get())
            button->setToggleState (true, juce::dontSendNotification);
}

void ControlUnitContent::refreshPresetName()
{
    if (presetManager != nullptr && presetName != nullptr)
        presetName->setText (presetManager->getCurrentPresetName());
}

void ControlUnitContent::refreshPresetSource()
{
    if (presetManager == nullptr || presetSource == nullptr)
        return;

    int bank = 0, program = 0;
    juce::String shown;

    if (presetManager->getCurrentBankAndProgram (bank, program))
    {
        const auto& firmware = presetManager->getFirmware();
        juce::String model, version;

        if (getModelAndFirmwareText (firmware.model, firmware.major, firmware.minor, model, version))
            shown = model + " - FW " + version;
    }

    presetSource->setText (shown, juce::dontSendNotification);
}

void ControlUnitContent::refreshAmpNames()
{
    if (presetManager == nullptr || presetAmps == nullptr)
        return;

    juce::String first, second, shown;
    presetManager->getAmpNames (first, second);

    if (first.isNotEmpty())
        shown << "Amp: " << first << "    ";

    if (second.isNotEmpty())
        shown << "Amp 2: " << second;

    presetAmps->setText (shown, juce::dontSendNotification);
}

void ControlUnitContent::refreshTempo()
{
    if (tempoField != nullptr)
        tempoField->setNumber (presetManager != nullptr ? (float) presetManager->getTempo() : (float) minTempo);
}

void ControlUnitContent::refreshAll()
{
    setControlsEnabled (true);
    refreshBankNumber();
    refreshPresetButtons();
    refreshSceneButtons();
    refreshPresetName();
    refreshAmpNames();
    refreshPresetSource();
    showCpuLoad (true);
    refreshTempo();
    refreshBundleDialogLists();
}

//==============================================================================
// Buttons, taps and menus.

bool ControlUnitContent::invoke (int commandId)
{
    auto* target = KestrelCommandTarget::getInstanceWithoutCreating();
    return target != nullptr && target->invokeCommand (commandId);
}

void ControlUnitContent::tapTempo (double nowMs)
{
    if (! tapPending)
    {
        tapPending = true;
        lastTapMs = nowMs;
        return;
    }

    const auto interval = nowMs - lastTapMs;

    if (interval >= tapWindowMs)
    {
        lastTapMs = nowMs;
        return;
    }

    tapPending = false;
    // Halves go to the even neighbour; taps closer than the fastest tempo or
    // slower than the slowest are limited to what the tempo field allows.
    const auto tempo = interval > 0.0 ? (int) std::nearbyint (60000.0 / interval) : maxTempo;

    if (presetManager != nullptr)
        presetManager->requestSetTempo ((juce::uint16) juce::jlimit (minTempo, maxTempo, tempo));
}

void ControlUnitContent::buttonClicked (juce::Button* button)
{
    juce::uint16 preset = 0, scene = 0;

    if (presetManager != nullptr)
        presetManager->getCurrentPresetAndScene (preset, scene);

    // A preset button is measured against the preset the last clicks lead to.
    const auto chosen = presetManager != nullptr ? presetManager->getChosenPresetNumber() : -1;
    const int slot = ((chosen >= 0 ? chosen : (int) preset) & 7) + 1;

    if (button == bankUpButton.get()) invoke (1123);
    else if (button == bankDownButton.get()) invoke (1124);
    else if (button == bankButton.get()) invoke (1117);
    else if (button == tempoButton.get()) tapTempo (juce::Time::getMillisecondCounterHiRes());
    else if (button == tempoDropDown.get()) showCommandMenu (TempoToUseMenuCommands, tempoDropDown.get());
    else if (button == tunerButton.get()) invoke (1301);
    else if (button == logoButton.get()) invoke (2301);
    else if (button == importButton.get()) invoke (1001);
    else if (button == saveButton.get()) invoke (1118);
    else if (button == saveMenuButton.get()) showCommandMenu (SaveButtonMenuCommands, saveButton.get());
    else if (button == snapshotButton.get()) invoke (1000);
    else
    {
        for (int i = 0; i < 8; ++i)
        {
            if (button == sceneButtons[i].get() && i != scene && presetManager != nullptr)
                presetManager->requestChangeScene ((juce::uint16) i);

            if (button == presetButtons[i].get() && i + 1 != slot && presetManager != nullptr)
                presetManager->selectPresetInBank (i + 1);
        }
    }
}

juce::ApplicationCommandManager* ControlUnitContent::getCommandManager() const
{
    return owner != nullptr ? &owner->getCommandManager() : nullptr;
}

void ControlUnitContent::showCommandMenu (const CommandRecord* table, juce::Component* anchor)
{
    auto menu = createMenuFromCommandTable (table, getCommandManager());

    if (menu == nullptr)
        return;

    // The menu runs its commands through the command manager itself.
    UserInteraction::showMenu (*menu, juce::PopupMenu::Options().withTargetComponent (anchor), {});
}

void ControlUnitContent::showSceneMenu()
{
    showCommandMenu (SceneMenuCommands, sceneButtons[0].get());
}

void ControlUnitContent::showSnapshotMenu()
{
    auto menu = createMenuFromCommandTable (SnapshotsMenuCommands, getCommandManager());

    if (menu == nullptr)
        return;

    if (auto* snapshots = SnapshotList::getInstanceWithoutCreating())
        buildLoadSnapshotMenu (*snapshots, menu.get(), getCommandManager());

    UserInteraction::showMenu (*menu, juce::PopupMenu::Options().withTargetComponent (snapshotButton.get()),
                               [] (int result)
                               {
                                   if (result != 0 && (result & 0xffff) == loadSnapshotCommandId)
                                       if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
                                           target->invokeCommand (result);
                               });
}

void ControlUnitContent::mouseDown (const juce::MouseEvent& e)
{
    if (! e.mods.isRightButtonDown())
        return;

    for (auto& b : sceneButtons)
        if (b != nullptr && e.eventComponent == b.get())
        {
            showSceneMenu();
            return;
        }

    if (snapshotButton != nullptr && e.eventComponent == snapshotButton.get())
        showSnapshotMenu();
}

//==============================================================================
// Event codes and typed entries.

ControlUnitContent::CodeAction ControlUnitContent::actionForCode (int code)
{
    switch (code)
    {
        // A request that failed posts 1 and never its end code: nothing is
        // left disabled by it. 85 ends the X/Y writes that 84 began.
        case 1: case 85:
            return CodeAction::enable;
        case 7: case 15: case 17: case 21: case 23: case 25: case 35: case 37: case 47: case 49: case 65:
        case 67: case 75: case 77: case 81:
            return CodeAction::fullRefresh;
        case 3: case 5: case 9: case 29: case 31: case 33: case 39: case 41: case 43: case 53: case 55: case 57:
        case 59: case 61: case 63: case 79: case 83: case 87: case 89: case 105: case 113: case 115: case 119:
        case 123: case 129: case 131: case 139: case 141:
            return CodeAction::enable;
        case 11: return CodeAction::initializationEnded;
        case 19: return CodeAction::cabNamesEnded;
        case 27: return CodeAction::presetSaved;
        case 45: return CodeAction::ampNamesEnded;
        case 69: case 71: return CodeAction::cpuLoad;
        // The states are read when the unit reports a change, such as a scene
        // chosen on the unit.
        case 111: return CodeAction::statesEnded;
        case 93: case 95: return CodeAction::tempoEnded;
        case 99: return CodeAction::exportSysex;
        case 101: return CodeAction::exportRawPreset;
        case 103: return CodeAction::exportTemplate;
        case 107: return CodeAction::saveSnapshot;
        case 109: return CodeAction::exportCsv;
        // The unit's preset changed under the window: the heartbeat's
        // resync, and a preset pasted into it (Import Preset, Load Snapshot).
        case 51: case 133: return CodeAction::reloadPreset;
        case 135: return CodeAction::bundleImported;
        case 137: return CodeAction::bundleSaved;
        default: break;
    }

    const bool disables = (code >= 2 && code <= 10) || (code >= 14 && code <= 66) || (code >= 74 && code <= 88)
                       || code == 92 || code == 94 || (code >= 98 && code <= 108) || code == 112 || code == 114
                       || code == 118 || code == 122 || (code >= 128 && code <= 140);

    return (disables && code % 2 == 0) ? CodeAction::disable : CodeAction::nothing;
}

void ControlUnitContent::handleStatus (int code)
{
    switch (actionForCode (code))
    {
        case CodeAction::nothing: break;
        case CodeAction::disable:
            setControlsEnabled (false);

            // While a preset changes or loads ("Change Preset", "Load
            // Preset") the user may go on choosing presets; the last choice
            // is the one that loads.
            if (code == 20 || code == 28)
                setPresetChoiceEnabled (true);
            break;
        case CodeAction::enable:
            // A save that failed posts 1 and no end code.
            if (code == 1)
                goToNumberSaved (false);
            setControlsEnabled (true);
            break;
        case CodeAction::fullRefresh: refreshAll(); break;
        case CodeAction::initializationEnded:
            refreshPresetSource();
            setControlsEnabled (true);
            break;
        case CodeAction::cabNamesEnded:
            setControlsEnabled (true);
            if (bundleSavePending)
                prepareBundleSave (false);
            else
                refreshBundleDialogLists();
            break;
        case CodeAction::presetSaved:
            showPresetSaved();
            setControlsEnabled (true);
            goToNumberSaved (true);
            break;
        case CodeAction::ampNamesEnded:
            setControlsEnabled (true);
            refreshAmpNames();
            break;
        case CodeAction::cpuLoad: showCpuLoad (true); break;
        case CodeAction::statesEnded:
            showCpuLoad (true);
            refreshSceneButtons();
            break;
        case CodeAction::tempoEnded:
            refreshTempo();
            setControlsEnabled (true);
            break;
        case CodeAction::exportSysex: setControlsEnabled (true); exportSysex (false); break;
        case CodeAction::exportRawPreset: setControlsEnabled (true); exportRawPreset(); break;
        case CodeAction::exportTemplate: setControlsEnabled (true); exportSysex (true); break;
        case CodeAction::saveSnapshot: setControlsEnabled (true); saveSnapshot(); break;
        case CodeAction::exportCsv: setControlsEnabled (true); exportCsv(); break;
        case CodeAction::reloadPreset:
            setControlsEnabled (true);
            if (presetManager != nullptr)
                presetManager->requestLoadPreset();
            break;
        case CodeAction::bundleImported:
            setControlsEnabled (true);
            onBundleImported();
            break;
        case CodeAction::bundleSaved:
            onBundleSaved();
            setControlsEnabled (true);
            break;
    }
}

void ControlUnitContent::handleEntry (BrakFxReadout& field)
{
    if (field.getChangeCode() != entryAccepted || presetManager == nullptr)
        return;

    const auto typed = field.getText();

    if (&field == tempoField.get())
    {
        presetManager->requestSetTempo ((juce::uint16) juce::jlimit (0, 65535, typed.getIntValue()));
    }
    else if (&field == bankNumber.get())
    {
        juce::uint16 number = 0;

        if (! parsePresetNumberText (typed, number) || ! presetManager->choosePreset (number))
            refreshBankNumber();
    }
    else if (&field == presetName.get())
    {
        auto& machine = presetManager->getRequest (::setName);

        if (machine.isRunning())
            return;

        machine.start();
        machine.presetName = typed;
    }
}

void ControlUnitContent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (auto* dialog = getBundleDialog(); dialog != nullptr && source == static_cast<juce::ChangeBroadcaster*> (dialog))
    {
        handleBundleDialog (dialog->getChangeCode());
        return;
    }

    if (source == nullptr)
        return;

    if (presetManager != nullptr && source == presetManager)
    {
        handleStatus (presetManager->getStatus());
        return;
    }

    for (auto* field : { tempoField.get(), bankNumber.get(), presetName.get() })
        if (field != nullptr && source == static_cast<juce::ChangeBroadcaster*> (field))
        {
            handleEntry (*field);
            return;
        }

    if (sceneArrow != nullptr && source == static_cast<juce::ChangeBroadcaster*> (sceneArrow.get()))
        if (sceneArrow->getChangeCode() == 1)
            showSceneMenu();
}

//==============================================================================
// Dropping a file on the name area.

bool ControlUnitContent::isInterestedInFileDrag (const juce::StringArray& files)
{
    return files.size() == 1;
}

void ControlUnitContent::fileDragEnter (const juce::StringArray&, int, int)
{
    juce::Rectangle<int> area;

    for (auto* part : { (juce::Component*) presetName.get(), (juce::Component*) presetSource.get(),
                        (juce::Component*) presetAmps.get() })
        if (part != nullptr && ! part->getBounds().isEmpty())
            area = area.isEmpty() ? part->getBounds() : area.getUnion (part->getBounds());

    dropRectangle = area;
    dropHighlightShown = true;
    repaint();
}

void ControlUnitContent::fileDragExit (const juce::StringArray&)
{
    dropHighlightShown = false;
    repaint();
}

void ControlUnitContent::filesDropped (const juce::StringArray& files, int, int)
{
    if (files.size() == 1)
        if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
            target->importPresetFile (juce::File (files[0]), true);

    dropHighlightShown = false;
    repaint();
}

//==============================================================================
// Drawing and scaling.

void ControlUnitContent::paint (juce::Graphics& g)
{
    if (background.isValid())
        g.drawImage (background, 0, 0, getWidth(), getHeight(), 0, 0, background.getWidth(), background.getHeight());
    else
        g.fillAll (juce::Colour (0xff232529));

    if (dropHighlightShown && ! dropRectangle.isEmpty())
        strokeRectangle (g, dropRectangle.expanded (2).toFloat(), dropColour, 0.5f);
}

void ControlUnitContent::applyScale (bool apply)
{
    applyCommonScale (*this, apply);

    for (auto* child : getChildren())
        if (auto* resizable = dynamic_cast<ZOLResizableComponent*> (child))
        {
            resizable->scaleFactor = scaleFactor;
            resizable->applyScale (false);
        }
}

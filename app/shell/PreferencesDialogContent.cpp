#include "app/shell/PreferencesDialogContent.h"

#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "model/PromptCatalogue.h"
#include "model/UserNotifier.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/engine/UserInteraction.h"

namespace
{
constexpr int dialogWidth = 560;
constexpr int dialogHeight = 400;
constexpr int margin = 16;
constexpr int rowHeight = 24;
constexpr int rowGap = 8;
constexpr int tabHeight = 26;
constexpr int labelWidth = 150;
constexpr juce::uint8 allBanks = 0x7F; // with program 127: every preset of every bank

const char* const pageNames[] = { "General", "Workspace", "Cache", "Prompts" };

struct FolderSetting
{
    const char* label;
    juce::String KestrelGlobalConfiguration::*path;
    int chooserTitleId; // 0: a fixed title
};

const FolderSetting folderSettings[PreferencesDialogContent::folderCount] = {
    { "Snapshots", &KestrelGlobalConfiguration::SNAPSHOTS_DIR, PROMPT_CHOOSE_DIR_SNAPSHOT },
    { "Block Library", &KestrelGlobalConfiguration::BLOCKS_DEFS_DIR, PROMPT_CHOOSE_DIR_BLOCKLIB },
    { "Preset Templates", &KestrelGlobalConfiguration::TEMPLATES_DIR, PROMPT_CHOOSE_DIR_TEMPLATE },
    { "Effect Definitions", &KestrelGlobalConfiguration::EFFECT_DEFS_DIR, 0 },
};

KestrelGlobalConfiguration* configuration()
{
    return KestrelGlobalConfiguration::getInstanceWithoutCreating();
}

void addItems (juce::ComboBox& box, std::initializer_list<const char*> items)
{
    int id = 1;
    for (auto* item : items)
        box.addItem (item, id++);
}
} // namespace

PreferencesDialogContent::PreferencesDialogContent (MainAppWindow* ownerWindow, const SkinManager* skinManager)
    : owner (ownerWindow)
    , skin (skinManager)
{
    setSize (dialogWidth, dialogHeight);
    setCentrePosition (KestrelContentComponent::designWidth / 2, KestrelContentComponent::designHeight / 2);
    loadSkin (skin);
    setWantsKeyboardFocus (true);

    title.setText ("Preferences", juce::dontSendNotification);
    title.setFont (font.withHeight (18.0f).boldened());
    title.setColour (juce::Label::textColourId, textColour);
    addAndMakeVisible (title);

    for (size_t i = 0; i < tabs.size(); ++i)
    {
        tabs[i] = std::make_unique<juce::TextButton> (pageNames[i]);
        tabs[i]->setClickingTogglesState (false);
        tabs[i]->setColour (juce::TextButton::buttonColourId, backgroundColour.brighter (0.08f));
        tabs[i]->setColour (juce::TextButton::buttonOnColourId, accentColour.withAlpha (0.85f));
        tabs[i]->setColour (juce::TextButton::textColourOffId, dimTextColour);
        tabs[i]->setColour (juce::TextButton::textColourOnId, juce::Colours::black);
        tabs[i]->onClick = [this, i] { showPage ((Page) i); };
        addAndMakeVisible (*tabs[i]);
    }

    closeButton = std::make_unique<juce::TextButton> ("Close");
    closeButton->onClick = [this] { closeDialog(); };
    addAndMakeVisible (*closeButton);

    buildGeneralPage();
    buildWorkspacePage();
    buildCachePage();

    promptsLabel.setText (LanguageStore::textOr (PREFS_DESC_PROMPT_SUPPRESSION), juce::dontSendNotification);
    addChildComponent (promptsLabel);
    // The librarian's warnings and the reload notice are not given by the
    // program yet: their switches are kept but greyed out.
    addSwitch (Page::prompts, PREFS_CHECK_MANAGER_LOAD, &KestrelGlobalConfiguration::PROMPT_MANAGER_LOAD, false);
    addSwitch (Page::prompts, PREFS_CHECK_MANAGER_WAIT_TIME, &KestrelGlobalConfiguration::PROMPT_MANAGER_WAIT_TIME,
               false);
    addSwitch (Page::prompts, PREFS_CHECK_MANAGER_RESYNC, &KestrelGlobalConfiguration::PROMPT_MANAGER_RESYNC, false);
    addSwitch (Page::prompts, PREFS_CHECK_PROMPT_PRESET_BUNDLE_IMPORT,
               &KestrelGlobalConfiguration::PROMPT_PRESET_BUNDLE_IMPORT);

    for (auto* label : { &knobTrackingLabel, &mouseWheelLabel, &midiInLabel, &midiOutLabel, &promptsLabel })
    {
        label->setColour (juce::Label::textColourId, textColour);
        label->setFont (font);
    }

    // Fields in the dialog's own dark colours, whatever the look-and-feel's defaults.
    const auto fieldColour = backgroundColour.darker (0.35f);
    const auto outline = dimTextColour.withAlpha (0.35f);
    for (auto* box : { &knobTracking, &mouseWheel, &midiIn, &midiOut })
    {
        box->setColour (juce::ComboBox::backgroundColourId, fieldColour);
        box->setColour (juce::ComboBox::textColourId, textColour);
        box->setColour (juce::ComboBox::outlineColourId, outline);
        box->setColour (juce::ComboBox::arrowColourId, dimTextColour);
    }
    for (auto& field : folders)
    {
        field.editor.setColour (juce::TextEditor::backgroundColourId, fieldColour);
        field.editor.setColour (juce::TextEditor::textColourId, textColour);
        field.editor.setColour (juce::TextEditor::outlineColourId, outline);
        field.editor.setColour (juce::TextEditor::focusedOutlineColourId, accentColour);
        field.editor.setColour (juce::CaretComponent::caretColourId, textColour);
    }
    for (auto* button : { closeButton.get(), folders[0].browse.get(), folders[1].browse.get(), folders[2].browse.get(),
                          folders[3].browse.get(), refreshes[0].button.get(), refreshes[1].button.get(),
                          refreshes[2].button.get() })
    {
        button->setColour (juce::TextButton::buttonColourId, backgroundColour.brighter (0.12f));
        button->setColour (juce::TextButton::textColourOffId, textColour);
    }

    if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
        target->addPerformer (this);

    showPage (Page::general);
    rememberUnscaledBounds (getBounds());
}

PreferencesDialogContent::~PreferencesDialogContent()
{
    if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
        target->removePerformer (this);
}

//==============================================================================
void PreferencesDialogContent::loadSkin (const SkinManager* skinManager)
{
    auto* section = skinManager != nullptr ? skinManager->getSection ("PreferencesDialog") : nullptr;
    if (section == nullptr)
        return;

    setBounds (section->getIntAttribute ("positionX", getX()), section->getIntAttribute ("positionY", getY()),
               section->getIntAttribute ("width", getWidth()), section->getIntAttribute ("height", getHeight()));
    backgroundColour = SkinAttributes::colourOr (*section, "backgroundColor", backgroundColour);
    borderColour = SkinAttributes::colourOr (*section, "borderColor", borderColour);
    textColour = SkinAttributes::colourOr (*section, "fontColor", textColour);
    dimTextColour = SkinAttributes::colourOr (*section, "dimFontColor", dimTextColour);
    accentColour = SkinAttributes::colourOr (*section, "accentColor", accentColour);
    const auto size = SkinAttributes::fontSize (*section, "fontSize");
    font = SkinAttributes::font (*skinManager, *section, "font", size > 0.0f ? size : 14.0f);
}

void PreferencesDialogContent::buildGeneralPage()
{
    knobTrackingLabel.setText ("Knob tracking", juce::dontSendNotification);
    addItems (knobTracking, { "Linear (drag up and down)", "Rotary (drag around the knob)" });
    knobTracking.onChange = [this] { knobTrackingChanged(); };

    mouseWheelLabel.setText ("Mouse wheel", juce::dontSendNotification);
    addItems (mouseWheel, { "Up turns a knob up", "Up turns a knob down" });
    mouseWheel.onChange = [this] { mouseWheelChanged(); };

    midiInLabel.setText ("MIDI input", juce::dontSendNotification);
    midiOutLabel.setText ("MIDI output", juce::dontSendNotification);
    for (auto* box : { &midiIn, &midiOut })
    {
        box->setEditableText (true);
        box->onChange = [this] { portChanged(); };
    }

    for (auto* c : std::initializer_list<juce::Component*> { &knobTrackingLabel, &knobTracking, &mouseWheelLabel,
                                                             &mouseWheel, &midiInLabel, &midiIn, &midiOutLabel,
                                                             &midiOut })
        addChildComponent (c);

    addSwitch (Page::general, PREFS_CHECK_SHOW_TOOLTIPS, &KestrelGlobalConfiguration::SHOW_TOOLTIPS);
    addSwitch (Page::general, PREFS_CHECK_ALLOW_MORE_THAN_ONE, &KestrelGlobalConfiguration::ALLOW_MORE_THAN_ONE);
    addSwitch (Page::general, PREFS_SEARCH_NUMBER_AND_NAME, &KestrelGlobalConfiguration::SEARCH_NUMBER_AND_NAME);
    addSwitch (Page::general, PREFS_CHECK_FOR_UPDATE, &KestrelGlobalConfiguration::CHECK_FOR_UPDATE);
    addSwitch (Page::general, PREFS_CHECK_AUTO_PAUSE_ON_RESYNC, &KestrelGlobalConfiguration::CHECK_AUTO_PAUSE_ON_RESYNC,
               false);
}

void PreferencesDialogContent::buildWorkspacePage()
{
    for (int i = 0; i < folderCount; ++i)
    {
        auto& field = folders[(size_t) i];
        field.label.setText (folderSettings[i].label, juce::dontSendNotification);
        field.label.setColour (juce::Label::textColourId, textColour);
        field.label.setFont (font);
        field.editor.onReturnKey = [this, i] { folderEdited (i); };
        field.editor.onFocusLost = [this, i] { folderEdited (i); };
        field.browse = std::make_unique<juce::TextButton> ("Browse...");
        field.browse->onClick = [this, i] { chooseFolder (i); };
        addChildComponent (field.label);
        addChildComponent (field.editor);
        addChildComponent (*field.browse);
    }
}

void PreferencesDialogContent::buildCachePage()
{
    const struct
    {
        const char* button;
        int descriptionId;
        const char* requestName;
        int doneTextId;
    } rows[] = {
        { "Refresh Cab Names", PREFS_DESC_REFRESH_CABNAMES, "Refresh Cab Names", PREFS_TOOLTIP_REFRESHED_CABNAMES },
        { "Refresh Preset Names", PREFS_DESC_REFRESH_PRESETNAMES, "Refresh Preset Names",
          PREFS_TOOLTIP_REFRESHED_PRESETNAMES },
        { "Refresh Block Definitions", PREFS_DESC_REFRESH_BLOCKDEFS, "Query Param Definitions",
          PREFS_TOOLTIP_REFRESHED_BLOCKDEFS },
    };

    for (size_t i = 0; i < refreshes.size(); ++i)
    {
        auto& item = refreshes[i];
        item.button = std::make_unique<juce::TextButton> (rows[i].button);
        item.button->onClick = [this, &item] { refreshFromUnit (item); };
        item.description.setText (LanguageStore::textOr (rows[i].descriptionId), juce::dontSendNotification);
        item.description.setColour (juce::Label::textColourId, dimTextColour);
        item.description.setFont (font);
        item.requestName = rows[i].requestName;
        item.doneTextId = rows[i].doneTextId;
        addChildComponent (*item.button);
        addChildComponent (item.description);
    }
}

void PreferencesDialogContent::addSwitch (Page onPage, int textId, bool KestrelGlobalConfiguration::*setting,
                                          bool hasBehaviour)
{
    // Each page's check boxes look as its skin section's "checkBox" widget says.
    const auto* section = skin != nullptr ? skin->getSection (onPage == Page::prompts ? "PreferencesPrompts"
                                                                                        : "PreferencesGeneral")
                                          : nullptr;
    auto box = SkinWidgetReaders::createCheckBox (skin, section, "checkBox", LanguageStore::textOr (textId));
    if (section == nullptr || SkinAttributes::findWidget (*section, "checkBox") == nullptr)
    {
        box->font = font;
        box->fontSize = juce::roundToInt (font.getHeight());
        box->setColour (juce::ToggleButton::textColourId, textColour);
    }

    Switch item{ std::move (box), onPage, setting, 0 };
    item.fontSize = item.button->fontSize;
    item.button->setColour (juce::ToggleButton::tickColourId, accentColour);
    item.button->setColour (juce::ToggleButton::tickDisabledColourId, dimTextColour);
    item.button->setEnabled (hasBehaviour);

    // Greyed, it still shows what is stored; the tip says why it is greyed.
    if (! hasBehaviour)
        item.button->setTooltip (noBehaviourTip);
    addChildComponent (*item.button);
    switches.push_back (std::move (item));

    const auto index = switches.size() - 1;
    switches.back().button->onClick = [this, index] { switchChanged (switches[index]); };
}

//==============================================================================
void PreferencesDialogContent::showDialog()
{
    fillFromConfiguration();
    setVisible (true);
    toFront (true);
}

void PreferencesDialogContent::closeDialog()
{
    // A folder being typed when the dialog closes is taken as it stands.
    for (int i = 0; i < folderCount; ++i)
        if (folders[(size_t) i].editor.hasKeyboardFocus (false))
            folderEdited (i);

    setVisible (false);
}

bool PreferencesDialogContent::performCommand (int commandId)
{
    if (commandId != preferencesCommandId)
        return false;

    if (auto* content = dynamic_cast<KestrelContentComponent*> (getParentComponent()))
        if (auto* showing = content->getShowingDialog(); showing != nullptr && showing != this)
            return false;

    showDialog();
    return true;
}

void PreferencesDialogContent::showPage (Page newPage)
{
    page = newPage;

    for (size_t i = 0; i < tabs.size(); ++i)
        tabs[i]->setToggleState ((Page) i == page, juce::dontSendNotification);

    const auto general = page == Page::general;
    for (auto* c : std::initializer_list<juce::Component*> { &knobTrackingLabel, &knobTracking, &mouseWheelLabel,
                                                             &mouseWheel, &midiInLabel, &midiIn, &midiOutLabel,
                                                             &midiOut })
        c->setVisible (general);

    for (auto& field : folders)
        for (auto* c : std::initializer_list<juce::Component*> { &field.label, &field.editor, field.browse.get() })
            c->setVisible (page == Page::workspace);

    for (auto& item : refreshes)
    {
        item.button->setVisible (page == Page::cache);
        item.description.setVisible (page == Page::cache);
    }

    for (auto& item : switches)
        item.button->setVisible (item.page == page);

    promptsLabel.setVisible (page == Page::prompts);
    layOutPage();
    repaint();
}

void PreferencesDialogContent::fillFromConfiguration()
{
    auto* config = configuration();
    if (config == nullptr)
        return;

    const juce::ScopedValueSetter<bool> quiet (filling, true);
    knobTracking.setSelectedId (config->KNOB_TRACKING == 2 ? 2 : 1, juce::dontSendNotification);
    mouseWheel.setSelectedId (config->MOUSE_SCROLLING == 2 ? 2 : 1, juce::dontSendNotification);
    fillPortLists();

    for (int i = 0; i < folderCount; ++i)
        folders[(size_t) i].editor.setText (config->*(folderSettings[i].path), false);

    for (auto& item : switches)
        item.button->setToggleState (config->*(item.setting), juce::dontSendNotification);

    const auto connected = ZOLMidiProcessing::getInstanceWithoutCreating() != nullptr
                        && ZOLMidiProcessing::getInstanceWithoutCreating()->isConnected();
    for (auto& item : refreshes)
        item.button->setEnabled (connected && refreshRunning == nullptr);
}

void PreferencesDialogContent::fillPortLists()
{
    auto* config = configuration();
    juce::StringArray inputs, outputs;

    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
    {
        inputs = link->getPorts().getInputNames();
        outputs = link->getPorts().getOutputNames();
    }

    auto fill = [fieldText = textColour] (juce::ComboBox& box, juce::StringArray names, const juce::String& current)
    {
        // The configured name opens any device whose name contains it.
        bool present = current.isEmpty() || current == "<< none >>";
        for (auto& name : names)
            present = present || name.contains (current);

        box.clear (juce::dontSendNotification);
        names.addIfNotAlreadyThere ("<< none >>");
        for (int i = 0; i < names.size(); ++i)
            box.addItem (names[i], i + 1);
        box.setText (present ? current : current + notPresentSuffix, juce::dontSendNotification);
        box.setColour (juce::ComboBox::textColourId, present ? fieldText : juce::Colour (0xffff6b5b));
        box.setTooltip (present ? juce::String() : "This MIDI port is not present.");
    };

    fill (midiIn, inputs, config != nullptr ? config->MIDI_IN : juce::String());
    fill (midiOut, outputs, config != nullptr ? config->MIDI_OUT : juce::String());
}

//==============================================================================
void PreferencesDialogContent::knobTrackingChanged()
{
    auto* config = configuration();
    if (filling || config == nullptr)
        return;

    config->KNOB_TRACKING = knobTracking.getSelectedId() == 2 ? 2 : 1;
    saveAndTell (codeSettingsChanged);
}

void PreferencesDialogContent::mouseWheelChanged()
{
    auto* config = configuration();
    if (filling || config == nullptr)
        return;

    config->MOUSE_SCROLLING = mouseWheel.getSelectedId() == 2 ? 2 : 1;
    saveAndTell (codeAlternateStateChanged);
}

bool PreferencesDialogContent::getAlternateState() const
{
    auto* config = configuration();
    return config != nullptr && config->MOUSE_SCROLLING == 2;
}

void PreferencesDialogContent::portChanged()
{
    auto* config = configuration();
    if (filling || config == nullptr)
        return;

    // A port marked as missing keeps its own name.
    auto chosen = [] (const juce::ComboBox& box)
    {
        auto text = box.getText().trim();
        return text.endsWith (notPresentSuffix) ? text.dropLastCharacters (juce::String (notPresentSuffix).length()) : text;
    };
    const auto inName = chosen (midiIn);
    const auto outName = chosen (midiOut);
    if (inName.isEmpty() || outName.isEmpty() || (inName == config->MIDI_IN && outName == config->MIDI_OUT))
        return;

    config->MIDI_IN = inName;
    config->MIDI_OUT = outName;
    saveAndTell (0);

    // Open ports that are not the chosen ones are closed; the link reopens
    // on the new names at its next retry.
    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
    {
        auto& ports = link->getPorts();
        const auto inOpen = ports.getInputName();
        const auto outOpen = ports.getOutputName();
        if ((inOpen.isNotEmpty() && ! inOpen.contains (inName)) || (outOpen.isNotEmpty() && ! outOpen.contains (outName)))
            link->closePorts();
    }
}

void PreferencesDialogContent::folderEdited (int index)
{
    if (filling)
        return;

    applyFolder (index, folders[(size_t) index].editor.getText().trim());
}

void PreferencesDialogContent::chooseFolder (int index)
{
    FileRequest request;
    request.mode = FileRequest::Mode::folder;
    request.title = folderSettings[index].chooserTitleId != 0
                        ? LanguageStore::textOr (folderSettings[index].chooserTitleId)
                        : juce::String ("Choose the ") + folderSettings[index].label + " folder";
    request.initial = juce::File::isAbsolutePath (folders[(size_t) index].editor.getText())
                        ? juce::File (folders[(size_t) index].editor.getText())
                        : juce::File();

    juce::Component::SafePointer<PreferencesDialogContent> self (this);
    UserInteraction::chooseFile (request,
                                 [self, index] (const juce::File& folder)
                                 {
                                     if (self == nullptr || folder == juce::File())
                                         return;
                                     self->folders[(size_t) index].editor.setText (folder.getFullPathName(), false);
                                     self->applyFolder (index, folder.getFullPathName());
                                 });
}

void PreferencesDialogContent::applyFolder (int index, const juce::String& path)
{
    auto* config = configuration();
    if (config == nullptr)
        return;

    auto& setting = config->*(folderSettings[index].path);

    if (path == setting)
        return;

    if (! juce::File::isAbsolutePath (path))
    {
        UserNotifier::warn ("\"" + path + "\" is not a full folder path.\nThe " + folderSettings[index].label
                                + " folder stays " + setting + ".",
                            "Preferences");
        folders[(size_t) index].editor.setText (setting, false);
        return;
    }

    const auto isLibrary = folderSettings[index].path == &KestrelGlobalConfiguration::BLOCKS_DEFS_DIR;
    auto* library = isLibrary ? KestrelBlockLibraryManager::getInstanceWithoutCreating() : nullptr;

    // The library's unsaved entries are written to the old folder first; when
    // that fails (the user is told) the folder stays, so nothing is lost.
    if (library != nullptr && ! library->saveModifiedEntries())
    {
        folders[(size_t) index].editor.setText (setting, false);
        return;
    }

    setting = path;

    if (folderSettings[index].path == &KestrelGlobalConfiguration::TEMPLATES_DIR)
        config->checkTemplatesDirectory();

    // The library is then read afresh from its new folder.
    if (library != nullptr)
    {
        library->checkLibraryDirectory();
        library->clearEntries();
        library->startScan();
        juce::String fileName;
        int error = 0;
        while (library->scanNext (fileName, error))
        {
        }
    }

    saveAndTell (0);
}

void PreferencesDialogContent::switchChanged (Switch& item)
{
    auto* config = configuration();
    if (filling || config == nullptr)
        return;

    config->*(item.setting) = item.button->getToggleState();

    if (item.setting == &KestrelGlobalConfiguration::SHOW_TOOLTIPS)
        if (auto* app = KestrelEditApplication::getApp())
            app->showTooltips (config->SHOW_TOOLTIPS);

    saveAndTell (0);
}

void PreferencesDialogContent::refreshFromUnit (Refresh& item)
{
    auto* presetManager = PresetManager::getInstanceWithoutCreating();
    if (presetManager == nullptr || refreshRunning != nullptr)
        return;

    for (int i = 0; i < numNamedRequests; ++i)
    {
        if (juce::String (namedRequestRows[i].name) != item.requestName)
            continue;

        refreshRunning = &item;
        for (auto& other : refreshes)
            other.button->setEnabled (false);

        // Each button asks for all it names: the preset names of every bank;
        // the factory, user and scratchpad cab names.
        const auto which = (NamedRequest) i;
        const auto started = which == refreshPresetNames ? presetManager->requestPresetNames (allBanks)
                             : which == refreshCabNames  ? presetManager->requestCabNames (true, true, true)
                                                         : presetManager->requestParamDefinitions();

        // Refused while the same request is under way: nothing waits for it.
        if (! started)
        {
            refreshRunning = nullptr;
            for (auto& other : refreshes)
                other.button->setEnabled (true);
        }
        return;
    }
}

void PreferencesDialogContent::saveAndTell (int code)
{
    if (auto* config = configuration())
        config->save();

    if (code != 0)
    {
        changeCode = code;
        sendSynchronousChangeMessage();
    }
}

//==============================================================================
void PreferencesDialogContent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    auto* presetManager = PresetManager::getInstanceWithoutCreating();

    if (presetManager == nullptr || source != presetManager || refreshRunning == nullptr)
        return;

    // The refresh ends as its request stops: completed, with its end code;
    // failed, with the failure's code (the failure told in its own box).
    for (int i = 0; i < numNamedRequests; ++i)
    {
        if (juce::String (namedRequestRows[i].name) != refreshRunning->requestName)
            continue;

        const auto& request = presetManager->getRequest ((NamedRequest) i);
        if (request.isRunning())
            return;

        if (request.getResult() == ZolStateMachine::resultCompleted)
            if (auto* content = dynamic_cast<KestrelContentComponent*> (getParentComponent()))
                content->showBubbleMessage (LanguageStore::textOr (refreshRunning->doneTextId), -1);

        refreshRunning = nullptr;
        for (auto& other : refreshes)
            other.button->setEnabled (true);
        return;
    }
}

//==============================================================================
void PreferencesDialogContent::paint (juce::Graphics& g)
{
    auto area = getLocalBounds().toFloat();
    g.setColour (backgroundColour);
    g.fillRoundedRectangle (area, 6.0f);
    g.setColour (borderColour);
    g.drawRoundedRectangle (area.reduced (0.5f), 6.0f, 1.0f);

    // A hairline under the tabs.
    g.setColour (accentColour.withAlpha (0.5f));
    g.fillRect (
        juce::Rectangle<float> ((float) margin, 52.0f + (float) tabHeight, (float) (getWidth() - 2 * margin), 1.0f));
}

void PreferencesDialogContent::resized()
{
    layOutPage();
}

// Laid out at its design size and scaled as a whole, so that the lists its
// drop-downs open follow the window's scale as well.
void PreferencesDialogContent::applyScale (bool apply)
{
    applyCommonScale (*this, apply);
}

void PreferencesDialogContent::layOutPage()
{
    if (closeButton == nullptr) // still being built
        return;

    const auto width = getWidth();

    title.setBounds (margin, 12, width - 2 * margin, 28);
    title.setFont (font.withHeight (font.getHeight() * 1.25f).boldened());

    const auto tabWidth = (width - 2 * margin) / (int) tabs.size();
    for (size_t i = 0; i < tabs.size(); ++i)
        tabs[i]->setBounds (margin + (int) i * tabWidth, 52, tabWidth - 4, tabHeight);

    closeButton->setBounds (width - margin - 90, dialogHeight - margin - 28, 90, 28);

    int y = 52 + tabHeight + 16;
    auto row = [&] (juce::Component& label, juce::Component& field)
    {
        label.setBounds (margin, y, labelWidth, rowHeight);
        field.setBounds (margin + labelWidth, y, width - 2 * margin - labelWidth, rowHeight);
        y += rowHeight + rowGap;
    };

    for (auto* label : { &knobTrackingLabel, &mouseWheelLabel, &midiInLabel, &midiOutLabel, &promptsLabel })
        label->setFont (font);
    for (auto* box : { &knobTracking, &mouseWheel, &midiIn, &midiOut })
        box->setTextFont (font);

    switch (page)
    {
        case Page::general:
            row (knobTrackingLabel, knobTracking);
            row (mouseWheelLabel, mouseWheel);
            row (midiInLabel, midiIn);
            row (midiOutLabel, midiOut);
            break;
        case Page::workspace:
            for (auto& field : folders)
            {
                field.label.setFont (font);
                field.label.setBounds (margin, y, labelWidth, rowHeight);
                field.editor.setBounds (margin + labelWidth, y, width - 2 * margin - labelWidth - 96, rowHeight);
                field.browse->setBounds (width - margin - 88, y, 88, rowHeight);
                y += rowHeight + rowGap;
            }
            break;
        case Page::cache:
            for (auto& item : refreshes)
            {
                item.button->setBounds (margin, y, 190, rowHeight + 4);
                item.description.setFont (font);
                item.description.setBounds (margin + 200, y, width - 2 * margin - 200, rowHeight + 4);
                y += rowHeight + 4 + rowGap * 2;
            }
            break;
        case Page::prompts:
            promptsLabel.setBounds (margin, y, width - 2 * margin, rowHeight);
            y += rowHeight + rowGap;
            break;
    }

    for (auto& item : switches)
    {
        if (item.page != page)
            continue;
        item.button->fontSize = juce::jmax (1, item.fontSize);
        item.button->setBounds (margin, y, width - 2 * margin, rowHeight);
        y += rowHeight + 2;
    }
}

void PreferencesDialogContent::FieldBox::setTextFont (const juce::Font& newFont)
{
    textFont = newFont;
    resized();
}

void PreferencesDialogContent::FieldBox::resized()
{
    juce::ComboBox::resized(); // the look-and-feel places the text and sets its font

    for (auto* child : getChildren())
        if (auto* text = dynamic_cast<juce::Label*> (child))
            text->setFont (textFont);
}

bool PreferencesDialogContent::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::escapeKey)
    {
        closeDialog();
        return true;
    }
    return false;
}

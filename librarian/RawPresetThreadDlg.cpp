#include "librarian/RawPresetThreadDlg.h"

#include "app/shell/KestrelCommandTarget.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/ModelRules.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/SlotTexts.h"
#include "model/FileUtils.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/PromptCatalogue.h"
#include "model/RawPreset.h"
#include "model/UserNotifier.h"
#include "skin/engine/UserInteraction.h"
#include "skin/lists/ScrollableListCell.h"
#include "skin/lists/ZolScrollableListCtrl.h"

#include <algorithm>

namespace
{
constexpr int margin = 16;
constexpr int rowHeight = 26;
constexpr int jobButtonGroup = 1;
constexpr int statusHeight = 40; // two lines: a job's hint is a sentence or two

// Files larger than this are no preset record; they are not read into memory.
constexpr juce::int64 largestRecordBytes = 1 << 20;
} // namespace

RawPresetThreadDlg::RawPresetThreadDlg (const SkinManager* skin)
    : LibrarianDialog (skin, "RawPresetThreadDlg", { 212, 90, 600, 460 })
    , list (std::make_unique<ZolScrollableListCtrl> (0, 0, 10, 10))
{
    for (auto* label : { &titleLabel, &jobLabel, &folderLabel, &rangeLabel, &statusLabel })
    {
        LibrarianStyle::styleLabel (*label, label == &titleLabel);
        addAndMakeVisible (*label);
    }

    for (auto* field : { &firstField, &lastField })
    {
        LibrarianStyle::styleEditor (*field);
        field->setInputRestrictions (5, "0123456789");
        field->setJustification (juce::Justification::centred);
        addAndMakeVisible (*field);
    }

    for (auto* button : { &folderButton, &addButton, &clearButton, &startButton, &stopButton, &closeButton })
    {
        LibrarianStyle::styleButton (*button);
        addAndMakeVisible (*button);
    }

    jobLabel.setText ("Job:", juce::dontSendNotification);

    for (auto [button, job] : { std::pair (&datJobButton, exportMode), std::pair (&blocksJobButton, exportBlocksMode),
                                std::pair (&copyJobButton, copyXToYMode) })
    {
        LibrarianStyle::styleButton (*button);
        button->setClickingTogglesState (true);
        button->setRadioGroupId (jobButtonGroup, juce::dontSendNotification);
        button->onClick = [this, job = job] { chooseJob (job); };
        addAndMakeVisible (*button);
    }

    folderButton.onClick = [this] { chooseFolder(); };
    addButton.onClick = [this] { mode == importMode ? chooseImportFiles() : addFromFields(); };
    clearButton.onClick = [this] { clearQueue(); };
    startButton.onClick = [this] { startTransfer(); };
    stopButton.onClick = [this] { stopTransfer(); };
    closeButton.onClick = [this] { requestClose(); };

    LibrarianStyle::styleList (*list, false);
    addAndMakeVisible (*list);
    LibrarianStyle::styleProgress (progressBar);
    progressBar.setPercentageDisplay (false);
    // Shown only while a transfer runs: a visible bar ticks every 30 ms, even
    // inside a hidden dialog.
    addChildComponent (progressBar);

    setFolder (juce::File::getSpecialLocation (juce::File::userDocumentsDirectory));
    folderText.clear();
    resized();
}

RawPresetThreadDlg::~RawPresetThreadDlg()
{
    stopTimer();

    if (worker != nullptr && worker->isThreadRunning())
    {
        worker->signalThreadShouldExit();

        // The worker's waits are bounded; should it still run, it keeps its
        // items and itself rather than touch freed memory.
        if (! worker->waitForThreadToExit (finalWaitMs))
        {
            for (auto& entry : items)
                entry.job.release();
            worker.release();
        }
    }
}

//==============================================================================
PresetManager* RawPresetThreadDlg::getPresetManager() const
{
    return presets != nullptr ? presets : PresetManager::getInstanceWithoutCreating();
}

int RawPresetThreadDlg::getDisplayOffset() const
{
    auto* manager = getPresetManager();
    return manager != nullptr ? manager->getDisplayOffset() : 0;
}

bool RawPresetThreadDlg::open (Mode newMode, const juce::Array<int>& presetNumbers)
{
    if (isTransferRunning())
        return false;

    mode = newMode;
    closeWhenStopped = false;
    // Opened again while it shows: what a job changed still wants refreshing.
    if (! isVisible())
        unitChanged = false;
    // A question left from before is answered for nothing.
    asking = false;
    ++questionRound;
    clearQueue();

    // The folder of the last transfer, when there was one.
    if (auto* configuration = KestrelGlobalConfiguration::getInstanceWithoutCreating())
        setFolder (juce::File (configuration->getMruDirectory()));

    if (mode != importMode)
        queueExport (presetNumbers);
    else if (! presetNumbers.isEmpty())
        firstField.setText (juce::String (presetNumbers.getFirst() + getDisplayOffset()), false);

    showMode();
    setVisible (true);
    toFront (true);
    postChangeCode (codeOpened);
    return true;
}

bool RawPresetThreadDlg::chooseJob (Mode job)
{
    if (isTransferRunning() || (mode == importMode) != (job == importMode))
        return false;

    // The same job again keeps what the last run reported.
    if (job == mode)
        return true;

    // What the last job did with the queue says nothing about this one.
    for (auto& entry : items)
    {
        entry.job->setState (stateQueued);
        entry.job->setFailureReason ({});
    }

    mode = job;
    showMode();
    return true;
}

void RawPresetThreadDlg::showMode()
{
    const bool import = mode == importMode;
    const char* title = "Import Presets from Files";
    const char* hint = "Add the preset files and the first slot, then Start.";

    switch (mode)
    {
        case exportMode:
            title = "Export Presets to Files";
            hint = "Choose the presets and the folder, then Start.";
            break;
        case exportBlocksMode:
            title = "Export Blocks to Files";
            hint = "Choose the presets and the folder, then Start: each preset's blocks go to a folder of their own.";
            break;
        case copyXToYMode:
            title = "Copy X to Y";
            hint = "Choose the presets, then Start: each block's X settings are copied into its Y settings, and every "
                   "chosen preset is saved on the Kestrel.";
            break;
        case importMode: break;
    }

    titleLabel.setText (title, juce::dontSendNotification);
    statusLabel.setText (hint, juce::dontSendNotification);
    rangeLabel.setText (import ? "First preset slot:" : "Presets from / to:", juce::dontSendNotification);
    addButton.setButtonText (import ? "Add Files..." : "Add");
    lastField.setVisible (! import);

    for (auto* c : std::initializer_list<juce::Component*>{ &jobLabel, &datJobButton, &blocksJobButton, &copyJobButton })
        c->setVisible (! import);

    datJobButton.setToggleState (mode == exportMode, juce::dontSendNotification);
    blocksJobButton.setToggleState (mode == exportBlocksMode, juce::dontSendNotification);
    copyJobButton.setToggleState (mode == copyXToYMode, juce::dontSendNotification);
    folderButton.setVisible (usesFolder());
    folderLabel.setVisible (usesFolder());
    resized();
}

void RawPresetThreadDlg::setFolder (const juce::File& newFolder)
{
    folder = newFolder;
    folderText = newFolder.getFullPathName();
    // Shown with its control characters escaped, as the browser's folder line.
    folderLabel.setText ("Folder: " + printableName (folderText), juce::dontSendNotification);
    folderLabel.setTooltip (printableName (folderText));
}

void RawPresetThreadDlg::chooseFolder()
{
    FileRequest request;
    request.mode = FileRequest::Mode::folder;
    request.title = mode == importMode ? "Folder of the preset files" : "Folder for the exported presets";
    request.initial = folder;
    juce::Component::SafePointer<RawPresetThreadDlg> self (this);
    UserInteraction::chooseFile (request,
                                 [self] (juce::File chosen)
                                 {
                                     if (self != nullptr && chosen != juce::File())
                                         self->setFolder (chosen);
                                 });
}

//==============================================================================
void RawPresetThreadDlg::queueExport (const juce::Array<int>& presetNumbers)
{
    if (isTransferRunning())
        return;

    auto* manager = getPresetManager();
    const int count = manager != nullptr ? getPresetCount (manager->getFirmware()) : 0;

    for (auto number : presetNumbers)
    {
        // A preset is queued once, however often it is added.
        if (number < 0 || number >= count
            || std::any_of (items.begin(), items.end(),
                            [number] (const Entry& e) { return e.job->getPresetIndex() == number; }))
            continue;

        Entry entry;
        entry.job = std::make_unique<RawPresetJobItem>();
        entry.job->setPresetIndex ((juce::uint16) number);
        entry.job->setState (stateQueued);
        manager->getPresetName (number, entry.name);
        entry.name = entry.name.trim();
        // What the copy's progress shows: the preset as the librarian names it.
        if (entry.name.isNotEmpty())
            entry.job->setLabel (slotNumber (number) + " " + entry.name);
        items.push_back (std::move (entry));
    }

    refreshList();
}

int RawPresetThreadDlg::queueImport (const juce::Array<juce::File>& files, int firstSlot)
{
    if (isTransferRunning())
        return 0;

    auto* manager = getPresetManager();
    const int count = manager != nullptr ? getPresetCount (manager->getFirmware()) : 0;
    int slot = firstSlot, queued = 0;
    juce::StringArray refused;

    for (auto& file : files)
    {
        juce::MemoryBlock data;
        RawPreset record;

        if (readRegularFile (file, largestRecordBytes, data) != FileReadResult::read || ! record.readFrom (data))
        {
            refused.add (file.getFullPathName());
            continue;
        }

        if (slot < 0 || slot >= count)
            break;

        Entry entry;
        entry.job = std::make_unique<RawPresetJobItem>();
        entry.job->setRecordData (data);
        entry.job->setPresetIndex ((juce::uint16) slot++);
        entry.job->setLabel (file.getFileNameWithoutExtension());
        entry.job->setState (stateQueued);
        entry.name = record.name.trimEnd();
        entry.fileName = file.getFileName();
        items.push_back (std::move (entry));
        ++queued;
    }

    if (! refused.isEmpty())
        UserNotifier::warn (notARecordText + refused.joinIntoString ("\n"));

    if (queued < files.size() - refused.size())
        UserNotifier::warn ("Only " + juce::String (queued)
                            + " of the files fit: the Kestrel has no preset slot for the others.");

    refreshList();
    return queued;
}

void RawPresetThreadDlg::clearQueue()
{
    if (isTransferRunning())
        return;

    worker.reset();
    items.clear();
    progress = 0.0;
    refreshList();
}

void RawPresetThreadDlg::addFromFields()
{
    auto* manager = getPresetManager();
    const int count = manager != nullptr ? getPresetCount (manager->getFirmware()) : 0;

    if (count <= 0)
    {
        UserNotifier::warn (notConnectedText);
        return;
    }

    if (firstField.isEmpty())
    {
        UserNotifier::warn ("Enter the number of the first preset to add.");
        return;
    }

    const int offset = getDisplayOffset();
    const int first = firstField.getText().getIntValue() - offset;
    int last = lastField.isEmpty() ? first : lastField.getText().getIntValue() - offset;
    const auto presetsText = "The Kestrel's presets are " + slotNumber (0) + " to " + slotNumber (count - 1) + ".";

    if (last < first)
    {
        UserNotifier::warn ("Nothing was added: the range runs down from " + slotNumber (first) + " to "
                            + slotNumber (last) + ". Enter the lower number first.");
        return;
    }

    if (first < 0 || first >= count)
    {
        UserNotifier::warn ("Nothing was added: there is no preset " + slotNumber (first) + ".\n" + presetsText);
        return;
    }

    const bool cut = last >= count;
    last = juce::jmin (last, count - 1);
    juce::Array<int> numbers;

    for (int n = first; n <= last; ++n)
        numbers.add (n);

    queueExport (numbers);

    if (cut)
        UserNotifier::inform ("The range was cut at the last preset, " + slotNumber (last) + ".\n" + presetsText);
}

void RawPresetThreadDlg::chooseImportFiles()
{
    FileRequest request;
    request.mode = FileRequest::Mode::openMultiple;
    request.title = "Preset files to import";
    request.initial = folder;
    request.patterns = "*.dat";
    const int firstSlot = firstField.getText().getIntValue() - getDisplayOffset();
    juce::Component::SafePointer<RawPresetThreadDlg> self (this);
    UserInteraction::chooseFiles (request,
                                  [self, firstSlot] (juce::Array<juce::File> files)
                                  {
                                      if (self == nullptr || files.isEmpty())
                                          return;

                                      self->setFolder (files.getFirst().getParentDirectory());
                                      self->queueImport (files, firstSlot);
                                  });
}

//==============================================================================
bool RawPresetThreadDlg::startTransfer()
{
    if (isTransferRunning() || asking || items.empty())
        return false;

    auto* manager = getPresetManager();

    if (manager == nullptr || manager->getLink() == nullptr || ! manager->getLink()->isConnected()
        || ! manager->isFirmwareValid())
    {
        UserNotifier::warn (notConnectedText);
        return false;
    }

    // Held by the user's pause, nothing would reach the unit until resumed.
    if (manager->getLink()->isHeld())
    {
        UserNotifier::inform (KestrelCommandTarget::communicationsPausedText());
        return false;
    }

    if (mode != importMode && usesFolder() && ! folder.isDirectory() && ! folder.createDirectory())
    {
        UserNotifier::warn ("Unable to create the folder:\n" + folder.getFullPathName());
        return false;
    }

    // Nothing is overwritten unasked: the slots an import replaces, the
    // presets a copy saves, and the current preset's unsaved changes, which
    // any job loses since it loads other presets.
    juce::StringArray questions;
    const int count = (int) items.size();

    auto slotName = [manager] (int slot)
    {
        juce::String name;
        manager->getPresetName (slot, name);
        return name;
    };
    const int first = items.front().job->getPresetIndex(), last = items.back().job->getPresetIndex();
    const auto firstEntry = slotEntryText (slotNumber (first), slotName (first));
    const auto lastEntry = slotEntryText (slotNumber (last), slotName (last));

    if (mode == importMode)
    {
        juce::StringArray names, fileNames;
        bool anyHeld = false;
        for (auto& entry : items)
        {
            names.add (entry.name.isNotEmpty() ? entry.name : entry.job->getLabel());
            fileNames.add (entry.fileName);
            // A slot whose name is not read yet may hold anything.
            const int slot = entry.job->getPresetIndex();
            anyHeld = anyHeld || ! isEmptySlotName (slotName (slot)) || ! manager->arePresetNamesLoaded (slot, 1);
        }
        questions.add (replaceSlotsQuestion (count, false, firstEntry, lastEntry,
                                             sentItemsText (false, names, fileNames), anyHeld));
    }
    else if (mode == copyXToYMode)
    {
        questions.add ("Copy X to Y saves " + slotRangeText (count, false, firstEntry, lastEntry)
                       + (count == 1 ? ": in it" : ": in each")
                       + ", every block's Y settings are replaced by its X settings.\nGo on?");
    }

    if (manager->isPresetModified())
        questions.add (promptText (PROMPT_PRESET_MODIFIED));

    askInTurn (questions);
    return true;
}

void RawPresetThreadDlg::askInTurn (juce::StringArray questions)
{
    if (questions.isEmpty())
    {
        waitForEditor();
        return;
    }

    Notice notice;
    notice.icon = Notice::Icon::question;
    notice.title = titleLabel.getText();
    notice.message = questions[0];
    notice.buttons = Notice::Buttons::yesNo;
    notice.over = this;
    questions.remove (0);
    asking = true;
    updateControls();

    juce::Component::SafePointer<RawPresetThreadDlg> self (this);
    notice.onResult = [self, questions, round = questionRound] (int result)
    {
        if (self == nullptr || self->questionRound != round)
            return;

        self->asking = false;

        // Closed meanwhile, or answered No: nothing starts.
        if (result != 1 || ! self->isVisible() || self->items.empty())
        {
            self->statusLabel.setText (nothingStartedText, juce::dontSendNotification);
            self->updateControls();
            return;
        }

        self->askInTurn (questions);
    };
    UserNotifier::show (std::move (notice));
}

void RawPresetThreadDlg::waitForEditor()
{
    // The worker drives the unit by itself: what the editor still has under
    // way with the unit (a recall after the last transfer, say) ends first.
    waitingForEditor = true;
    waitStartedMs = juce::Time::getMillisecondCounter();
    statusLabel.setText ("Waiting for the Kestrel...", juce::dontSendNotification);
    postChangeCode (codeTransferStarted);
    startTimer (pollIntervalMs);
    updateControls();
    timerCallback();
}

bool RawPresetThreadDlg::isEditorIdle() const
{
    auto* manager = getPresetManager();

    for (int i = 0; manager != nullptr && i < manager->getNumRequests(); ++i)
        if (manager->getRequestAt (i)->isRunning())
            return false;

    return true;
}

void RawPresetThreadDlg::beginJob()
{
    waitingForEditor = false;
    auto* manager = getPresetManager();

    if (manager == nullptr || manager->getLink() == nullptr || ! manager->getLink()->isConnected())
    {
        stopTimer();
        statusLabel.setText (notConnectedText, juce::dontSendNotification);
        updateControls();
        if (runEnded())
            close();
        return;
    }

    const auto& firmware = manager->getFirmware();
    RawPresetThread::DeviceDescription description{};
    description[0] = firmware.major;
    description[1] = firmware.minor;
    description[7] = firmware.model != 0 ? firmware.model : currentSysExModel.load();

    juce::Array<RawPresetJobItem*> jobs;
    // Each row tells this run's end: no reason or move of the last run stays.
    for (auto& entry : items)
    {
        entry.job->setState (stateQueued);
        entry.job->setFailureReason ({});
        entry.job->setMove ({});
        jobs.add (entry.job.get());
    }

    worker = std::make_unique<RawPresetThread> (description, manager->getLink());
    const auto kind = mode == exportMode         ? RawPresetThread::jobExportPresets
                      : mode == exportBlocksMode ? RawPresetThread::jobExportBlocks
                      : mode == copyXToYMode     ? RawPresetThread::jobCopyXToY
                                                 : RawPresetThread::jobImport;
    lastProgressNumber = 0;
    progress = 0.0;
    stopRequested = false;
    statusLabel.setText ("Initializing...", juce::dontSendNotification);
    // From here on the worker loads other presets on the unit.
    unitChanged = worker->startJob (kind, jobs, (juce::uint16) getDisplayOffset(), folder.getFullPathName())
                  || unitChanged;
    refreshList();
}

void RawPresetThreadDlg::stopTransfer()
{
    if (! isTransferRunning())
        return;

    if (waitingForEditor)
    {
        waitingForEditor = false;
        stopTimer();
        statusLabel.setText ("Stopped before anything was sent.", juce::dontSendNotification);
        updateControls();

        if (closeWhenStopped)
            close();
        return;
    }

    worker->signalThreadShouldExit();
    stopRequested = true;
    statusLabel.setText ("Stopping after the current step...", juce::dontSendNotification);
}

bool RawPresetThreadDlg::isTransferRunning() const
{
    return waitingForEditor || (worker != nullptr && (worker->isThreadRunning() || isTimerRunning()));
}

void RawPresetThreadDlg::timerCallback()
{
    if (! waitingForEditor)
    {
        poll();
        return;
    }

    // A preset manager that never comes to rest does not hold the transfer up for ever.
    if (isEditorIdle() || juce::Time::getMillisecondCounter() - waitStartedMs > editorWaitLimitMs)
        beginJob();
}

void RawPresetThreadDlg::poll()
{
    juce::String text;
    int number = -1;
    worker->getProgress (text, number);

    if (number < 0 && ! worker->isThreadRunning())
    {
        finished();
        return;
    }

    if (text.isNotEmpty() && ! worker->threadShouldExit())
        statusLabel.setText (text, juce::dontSendNotification);

    lastProgressNumber = number;
    progress = items.empty() ? 0.0 : (double) number / (double) items.size();
    refreshList();
}

void RawPresetThreadDlg::finished()
{
    stopTimer();
    int done = 0, failed = 0;

    for (auto& entry : items)
    {
        auto state = entry.job->getState();
        done += state == RawPresetJobItem::stateDone ? 1 : 0;
        failed += state == RawPresetJobItem::stateFailed ? 1 : 0;
    }

    const char* what = mode == exportMode         ? "Exported: "
                       : mode == exportBlocksMode ? "Blocks exported: "
                       : mode == copyXToYMode     ? "X copied to Y: "
                                                  : "Imported: ";
    juce::String summary;
    if (stopRequested)
        summary << "Stopped: " << done << " of " << (int) items.size() << " presets";
    else
    {
        summary << what << done << " of " << (int) items.size();
        if (mode == exportBlocksMode || mode == copyXToYMode)
            summary << " presets";
        if (failed > 0)
            summary << ", failed: " << failed;
    }
    statusLabel.setText (summary, juce::dontSendNotification);
    progress = items.empty() ? 0.0 : (double) done / (double) items.size();
    refreshList();

    // Nothing is left to stop: a Close that asked about it closes now.
    if (runEnded() || closeWhenStopped)
        close();
}

//==============================================================================
void RawPresetThreadDlg::requestClose()
{
    if (! isTransferRunning())
    {
        close();
        return;
    }

    juce::Component::SafePointer<RawPresetThreadDlg> self (this);
    askToCloseWhileRunning (closeWhileRunningText,
                            [self] (bool ok)
                            {
                                if (self == nullptr || ! ok)
                                    return;

                                if (! self->isTransferRunning())
                                {
                                    self->close();
                                    return;
                                }

                                self->closeWhenStopped = true;
                                self->stopTransfer();
                            });
}

void RawPresetThreadDlg::close()
{
    closeWhenStopped = false;

    if (! isVisible())
        return;

    setVisible (false);
    postChangeCode (codeClosed);
}

//==============================================================================
juce::uint32 RawPresetThreadDlg::getItemState (int index) const
{
    return juce::isPositiveAndBelow (index, (int) items.size()) ? items[(size_t) index].job->getState() : 0;
}

int RawPresetThreadDlg::getItemPresetNumber (int index) const
{
    return juce::isPositiveAndBelow (index, (int) items.size()) ? items[(size_t) index].job->getPresetIndex() : -1;
}

juce::String RawPresetThreadDlg::getItemText (int index) const
{
    if (! juce::isPositiveAndBelow (index, (int) items.size()))
        return {};

    auto& entry = items[(size_t) index];
    return slotNumber (entry.job->getPresetIndex()) + " " + describe (entry);
}

juce::String RawPresetThreadDlg::slotNumber (int presetNumber) const
{
    return presetSlotNumber (presetNumber, getDisplayOffset());
}

juce::String RawPresetThreadDlg::describe (const Entry& entry) const
{
    auto text = entry.name.isNotEmpty() ? entry.name : entry.job->getLabel();
    const auto state = entry.job->getState();

    if (state == RawPresetJobItem::stateDone)
        return text + "  -  Done";

    if (state == RawPresetJobItem::stateFailed)
    {
        auto reason = entry.job->getFailureReason();

        // The unit went to another preset under the job: nothing was saved
        // over the slot (or written to a file) from it, unless it went there
        // as the save reached it, which stored that preset in the slot.
        if (const auto move = entry.job->getMove(); move.preset >= 0 || move.scene >= 0)
        {
            const auto name = move.name.trim();
            const auto slot = slotNumber (entry.job->getPresetIndex());
            const bool writes = mode == importMode || mode == copyXToYMode;
            const auto scene = "Scene " + juce::String (move.scene + 1);
            // The item's own slot reported again: the unit reloaded it.
            const bool reloaded = move.scene < 0 && move.preset == entry.job->getPresetIndex();
            const auto held = move.scene >= 0 ? slot + " was saved in " + scene
                              : reloaded      ? slot + " was left as it was"
                                              : slot + " now holds that preset";
            reason = (reloaded ? "The Kestrel reloaded " : "The Kestrel changed to ")
                     + (move.scene >= 0 ? scene
                                        : slotNumber (move.preset)
                                              + (isEmptySlotName (name) ? juce::String() : " " + printableName (name).quoted()))
                     + (move.asSaved ? " as it was saved: " + held
                        : writes     ? " before it was saved: " + slot + " was left as it was"
                                     : " while it was read: no file was written for it");
        }

        return text + "  -  Failed" + (reason.isNotEmpty() ? ": " + reason : juce::String());
    }

    // The copy reports one position past the last item while it unmutes the unit.
    if (worker != nullptr && worker->isThreadRunning() && juce::isPositiveAndBelow (lastProgressNumber, (int) items.size())
        && &entry == &items[(size_t) lastProgressNumber])
        return text + "  -  Working...";

    return text;
}

void RawPresetThreadDlg::refreshList()
{
    const bool sameItems = listRecords.size() == items.size() && list->getNumCells() >= (int) items.size()
                           && list->getWidth() == listWidth;
    listRecords.resize (items.size());
    juce::Array<ScrollableListItem*> records;

    for (size_t i = 0; i < items.size(); ++i)
    {
        auto& entry = items[i];
        auto& record = listRecords[i];
        record.number = slotNumber (entry.job->getPresetIndex()) + "  ";
        record.name = describe (entry);
        record.tooltip = record.name;
        record.itemId = (int) i + 1;
        record.dragEnabled = false;
        record.acceptsFiles = false;
        record.italic = entry.job->getState() == RawPresetJobItem::stateFailed;
        records.add (&record);

        // While the same items are shown, the cells are updated in place:
        // the list keeps its scroll position and the keyboard focus stays.
        if (auto* cell = sameItems ? list->getCell ((int) i) : nullptr)
        {
            cell->setNumberAndName (record.number, record.name);
            cell->setItalic (record.italic);
            cell->setTooltip (record.tooltip);
        }
    }

    if (! sameItems)
    {
        list->setItems (records);
        listWidth = list->getWidth();
    }

    // The list follows the item in progress.
    if (worker != nullptr && worker->isThreadRunning() && juce::isPositiveAndBelow (lastProgressNumber, (int) items.size()))
        list->scrollCellIntoView (list->getCell (lastProgressNumber));

    updateControls();
    progressBar.repaint();
}

void RawPresetThreadDlg::updateControls()
{
    const bool running = isTransferRunning() || asking;
    startButton.setEnabled (! running && ! items.empty());
    stopButton.setEnabled (isTransferRunning());
    progressBar.setVisible (running);
    for (auto* c : std::initializer_list<juce::Component*>{ &folderButton, &addButton, &clearButton, &firstField,
                                                            &lastField, &datJobButton, &blocksJobButton,
                                                            &copyJobButton })
        c->setEnabled (! running);
}

//==============================================================================
void RawPresetThreadDlg::resized()
{
    auto area = getLocalBounds().reduced (margin);
    titleLabel.setBounds (area.removeFromTop (rowHeight + 4));
    area.removeFromTop (6);

    if (jobLabel.isVisible())
    {
        auto jobRow = area.removeFromTop (rowHeight);
        jobLabel.setBounds (jobRow.removeFromLeft (140));
        for (auto* button : { &datJobButton, &blocksJobButton, &copyJobButton })
        {
            button->setBounds (jobRow.removeFromLeft (128));
            jobRow.removeFromLeft (8);
        }
        area.removeFromTop (8);
    }

    if (folderButton.isVisible())
    {
        auto folderRow = area.removeFromTop (rowHeight);
        folderButton.setBounds (folderRow.removeFromRight (100));
        folderLabel.setBounds (folderRow.withTrimmedRight (8));
        area.removeFromTop (8);
    }

    auto rangeRow = area.removeFromTop (rowHeight);
    rangeLabel.setBounds (rangeRow.removeFromLeft (140));
    firstField.setBounds (rangeRow.removeFromLeft (64));
    rangeRow.removeFromLeft (8);
    if (lastField.isVisible())
    {
        lastField.setBounds (rangeRow.removeFromLeft (64));
        rangeRow.removeFromLeft (8);
    }
    addButton.setBounds (rangeRow.removeFromLeft (100));
    clearButton.setBounds (rangeRow.removeFromRight (80));
    area.removeFromTop (8);

    auto buttons = area.removeFromBottom (rowHeight + 4);
    closeButton.setBounds (buttons.removeFromRight (90));
    buttons.removeFromRight (8);
    stopButton.setBounds (buttons.removeFromRight (90));
    buttons.removeFromRight (8);
    startButton.setBounds (buttons.removeFromRight (90));
    area.removeFromBottom (8);

    progressBar.setBounds (area.removeFromBottom (14));
    area.removeFromBottom (4);
    statusLabel.setBounds (area.removeFromBottom (statusHeight));
    area.removeFromBottom (4);
    list->setBounds (area);
    LibrarianStyle::fitCellsToWidth (*list);
    refreshList();
}

#pragma once

#include "app/dialogs/ParamDialogFrame.h"
#include "skin/controls/ParamControlUtilities.h"

#include <memory>
#include <vector>

class EffectLayoutManager;
class EffectManager;
class KestrelControlManager;
class ZOLEffectParam;

// The sequencer dialog: the 32 steps of the controllers block's step
// sequencer, each a vertical slider with a value readout, and the other
// controls of the block's "Sequencer" page. The effect editor opens it and
// listens to every control, so that edits travel the editor's "Set Param"
// road and the unit's values come back through the editor (findControls).
//
// Steps 1 to 16 are parameters 37 to 52, steps 17 to 32 parameters 55 to 70.
class SequencerContent : public ParamDialogFrame, public juce::ChangeListener, public ParamControlUtilities
{
public:
    static constexpr int blockId = 141;
    static constexpr int numSteps = 32;
    static constexpr int sliderType = 15, readoutType = 16;

    // The parameter of step 0..31; -1 outside.
    static int getStepParamId (int step);

    // Any manager may be null: then nothing is built.
    SequencerContent (const SkinManager* skin, EffectManager* effectManager, EffectLayoutManager* layoutManager,
                      KestrelControlManager* controlManager);
    ~SequencerContent() override;

    // Builds and shows the controls; the listener hears every one of them.
    void open (juce::ChangeListener* listener);
    void close() override;

    // Appends the controls of the parameter (every control for 65535 or
    // more) when the block is the controllers block.
    void findControls (int block, int paramId, juce::Array<ZOLEffectParam*>& out) const;
    bool containsControl (const juce::Component* component) const;

    int getNumControls() const { return (int) controls.size(); }
    ZOLEffectParam* getControl (int index) const;

    // While communication with the unit is paused the controls are disabled.
    void setCommunicationPaused (bool paused);

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void applyScale (bool apply) override;

protected:
    EffectManager* getEffectManagerForPage() const override { return effects; }
    EffectLayoutManager* getLayoutManagerForPage() const override { return layouts; }
    KestrelControlManager* getControlManagerForPage() const override { return controlManager; }

private:
    void buildControls();
    void addControl (std::unique_ptr<ZOLEffectParam> control);
    // A step's slider or readout when the templates make none of that kind.
    std::unique_ptr<ZOLEffectParam> makeStepControl (const EditorControl& item);

    EffectManager* effects = nullptr;
    EffectLayoutManager* layouts = nullptr;
    KestrelControlManager* controlManager = nullptr;
    juce::ChangeListener* controlListener = nullptr;

    int sliderX = 0, sliderY = 0, sliderXOffset = 0;
    juce::Point<int> fieldEven, fieldOdd;
    int fieldXOffset = 0;

    std::vector<std::unique_ptr<ZOLEffectParam>> controls;
    // Closed controls, hidden and deaf, until the message that closed them is handled.
    std::vector<std::unique_ptr<ZOLEffectParam>> retiredControls;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SequencerContent)
};

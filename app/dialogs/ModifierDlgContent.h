#pragma once

#include "app/dialogs/ParamDialogFrame.h"
#include "skin/controls/ParamControlUtilities.h"

#include <array>
#include <memory>
#include <vector>

class EffectLayoutManager;
class EffectManager;
class KestrelControlManager;
class ModifierRecord;
class PresetManager;
class SysExRequest;
class ZOLEffectParam;
class ZOLGraphComponent;

// The modifier dialog: edits the modifier (controller assignment) that drives
// one parameter of one block. Its controls are those of the layout
// "ModifierDlg" (effect type 0xFFFF), one per modifier field (0 source,
// 1 min, 2 max, 3 start, 4 mid, 5 end, 6 slope, 7 damping, 10 auto engage,
// 11 PC reset, 12 off value, 13 scale, 14 offset); the curve the modifier
// applies is drawn from its settings.
//
// A value the user sets goes out with "Set Modifier"; the unit's answer
// (end code 91) is shown, and a value that the preset manager refused while
// another was under way is sent again once the running one has ended.
// Choosing a source where there was none (or none where there was one)
// reads every field again ("ModifierId Query Values"). Without a source
// only the Source control is enabled.
//
// While open the dialog asks the unit to report the modifier's position
// (SYSEX_BROADCAST_MODIFIER); closing stops the reports.
class ModifierDlgContent : public ParamDialogFrame, public juce::ChangeListener, public ParamControlUtilities
{
public:
    static constexpr int curvePoints = 128;
    static constexpr int fieldSource = 0, fieldMin = 1, fieldMax = 2, fieldStart = 3, fieldMid = 4, fieldEnd = 5,
                         fieldSlope = 6, fieldAutoEngage = 10, fieldPcReset = 11, fieldScale = 13, fieldOffset = 14;
    static constexpr int layoutEffectType = 0xFFFF;
    static constexpr const char* minMaxTooltip =
        "Min and Max can not be edited through direct entry.\nTheir range of values are determined by the "
        "parameter being modified.\n\nPlease use the knob below to change the value.";

    struct HeldEdit
    {
        juce::uint16 blockId = 0; // 0: none
        juce::uint16 paramId = 0;
        juce::uint16 field = 0;
        juce::uint16 value = 0;
    };

    // Any manager may be null: then nothing is built, read or sent from it.
    // Listens to the preset manager for as long as it lives.
    ModifierDlgContent (const SkinManager* skin, PresetManager* presetManager, EffectManager* effectManager,
                        EffectLayoutManager* layoutManager, KestrelControlManager* controlManager);
    ~ModifierDlgContent() override;

    // Shows the dialog for the parameter of the block, builds its controls
    // and shows the unit's settings; posts code 1.
    void open (const juce::String& dialogTitle, juce::uint16 blockId, juce::uint16 secondId, juce::uint16 paramId);
    void close() override;

    juce::uint16 getBlockId() const { return blockId; }
    juce::uint16 getParamId() const { return paramId; }
    bool hasSource() const { return sourceSet; }
    const HeldEdit& getHeldEdit() const { return heldEdit; }
    const float* getCurve() const { return curve.data(); }
    int getNumControls() const { return (int) controls.size(); }
    ZOLEffectParam* getControl (int index) const;
    // The first control of the modifier field, or null.
    ZOLEffectParam* findControl (int field) const;
    ZOLGraphComponent* getGraph() const { return graph.get(); }

    // The curve of a modifier's settings (as the unit displays them: start,
    // mid, end and slope in percent, scale as a factor, offset in percent);
    // a missing record gives the flat curve at 0.5.
    static void computeCurve (const ModifierRecord* record, float (&points)[curvePoints]);

    // While communication with the unit is paused the controls are disabled.
    void setCommunicationPaused (bool paused);

    // The choices of the source, auto-engage and PC-reset fields.
    bool getValueStrings (int blockId, int paramId, juce::StringArray& shortTexts, juce::StringArray& names,
                          juce::Array<juce::uint16>& values, juce::Array<juce::uint8>& flags) override;

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void applyScale (bool apply) override;

protected:
    EffectManager* getEffectManagerForPage() const override { return effects; }
    EffectLayoutManager* getLayoutManagerForPage() const override { return layouts; }
    DeviceManager* getDeviceManagerForPage() const override;
    KestrelControlManager* getControlManagerForPage() const override { return controlManager; }

private:
    void buildControls();
    void deleteControls();
    void refreshValues();
    void updateEnabling (const ModifierRecord* record);
    void updateCurveAndBroadcast (const ModifierRecord* record);
    void handleReply();
    void handleControl (ZOLEffectParam& control);
    void setAllEnabled (bool enabled);
    void sendSetModifier (juce::uint16 field, juce::uint16 value);
    ModifierRecord* findRecord() const;
    // SYSEX_BROADCAST_MODIFIER with the two bytes; the requests sent are kept
    // until the dispatcher is done with them, then deleted.
    void sendBroadcast (juce::uint8 hasSource, juce::uint8 modifierIndex);
    void releaseBroadcasts (bool all);

    PresetManager* presets = nullptr;
    EffectManager* effects = nullptr;
    EffectLayoutManager* layouts = nullptr;
    KestrelControlManager* controlManager = nullptr;

    juce::uint16 blockId = 0, secondId = 0, paramId = 0;
    juce::uint16 currentSourceId = 0;
    bool sourceSet = false;
    bool paused = false;
    HeldEdit heldEdit;
    std::array<float, curvePoints> curve{};

    std::unique_ptr<juce::GroupComponent> frame;
    std::unique_ptr<ZOLGraphComponent> graph;
    std::vector<std::unique_ptr<ZOLEffectParam>> controls;
    std::vector<SysExRequest*> broadcasts;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModifierDlgContent)
};

#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class DeviceManager;
class DropDownLargeList;
class EditorControl;
class GlobalConfiguration;
class LanguageStore;
class EffectManager;
class EffectLayoutManager;
class KestrelControlManager;
class PageLayoutRecord;
class ZOLEffectParam;

// What every page that shows unit parameters shares: the choice lists of
// drop-downs and multi-position switches, with the program's own vocabulary
// for some parameters, numbered and written in title case, and the range
// and label a parameter control is given.
//
// The managers are reached through virtual accessors (the running program's
// singletons by default) so that a page can be built against others.
class ParamControlUtilities
{
public:
    ParamControlUtilities() = default;
    virtual ~ParamControlUtilities() = default;

    // Fills three parallel lists for a choice control of the block's
    // parameter: the numbers shown before the entries, the entry texts and
    // the 16-bit values the entries stand for. flags is passed on untouched.
    // False (lists untouched) when a manager or the parameter's definition is
    // missing.
    virtual bool getValueStrings (int blockId, int paramId, juce::StringArray& shortTexts, juce::StringArray& names,
                                  juce::Array<juce::uint16>& values, juce::Array<juce::uint8>& flags);

    // The label a parameter shows in the block's present state, when it is
    // not the layout's own; true when label was replaced.
    bool getAltLabel (int blockId, int paramId, juce::String& label);

    // The range a control of the parameter covers: the definition's minimum
    // and maximum, times its display scale for every kind but B_INT. False
    // (0 to 0, kind 0) without a definition.
    bool getParamRange (int blockId, int paramId, int& kind, float& minimum, float& maximum);

    // Turns one item of a page layout into a widget made from the control
    // templates, placed on the page's grid and bound to its parameter, with
    // its choices filled in. blockId is the page's block (an item may name
    // another); inMixer places it in the page's mixer section. Null for a
    // spacer, an unknown type, a kind whose template the skin lacks, or
    // when a manager is missing. The caller owns the widget (every one is a
    // juce::Component).
    std::unique_ptr<ZOLEffectParam> createControl (int blockId, const EditorControl* item,
                                                   const PageLayoutRecord* pageLayout, bool inMixer);

    // The cab choices of a Cab block (parameters 0 and 2) become a grouped
    // large list: factory, user and scratchpad cabs, as many of each as the
    // unit has (none until its cab tables are known). Others are left alone.
    void setupCabDropDown (int effectType, int paramId, DropDownLargeList& dropDown);

    // The numbers 1..count, left-padded with "0" to the width of count, each
    // followed by two blanks.
    static juce::StringArray makeShortTexts (int count);

    // What the user's settings ask of the controls: how a knob follows a drag
    // (0 linear, 1 rotary) and whether the wheel turns the other way. A
    // setting out of range gives the default.
    static int knobDragModeOf (const GlobalConfiguration& settings);
    static bool isWheelReversed (const GlobalConfiguration& settings);

protected:
    virtual EffectManager* getEffectManagerForPage() const;
    virtual EffectLayoutManager* getLayoutManagerForPage() const;
    virtual DeviceManager* getDeviceManagerForPage() const;
    virtual KestrelControlManager* getControlManagerForPage() const;
    // The user's settings (knob tracking, wheel direction) and the message
    // catalogue; without them the controls keep their defaults and the
    // catalogue's English texts are used.
    virtual const GlobalConfiguration* getConfigurationForPage() const;
    virtual const LanguageStore* getLanguageStoreForPage() const;

private:
    bool keepsUnitOrder (int effectType, int paramId) const;
    int findStoredValue (int blockId, int paramId, juce::String* text = nullptr, int* lower = nullptr,
                         int* upper = nullptr) const;
};

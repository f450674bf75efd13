#pragma once

#include "model/Singleton.h"
#include "skin/controls/ControlManager.h"
#include "skin/lists/DropDownLargeList.h"

#include <memory>

// The unit's control templates: the common ones plus two kinds of toggle and
// two kinds of track slider that its effect pages need, and the large-list
// drop-down.
class KestrelControlManager : public ControlManager, public Singleton<KestrelControlManager>
{
public:
    KestrelControlManager() = default;
    ~KestrelControlManager() override = default;

    // The common templates, then "toggle", "toggleSingleLine",
    // "tristate_slider" and "bistate_slider" (names compared exactly; a later
    // Widget of the same name reads over an earlier one).
    void loadFromSkin (const SkinManager* skin, const juce::XmlElement* skinRoot) override;

    // Field size 0..3, extra button 0 none / 1 modifier / 2 plus, label
    // placement as the drop-down takes it. Nothing before a skin is known.
    std::unique_ptr<DropDownLargeList> createDropDownLargeList (int fieldSize, int extraButtonMode, int labelPlacement,
                                                                juce::Component* owner,
                                                                const juce::String& labelText) const;

    const ToggleStyle& getToggleStyle() const { return toggleStyle; }
    const ToggleStyle& getToggleSingleLineStyle() const { return toggleSingleLineStyle; }
    const TrackSliderStyle& getTriStateSliderStyle() const { return triStateSliderStyle; }
    const TrackSliderStyle& getBiStateSliderStyle() const { return biStateSliderStyle; }

private:
    ToggleStyle toggleStyle, toggleSingleLineStyle;
    TrackSliderStyle triStateSliderStyle, biStateSliderStyle;
};

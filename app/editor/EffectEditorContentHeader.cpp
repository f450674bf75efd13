// The effect editor's header: the block's name and icon, its X/Y switch, the
// effect-type drop-down and the block library drop-down, read from the
// editor's skin section and kept in step with the shown block.

#include "app/editor/EffectEditorContent.h"
#include "app/host/CommandTables.h"

#include "device/engines/PresetManager.h"
#include "model/EffectManager.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "skin/lists/DropDownLargeList.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/XYToggleComponent.h"
#include "skin/widgets/ZOLBorderedImageComponent.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLToggleButton.h"

namespace SA = SkinAttributes;

namespace
{
constexpr int besideLabel = 4;
constexpr int extraButtonNone = 0, extraButtonPlus = 2;
constexpr int programModel = 8; // the unit this program edits, until one has named itself

int coordinate (const juce::XmlElement& widget, const char* name)
{
    return SA::clampedInt (widget, name, 100000);
}
} // namespace

void EffectEditorContent::readHeaderWidgets (const juce::XmlElement& section)
{
    for (auto* widget : SkinAttributes::children (section, "Widget"))
    {
        const auto name = widget->getStringAttribute ("name");

        if (name == "effectName" && skin != nullptr && effectName == nullptr)
        {
            effectName = skin->createLabelComponent (widget, name);
            effectName->setWantsKeyboardFocus (false);
            effectName->setText ("(Nothing Selected)", juce::dontSendNotification);
            addAndMakeVisible (*effectName);
        }
        else if (name == "effectIcon" && effectIcon == nullptr)
        {
            effectIcon = std::make_unique<ZOLBorderedImageComponent>();
            effectIcon->borderWidth = juce::jlimit (0, 64, widget->getIntAttribute ("borderWidth"));
            effectIcon->borderColour = SA::colour (*widget, "borderColor");
            effectIcon->setTopLeftPosition (coordinate (*widget, "positionX"), coordinate (*widget, "positionY"));
            effectIcon->setWantsKeyboardFocus (false);
            effectIcon->setInterceptsMouseClicks (false, false);
            addChildComponent (*effectIcon);
        }
        else if (name == "XYToggle" && skin != nullptr && xyToggle == nullptr)
        {
            xyToggle = std::make_unique<XYToggleComponent> (skin, coordinate (*widget, "positionX"),
                                                            coordinate (*widget, "positionY"));
            xyToggle->addChangeListener (this);
            addChildComponent (*xyToggle);
        }
        else if ((name == "effectTypesDropDown" || name == "blocksLibraryDropDown") && controls != nullptr)
        {
            const bool isLibrary = name == "blocksLibraryDropDown";
            auto& target = isLibrary ? libraryDropDown : effectTypeDropDown;

            if (target != nullptr)
                continue;

            // The skin may give the header a wider field than a page's.
            const int fieldSize =
                widget->hasAttribute ("fieldSize") ? juce::jlimit (0, 3, widget->getIntAttribute ("fieldSize")) : 1;
            target = controls->createDropDownLargeList (fieldSize, isLibrary ? extraButtonPlus : extraButtonNone,
                                                        besideLabel, this, widget->getStringAttribute ("labelText"));

            if (target == nullptr)
                continue;

            // The label stands close beside the field, as wide as its text needs.
            target->besideLabelWidth = (juce::uint16) juce::jlimit (0, 400, widget->getIntAttribute ("labelWidth"));
            target->updateLayout();
            target->setTopLeftPosition (coordinate (*widget, "positionX"), coordinate (*widget, "positionY"));
            target->setName (name);
            target->addChangeListener (this);
            addChildComponent (*target);

            // The plus button offers the "Blocks Library" commands.
            if (isLibrary)
                target->plusCommandMenu = [] (int)
                {
                    auto menu = createMenuFromCommandTable (BlockLibraryMenuCommands, nullptr);
                    return menu != nullptr ? *menu : juce::PopupMenu();
                };

            if (isLibrary)
            {
                libraryMatchColour = SA::colourOr (*widget, "colorLibraryMatch", libraryMatchColour);
                libraryChangedColour = SA::colourOr (*widget, "colorLibraryChange", libraryChangedColour);
            }
        }
        else if (name == "modifierLabel")
        {
            const char* names[] = { "normalTextColor",   "normalBgColor",   "selectedTextColor",
                                    "selectedBgColor",   "mouseOverTextColor", "mouseOverBgColor" };

            for (size_t i = 0; i < modifierLabelColours.size(); ++i)
                modifierLabelColours[i] = SA::colourOr (*widget, names[i], modifierLabelColours[i]);
        }
        else if (name == "fileDropTarget")
        {
            fileDropColour = SA::colourOr (*widget, "color", fileDropColour);
        }
        else if (name == "footswitchFunctionTitle" && skin != nullptr && footswitchTitle == nullptr)
        {
            footswitchTitle = skin->createLabelComponent (widget, name);
            footswitchTitle->setWantsKeyboardFocus (false);
            addChildComponent (*footswitchTitle);
        }
        else if (name == "footswitchFunctionInfo" && skin != nullptr && footswitchInfo == nullptr)
        {
            footswitchInfo = skin->createTextEditor (widget, name);

            if (footswitchInfo != nullptr)
            {
                footswitchInfo->setMultiLine (true, true);
                footswitchInfo->setReadOnly (true);
                footswitchInfo->setCaretVisible (false);
                footswitchInfo->setWantsKeyboardFocus (false);
                addChildComponent (*footswitchInfo);
            }
        }
    }
}

void EffectEditorContent::deleteHeaderWidgets()
{
    if (xyToggle != nullptr)
        xyToggle->removeChangeListener (this);

    for (auto* dropDown : { effectTypeDropDown.get(), libraryDropDown.get() })
        if (dropDown != nullptr)
            dropDown->removeChangeListener (this);

    xyToggle.reset();
    effectTypeDropDown.reset();
    libraryDropDown.reset();
    effectIcon.reset();
    effectName.reset();
    footswitchTitle.reset();
    footswitchInfo.reset();
}

bool EffectEditorContent::handleHeaderChange (juce::ChangeBroadcaster* source)
{
    if (xyToggle != nullptr && source == static_cast<juce::ChangeBroadcaster*> (xyToggle.get()))
    {
        if (hooks.headerGesture != nullptr)
            hooks.headerGesture (*xyToggle, xyToggle->getChangeCode());

        return true;
    }

    if (libraryDropDown != nullptr && source == static_cast<juce::ChangeBroadcaster*> (libraryDropDown.get()))
    {
        if (libraryDropDown->getChangeCode() == 1)
            selectControl (libraryDropDown.get());

        if (hooks.headerGesture != nullptr)
            hooks.headerGesture (*libraryDropDown, libraryDropDown->getChangeCode());

        return true;
    }

    if (effectTypeDropDown != nullptr && source == static_cast<juce::ChangeBroadcaster*> (effectTypeDropDown.get()))
    {
        // The type selector is a parameter of the shown block like any other.
        if (effectTypeDropDown->getChangeCode() == 1)
            selectControl (effectTypeDropDown.get());
        else
            handleControlChange (*effectTypeDropDown);

        return true;
    }

    // A control that reports being selected becomes the selected control; its
    // other gestures take the edit road.
    for (auto& control : pageControls)
        if (static_cast<juce::ChangeBroadcaster*> (control.get()) == source && control->getChangeCode() == 1)
            if (auto* component = dynamic_cast<juce::Component*> (control.get()))
                if (component != getSelectedControl())
                    selectControl (component);

    return false;
}

void EffectEditorContent::updateHeader()
{
    const bool supported = shownBlock != 0 && isBlockIdSupported (shownBlock);

    if (effectName != nullptr)
        effectName->setText (getHeaderText(), juce::dontSendNotification);

    if (effectIcon != nullptr)
    {
        juce::Image icon;

        // A block whose kind has no image set (the global block) shows none.
        if (supported)
            if (auto* depot = KestrelImageDepot::getInstanceWithoutCreating())
                if (depot->findImageSetForBlock ((juce::uint16) shownBlock) != nullptr)
                    icon = depot->getBlockImage ((juce::uint16) shownBlock, BlockImageSet::icon);

        effectIcon->setImage (icon);

        if (icon.isValid())
            effectIcon->setSize (icon.getWidth() + 2 * effectIcon->borderWidth,
                                 icon.getHeight() + 2 * effectIcon->borderWidth);

        effectIcon->setVisible (supported && icon.isValid());
    }

    if (xyToggle != nullptr)
    {
        const int identified = presets != nullptr ? presets->getIdentityModel() : 0;
        const int model = identified != 0 && identified != DeviceManager::anyModel ? identified : programModel;
        xyToggle->setVisible (supported && hasXYChannels (shownBlock, model));
        updateXYSwitch();
    }

    if (effectTypeDropDown != nullptr)
    {
        const int typeParam = supported ? getTypeParamId (shownBlock) : -1;
        effectTypeDropDown->paramId = typeParam >= 0 ? (juce::uint16) typeParam : (juce::uint16) 0xFFFF;
        effectTypeDropDown->blockId = 0;
        effectTypeDropDown->setVisible (typeParam >= 0);
        updateEffectTypeList();
    }

    if (libraryDropDown != nullptr)
        libraryDropDown->setVisible (supported && shownBlock != blockIdGlobal);
}

void EffectEditorContent::updateXYSwitch()
{
    int xy = 0;

    if (xyToggle == nullptr || xyToggle->getToggle() == nullptr || shownBlock == 0 || presets == nullptr ||
        ! presets->getBlockXYState (shownBlock, xy))
        return;

    // The switch is on (its X picture) while the block plays its X channel.
    xyToggle->getToggle()->setToggleState (xy == 0, false);
}

void EffectEditorContent::updateEffectTypeList()
{
    if (effectTypeDropDown == nullptr || effectTypeDropDown->paramId == 0xFFFF)
        return;

    juce::StringArray shortTexts, names;
    juce::Array<juce::uint16> values;
    juce::Array<juce::uint8> italics;

    // Without texts for the type the lists stay empty.
    getValueStrings (shownBlock, effectTypeDropDown->paramId, shortTexts, names, values, italics);

    const int xy = channelOf (shownBlock);
    EffectParamValue current;
    const bool known =
        effects != nullptr && effects->getParamValue (shownBlock, effectTypeDropDown->paramId, xy, current);

    effectTypeDropDown->setItems (shortTexts, names, values, italics, -1);

    // The block's type as the unit holds it; one the list does not hold
    // shows as the unit names it. Nothing is shown before the unit said.
    if (known)
        effectTypeDropDown->setFromDevice (current.value, current.flag, current.text);
}

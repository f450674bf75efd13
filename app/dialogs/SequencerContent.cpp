#include "app/dialogs/SequencerContent.h"

#include "model/EditorControl.h"
#include "model/EffectLayoutManager.h"
#include "model/EffectManager.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/PageLayoutRecord.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/knobs/ZOLSliderComponent.h"

namespace
{
constexpr int firstRunStart = 37, secondRunStart = 55, stepsPerRun = 16;
constexpr int coordinateLimit = 4096;
// A step slider made here (when the templates have none) is as narrow as the
// steps stand apart.
constexpr int stepSliderWidth = 28, stepSliderHeight = 70, stepReadoutWidth = 52, stepReadoutHeight = 16;

const ParamDialogFrame::SkinNames skinNames{ "SequencerDialog", "titleFont", "titleFontSize", "titleFontColor" };

juce::Component* asComponent (ZOLEffectParam* control)
{
    return dynamic_cast<juce::Component*> (control);
}
} // namespace

int SequencerContent::getStepParamId (int step)
{
    if (! juce::isPositiveAndBelow (step, numSteps))
        return -1;

    return step < stepsPerRun ? firstRunStart + step : secondRunStart + step - stepsPerRun;
}

SequencerContent::SequencerContent (const SkinManager* skinManager, EffectManager* effectManager,
                                    EffectLayoutManager* layoutManager, KestrelControlManager* controlTemplates)
    : ParamDialogFrame (skinManager, skinNames, { 0, 0, 1000, 420 }, juce::Colour (0xffffff00))
    , effects (effectManager)
    , layouts (layoutManager)
    , controlManager (controlTemplates)
{
    using namespace SkinAttributes;

    if (section != nullptr)
    {
        const auto& s = *section;
        title = s.getStringAttribute ("titleString");
        sliderX = clampedInt (s, "sliderPositionX", coordinateLimit);
        sliderY = clampedInt (s, "sliderPositionY", coordinateLimit);
        sliderXOffset = clampedInt (s, "sliderXOffset", coordinateLimit);
        fieldEven = { clampedInt (s, "fieldEvenPositionX", coordinateLimit),
                      clampedInt (s, "fieldEvenPositionY", coordinateLimit) };
        fieldOdd = { clampedInt (s, "fieldOddPositionX", coordinateLimit),
                     clampedInt (s, "fieldOddPositionY", coordinateLimit) };
        fieldXOffset = clampedInt (s, "fieldXOffset", coordinateLimit);
    }

    setFocusContainerType (FocusContainerType::keyboardFocusContainer);
}

SequencerContent::~SequencerContent()
{
    for (auto& control : controls)
        control->removeAllChangeListeners();
}

ZOLEffectParam* SequencerContent::getControl (int index) const
{
    return juce::isPositiveAndBelow (index, (int) controls.size()) ? controls[(size_t) index].get() : nullptr;
}

void SequencerContent::open (juce::ChangeListener* listener)
{
    controlListener = listener;
    setVisible (true);
    toFront (false);
    setWantsKeyboardFocus (true);
    buildControls();

    if (auto* first = controls.empty() ? nullptr : asComponent (controls.front().get()); first != nullptr)
        first->grabKeyboardFocus();
    else if (isShowing())
        grabKeyboardFocus();

    postChangeCode (codeOpened);
}

void SequencerContent::close()
{
    setVisible (false);
    setWantsKeyboardFocus (false);
    setFocusedControl (nullptr);

    for (auto& control : controls)
    {
        control->removeAllChangeListeners();
        removeChildComponent (asComponent (control.get()));
        retiredControls.push_back (std::move (control));
    }

    controls.clear();
    controlListener = nullptr;

    // A step's own gesture may close the dialog (its modifier key opens the
    // modifier dialog) while that step's message is still being delivered:
    // the controls are deleted only once that delivery is over.
    juce::MessageManager::callAsync (
        [self = juce::Component::SafePointer<SequencerContent> (this)]
        {
            if (self != nullptr)
                self->retiredControls.clear();
        });

    postChangeCode (codeClosed);
}

void SequencerContent::addControl (std::unique_ptr<ZOLEffectParam> control)
{
    auto* component = asComponent (control.get());

    if (component == nullptr)
        return;

    if (controlListener != nullptr)
        control->addChangeListener (controlListener);

    control->addChangeListener (this);

    followFrameScale (component);
    addAndMakeVisible (*component);
    controls.push_back (std::move (control));
}

std::unique_ptr<ZOLEffectParam> SequencerContent::makeStepControl (const EditorControl& item)
{
    if (controlManager == nullptr || skin == nullptr)
        return nullptr;

    const auto& style = controlManager->getSliderStyle();
    std::unique_ptr<ZOLEffectParam> binding;
    juce::Component* component = nullptr;

    if (item.type == sliderType)
    {
        if (! style.loaded)
            return nullptr;

        const int slotX = (stepSliderWidth - style.background.getWidth()) / 2;
        const int headX = (stepSliderWidth - style.knob.getWidth()) / 2;
        auto slider = std::make_unique<ZOLSliderComponent> (
            juce::Rectangle<int> (0, 0, stepSliderWidth, stepSliderHeight),
            juce::Rectangle<int> (0, 0, stepSliderWidth, stepSliderHeight), slotX, style.positionBackgroundY, headX,
            style.knobY, style.knobMinPosition, style.knobMaxPosition,
            juce::String(), true, style.background, style.knob, style.knob);
        slider->setLabelStyle ({ 0, 0, stepSliderWidth, 13 }, juce::Justification::centred,
                               skin->getTypeface (style.labelFontName), style.labelColour, style.labelFontSize);
        slider->setLabelText (item.name);
        component = slider.get();
        binding = std::move (slider);
    }
    else
    {
        auto readout = std::make_unique<BrakFxReadout> (
            0, 0, stepReadoutWidth, stepReadoutHeight, item.name, style.fieldBackground,
            skin->getTypeface (style.fieldFontName), juce::jmax (9.0f, style.fieldFontSize), style.fieldColour,
            juce::Justification::centred, juce::Rectangle<int> (2, 0, stepReadoutWidth - 4, stepReadoutHeight));
        readout->setEditorInputRestrictions (BrakFxReadout::maxEntryLength, BrakFxReadout::numberCharacters);
        component = readout.get();
        binding = std::move (readout);
    }

    int kind = 0;
    float minimum = 0.0f, maximum = 0.0f;
    getParamRange (blockId, item.parameterId, kind, minimum, maximum);
    binding->blockId = 0;
    binding->paramId = item.parameterId;
    binding->valueType = kind;
    binding->rangeMin = minimum;
    binding->rangeMax = maximum;
    binding->rangeChanged();
    binding->auxId = item.parameterId;
    component->setName (item.name);
    return binding;
}

void SequencerContent::buildControls()
{
    if (effects == nullptr || layouts == nullptr)
        return;

    juce::String typeName;
    effects->getBlockTypeName (blockId, 0, typeName);
    auto* variant = layouts->findVariantForBlock (blockId, typeName);
    const LayoutPage* page = nullptr;

    for (int i = 0; variant != nullptr && i < variant->getNumPages() && page == nullptr; ++i)
        if (variant->getPage (i)->name == "Sequencer")
            page = variant->getPage (i);

    if (page == nullptr)
        return;

    auto* pageLayout = dynamic_cast<const PageLayoutRecord*> (layouts->findPageLayout (page->layoutId));

    auto make = [this, pageLayout] (const EditorControl& item)
    {
        auto control = createControl (blockId, &item, pageLayout, false);

        if (control == nullptr && (item.type == sliderType || item.type == readoutType))
            control = makeStepControl (item);

        return control;
    };

    for (auto* items : { &page->pageControls, &page->parameterRows })
    {
        for (auto* item : *items)
        {
            if (item->type != sliderType && item->type != readoutType)
            {
                addControl (make (*item));
                continue;
            }

            for (int step = 0; step < numSteps; ++step)
            {
                EditorControl copy (*item);
                copy.parameterId = (juce::uint16) getStepParamId (step);
                copy.hasModifier = false;
                copy.name = juce::String (step + 1);
                copy.hasPosition = true;

                if (item->type == sliderType)
                {
                    copy.positionX = sliderX + step * sliderXOffset;
                    copy.positionY = sliderY;
                }
                else
                {
                    const auto origin = (step % 2 == 0) ? fieldEven : fieldOdd;
                    copy.positionX = origin.x + (step / 2) * fieldXOffset;
                    copy.positionY = origin.y;
                }

                auto control = make (copy);

                if (auto* component = asComponent (control.get()))
                    component->setTopLeftPosition (copy.positionX, copy.positionY);

                addControl (std::move (control));
            }
        }
    }
}

void SequencerContent::findControls (int block, int paramId, juce::Array<ZOLEffectParam*>& out) const
{
    if (block != blockId)
        return;

    for (auto& control : controls)
        if (paramId >= 65535 || control->paramId == paramId)
            out.add (control.get());
}

bool SequencerContent::containsControl (const juce::Component* component) const
{
    for (auto& control : controls)
        if (asComponent (control.get()) == component)
            return component != nullptr;

    return false;
}

void SequencerContent::setCommunicationPaused (bool paused)
{
    for (auto& control : controls)
        if (auto* component = asComponent (control.get()); component != nullptr)
            if (dynamic_cast<ZOLLabelComponent*> (component) == nullptr)
                component->setEnabled (! paused);
}

void SequencerContent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    for (auto& control : controls)
    {
        if (static_cast<juce::ChangeBroadcaster*> (control.get()) == source)
        {
            auto* component = asComponent (control.get());
            setFocusedControl (component);

            if (component != nullptr && component->isShowing())
                component->grabKeyboardFocus();

            return;
        }
    }
}

void SequencerContent::applyScale (bool apply)
{
    applyFrameScale (apply);

    for (auto& control : controls)
        followFrameScale (asComponent (control.get()));
}

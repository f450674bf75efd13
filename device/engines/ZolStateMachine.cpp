#include "device/engines/ZolStateMachine.h"

#include "model/Clock.h"

void ZolStateMachine::start()
{
    reset();
    running = 1;
    startTime = Clock::nowMs();
    result = resultRunning;
    ++runCount;

    if (startNotice)
        startNotice();
}

void ZolStateMachine::stop (juce::int32 newResult)
{
    running = 0;
    result = newResult;
    lastState = getCurrentState();
    endTime = Clock::nowMs();
    previousStartTime = startTime;
}

void ZolStateMachine::stop (juce::int32 newResult, juce::int32 endedOn)
{
    stop (newResult);
    lastState = endedOn;
}

void ZolStateMachine::addStep (juce::int32 stepId, juce::uint8 required)
{
    steps.add (stepId);
    stepFlags.add (required);
}

void ZolStateMachine::clearSteps()
{
    steps.clear();
    stepFlags.clear();
}

juce::int32 ZolStateMachine::getCurrentState() const
{
    if (stepIndex < 0)
        return stepBegin;

    if (stepIndex >= steps.size())
        return stepComplete;

    return steps.getUnchecked (stepIndex);
}

bool ZolStateMachine::isCurrentStepRequired() const
{
    return juce::isPositiveAndBelow (stepIndex, stepFlags.size()) && stepFlags.getUnchecked (stepIndex) != 0;
}

void ZolStateMachine::reset()
{
    running = 0;
    stepIndex = 0;
    startTime = 0;
    endTime = 0;
    attempts = 0;
    result = resultIdle;
    lastState = 0;
}

void ZolStateMachine::advance()
{
    ++stepIndex;
    attempts = 0;
}

#pragma once

#include <juce_core/juce_core.h>

#include <functional>

// A script of numbered communication steps, run one step per tick by its
// owner: an ordered list of step ids, each required or optional, a cursor, a
// running flag, a result and the times of the last run.
//
// Step 0 opens every script and step 1 closes it; the cursor reading past
// the end of the list also gives step 1, so a script always ends.
//
// Message thread only.
class ZolStateMachine
{
public:
    enum Result
    {
        resultIdle = 0,
        resultRunning = 1,
        resultCompleted = 2,
        resultLinkClosed = 3,
        resultTimedOut = 4,
        resultCancelled = 5
    };

    static constexpr juce::int32 stepBegin = 0;
    static constexpr juce::int32 stepComplete = 1;
    static constexpr const char* defaultStatusText = "Please wait... Communicating";

    ZolStateMachine() = default;
    virtual ~ZolStateMachine() = default;

    // Resets the machine and runs it from step index 0 (also when it was
    // running already), then calls the start notice.
    void start();

    // Called at every start (the owner's pacing wakes up for it).
    void setStartNotice (std::function<void()> notice) { startNotice = std::move (notice); }

    // Ends the run with the result; remembers the step it ended on.
    void stop (juce::int32 result);
    // Ends the run as stop does, remembering the given step as the one it
    // ended on (a step that failed earlier, the run having gone on to tidy up).
    void stop (juce::int32 result, juce::int32 endedOn);

    void addStep (juce::int32 stepId, juce::uint8 required = 1);
    void clearSteps();

    // The step id at the cursor: 1 past the end of the list, 0 before it.
    juce::int32 getCurrentState() const;

    // True when the step at the cursor is required; a step beyond the flag
    // list counts as optional.
    bool isCurrentStepRequired() const;

    // Running, cursor, times, attempts, result and last state to 0; the
    // script, codes, name, texts and options stay.
    virtual void reset();

    // Moves the cursor to the next step.
    virtual void advance();

    bool isRunning() const { return running != 0; }
    juce::int32 getResult() const { return result; }
    juce::int32 getLastState() const { return lastState; }
    juce::int32 getStepIndex() const { return stepIndex; }
    juce::uint8 getAttempts() const { return attempts; }
    void addAttempt() { ++attempts; }
    void resetAttempts() { attempts = 0; }
    juce::uint32 getStartTime() const { return startTime; }
    juce::uint32 getEndTime() const { return endTime; }
    juce::uint32 getPreviousStartTime() const { return previousStartTime; }

    // Counts the calls of start(), so that an owner can tell a restarted run
    // from the one it was working for.
    juce::uint32 getRunCount() const { return runCount; }

    const juce::Array<juce::int32>& getSteps() const { return steps; }
    const juce::Array<juce::uint8>& getStepFlags() const { return stepFlags; }

    juce::int32 beginCode = 0;
    juce::int32 endCode = 0;
    juce::String name;
    juce::String statusText{ defaultStatusText };
    juce::uint8 showWaitIndicator = 1;
    juce::uint8 showWaitCursor = 1;
    juce::uint8 alertOnTimeOut = 1;

protected:
    juce::uint8 running = 0;
    juce::int32 stepIndex = 0;
    juce::Array<juce::int32> steps;
    juce::Array<juce::uint8> stepFlags;
    juce::uint32 startTime = 0;
    juce::uint32 endTime = 0;
    juce::uint32 previousStartTime = 0;
    juce::uint8 attempts = 0;
    juce::int32 result = resultIdle;
    juce::int32 lastState = 0;
    juce::uint32 runCount = 0;
    std::function<void()> startNotice;

    JUCE_DECLARE_NON_COPYABLE (ZolStateMachine)
};

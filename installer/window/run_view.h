#pragma once

#include "window/run_plan.h"

class COperatorBase;

// What a run shows while it goes: the main window, or nothing at all in an
// unattended run. Called on the driver's thread, in this order for each
// operation that runs.
class IRunView {
public:
    // The operation is about to run.
    virtual void ShowRunning(const COperatorBase& operation) = 0;
    // It has ended; icon goes into its display row.
    virtual void ShowOutcome(int row, const COperatorBase& operation, RowIcon icon) = 0;
    // Moves the overall progress on by points.
    virtual void AddProgress(int points) = 0;

protected:
    ~IRunView() = default;
};

// Shows nothing.
class CSilentRunView final : public IRunView {
public:
    void ShowRunning(const COperatorBase&) override {}
    void ShowOutcome(int, const COperatorBase&, RowIcon) override {}
    void AddProgress(int) override {}
};

#pragma once

#include "net/progress_sink.h"
#include "skin/progress_bmp_ctrl.h"

// A window's progress bar as the sink that transfers report to.
class CProgressBarSink final : public IProgressSink {
public:
    explicit CProgressBarSink(CProgressBmpCtrl& bar) : bar_(bar) {}

    int Minimum() const override { return bar_.GetMinimum(); }
    int Maximum() const override { return bar_.GetMaximum(); }
    int Position() const override { return bar_.GetPos(); }
    void SetPosition(int position) override { bar_.SetPos(position); }

private:
    CProgressBmpCtrl& bar_;
};

#include "setup/frmWendraWinCreator.h"

#include <utility>

#include "platform/ui/Layout.h"

namespace wendra {

frmWendraWinCreator::frmWendraWinCreator(ui::TimerService& timers, ui::WindowPlacement& screen,
                                         std::function<setup::CompletionReport()> job)
    : ui::Form("frmWendraWinCreator", "Wendra(win)  exe creator"),
      tmrEnd(timers, "tmrEnd", kPauseMs, false),
      screen_(screen),
      job_(std::move(job)) {
    setGeometry({0, 0, 4800, 1425});
    Label1.setGeometry({360, 360, 4080, 300});
    tmrEnd.setSingleShot(true);
    tmrEnd.onTimer = [this] { unload(); };
}

void frmWendraWinCreator::formLoad() { ui::centreForm(*this, screen_); }

void frmWendraWinCreator::complete() {
    if (report_) return;
    report_ = job_();
    tmrEnd.setEnabled(true);
}

}  // namespace wendra

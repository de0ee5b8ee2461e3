#pragma once

#include <functional>
#include <optional>

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Services.h"
#include "platform/ui/Timer.h"
#include "setup/Completion.h"

namespace wendra {

// The setup's one window. It shows its label while the installation is completed,
// stays a moment longer so the user sees it, and then closes itself: the program
// ends with it. It shows no messages; what failed goes to standard error.
class frmWendraWinCreator final : public ui::Form {
public:
    // How long the window stays after the job, in milliseconds.
    static constexpr int kPauseMs = 1000;

    frmWendraWinCreator(ui::TimerService& timers, ui::WindowPlacement& screen,
                        std::function<setup::CompletionReport()> job);

    ui::Label Label1{"Label1", "Completing Wendra(Win) installation."};
    ui::Timer tmrEnd;

    // Runs the job (once; the view calls it when the window is drawn), then ends the
    // form after the pause.
    void complete();
    const std::optional<setup::CompletionReport>& report() const { return report_; }

protected:
    void formLoad() override;
    // The close box does not stop the job half way: the window closes once it is done.
    bool formQueryUnload() override { return report_.has_value(); }

private:
    ui::WindowPlacement& screen_;
    std::function<setup::CompletionReport()> job_;
    std::optional<setup::CompletionReport> report_;
};

}  // namespace wendra

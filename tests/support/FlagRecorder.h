#pragma once

#include <vector>

#include "editor/CancelFlag.h"

namespace wendra::test {

// The window that opens a dialog, as far as the dialog's cancel flag goes: it
// keeps the last report and notes every one.
class FlagRecorder final : public CancelFlagOwner {
public:
    void setFlagCancel(bool cancelled) override {
        flag = cancelled;
        reports.push_back(cancelled);
        ++sets;
    }
    bool FlagCancel() const override { return flag; }

    bool flag = false;
    std::vector<bool> reports;
    int sets = 0;
};

}  // namespace wendra::test

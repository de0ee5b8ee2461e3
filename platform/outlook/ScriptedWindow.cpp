#include "platform/outlook/ScriptedWindow.h"

namespace wendra::outlook {

void ScriptedWindow::show(AppointmentItem& item) {
    const AppointmentFields before = readFields(item);
    shown_.push_back(before);
    if (steps_.empty()) return;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    switch (step.action) {
    case Action::save: {
        AppointmentFields after = before;
        if (step.edit) step.edit(after);
        saveFields(item, before, after);
        break;
    }
    case Action::remove: item.Delete(); break;
    case Action::close: break;
    }
}

}  // namespace wendra::outlook

#include "platform/ui/Services.h"

namespace wendra::ui {

int buttonCount(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OK: return 1;
        case MessageButtons::OKCancel:
        case MessageButtons::YesNo:
        case MessageButtons::RetryCancel: return 2;
        case MessageButtons::AbortRetryIgnore:
        case MessageButtons::YesNoCancel: return 3;
    }
    return 1;
}

MessageAnswer buttonAnswer(MessageButtons buttons, int index) {
    if (index < 0 || index >= buttonCount(buttons)) index = 0;
    switch (buttons) {
        case MessageButtons::OK: return MessageAnswer::OK;
        case MessageButtons::OKCancel: return index == 0 ? MessageAnswer::OK : MessageAnswer::Cancel;
        case MessageButtons::YesNo: return index == 0 ? MessageAnswer::Yes : MessageAnswer::No;
        case MessageButtons::RetryCancel: return index == 0 ? MessageAnswer::Retry : MessageAnswer::Cancel;
        case MessageButtons::AbortRetryIgnore:
            return index == 0 ? MessageAnswer::Abort : index == 1 ? MessageAnswer::Retry : MessageAnswer::Ignore;
        case MessageButtons::YesNoCancel:
            return index == 0 ? MessageAnswer::Yes : index == 1 ? MessageAnswer::No : MessageAnswer::Cancel;
    }
    return MessageAnswer::OK;
}

}  // namespace wendra::ui

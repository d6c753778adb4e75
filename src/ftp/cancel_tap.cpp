#include "ftp/cancel_tap.h"

#include "platform/ui/toolkit.h"

namespace ftp {

bool IsTransferCancelTap(const platform::ui::Message& message) {
    // Escape is the keyboard's CANCEL.
    if (message.kind == platform::ui::MessageKind::KeyDown) {
        return message.id == platform::ui::kKeyEscape;
    }
    return message.kind == platform::ui::MessageKind::StylusDown &&
           message.point.x >= kCancelAreaLeft && message.point.y >= kCancelAreaTop;
}

bool TakeTransferCancelTap() {
    const auto message = platform::ui::TakeOldestMessage();
    return message && IsTransferCancelTap(*message);
}

}  // namespace ftp

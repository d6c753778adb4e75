#pragma once
// The transfer cancel tap: while a transfer runs, a stylus-down in the bottom-right screen
// area (where the file manager's CANCEL button lies) ends it.

#include "platform/ui/message.h"

namespace ftp {

inline constexpr int kCancelAreaLeft = 180;  // device-screen pixels
inline constexpr int kCancelAreaTop = 240;

bool IsTransferCancelTap(const platform::ui::Message& message);

// The cancel check made once per transfer block: takes the oldest pending message of the
// user interface thread, if any, and tells whether it is the cancel tap. Whatever it takes
// is dropped undispatched, so other input during a transfer is lost.
bool TakeTransferCancelTap();

}  // namespace ftp

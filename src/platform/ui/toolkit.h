#pragma once
// The toolkit's calls that act on the device's user interface thread.

#include <optional>
#include <string>

#include "platform/ui/frontend.h"
#include "platform/ui/message.h"

namespace platform::ui {

// Blocks until a message is pending, then takes it.
Message WaitAndTakeMessage();
// Takes the oldest pending message without dispatching it; nothing when none is pending.
std::optional<Message> TakeOldestMessage();
void PostMessage(const Message& message);
// Tells the front end how far the running file transfer has come.
void ReportTransferProgress(const TransferProgress& progress);
void PostQuitMessage();

MessageBoxAnswer ShowMessageBox(const std::wstring& text, const std::wstring& title,
                                MessageBoxButtons buttons, MessageBoxIcon icon);

// The wait cursor is counted: it shows while more begins than ends were made.
void BeginWaitCursor();
void EndWaitCursor();

}  // namespace platform::ui

#include "platform/ui/toolkit.h"

#include "platform/device.h"

namespace platform::ui {

Message WaitAndTakeMessage() {
    Device& device = Device::Current();
    while (device.Queue().Empty()) {
        device.Frontend().WaitForInput(device.Queue());
    }
    return *device.Queue().TakeOldest();
}

std::optional<Message> TakeOldestMessage() {
    Device& device = Device::Current();
    device.Frontend().PumpPendingInput(device.Queue());
    return device.Queue().TakeOldest();
}

void PostMessage(const Message& message) {
    Device::Current().Queue().Post(message);
}

void ReportTransferProgress(const TransferProgress& progress) {
    Device::Current().Frontend().TransferProgressed(progress);
}

void PostQuitMessage() {
    Message quit;
    quit.kind = MessageKind::Quit;
    PostMessage(quit);
}

MessageBoxAnswer ShowMessageBox(const std::wstring& text, const std::wstring& title,
                                MessageBoxButtons buttons, MessageBoxIcon icon) {
    return Device::Current().Frontend().ShowMessageBox(text, title, buttons, icon);
}

void BeginWaitCursor() {
    Device::Current().AdjustWaitCursor(+1);
}

void EndWaitCursor() {
    Device::Current().AdjustWaitCursor(-1);
}

}  // namespace platform::ui

#include "platform/ui/dialog.h"

#include "platform/device.h"
#include "platform/failure.h"
#include "platform/ui/application.h"
#include "platform/ui/toolkit.h"

namespace platform::ui {

int Dialog::RunModal() {
    m_ended = false;
    m_result = 0;
    CreateFromTemplate();
    Device& device = Device::Current();
    OnInitDialog();
    if (IsCreated() && !m_ended) {
        device.Frontend().WindowCreated(*this);
    }
    while (!m_ended && IsCreated()) {
        const Message message = WaitAndTakeMessage();
        if (message.kind == MessageKind::Quit) {
            // Leave it queued for the runs that enclose this one.
            PostQuitMessage();
            break;
        }
        Window* target =
            message.window == 0 ? device.Innermost() : device.FromHandle(message.window);
        if (target != nullptr) {
            try {
                target->Dispatch(message);
            } catch (const Failure& failure) {
                // A handler left it to the framework: report it; the window stays as it is.
                AppMessageBox(failure.Report());
            }
        }
    }
    DestroyWindow();
    return m_result;
}

void Dialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
}

void Dialog::DestroyWindow() {
    m_ended = true;
    if (!IsCreated()) {
        return;
    }
    Device::Current().Frontend().WindowDestroyed(*this);
    DestroyHandle();
}

bool Dialog::OnMessage(const Message& message) {
    if (message.kind == MessageKind::Command && message.control == 0) {
        if (message.id == kIdOk) {
            OnOK();
            return true;
        }
        if (message.id == kIdCancel) {
            OnCancel();
            return true;
        }
    }
    return Window::OnMessage(message);
}

}  // namespace platform::ui

#include "headless/headless_frontend.h"

#include "platform/device.h"

namespace headless {

using namespace platform::ui;

void HeadlessFrontend::WaitForInput(MessageQueue&) {
    m_player.RunUntilInput(platform::Device::Current());
}

void HeadlessFrontend::PumpPendingInput(MessageQueue& queue) {
    m_player.CancelCheck(queue);
}

MessageBoxAnswer HeadlessFrontend::ShowMessageBox(const std::wstring& text,
                                                  const std::wstring& title,
                                                  MessageBoxButtons buttons, MessageBoxIcon) {
    return m_player.ShowBox(text, title, buttons);
}

int HeadlessFrontend::TrackPopupMenu(const Menu& menu, Point, const Control&) {
    return m_player.ChooseMenuEntry(menu);
}

void HeadlessFrontend::WindowCreated(Window& window) {
    m_player.WindowOpened(window);
}

void HeadlessFrontend::WindowDestroyed(Window& window) {
    m_player.WindowClosed(window);
}

bool HeadlessFrontend::StartProgram(const std::wstring& program, const std::wstring& commandLine) {
    m_player.ProgramStarted(program, commandLine);
    return true;
}

}  // namespace headless

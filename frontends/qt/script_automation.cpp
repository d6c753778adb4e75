#include "script_automation.h"

#include "message_box.h"
#include "qt_frontend.h"
#include "snapshots.h"

namespace qtfront {

ScriptAutomation::ScriptAutomation(script::ScriptPlayer& player, QtFrontend& frontend,
                                   Snapshots* snapshots)
    : m_player(player), m_frontend(frontend), m_snapshots(snapshots) {
    if (m_snapshots != nullptr) {
        m_player.onSnapshot = [this](const std::string& reason) {
            m_snapshots->Save(m_frontend.Grab(), reason);
        };
    }
}

bool ScriptAutomation::Idle(platform::Device& device) {
    m_player.RunUntilInput(device);
    return true;
}

std::optional<platform::ui::MessageBoxAnswer> ScriptAutomation::AnswerBox(
    const std::wstring& text, const std::wstring& title, platform::ui::MessageBoxButtons buttons,
    platform::ui::MessageBoxIcon icon) {
    const platform::ui::MessageBoxAnswer answer = m_player.ShowBox(text, title, buttons);
    if (m_snapshots != nullptr) {
        m_snapshots->Save(ScreenWithMessageBox(m_frontend.Grab(), text, title, buttons, icon),
                          "box");
    }
    return answer;
}

std::optional<int> ScriptAutomation::ChooseMenuEntry(const platform::ui::Menu& menu) {
    return m_player.ChooseMenuEntry(menu);
}

void ScriptAutomation::CancelCheck(platform::ui::MessageQueue& queue) {
    m_player.CancelCheck(queue);
}

void ScriptAutomation::WindowOpened(const platform::ui::Window& window) {
    m_player.WindowOpened(window);
}

void ScriptAutomation::WindowClosed(const platform::ui::Window& window) {
    m_player.WindowClosed(window);
}

bool ScriptAutomation::ProgramStarted(const std::wstring& program,
                                      const std::wstring& commandLine) {
    // A script run only records it: nothing opens on the desktop.
    m_player.ProgramStarted(program, commandLine);
    return true;
}

}  // namespace qtfront

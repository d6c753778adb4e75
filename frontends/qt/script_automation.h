#pragma once
// A script of the headless script language played in the real widgets: the script gives the
// input and the answers, the widgets show what happens, and pictures of the screen are saved
// when a window opens, at every `show` step and when a message box comes up.

#include "automation.h"
#include "script/script_player.h"

namespace qtfront {

class QtFrontend;
class Snapshots;

class ScriptAutomation final : public Automation {
  public:
    // `snapshots` may be null: no pictures.
    ScriptAutomation(script::ScriptPlayer& player, QtFrontend& frontend, Snapshots* snapshots);

    bool Idle(platform::Device& device) override;
    std::optional<platform::ui::MessageBoxAnswer> AnswerBox(
        const std::wstring& text, const std::wstring& title,
        platform::ui::MessageBoxButtons buttons, platform::ui::MessageBoxIcon icon) override;
    std::optional<int> ChooseMenuEntry(const platform::ui::Menu& menu) override;
    void CancelCheck(platform::ui::MessageQueue& queue) override;
    void WindowOpened(const platform::ui::Window& window) override;
    void WindowClosed(const platform::ui::Window& window) override;
    bool ProgramStarted(const std::wstring& program, const std::wstring& commandLine) override;
    void UrlOpened(const std::wstring& url) override { m_player.UrlOpened(url); }

  private:
    script::ScriptPlayer& m_player;
    QtFrontend& m_frontend;
    Snapshots* m_snapshots;
};

}  // namespace qtfront

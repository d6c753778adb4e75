#pragma once
// The in-memory front end: input comes from a script, what a person would see goes to a
// transcript.

#include "platform/ui/frontend.h"
#include "script/script_player.h"

namespace headless {

class HeadlessFrontend : public platform::ui::Frontend {
  public:
    explicit HeadlessFrontend(script::ScriptPlayer& player) : m_player(player) {}

    void WaitForInput(platform::ui::MessageQueue& queue) override;
    void PumpPendingInput(platform::ui::MessageQueue& queue) override;
    platform::ui::MessageBoxAnswer ShowMessageBox(const std::wstring& text,
                                                  const std::wstring& title,
                                                  platform::ui::MessageBoxButtons buttons,
                                                  platform::ui::MessageBoxIcon icon) override;
    int TrackPopupMenu(const platform::ui::Menu& menu, platform::ui::Point screen,
                       const platform::ui::Control& owner) override;
    void WindowCreated(platform::ui::Window& window) override;
    void WindowDestroyed(platform::ui::Window& window) override;
    void TitleChanged(platform::ui::Window&) override {}
    void Repaint(platform::ui::Window&, int) override {}
    void WaitCursorChanged(bool) override {}
    bool StartProgram(const std::wstring& program, const std::wstring& commandLine) override;
    void UrlOpened(const std::wstring& url) override { m_player.UrlOpened(url); }
    void ProtectionChanged(bool isProtected) override {
        if (isProtected) {
            m_player.ConnectionProtected();
        }
    }

  private:
    script::ScriptPlayer& m_player;
};

}  // namespace headless

#pragma once
// Input that comes from something other than a person at the screen: a script or a test.
// The Qt front end asks it first wherever it would otherwise wait for a person.

#include <optional>
#include <string>

#include "platform/device.h"
#include "platform/ui/frontend.h"
#include "platform/ui/menu.h"
#include "platform/ui/window.h"

namespace qtfront {

class Automation {
  public:
    virtual ~Automation() = default;

    // The program waits for input and nothing is queued. Returns false when it has nothing
    // more to give, so the front end waits for real events.
    virtual bool Idle(platform::Device& device) = 0;

    // An answer instead of a real message box; nothing shows the real one.
    virtual std::optional<platform::ui::MessageBoxAnswer> AnswerBox(
        const std::wstring& /*text*/, const std::wstring& /*title*/,
        platform::ui::MessageBoxButtons /*buttons*/, platform::ui::MessageBoxIcon /*icon*/) {
        return std::nullopt;
    }
    // A chosen command (0 = dismissed) instead of a real pop-up menu.
    virtual std::optional<int> ChooseMenuEntry(const platform::ui::Menu& /*menu*/) {
        return std::nullopt;
    }
    // Once per transfer cancel check, while input is swallowed.
    virtual void CancelCheck(platform::ui::MessageQueue& /*queue*/) {}
    virtual void WindowOpened(const platform::ui::Window& /*window*/) {}
    virtual void WindowClosed(const platform::ui::Window& /*window*/) {}
    virtual void UrlOpened(const std::wstring& /*url*/) {}
    // True when the start of another program was taken care of (nothing is opened).
    virtual bool ProgramStarted(const std::wstring& /*program*/,
                                const std::wstring& /*commandLine*/) {
        return false;
    }
};

}  // namespace qtfront

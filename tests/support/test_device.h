#pragma once
// The tests' front end, which records what a person would see and answers from queues (or
// lets another front end answer), and a device for tests: that front end, a temporary device
// root, and the network started, made current for the thread.

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/device.h"
#include "platform/ui/frontend.h"
#include "platform/ui/message.h"
#include "support/temp_folder.h"

namespace testing_support {

class TestFrontend : public platform::ui::Frontend {
  public:
    TestFrontend() = default;
    // Records as usual, but input, answers, menu choices and program starts come from
    // `answering` (the headless front end playing a script); the queues below go unused.
    explicit TestFrontend(platform::ui::Frontend& answering) : m_answering(&answering) {}

    struct MessageBoxShown {
        std::wstring text;
        std::wstring title;
        platform::ui::MessageBoxButtons buttons;
        platform::ui::MessageBoxIcon icon;
        platform::ui::MessageBoxAnswer answer;
    };

    // Message boxes take the queued answers in order. An OK box without one is answered OK;
    // a question without one fails the test and is answered No.
    void QueueAnswer(platform::ui::MessageBoxAnswer answer) { m_answers.push_back(answer); }
    const std::vector<MessageBoxShown>& MessageBoxes() const { return m_boxes; }

    // Input that WaitForInput hands out, one message per wait. Waiting with none left fails
    // the test and posts the quit message, so that every modal run unwinds.
    void QueueInput(const platform::ui::Message& message) { m_input.push_back(message); }

    // PumpPendingInput runs once per transfer cancel check: counted, and a stylus-down can be
    // queued just before the n-th check (counted from 1).
    int PumpCount() const { return m_pumps; }
    void TapBeforePump(int n, platform::ui::Point point) { m_taps.push_back({n, point}); }
    // Runs `action` just before the n-th check (for example, to make the server stall).
    void RunBeforePump(int n, std::function<void()> action) {
        m_actions.push_back({n, std::move(action)});
    }

    // Pop-up menus take the queued choices in order, 0 (dismissed) without one.
    void QueueMenuChoice(int command) { m_menuChoices.push_back(command); }

    // "created CLoginDlg", "destroyed CLoginDlg", in order.
    const std::vector<std::string>& WindowEvents() const { return m_windowEvents; }
    bool WaitCursorShown() const { return m_waitCursor; }
    int WaitCursorChanges() const { return m_waitCursorChanges; }
    // What the program painted at once while no event loop ran (long commands do that), in
    // order: a progress bar as "progress POS/UPPER", a whole window as
    // "window \"TITLE\" disabled ID ..." with its disabled toolbar buttons, another control
    // as "control ID".
    const std::vector<std::string>& Repaints() const { return m_repaints; }
    // "program commandLine" of every program started.
    const std::vector<std::wstring>& StartedPrograms() const { return m_started; }
    void SetStartProgramResult(bool result) { m_startResult = result; }
    // Every URL the device's internet session opened, in order.
    const std::vector<std::wstring>& OpenedUrls() const { return m_urls; }

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
    void TitleChanged(platform::ui::Window& window) override;
    void Repaint(platform::ui::Window& window, int controlId) override;
    void WaitCursorChanged(bool shown) override;
    bool StartProgram(const std::wstring& program, const std::wstring& commandLine) override;
    void UrlOpened(const std::wstring& url) override;

  private:
    struct ScheduledTap {
        int pump;
        platform::ui::Point point;
    };

    platform::ui::Frontend* m_answering = nullptr;
    std::deque<platform::ui::MessageBoxAnswer> m_answers;
    std::vector<MessageBoxShown> m_boxes;
    std::deque<platform::ui::Message> m_input;
    int m_pumps = 0;
    std::vector<ScheduledTap> m_taps;
    std::vector<std::pair<int, std::function<void()>>> m_actions;
    std::deque<int> m_menuChoices;
    std::vector<std::string> m_windowEvents;
    bool m_waitCursor = false;
    int m_waitCursorChanges = 0;
    std::vector<std::string> m_repaints;
    std::vector<std::wstring> m_started;
    bool m_startResult = true;
    std::vector<std::wstring> m_urls;
};

class TestDevice {
  public:
    struct Options {
        // Routes the program's built-in FTP address (127.0.0.1:21) to this port.
        std::optional<std::uint16_t> ftpPort;
        bool startNetwork = true;
        // Short, so that a client waiting for a server that went astray fails soon.
        std::chrono::milliseconds ioTimeout{std::chrono::seconds(10)};
        std::chrono::milliseconds greetingTimeout{std::chrono::seconds(10)};
        // The whole of one web request.
        std::chrono::milliseconds webTimeout{std::chrono::seconds(10)};
        // Routes the built-in web host (127.0.0.1:80) to this port.
        std::optional<std::uint16_t> webPort;
        // Off: the scripted servers expect today's wire.
        platform::net::TlsMode tls = platform::net::TlsMode::Off;
        std::filesystem::path caFile;
    };

    TestDevice();
    explicit TestDevice(Options options);
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    TestFrontend& Frontend() { return m_frontend; }
    platform::Device& Device() { return m_device; }
    // The host folder that holds the device's "\".
    const std::filesystem::path& Root() const { return m_root.Path(); }

    // Host files below the device root, by relative host path.
    std::filesystem::path WriteFile(const std::filesystem::path& relative,
                                    const std::string& bytes) const;
    std::string ReadFile(const std::filesystem::path& relative) const;
    // Names in a folder below the root (hidden ones too), sorted.
    std::vector<std::string> Entries(const std::filesystem::path& relativeFolder = {}) const;

  private:
    TestFrontend m_frontend;
    TempFolder m_root;
    platform::Device m_device;
    platform::ActiveDevice m_active;
};

}  // namespace testing_support

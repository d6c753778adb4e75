#include "support/test_device.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/text/codepage.h"
#include "platform/ui/message_queue.h"
#include "platform/ui/progress_bar.h"
#include "platform/ui/window.h"
#include "res/built_in_servers.h"

namespace testing_support {

using platform::ui::Message;
using platform::ui::MessageBoxAnswer;
using platform::ui::MessageBoxButtons;
using platform::ui::MessageKind;

void TestFrontend::WaitForInput(platform::ui::MessageQueue& queue) {
    if (m_answering != nullptr) {
        m_answering->WaitForInput(queue);
        return;
    }
    if (!m_input.empty()) {
        queue.Post(m_input.front());
        m_input.pop_front();
        return;
    }
    ADD_FAILURE() << "the program waits for input, and the test has queued none";
    Message quit;
    quit.kind = MessageKind::Quit;
    queue.Post(quit);
}

void TestFrontend::PumpPendingInput(platform::ui::MessageQueue& queue) {
    ++m_pumps;
    for (const auto& [pump, action] : m_actions) {
        if (pump == m_pumps) {
            action();
        }
    }
    for (const ScheduledTap& tap : m_taps) {
        if (tap.pump == m_pumps) {
            Message down;
            down.kind = MessageKind::StylusDown;
            down.point = tap.point;
            queue.Post(down);
        }
    }
    if (m_answering != nullptr) {
        m_answering->PumpPendingInput(queue);
    }
}

MessageBoxAnswer TestFrontend::ShowMessageBox(const std::wstring& text, const std::wstring& title,
                                              MessageBoxButtons buttons,
                                              platform::ui::MessageBoxIcon icon) {
    MessageBoxAnswer answer =
        buttons == MessageBoxButtons::Ok ? MessageBoxAnswer::Ok : MessageBoxAnswer::No;
    if (m_answering != nullptr) {
        answer = m_answering->ShowMessageBox(text, title, buttons, icon);
    } else if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    } else if (buttons != MessageBoxButtons::Ok) {
        ADD_FAILURE() << "unanswered question: " << testing::PrintToString(text);
    }
    m_boxes.push_back({text, title, buttons, icon, answer});
    return answer;
}

int TestFrontend::TrackPopupMenu(const platform::ui::Menu& menu, platform::ui::Point screen,
                                 const platform::ui::Control& owner) {
    if (m_answering != nullptr) {
        return m_answering->TrackPopupMenu(menu, screen, owner);
    }
    if (m_menuChoices.empty()) {
        return 0;
    }
    const int choice = m_menuChoices.front();
    m_menuChoices.pop_front();
    return choice;
}

void TestFrontend::WindowCreated(platform::ui::Window& window) {
    m_windowEvents.push_back(std::string("created ") + window.ClassName());
    if (m_answering != nullptr) {
        m_answering->WindowCreated(window);
    }
}

void TestFrontend::WindowDestroyed(platform::ui::Window& window) {
    m_windowEvents.push_back(std::string("destroyed ") + window.ClassName());
    if (m_answering != nullptr) {
        m_answering->WindowDestroyed(window);
    }
}

void TestFrontend::TitleChanged(platform::ui::Window& window) {
    if (m_answering != nullptr) {
        m_answering->TitleChanged(window);
    }
}

void TestFrontend::Repaint(platform::ui::Window& window, int controlId) {
    if (m_answering != nullptr) {
        m_answering->Repaint(window, controlId);
    }
    if (controlId == 0) {
        std::string line =
            "window \"" + platform::text::ToUtf8(window.GetWindowText()) + "\" disabled";
        for (const platform::ui::CommandBarButton& button : window.GetCommandBar().Buttons()) {
            if (!button.enabled) {
                line += " " + std::to_string(button.id);
            }
        }
        m_repaints.push_back(line);
        return;
    }
    const auto* bar =
        platform::ui::ControlAs<platform::ui::ProgressBar>(window.GetDlgItem(controlId));
    if (bar != nullptr) {
        m_repaints.push_back("progress " + std::to_string(bar->GetPos()) + "/" +
                             std::to_string(bar->Upper()));
        return;
    }
    m_repaints.push_back("control " + std::to_string(controlId));
}

void TestFrontend::WaitCursorChanged(bool shown) {
    m_waitCursor = shown;
    ++m_waitCursorChanges;
    if (m_answering != nullptr) {
        m_answering->WaitCursorChanged(shown);
    }
}

bool TestFrontend::StartProgram(const std::wstring& program, const std::wstring& commandLine) {
    m_started.push_back(program + L" " + commandLine);
    return m_answering != nullptr ? m_answering->StartProgram(program, commandLine) : m_startResult;
}

void TestFrontend::UrlOpened(const std::wstring& url) {
    m_urls.push_back(url);
    if (m_answering != nullptr) {
        m_answering->UrlOpened(url);
    }
}

namespace {

platform::net::Network MakeNetwork(const TestDevice::Options& options) {
    platform::net::Network::Options networkOptions;
    networkOptions.ioTimeout = options.ioTimeout;
    networkOptions.greetingTimeout = options.greetingTimeout;
    networkOptions.webTimeout = options.webTimeout;
    networkOptions.tls = options.tls;
    networkOptions.caFile = options.caFile;
    platform::net::Network network(networkOptions);
    if (options.webPort) {
        network.AddRoute({"127.0.0.1", 80}, {"127.0.0.1", *options.webPort});
    }
    if (options.ftpPort) {
        network.AddRoute(
            {platform::text::ToAnsi(kServerAddress), static_cast<std::uint16_t>(kFtpServerPort)},
            {"127.0.0.1", *options.ftpPort});
    }
    return network;
}

}  // namespace

TestDevice::TestDevice() : TestDevice(Options{}) {}

TestDevice::TestDevice(Options options)
    : m_root("stowbox-device"),
      m_device(m_frontend, m_root.Path(), MakeNetwork(options)),
      m_active(m_device) {
    if (options.startNetwork && !m_device.Net().Startup()) {
        ADD_FAILURE() << "the test device's network did not start";
    }
}

std::filesystem::path TestDevice::WriteFile(const std::filesystem::path& relative,
                                            const std::string& bytes) const {
    return m_root.WriteFile(relative, bytes);
}

std::string TestDevice::ReadFile(const std::filesystem::path& relative) const {
    return m_root.ReadFile(relative);
}

std::vector<std::string> TestDevice::Entries(const std::filesystem::path& relativeFolder) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(Root() / relativeFolder, ec)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace testing_support

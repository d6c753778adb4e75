#pragma once
// Plays a script against the device: input steps become messages and model changes, checks
// compare what a person would see. Front-end neutral: the headless and the Qt front end both
// use it.

#include <cstddef>
#include <deque>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/device.h"
#include "platform/ui/frontend.h"
#include "platform/ui/menu.h"
#include "script/script.h"

namespace script {

// Exit statuses of a script run.
inline constexpr int kStatusOk = 0;
inline constexpr int kStatusCheckFailed = 1;
inline constexpr int kStatusBadStep = 2;
inline constexpr int kStatusScriptOut = 3;

// Ends a run from inside the program.
class ScriptStop : public std::runtime_error {
  public:
    ScriptStop(int status, const std::string& message)
        : std::runtime_error(message), m_status(status) {}
    int Status() const { return m_status; }

  private:
    int m_status;
};

struct ShownBox {
    std::wstring title;
    std::wstring text;
    platform::ui::MessageBoxButtons buttons;
    platform::ui::MessageBoxAnswer answer;
};

class ScriptPlayer {
  public:
    ScriptPlayer(std::vector<Step> steps, std::ostream& transcript);

    // Takes steps until one queues input for the program. Throws ScriptStop when a check
    // fails, a step cannot apply, or the script runs out.
    void RunUntilInput(platform::Device& device);
    // After the program ended: the remaining checks still run; input steps cannot apply.
    void Finish(platform::Device& device);

    // Events of the program a person would see.
    platform::ui::MessageBoxAnswer ShowBox(const std::wstring& text, const std::wstring& title,
                                           platform::ui::MessageBoxButtons buttons);
    int ChooseMenuEntry(const platform::ui::Menu& menu);
    void CancelCheck(platform::ui::MessageQueue& queue);
    void WindowOpened(const platform::ui::Window& window);
    void WindowClosed(const platform::ui::Window& window);
    void ProgramStarted(const std::wstring& program, const std::wstring& commandLine);
    void UrlOpened(const std::wstring& url);
    // The device's network began to hold a protected connection (the FTP session's).
    void ConnectionProtected();

    const std::vector<ShownBox>& Boxes() const { return m_boxes; }

    // Called when a window opens and at every `show` step (the Qt front end saves pictures).
    std::function<void(const std::string& reason)> onSnapshot;

  private:
    struct InputStep;
    struct CheckStep;

    // True when the step queued input for the program.
    bool Apply(platform::Device& device, const Step& step);
    // Dispatch through the tables of input verbs and checks.
    bool ApplyInput(platform::Device& device, const Step& step);
    void ApplyCheck(platform::Device& device, const Step& step);
    void Show(platform::Device& device);
    void Line(const std::wstring& text);

    // One function per input verb; true when it queued input for the program.
    bool Queue(InputStep& input);
    bool Answer(InputStep& input);
    bool TapAtBlock(InputStep& input);
    bool MenuWithoutHold(InputStep& input);
    bool Type(InputStep& input);
    bool Click(InputStep& input);
    bool CommandStep(InputStep& input);
    bool HelpStep(InputStep& input);
    bool CheckRow(InputStep& input);
    bool Mark(InputStep& input);
    bool DoubleTap(InputStep& input);
    bool Hold(InputStep& input);
    bool Header(InputStep& input);
    bool Select(InputStep& input);
    bool SetCheck(InputStep& input);
    bool Tap(InputStep& input);

    // One function per check of `expect`.
    void ExpectBox(const CheckStep& check);
    void ExpectNoBox(const CheckStep& check);
    void ExpectTitle(const CheckStep& check);
    void ExpectText(const CheckStep& check);
    void ExpectButtons(const CheckStep& check);
    void ExpectProgress(const CheckStep& check);
    void ExpectPath(const CheckStep& check);
    void ExpectRows(const CheckStep& check);
    void ExpectRow(const CheckStep& check);
    void ExpectChecked(const CheckStep& check);

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    std::ostream& m_transcript;
    std::vector<ShownBox> m_boxes;
    std::size_t m_boxesChecked = 0;
    std::deque<platform::ui::MessageBoxAnswer> m_answers;
    bool m_holdPending = false;
    long m_cancelChecks = 0;
    struct BlockTap {
        long atCheck;
        platform::ui::Point point;
    };
    std::vector<BlockTap> m_blockTaps;
};

}  // namespace script

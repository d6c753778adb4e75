#include "script/script_player.h"

#include "platform/text/codepage.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/list_view.h"
#include "platform/ui/progress_bar.h"
#include "platform/ui/window.h"
#include "script/step_args.h"

namespace script {

using platform::Device;
using namespace platform::ui;

namespace {

std::string AnswerName(MessageBoxAnswer answer) {
    switch (answer) {
        case MessageBoxAnswer::Yes:
            return "yes";
        case MessageBoxAnswer::No:
            return "no";
        case MessageBoxAnswer::Ok:
            break;
    }
    return "ok";
}

bool IsCheck(const std::string& verb) {
    return verb == "expect" || verb == "show";
}

}  // namespace

ScriptPlayer::ScriptPlayer(std::vector<Step> steps, std::ostream& transcript)
    : m_steps(std::move(steps)), m_transcript(transcript) {}

void ScriptPlayer::Line(const std::wstring& text) {
    m_transcript << Utf8(text) << '\n';
    m_transcript.flush();
}

void ScriptPlayer::RunUntilInput(Device& device) {
    while (m_next < m_steps.size()) {
        const Step& step = m_steps[m_next++];
        if (Apply(device, step)) {
            return;
        }
    }
    throw ScriptStop(kStatusScriptOut, "the script ran out while the program waited for input");
}

void ScriptPlayer::Finish(Device& device) {
    while (m_next < m_steps.size()) {
        const Step& step = m_steps[m_next++];
        if (!IsCheck(step.verb)) {
            StepCannotApply(step, "steps left after the program ended");
        }
        ApplyCheck(device, step);
    }
}

bool ScriptPlayer::Apply(Device& device, const Step& step) {
    if (IsCheck(step.verb)) {
        m_holdPending = false;
        ApplyCheck(device, step);
        return false;
    }
    const bool queued = ApplyInput(device, step);
    return queued;
}

void ScriptPlayer::Show(Device& device) {
    const Window* window = device.Innermost();
    if (window == nullptr) {
        m_transcript << "show: no window\n";
        return;
    }
    m_transcript << "show " << Quoted(window->GetWindowText()) << ' ' << window->ClassName()
                 << '\n';
    if (const auto* combo = FirstControlOf<ComboBox>(*window)) {
        m_transcript << "  path";
        for (int i = 0; i < combo->GetCount(); ++i) {
            m_transcript << ' ' << (i == combo->GetCurSel() ? "*" : "")
                         << Quoted(combo->GetLBText(i));
        }
        m_transcript << '\n';
    }
    if (const auto* view = FirstControlOf<ListView>(*window)) {
        for (int row = 0; row < view->GetItemCount(); ++row) {
            m_transcript << "  " << row;
            for (int column = 0; column < 3; ++column) {
                m_transcript << '|' << Utf8(view->GetItemText(row, column));
            }
            m_transcript << '|' << (view->GetCheck(row) ? "checked" : "") << '\n';
        }
    }
    const CommandBar& bar = window->GetCommandBar();
    if (!bar.Empty()) {
        m_transcript << "  visible";
        for (const auto& button : bar.Buttons()) {
            if (button.visible) {
                m_transcript << ' ' << button.id;
            }
        }
        m_transcript << "\n  enabled";
        for (const auto& button : bar.Buttons()) {
            if (button.visible && button.enabled) {
                m_transcript << ' ' << button.id;
            }
        }
        m_transcript << '\n';
    }
    if (const auto* bar = FirstControlOf<ProgressBar>(*window)) {
        m_transcript << "  progress " << bar->GetPos() << '\n';
    }
    m_transcript.flush();
    if (onSnapshot) {
        onSnapshot("show");
    }
}

MessageBoxAnswer ScriptPlayer::ShowBox(const std::wstring& text, const std::wstring& title,
                                       MessageBoxButtons buttons) {
    MessageBoxAnswer answer = MessageBoxAnswer::Ok;
    if (buttons == MessageBoxButtons::YesNo) {
        if (m_answers.empty()) {
            Line(L"box " + Quote(title) + L" " + Quote(text) + L" yesno -> ?");
            throw ScriptStop(kStatusBadStep,
                             "a Yes/No question has no queued answer: " + Quoted(text));
        }
        answer = m_answers.front();
        m_answers.pop_front();
    }
    m_boxes.push_back({title, text, buttons, answer});
    Line(L"box " + Quote(title) + L" " + Quote(text) +
         (buttons == MessageBoxButtons::YesNo ? L" yesno -> " : L" ok -> ") +
         platform::text::FromUtf8(AnswerName(answer)));
    return answer;
}

int ScriptPlayer::ChooseMenuEntry(const Menu& menu) {
    if (!m_holdPending || m_next >= m_steps.size() || m_steps[m_next].verb != "menu") {
        m_holdPending = false;
        return 0;
    }
    m_holdPending = false;
    const Step& step = m_steps[m_next++];
    const auto id = step.args.empty() ? std::nullopt : ToInt(step.args[0]);
    if (!id || !menu.HasCommand(*id)) {
        StepCannotApply(
            step, "the pop-up menu has no entry " + (step.args.empty() ? "" : Utf8(step.args[0])));
    }
    return *id;
}

void ScriptPlayer::CancelCheck(MessageQueue& queue) {
    ++m_cancelChecks;
    for (auto it = m_blockTaps.begin(); it != m_blockTaps.end();) {
        if (it->atCheck == m_cancelChecks) {
            Message tap;
            tap.kind = MessageKind::StylusDown;
            tap.point = it->point;
            queue.Post(tap);
            it = m_blockTaps.erase(it);
        } else {
            ++it;
        }
    }
}

void ScriptPlayer::WindowOpened(const Window& window) {
    Line(L"window open " + Quote(window.GetWindowText()) + L" " +
         platform::text::FromUtf8(window.ClassName()));
    if (onSnapshot) {
        onSnapshot(std::string("open-") + window.ClassName());
    }
}

void ScriptPlayer::WindowClosed(const Window& window) {
    Line(L"window close " + Quote(window.GetWindowText()) + L" " +
         platform::text::FromUtf8(window.ClassName()));
}

void ScriptPlayer::ProgramStarted(const std::wstring& program, const std::wstring& commandLine) {
    Line(L"help " + Quote(program) + L" " + Quote(commandLine));
}

void ScriptPlayer::UrlOpened(const std::wstring& url) {
    Line(L"url " + Quote(url));
}

void ScriptPlayer::ConnectionProtected() {
    Line(L"secure connection");
}

}  // namespace script

#include "script/script_player.h"

#include <algorithm>
#include <charconv>

#include "platform/text/codepage.h"
#include "platform/ui/list_view.h"
#include "platform/ui/simple_controls.h"
#include "platform/ui/window.h"

namespace script {

using platform::Device;
using namespace platform::ui;

namespace {

std::string Utf8(const std::wstring& text) {
    return platform::text::ToUtf8(text);
}

std::string Quoted(const std::wstring& text) {
    return Utf8(Quote(text));
}

std::optional<int> ToInt(const std::wstring& word) {
    const std::string text = Utf8(word);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

template <class T>
T* FirstControlOf(const Window& window, ControlKind kind) {
    for (Control* control : window.Controls()) {
        if (control->Kind() == kind) {
            return static_cast<T*>(control);
        }
    }
    return nullptr;
}

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

void ScriptPlayer::Fail(const Step& step, const std::string& expected,
                        const std::string& found) const {
    throw ScriptStop(kStatusCheckFailed, "script line " + std::to_string(step.line) +
                                             ": expected " + expected + ", found " + found);
}

void ScriptPlayer::Bad(const Step& step, const std::string& why) const {
    throw ScriptStop(kStatusBadStep, "script line " + std::to_string(step.line) + ": " + why);
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
            Bad(step, "steps left after the program ended");
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

bool ScriptPlayer::ApplyInput(Device& device, const Step& step) {
    const std::string& verb = step.verb;
    const auto arg = [&](std::size_t i) -> const std::wstring& {
        if (i >= step.args.size()) {
            Bad(step, "'" + verb + "' needs more arguments");
        }
        return step.args[i];
    };
    const auto number = [&](std::size_t i) {
        const auto value = ToInt(arg(i));
        if (!value) {
            Bad(step, "'" + Utf8(arg(i)) + "' is not a number");
        }
        return *value;
    };

    if (verb == "answer") {
        if (arg(0) == L"yes") {
            m_answers.push_back(MessageBoxAnswer::Yes);
        } else if (arg(0) == L"no") {
            m_answers.push_back(MessageBoxAnswer::No);
        } else {
            Bad(step, "answer is yes or no");
        }
        return false;
    }
    if (verb == "tap-at-block") {
        m_blockTaps.push_back({m_cancelChecks + number(0), {number(1), number(2)}});
        return false;
    }
    if (verb == "menu") {
        Bad(step, "'menu' only follows 'hold'");
    }

    Window* window = device.Innermost();
    if (window == nullptr) {
        Bad(step, "no window is open");
    }
    Message message;
    message.window = window->Handle();

    const auto control = [&](int id, ControlKind kind) -> Control& {
        Control* found = window->GetDlgItem(id);
        if (found == nullptr || found->Kind() != kind) {
            Bad(step, "the window has no such control " + std::to_string(id));
        }
        return *found;
    };
    const auto list = [&]() -> ListView& {
        auto* found = FirstControlOf<ListView>(*window, ControlKind::ListView);
        if (found == nullptr) {
            Bad(step, "the window has no list");
        }
        return *found;
    };
    const auto row = [&](ListView& view, std::size_t i) {
        const int value = number(i);
        if (value < 0 || value >= view.GetItemCount()) {
            Bad(step, "row " + std::to_string(value) + " is out of range");
        }
        return value;
    };

    if (verb == "type") {
        control(number(0), ControlKind::Edit).SetWindowText(arg(1));
        return false;
    }
    if (verb == "click") {
        Control& button = control(number(0), ControlKind::Button);
        if (!button.IsEnabled() || !button.IsVisible()) {
            Bad(step, "button " + std::to_string(button.Id()) + " cannot be pressed");
        }
        message.kind = MessageKind::Command;
        message.id = button.Id();
    } else if (verb == "command") {
        message.kind = MessageKind::Command;
        message.id = number(0);
    } else if (verb == "help") {
        message.kind = MessageKind::Help;
    } else if (verb == "check" || verb == "uncheck") {
        ListView& view = list();
        view.SetCheck(row(view, 0), verb == "check");
        return false;
    } else if (verb == "mark") {
        ListView& view = list();
        view.SelectRow(row(view, 0));
        return false;
    } else if (verb == "doubletap") {
        ListView& view = list();
        const int target = row(view, 0);
        view.SelectRow(target);
        message.kind = MessageKind::Notify;
        message.id = message.control = view.Id();
        message.code = kNotifyDoubleTap;
        message.item = target;
        message.point = view.RowRect(target).Centre();
    } else if (verb == "hold") {
        ListView& view = list();
        message.kind = MessageKind::Notify;
        message.id = message.control = view.Id();
        message.code = kNotifyTapAndHold;
        if (arg(0) == L"none") {
            const Rect area = view.ScreenRect();
            const Rect below = view.RowRect(view.GetItemCount());
            // Empty space below the rows, or the header when the rows fill the list.
            message.point =
                area.Contains(below.Centre()) ? below.Centre() : Point{area.x + 4, area.y + 2};
        } else {
            message.item = row(view, 0);
            message.point = view.RowRect(message.item).Centre();
        }
        m_holdPending = true;
        device.Queue().Post(message);
        return true;
    } else if (verb == "header") {
        ListView& view = list();
        const int column = number(0);
        if (column < 0 || column >= view.GetColumnCount()) {
            Bad(step, "column " + std::to_string(column) + " is out of range");
        }
        message.kind = MessageKind::Notify;
        message.id = message.control = view.Id();
        message.code = kNotifyColumnClick;
        message.column = column;
    } else if (verb == "select") {
        auto& combo = static_cast<ComboBox&>(control(number(0), ControlKind::ComboBox));
        const int index = number(1);
        if (index < 0 || index >= combo.GetCount()) {
            Bad(step, "entry " + std::to_string(index) + " is out of range");
        }
        combo.SetCurSel(index);
        message.kind = MessageKind::Notify;
        message.id = message.control = combo.Id();
        message.code = kNotifySelChange;
    } else if (verb == "setcheck") {
        auto& box = static_cast<CheckBox&>(control(number(0), ControlKind::CheckBox));
        if (arg(1) != L"on" && arg(1) != L"off") {
            Bad(step, "setcheck takes on or off");
        }
        box.SetCheck(arg(1) == L"on");
        return false;
    } else if (verb == "tap") {
        message.kind = MessageKind::StylusDown;
        message.point = {number(0), number(1)};
        device.Queue().Post(message);
        message.kind = MessageKind::StylusUp;
    } else {
        Bad(step, "unknown step '" + verb + "'");
    }
    m_holdPending = false;
    device.Queue().Post(message);
    return true;
}

void ScriptPlayer::ApplyCheck(Device& device, const Step& step) {
    if (step.verb == "show") {
        Show(device);
        return;
    }
    if (step.args.empty()) {
        Bad(step, "'expect' needs a check");
    }
    const std::wstring& what = step.args[0];
    const auto arg = [&](std::size_t i) -> const std::wstring& {
        if (i >= step.args.size()) {
            Bad(step, "'expect " + Utf8(what) + "' needs more arguments");
        }
        return step.args[i];
    };
    const auto number = [&](std::size_t i) {
        const auto value = ToInt(arg(i));
        if (!value) {
            Bad(step, "'" + Utf8(arg(i)) + "' is not a number");
        }
        return *value;
    };

    if (what == L"box") {
        if (m_boxesChecked >= m_boxes.size()) {
            Fail(step, "box " + Quoted(arg(1)), "no further box");
        }
        const ShownBox& box = m_boxes[m_boxesChecked++];
        if (box.text != arg(1)) {
            Fail(step, "box " + Quoted(arg(1)), "box " + Quoted(box.text));
        }
        return;
    }
    if (what == L"no-box") {
        if (m_boxesChecked < m_boxes.size()) {
            Fail(step, "no box", "box " + Quoted(m_boxes[m_boxesChecked].text));
        }
        return;
    }

    const Window* window = device.Innermost();
    if (window == nullptr) {
        Fail(step, "an open window", "none");
    }
    if (what == L"title") {
        if (window->GetWindowText() != arg(1)) {
            Fail(step, "title " + Quoted(arg(1)), "title " + Quoted(window->GetWindowText()));
        }
        return;
    }
    if (what == L"text") {
        const Control* control = window->GetDlgItem(number(1));
        if (control == nullptr) {
            Bad(step, "the window has no control " + Utf8(arg(1)));
        }
        if (control->GetWindowText() != arg(2)) {
            Fail(step, "text " + Quoted(arg(2)), "text " + Quoted(control->GetWindowText()));
        }
        return;
    }
    if (what == L"visible" || what == L"hidden" || what == L"enabled" || what == L"disabled") {
        const CommandBar& bar = window->GetCommandBar();
        for (std::size_t i = 1; i < step.args.size(); ++i) {
            const int id = number(i);
            if (!bar.Has(id)) {
                Bad(step, "the command bar has no button " + std::to_string(id));
            }
            const bool holds = what == L"visible"   ? bar.IsVisible(id)
                               : what == L"hidden"  ? !bar.IsVisible(id)
                               : what == L"enabled" ? bar.IsEnabled(id)
                                                    : !bar.IsEnabled(id);
            if (!holds) {
                Fail(step, "button " + std::to_string(id) + " " + Utf8(what),
                     "it is not " + Utf8(what));
            }
        }
        return;
    }
    if (what == L"progress") {
        const auto* bar = FirstControlOf<ProgressBar>(*window, ControlKind::ProgressBar);
        if (bar == nullptr) {
            Bad(step, "the window has no progress bar");
        }
        if (bar->GetPos() != number(1)) {
            Fail(step, "progress " + Utf8(arg(1)), "progress " + std::to_string(bar->GetPos()));
        }
        return;
    }
    if (what == L"path") {
        const auto* combo = FirstControlOf<ComboBox>(*window, ControlKind::ComboBox);
        if (combo == nullptr) {
            Bad(step, "the window has no path box");
        }
        std::vector<std::wstring> expected(step.args.begin() + 2, step.args.end());
        const int selection = number(1);
        if (combo->Entries() != expected || combo->GetCurSel() != selection) {
            std::string want = "path " + std::to_string(selection);
            for (const auto& entry : expected) {
                want += " " + Quoted(entry);
            }
            std::string have = "path " + std::to_string(combo->GetCurSel());
            for (const auto& entry : combo->Entries()) {
                have += " " + Quoted(entry);
            }
            Fail(step, want, have);
        }
        return;
    }

    const auto* view = FirstControlOf<ListView>(*window, ControlKind::ListView);
    if (view == nullptr) {
        Bad(step, "the window has no list");
    }
    if (what == L"rows") {
        if (view->GetItemCount() != number(1)) {
            Fail(step, Utf8(arg(1)) + " rows", std::to_string(view->GetItemCount()) + " rows");
        }
        return;
    }
    const int row = number(1);
    if (row < 0 || row >= view->GetItemCount()) {
        Fail(step, "row " + std::to_string(row), std::to_string(view->GetItemCount()) + " rows");
    }
    if (what == L"row") {
        std::string want = "row " + std::to_string(row);
        std::string have = want;
        bool holds = true;
        for (std::size_t i = 2; i < step.args.size(); ++i) {
            const std::wstring text = view->GetItemText(row, static_cast<int>(i - 2));
            holds = holds && text == step.args[i];
            want += " " + Quoted(step.args[i]);
            have += " " + Quoted(text);
        }
        if (!holds) {
            Fail(step, want, have);
        }
        return;
    }
    if (what == L"checked" || what == L"unchecked") {
        if (view->GetCheck(row) != (what == L"checked")) {
            Fail(step, "row " + std::to_string(row) + " " + Utf8(what),
                 view->GetCheck(row) ? "checked" : "unchecked");
        }
        return;
    }
    Bad(step, "unknown check '" + Utf8(what) + "'");
}

void ScriptPlayer::Show(Device& device) {
    const Window* window = device.Innermost();
    if (window == nullptr) {
        m_transcript << "show: no window\n";
        return;
    }
    m_transcript << "show " << Quoted(window->GetWindowText()) << ' ' << window->ClassName()
                 << '\n';
    if (const auto* combo = FirstControlOf<ComboBox>(*window, ControlKind::ComboBox)) {
        m_transcript << "  path";
        for (int i = 0; i < combo->GetCount(); ++i) {
            m_transcript << ' ' << (i == combo->GetCurSel() ? "*" : "")
                         << Quoted(combo->GetLBText(i));
        }
        m_transcript << '\n';
    }
    if (const auto* view = FirstControlOf<ListView>(*window, ControlKind::ListView)) {
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
    if (const auto* bar = FirstControlOf<ProgressBar>(*window, ControlKind::ProgressBar)) {
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
        Bad(step, "the pop-up menu has no entry " + (step.args.empty() ? "" : Utf8(step.args[0])));
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

}  // namespace script

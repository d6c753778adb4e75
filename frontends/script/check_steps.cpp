// The checks of `expect`: each has one function, found through a table, that compares what a
// person would see with the step's values.

#include <algorithm>
#include <iterator>
#include <string_view>

#include "platform/ui/combo_box.h"
#include "platform/ui/list_view.h"
#include "platform/ui/progress_bar.h"
#include "script/script_player.h"
#include "script/step_args.h"

namespace script {

using platform::Device;
using namespace platform::ui;

struct ScriptPlayer::CheckStep {
    const Step& step;
    const std::wstring& what;  // the check's name, the step's first argument
    StepArgs args;
    const Window* window = nullptr;  // the innermost window, for the checks that need one
    const ListView* list = nullptr;  // its list, for the checks of rows
    int row = -1;                    // the row the second argument names, for a row's checks
};

namespace {

// What a check looks at before its own comparison.
enum class Needs { Nothing, Window, List, Row };

}  // namespace

void ScriptPlayer::ApplyCheck(Device& device, const Step& step) {
    if (step.verb == "show") {
        Show(device);
        return;
    }
    if (step.args.empty()) {
        StepCannotApply(step, "'expect' needs a check");
    }
    struct Check {
        std::wstring_view name;
        Needs needs;
        void (ScriptPlayer::*apply)(const CheckStep&);
    };
    static constexpr Check kChecks[] = {
        {L"box", Needs::Nothing, &ScriptPlayer::ExpectBox},
        {L"no-box", Needs::Nothing, &ScriptPlayer::ExpectNoBox},
        {L"title", Needs::Window, &ScriptPlayer::ExpectTitle},
        {L"text", Needs::Window, &ScriptPlayer::ExpectText},
        {L"visible", Needs::Window, &ScriptPlayer::ExpectButtons},
        {L"hidden", Needs::Window, &ScriptPlayer::ExpectButtons},
        {L"enabled", Needs::Window, &ScriptPlayer::ExpectButtons},
        {L"disabled", Needs::Window, &ScriptPlayer::ExpectButtons},
        {L"progress", Needs::Window, &ScriptPlayer::ExpectProgress},
        {L"path", Needs::Window, &ScriptPlayer::ExpectPath},
        {L"rows", Needs::List, &ScriptPlayer::ExpectRows},
        {L"row", Needs::Row, &ScriptPlayer::ExpectRow},
        {L"checked", Needs::Row, &ScriptPlayer::ExpectChecked},
        {L"unchecked", Needs::Row, &ScriptPlayer::ExpectChecked},
    };
    const std::wstring& what = step.args[0];
    const auto* check = std::find_if(std::begin(kChecks), std::end(kChecks),
                                     [&](const Check& c) { return c.name == what; });
    const bool known = check != std::end(kChecks);
    // An unknown check is reported once the window and its list are found.
    const Needs needs = known ? check->needs : Needs::List;
    CheckStep input{step, what, StepArgs(step, "expect " + Utf8(what)), nullptr, nullptr, -1};
    if (needs != Needs::Nothing) {
        input.window = device.Innermost();
        if (input.window == nullptr) {
            CheckFailed(step, "an open window", "none");
        }
    }
    if (needs == Needs::List || needs == Needs::Row) {
        input.list = FirstControlOf<ListView>(*input.window);
        if (input.list == nullptr) {
            StepCannotApply(step, "the window has no list");
        }
    }
    if (!known) {
        StepCannotApply(step, "unknown check '" + Utf8(what) + "'");
    }
    if (needs == Needs::Row) {
        input.row = input.args.Number(1);
        if (input.row < 0 || input.row >= input.list->GetItemCount()) {
            CheckFailed(step, "row " + std::to_string(input.row),
                        std::to_string(input.list->GetItemCount()) + " rows");
        }
    }
    (this->*check->apply)(input);
}

void ScriptPlayer::ExpectBox(const CheckStep& check) {
    const std::wstring& text = check.args.Text(1);
    if (m_boxesChecked >= m_boxes.size()) {
        CheckFailed(check.step, "box " + Quoted(text), "no further box");
    }
    const ShownBox& box = m_boxes[m_boxesChecked++];
    if (box.text != text) {
        CheckFailed(check.step, "box " + Quoted(text), "box " + Quoted(box.text));
    }
}

void ScriptPlayer::ExpectNoBox(const CheckStep& check) {
    if (m_boxesChecked < m_boxes.size()) {
        CheckFailed(check.step, "no box", "box " + Quoted(m_boxes[m_boxesChecked].text));
    }
}

void ScriptPlayer::ExpectTitle(const CheckStep& check) {
    const std::wstring& title = check.window->GetWindowText();
    if (title != check.args.Text(1)) {
        CheckFailed(check.step, "title " + Quoted(check.args.Text(1)), "title " + Quoted(title));
    }
}

void ScriptPlayer::ExpectText(const CheckStep& check) {
    const Control* control = check.window->GetDlgItem(check.args.Number(1));
    if (control == nullptr) {
        StepCannotApply(check.step, "the window has no control " + Utf8(check.args.Text(1)));
    }
    if (control->GetWindowText() != check.args.Text(2)) {
        CheckFailed(check.step, "text " + Quoted(check.args.Text(2)),
                    "text " + Quoted(control->GetWindowText()));
    }
}

void ScriptPlayer::ExpectButtons(const CheckStep& check) {
    const CommandBar& bar = check.window->GetCommandBar();
    for (std::size_t i = 1; i < check.args.Count(); ++i) {
        const int id = check.args.Number(i);
        if (!bar.Has(id)) {
            StepCannotApply(check.step, "the command bar has no button " + std::to_string(id));
        }
        const bool holds = check.what == L"visible"   ? bar.IsVisible(id)
                           : check.what == L"hidden"  ? !bar.IsVisible(id)
                           : check.what == L"enabled" ? bar.IsEnabled(id)
                                                      : !bar.IsEnabled(id);
        if (!holds) {
            CheckFailed(check.step, "button " + std::to_string(id) + " " + Utf8(check.what),
                        "it is not " + Utf8(check.what));
        }
    }
}

void ScriptPlayer::ExpectProgress(const CheckStep& check) {
    const auto* bar = FirstControlOf<ProgressBar>(*check.window);
    if (bar == nullptr) {
        StepCannotApply(check.step, "the window has no progress bar");
    }
    if (bar->GetPos() != check.args.Number(1)) {
        CheckFailed(check.step, "progress " + Utf8(check.args.Text(1)),
                    "progress " + std::to_string(bar->GetPos()));
    }
}

void ScriptPlayer::ExpectPath(const CheckStep& check) {
    const auto* combo = FirstControlOf<ComboBox>(*check.window);
    if (combo == nullptr) {
        StepCannotApply(check.step, "the window has no path box");
    }
    const std::vector<std::wstring> expected(check.step.args.begin() + 2, check.step.args.end());
    const int selection = check.args.Number(1);
    if (combo->Entries() != expected || combo->GetCurSel() != selection) {
        std::string want = "path " + std::to_string(selection);
        for (const auto& entry : expected) {
            want += " " + Quoted(entry);
        }
        std::string have = "path " + std::to_string(combo->GetCurSel());
        for (const auto& entry : combo->Entries()) {
            have += " " + Quoted(entry);
        }
        CheckFailed(check.step, want, have);
    }
}

void ScriptPlayer::ExpectRows(const CheckStep& check) {
    if (check.list->GetItemCount() != check.args.Number(1)) {
        CheckFailed(check.step, Utf8(check.args.Text(1)) + " rows",
                    std::to_string(check.list->GetItemCount()) + " rows");
    }
}

void ScriptPlayer::ExpectRow(const CheckStep& check) {
    std::string want = "row " + std::to_string(check.row);
    std::string have = want;
    bool holds = true;
    for (std::size_t i = 2; i < check.args.Count(); ++i) {
        const std::wstring text = check.list->GetItemText(check.row, static_cast<int>(i - 2));
        holds = holds && text == check.step.args[i];
        want += " " + Quoted(check.step.args[i]);
        have += " " + Quoted(text);
    }
    if (!holds) {
        CheckFailed(check.step, want, have);
    }
}

void ScriptPlayer::ExpectChecked(const CheckStep& check) {
    const bool checked = check.list->GetCheck(check.row);
    if (checked != (check.what == L"checked")) {
        CheckFailed(check.step, "row " + std::to_string(check.row) + " " + Utf8(check.what),
                    checked ? "checked" : "unchecked");
    }
}

}  // namespace script

// The input steps: each verb has one function, found through a table; the ones that queue
// input for the program say so by returning true.

#include <algorithm>
#include <iterator>
#include <string_view>

#include "platform/ui/button.h"
#include "platform/ui/check_box.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit.h"
#include "platform/ui/geometry.h"
#include "platform/ui/list_view.h"
#include "script/script_player.h"
#include "script/step_args.h"

namespace script {

using platform::Device;
using namespace platform::ui;

struct ScriptPlayer::InputStep {
    Device& device;
    const Step& step;
    StepArgs args;
    Window* window = nullptr;  // the innermost window, for the verbs that need one
    Message message;           // what the step queues, addressed to that window

    template <class T>
    T& ControlOf(int id) const {
        T* found = ControlAs<T>(window->GetDlgItem(id));
        if (found == nullptr) {
            StepCannotApply(step, "the window has no such control " + std::to_string(id));
        }
        return *found;
    }
    ListView& List() const {
        auto* found = FirstControlOf<ListView>(*window);
        if (found == nullptr) {
            StepCannotApply(step, "the window has no list");
        }
        return *found;
    }
    // The row the i-th argument names, which the list must have.
    int Row(const ListView& view, std::size_t i) const {
        const int value = args.Number(i);
        if (value < 0 || value >= view.GetItemCount()) {
            StepCannotApply(step, "row " + std::to_string(value) + " is out of range");
        }
        return value;
    }
    // Points the message at the list, as a notification of it.
    void NotifyFrom(const ListView& view, int code) {
        message.kind = MessageKind::Notify;
        message.id = message.control = view.Id();
        message.code = code;
    }
    // The centre of a row, scrolled into view first as a person would.
    static Point RowCentre(ListView& view, int row) {
        const int shown =
            std::max(1, (view.ScreenRect().height - kListHeaderHeight) / kListRowHeight);
        if (row < view.TopIndex()) {
            view.SetTopIndex(row);
        } else if (row >= view.TopIndex() + shown) {
            view.SetTopIndex(row - shown + 1);
        }
        return view.RowRect(row).Centre();
    }
    // Where a hold on no row lands: empty space below the rows, or the header when the rows
    // fill the list.
    static Point EmptySpace(const ListView& view) {
        const Rect area = view.ScreenRect();
        const Point below = view.RowRect(view.GetItemCount()).Centre();
        return area.Contains(below) ? below : Point{area.x + 4, area.y + 2};
    }
    // The list's own handling of a gesture took it, or the step cannot apply.
    void Taken(bool taken) const {
        if (!taken) {
            StepCannotApply(step, "the list took no " + step.verb);
        }
    }
};

bool ScriptPlayer::ApplyInput(Device& device, const Step& step) {
    struct Verb {
        std::string_view name;
        bool needsWindow;
        bool (ScriptPlayer::*apply)(InputStep&);
    };
    static constexpr Verb kVerbs[] = {
        {"answer", false, &ScriptPlayer::Answer},
        {"tap-at-block", false, &ScriptPlayer::TapAtBlock},
        {"menu", false, &ScriptPlayer::MenuWithoutHold},
        {"type", true, &ScriptPlayer::Type},
        {"click", true, &ScriptPlayer::Click},
        {"command", true, &ScriptPlayer::CommandStep},
        {"help", true, &ScriptPlayer::HelpStep},
        {"check", true, &ScriptPlayer::CheckRow},
        {"uncheck", true, &ScriptPlayer::CheckRow},
        {"mark", true, &ScriptPlayer::Mark},
        {"doubletap", true, &ScriptPlayer::DoubleTap},
        {"hold", true, &ScriptPlayer::Hold},
        {"header", true, &ScriptPlayer::Header},
        {"select", true, &ScriptPlayer::Select},
        {"setcheck", true, &ScriptPlayer::SetCheck},
        {"tap", true, &ScriptPlayer::Tap},
    };
    const auto* verb = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                    [&](const Verb& v) { return v.name == step.verb; });
    const bool known = verb != std::end(kVerbs);
    InputStep input{device, step, StepArgs(step, step.verb), nullptr, {}};
    if (!known || verb->needsWindow) {
        input.window = device.Innermost();
        if (input.window == nullptr) {
            StepCannotApply(step, "no window is open");
        }
        input.message.window = input.window->Handle();
    }
    if (!known) {
        StepCannotApply(step, "unknown step '" + step.verb + "'");
    }
    return (this->*verb->apply)(input);
}

bool ScriptPlayer::Queue(InputStep& input) {
    m_holdPending = false;
    input.device.Queue().Post(input.message);
    return true;
}

bool ScriptPlayer::Answer(InputStep& input) {
    const std::wstring& answer = input.args.Text(0);
    if (answer == L"yes") {
        m_answers.push_back(MessageBoxAnswer::Yes);
    } else if (answer == L"no") {
        m_answers.push_back(MessageBoxAnswer::No);
    } else {
        StepCannotApply(input.step, "answer is yes or no");
    }
    return false;
}

bool ScriptPlayer::TapAtBlock(InputStep& input) {
    m_blockTaps.push_back(
        {m_cancelChecks + input.args.Number(0), {input.args.Number(1), input.args.Number(2)}});
    return false;
}

bool ScriptPlayer::MenuWithoutHold(InputStep& input) {
    // A menu step that follows a hold is taken when the pop-up menu opens.
    StepCannotApply(input.step, "'menu' only follows 'hold'");
}

bool ScriptPlayer::Type(InputStep& input) {
    input.ControlOf<Edit>(input.args.Number(0)).SetWindowText(input.args.Text(1));
    return false;
}

bool ScriptPlayer::Click(InputStep& input) {
    Button& button = input.ControlOf<Button>(input.args.Number(0));
    if (!button.IsEnabled() || !button.IsVisible()) {
        StepCannotApply(input.step, "button " + std::to_string(button.Id()) + " cannot be pressed");
    }
    input.message.kind = MessageKind::Command;
    input.message.id = button.Id();
    return Queue(input);
}

bool ScriptPlayer::CommandStep(InputStep& input) {
    input.message.kind = MessageKind::Command;
    input.message.id = input.args.Number(0);
    return Queue(input);
}

bool ScriptPlayer::HelpStep(InputStep& input) {
    input.message.kind = MessageKind::Help;
    return Queue(input);
}

bool ScriptPlayer::CheckRow(InputStep& input) {
    ListView& view = input.List();
    view.SetCheck(input.Row(view, 0), input.step.verb == "check");
    return false;
}

// The list's gestures go through the toolkit's own hooks, as a front end's input does.
bool ScriptPlayer::Mark(InputStep& input) {
    ListView& view = input.List();
    input.Taken(view.TapAt(InputStep::RowCentre(view, input.Row(view, 0))));
    return false;
}

bool ScriptPlayer::DoubleTap(InputStep& input) {
    ListView& view = input.List();
    input.Taken(view.DoubleTapAt(InputStep::RowCentre(view, input.Row(view, 0))));
    m_holdPending = false;
    return true;
}

bool ScriptPlayer::Hold(InputStep& input) {
    ListView& view = input.List();
    const Point point = input.args.Text(0) == L"none"
                            ? InputStep::EmptySpace(view)
                            : InputStep::RowCentre(view, input.Row(view, 0));
    input.Taken(view.HoldAt(point));
    // The pop-up menu the hold opens takes the next step if it is a menu step.
    m_holdPending = true;
    return true;
}

bool ScriptPlayer::Header(InputStep& input) {
    ListView& view = input.List();
    const int column = input.args.Number(0);
    if (column < 0 || column >= view.GetColumnCount()) {
        StepCannotApply(input.step, "column " + std::to_string(column) + " is out of range");
    }
    input.NotifyFrom(view, kNotifyColumnClick);
    input.message.column = column;
    return Queue(input);
}

bool ScriptPlayer::Select(InputStep& input) {
    auto& combo = input.ControlOf<ComboBox>(input.args.Number(0));
    const int index = input.args.Number(1);
    if (index < 0 || index >= combo.GetCount()) {
        StepCannotApply(input.step, "entry " + std::to_string(index) + " is out of range");
    }
    combo.SetCurSel(index);
    input.message.kind = MessageKind::Notify;
    input.message.id = input.message.control = combo.Id();
    input.message.code = kNotifySelChange;
    return Queue(input);
}

bool ScriptPlayer::SetCheck(InputStep& input) {
    auto& box = input.ControlOf<CheckBox>(input.args.Number(0));
    const std::wstring& state = input.args.Text(1);
    if (state != L"on" && state != L"off") {
        StepCannotApply(input.step, "setcheck takes on or off");
    }
    box.SetCheck(state == L"on");
    return false;
}

bool ScriptPlayer::Tap(InputStep& input) {
    input.message.kind = MessageKind::StylusDown;
    input.message.point = {input.args.Number(0), input.args.Number(1)};
    input.device.Queue().Post(input.message);
    input.message.kind = MessageKind::StylusUp;
    return Queue(input);
}

}  // namespace script

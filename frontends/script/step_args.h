#pragma once
// What the input steps and the checks share: reading a step's arguments, ending a run on a
// step that cannot apply or a check that does not hold, and finding a window's controls.

#include <cstddef>
#include <optional>
#include <string>

#include "platform/ui/window.h"
#include "script/script.h"

namespace script {

std::string Utf8(const std::wstring& text);
// The text quoted as the script writes it, in UTF-8.
std::string Quoted(const std::wstring& text);
// The whole word as a decimal number, or nothing.
std::optional<int> ToInt(const std::wstring& word);

// Ends the run with status 2: the step cannot apply.
[[noreturn]] void StepCannotApply(const Step& step, const std::string& why);
// Ends the run with status 1: the check did not hold.
[[noreturn]] void CheckFailed(const Step& step, const std::string& expected,
                              const std::string& found);

// A step's arguments; a missing one or a word that is not a number ends the run with
// status 2. `name` is how the message names the step ("type", "expect path").
class StepArgs {
  public:
    StepArgs(const Step& step, std::string name) : m_step(step), m_name(std::move(name)) {}

    const std::wstring& Text(std::size_t i) const;
    int Number(std::size_t i) const;
    std::size_t Count() const { return m_step.args.size(); }

  private:
    const Step& m_step;
    std::string m_name;
};

// The window's first control of a class, or null.
template <class T>
T* FirstControlOf(const platform::ui::Window& window) {
    for (platform::ui::Control* control : window.Controls()) {
        if (T* found = platform::ui::ControlAs<T>(control)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace script

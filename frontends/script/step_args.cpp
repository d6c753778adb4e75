#include "script/step_args.h"

#include <charconv>

#include "platform/text/codepage.h"
#include "script/script_player.h"

namespace script {

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

void StepCannotApply(const Step& step, const std::string& why) {
    throw ScriptStop(kStatusBadStep, "script line " + std::to_string(step.line) + ": " + why);
}

void CheckFailed(const Step& step, const std::string& expected, const std::string& found) {
    throw ScriptStop(kStatusCheckFailed, "script line " + std::to_string(step.line) +
                                             ": expected " + expected + ", found " + found);
}

const std::wstring& StepArgs::Text(std::size_t i) const {
    if (i >= m_step.args.size()) {
        StepCannotApply(m_step, "'" + m_name + "' needs more arguments");
    }
    return m_step.args[i];
}

int StepArgs::Number(std::size_t i) const {
    const auto value = ToInt(Text(i));
    if (!value) {
        StepCannotApply(m_step, "'" + Utf8(Text(i)) + "' is not a number");
    }
    return *value;
}

}  // namespace script

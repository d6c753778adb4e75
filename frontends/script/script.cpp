#include "script/script.h"

#include <algorithm>
#include <sstream>
#include <string_view>

#include "platform/text/codepage.h"
#include "res/resource_names.h"

namespace script {

namespace {

struct Span {
    std::size_t first = 0;
    std::size_t last = 0;  // one past
};

// Which of a step's arguments are ids: the first of the input steps that name a control or a
// command, the control of `expect text`, every button of the command bar checks.
Span IdArguments(const std::string& verb, const std::vector<std::wstring>& args) {
    static constexpr std::string_view kOneId[] = {"type", "click",  "command",
                                                  "menu", "select", "setcheck"};
    if (std::find(std::begin(kOneId), std::end(kOneId), verb) != std::end(kOneId)) {
        return {0, std::min<std::size_t>(1, args.size())};
    }
    if (verb != "expect" || args.empty()) {
        return {};
    }
    if (args[0] == L"text") {
        return {1, std::min<std::size_t>(2, args.size())};
    }
    if (args[0] == L"visible" || args[0] == L"hidden" || args[0] == L"enabled" ||
        args[0] == L"disabled") {
        return {1, args.size()};
    }
    return {};
}

// A word written like a resource name: a capital letter, then capitals, digits or '_'.
bool LooksLikeName(const std::wstring& word) {
    return !word.empty() && word[0] >= L'A' && word[0] <= L'Z' &&
           std::all_of(word.begin(), word.end(), [](wchar_t c) {
               return (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_';
           });
}

// Writes the ids given by name as their numbers; nothing, or the name that is not known.
std::optional<std::string> NumberTheIds(Step& step) {
    const Span ids = IdArguments(step.verb, step.args);
    for (std::size_t i = ids.first; i < ids.last; ++i) {
        if (!LooksLikeName(step.args[i])) {
            continue;  // a number, or a word the step itself reports
        }
        const std::string name = platform::text::ToUtf8(step.args[i]);
        const auto id = res::ResourceId(name);
        if (!id) {
            return name;
        }
        step.args[i] = std::to_wstring(*id);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::wstring>> SplitWords(const std::wstring& line) {
    std::vector<std::wstring> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == L' ' || line[i] == L'\t' || line[i] == L'\r') {
            ++i;
            continue;
        }
        std::wstring word;
        if (line[i] == L'"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const wchar_t c = line[i++];
                if (c == L'"') {
                    closed = true;
                    break;
                }
                if (c == L'\\' && i < line.size() && (line[i] == L'"' || line[i] == L'\\')) {
                    word.push_back(line[i++]);
                } else {
                    word.push_back(c);
                }
            }
            if (!closed) {
                return std::nullopt;
            }
        } else {
            while (i < line.size() && line[i] != L' ' && line[i] != L'\t' && line[i] != L'\r') {
                word.push_back(line[i++]);
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::wstring Quote(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            quoted.push_back(L'\\');
        }
        quoted.push_back(c);
    }
    quoted.push_back(L'"');
    return quoted;
}

ParseResult ParseScript(const std::string& text) {
    ParseResult result;
    std::istringstream lines(text);
    std::string raw;
    int number = 0;
    while (std::getline(lines, raw)) {
        ++number;
        const std::wstring line = platform::text::FromUtf8(raw);
        const std::size_t first = line.find_first_not_of(L" \t\r");
        if (first == std::wstring::npos || line[first] == L'#') {
            continue;
        }
        auto words = SplitWords(line);
        if (!words) {
            result.error = "line " + std::to_string(number) + ": a quoted text is not closed";
            return result;
        }
        Step step;
        step.line = number;
        step.verb = platform::text::ToUtf8((*words)[0]);
        step.args.assign(words->begin() + 1, words->end());
        if (const auto unknown = NumberTheIds(step)) {
            result.error = "line " + std::to_string(number) + ": unknown name '" + *unknown + "'";
            return result;
        }
        result.steps.push_back(std::move(step));
    }
    return result;
}

}  // namespace script

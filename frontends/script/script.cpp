#include "script/script.h"

#include <sstream>

#include "platform/text/codepage.h"

namespace script {

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
        result.steps.push_back(std::move(step));
    }
    return result;
}

}  // namespace script

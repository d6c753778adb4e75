#pragma once
// The headless script language: one step a line.

#include <optional>
#include <string>
#include <vector>

namespace script {

struct Step {
    int line = 0;                    // 1-based line of the script, 0 for steps built in code
    std::string verb;                // "type", "click", "expect", ...
    std::vector<std::wstring> args;  // arguments as written, quotes removed, ids as numbers
};

struct ParseResult {
    std::vector<Step> steps;
    std::optional<std::string> error;  // first line that could not be read
};

// Reads a whole script. Blank lines and lines whose first non-blank is '#' are skipped. An id
// may be written as its resource name (IDC_LOGIN, ID_SHOW_REMOTE); the step holds its number.
ParseResult ParseScript(const std::string& text);

// Splits one line into words; a double-quoted word may hold blanks, \" and \\.
// Nothing when a quote is not closed.
std::optional<std::vector<std::wstring>> SplitWords(const std::wstring& line);

// Quotes a text the way the script and the transcript write it.
std::wstring Quote(const std::wstring& text);

}  // namespace script

// Every kind of script check, given a wrong value, ends the run with status 1 and names the
// line of the check.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/scenario.h"

namespace {

class ScriptChecks : public testing_support::Scenario {};

struct WrongCheck {
    const char* kind;
    bool loggedIn;       // played in the file manager after the login steps, else at the login
    const char* before;  // steps that lead to the check
    const char* check;
};

// The file manager shows "My Device" with one unchecked file, "notes.txt" of 5 bytes, in the
// Local view; the login dialog shows empty edits. "enabled" has no row: no button stays
// disabled while the program waits for input.
const WrongCheck kWrongChecks[] = {
    {"title", true, "", "expect title \"Kestra\""},
    {"text", false, "type IDC_USERNAME \"alice\"\n", "expect text IDC_USERNAME \"bob\""},
    {"rows", true, "", "expect rows 2"},
    {"row", true, "", "expect row 0 \"notes.txt\" \"6\""},
    {"row out of range", true, "", "expect row 1 \"notes.txt\""},
    {"path", true, "", "expect path 0 \"Stowbox\""},
    {"path selection", true, "", "expect path 1 \"My Device\""},
    {"checked", true, "", "expect checked 0"},
    {"unchecked", true, "check 0\n", "expect unchecked 0"},
    {"visible", true, "", "expect visible ID_SHOW_LOCAL ID_DELETE"},
    {"hidden", true, "", "expect hidden ID_UPLOAD"},
    {"disabled", true, "", "expect disabled ID_UPLOAD"},
    {"progress", true, "", "expect progress 1"},
    {"box with other text", false, "click IDC_LOGIN\n", "expect box \"Enter Password\""},
    {"box when none came", true, "", "expect box \"Enter User Name\""},
    {"no-box", false, "click IDC_LOGIN\n", "expect no-box"},
};

TEST_F(ScriptChecks, WrongValueFailsWithStatusOneAtItsLine) {
    device.WriteFile("notes.txt", "hello");
    for (const WrongCheck& wrong : kWrongChecks) {
        SCOPED_TRACE(wrong.kind);
        const std::string lead = (wrong.loggedIn ? LoginSteps() : "") + wrong.before;
        const int line = static_cast<int>(std::count(lead.begin(), lead.end(), '\n')) + 1;
        const auto result = Run(lead + wrong.check + "\n" + ExitSteps());
        EXPECT_EQ(result.status, 1) << result.message << '\n' << result.transcript;
        EXPECT_EQ(result.message.rfind("script line " + std::to_string(line) + ": expected ", 0),
                  0u)
            << result.message;
    }
}

}  // namespace

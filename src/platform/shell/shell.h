#pragma once
// Starting another program of the device without waiting for it.

#include <string>

namespace platform::ui {
class Frontend;
}

namespace platform::shell {

// Starts `program` with `commandLine`; the front end decides what that means on this
// host (a help viewer becomes the desktop's browser). False when it could not start.
bool StartProgram(ui::Frontend& frontend, const std::wstring& program,
                  const std::wstring& commandLine);

}  // namespace platform::shell

#include "platform/shell/shell.h"

#include "platform/ui/frontend.h"

namespace platform::shell {

bool StartProgram(ui::Frontend& frontend, const std::wstring& program,
                  const std::wstring& commandLine) {
    return frontend.StartProgram(program, commandLine);
}

}  // namespace platform::shell

#include "platform/shell/executable_folder.h"

#include <system_error>

namespace platform::shell {

std::filesystem::path BesideExecutable(const std::filesystem::path& relative) {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !executable.is_absolute()) {
        return {};
    }
    return (executable.parent_path() / relative).lexically_normal();
}

}  // namespace platform::shell

#include "stop_signal.h"

#include <sys/eventfd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace stowbox::service {

StopSignal::StopSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!fd_) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

void StopSignal::raise() {
    const std::uint64_t one = 1;
    // The counter only needs to become non-zero; a full counter is raised already.
    [[maybe_unused]] auto written = ::write(fd_.get(), &one, sizeof one);
}

}  // namespace stowbox::service

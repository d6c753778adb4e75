#pragma once

#include "unique_fd.h"

namespace stowbox::service {

// A level-triggered "please stop" flag that poll() can wait on next to a socket, so that
// every blocking wait of a server thread ends promptly when the server shuts down.
class StopSignal {
  public:
    StopSignal();

    // Raises the flag; it stays raised.
    void raise();
    // Becomes readable once the flag is raised.
    int fd() const { return fd_.get(); }

  private:
    UniqueFd fd_;
};

}  // namespace stowbox::service

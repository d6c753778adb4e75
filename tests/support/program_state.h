#pragma once
// The program's run-long state, put back as a fresh start of the program leaves it, so that a
// test binary gives the same results whole, case by case and in any order.

namespace testing_support {

// Rebuilds the application object and the FTP session, clears the open-remote flag and
// restarts the name sort's direction.
void ResetProgramState();

}  // namespace testing_support

#pragma once
// An error a command handler leaves to the framework: the command dispatch catches it and
// reports it in a message box, and the window goes on waiting for input.

#include <stdexcept>
#include <string>

namespace platform {

class Failure : public std::runtime_error {
  public:
    explicit Failure(std::wstring report)
        : std::runtime_error("command failed"), m_report(std::move(report)) {}
    // The text of the report box.
    const std::wstring& Report() const { return m_report; }

  private:
    std::wstring m_report;
};

}  // namespace platform

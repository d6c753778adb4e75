#pragma once
// The internet session of the share request: the device's session, whose status reports
// nobody listens to.

#include <cstdint>

#include "platform/net/internet_session.h"

class CShareSession : public platform::net::InternetSession {
  public:
    // No agent text; `context` is the dialog that makes the request.
    explicit CShareSession(std::uintptr_t context)
        : InternetSession(L"", context, platform::net::InternetAccess::Preconfigured) {}

  protected:
    void OnStatusCallback(std::uintptr_t, platform::net::InternetStatus) override {}
};

#pragma once
// The device's internet session: opens a URL with an HTTP GET through the device's network
// (its routes and time-outs; the proxy settings of the environment are honoured).

#include <cstdint>
#include <memory>
#include <string>

#include "platform/failure.h"

namespace platform::net {

// How the session reaches the internet: as the device is set up (the proxy of the
// environment, if any), or always directly.
enum class InternetAccess { Preconfigured, Direct };

// Transfer modes of OpenUrl; an HTTP answer arrives the same in both.
inline constexpr std::uint32_t kTransferAscii = 0x1;
inline constexpr std::uint32_t kTransferBinary = 0x2;

// Stages a session reports to its status callback.
enum class InternetStatus { Connecting, ResponseReceived, Closing };

// A URL that could not be opened: a bad URL, or a host that could not be reached.
class InternetFailure : public Failure {
  public:
    using Failure::Failure;
};

// What an opened URL answered. Only the start of a long answer is kept.
class InternetFile {
  public:
    InternetFile(long status, std::string body) : m_status(status), m_body(std::move(body)) {}
    long StatusCode() const { return m_status; }
    const std::string& Body() const { return m_body; }

    static constexpr std::size_t kKeptBytes = 1 << 20;

  private:
    long m_status;
    std::string m_body;
};

class InternetSession {
  public:
    // `agent` is sent as the User-Agent header unless empty; `context` is handed to the
    // status callback.
    InternetSession(std::wstring agent, std::uintptr_t context,
                    InternetAccess access = InternetAccess::Preconfigured);
    virtual ~InternetSession();
    InternetSession(const InternetSession&) = delete;
    InternetSession& operator=(const InternetSession&) = delete;

    // Sends a GET for `url` (extra header lines separated by CR LF) and returns the answer,
    // whatever its status. Throws InternetFailure when the URL is not an HTTP URL, the host
    // cannot be reached, the answer breaks off or the whole request outlasts the network's web
    // time-out; the report names the host, in the program's own words. Where a protected route
    // leads the URL's host, the request goes over HTTPS to the route's end, whose certificate
    // must verify ("The server's certificate is not trusted" and the reason, otherwise).
    std::unique_ptr<InternetFile> OpenUrl(const std::wstring& url, std::uintptr_t context = 1,
                                          std::uint32_t flags = kTransferAscii,
                                          const std::wstring& headers = {});
    void Close();
    bool IsOpen() const { return m_open; }

  protected:
    virtual void OnStatusCallback(std::uintptr_t context, InternetStatus status);

  private:
    std::wstring m_agent;
    std::uintptr_t m_context;
    InternetAccess m_access;
    bool m_open = true;
};

}  // namespace platform::net

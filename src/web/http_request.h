#pragma once
// A minimal HTTP/1.0 client on a stream socket of the device: one request per connection,
// the whole answer read until the server closes. Status codes and encodings are not looked
// at; the caller gets the request as sent, the response head and the response body.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "web/http_text.h"

namespace platform::net {
class Socket;
}

// What one exchange gave. The head runs up to and including the empty line after the header
// lines; the body is every byte after it until the connection ended.
struct HttpExchange {
    std::string requestText;
    std::string responseHead;
    std::string responseBody;
    std::size_t bodyLength = 0;
};

class CHttpRequest {
  public:
    // Part sizes, terminating zero included.
    static constexpr std::size_t kSchemeSize = 20;
    static constexpr std::size_t kHostSize = 256;
    static constexpr std::size_t kPathSize = 1024;
    // The record of what was sent holds at most this many characters; a longer request is
    // still sent whole.
    static constexpr std::size_t kRequestRecordSize = 1024;
    // The body is received in pieces of at most this many bytes.
    static constexpr std::size_t kBodyReceiveSize = 511;

    // Sends a POST (without body, with the form content type) or a GET of `url` and hands
    // back the three texts in wide characters. On failure shows "Retrieve Failed" and leaves
    // the three texts as they were. A non-empty `requestText` of a POST is sent as its body.
    void SendRequest(bool isPost, const char* url, std::wstring& requestText,
                     std::wstring& responseHead, std::wstring& responseBody);

    // One exchange: 0 on success (and `result` filled), 1 on any failure. `extraHeader` holds
    // complete header lines; a `body` (even an empty one) makes the request a POST. The whole
    // exchange, connection included, must end within the network's web time-out; one that
    // does not has failed, whatever it has received by then.
    int Exchange(const char* url, const char* extraHeader, const char* body, std::size_t bodyLength,
                 HttpExchange& result);

    static void SplitUrl(const char* url, char* scheme, std::size_t schemeSize, char* host,
                         std::size_t hostSize, char* path, std::size_t pathSize, int& port) {
        ::SplitUrl(url, scheme, schemeSize, host, hostSize, path, pathSize, port);
    }
    static bool IsHostChar(char c) { return ::IsHostChar(c); }
    // The first IPv4 address of the name in network byte order, 0 when none is found.
    static std::uint32_t LookupHost(const char* name);
    // One send of the zero-terminated text; how much went out is not checked. With a
    // deadline the send gives up there.
    static void SendText(
        platform::net::Socket& socket, const char* text,
        const std::optional<std::chrono::steady_clock::time_point>& deadline = std::nullopt);
};

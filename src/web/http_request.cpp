#include "web/http_request.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/device.h"
#include "platform/net/host_lookup.h"
#include "platform/net/socket.h"
#include "platform/text/codepage.h"
#include "platform/ui/application.h"
#include "web/http_answer.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kCrLf = "\r\n";
constexpr const char* kFormContentType = "Content-Type: application/x-www-form-urlencoded\r\n";

// What was sent, in order, cut at the record's size.
class RequestRecord {
  public:
    void Add(std::string_view text) {
        const std::size_t room = CHttpRequest::kRequestRecordSize - 1 - m_text.size();
        m_text.append(text.substr(0, std::min(room, text.size())));
    }
    const std::string& Text() const { return m_text; }

  private:
    std::string m_text;
};

// One limit for everything: a host that is silent or trickles its answer would otherwise
// hold the caller, who blocks the screen, for a fresh time-out at every wait. Without a web
// time-out each wait keeps the socket's own.
std::optional<Clock::time_point> WebDeadline(const platform::net::Network& network) {
    const auto limit = network.WebTimeout();
    if (limit.count() <= 0) {
        return std::nullopt;
    }
    return Clock::now() + limit;
}

// The socket of one exchange, every wait on it bounded by the exchange's deadline.
struct ExchangeLink {
    explicit ExchangeLink(std::optional<Clock::time_point> until) : deadline(until) {}

    bool Expired() const { return deadline && Clock::now() >= *deadline; }
    void Send(const char* bytes, std::size_t length) {
        static_cast<void>(deadline ? socket.Send(bytes, length, *deadline)
                                   : socket.Send(bytes, length));
    }
    int Receive(void* buffer, std::size_t size) {
        return deadline ? socket.Receive(buffer, size, *deadline) : socket.Receive(buffer, size);
    }

    platform::net::Socket socket;
    std::optional<Clock::time_point> deadline;
};

// The parts of the URL, each zero-terminated.
struct UrlTarget {
    char scheme[CHttpRequest::kSchemeSize];
    char host[CHttpRequest::kHostSize];
    char path[CHttpRequest::kPathSize];
    int port = kHttpDefaultPort;
};

// Connects, and protects the connection where the user led the web host to an https://
// address. The web request is no part of the FTP session whose protection the screen shows.
bool Connect(ExchangeLink& link, const UrlTarget& target) {
    // A name that does not resolve leaves no address to connect to (0.0.0.0 would reach
    // this machine itself), and port 0 or one past the range has no server.
    const std::uint32_t address = CHttpRequest::LookupHost(target.host);
    if (address == 0 || target.port <= 0 || target.port > 0xFFFF) {
        return false;
    }
    const std::string dotted = platform::net::DottedAddress(address);
    const auto port = static_cast<std::uint16_t>(target.port);
    if (!(link.deadline ? link.socket.Connect(dotted, port, *link.deadline)
                        : link.socket.Connect(dotted, port))) {
        return false;
    }
    const platform::net::Network& network = platform::Device::Current().Net();
    if (!network.ProtectsRoute({dotted, port})) {
        return true;
    }
    return link.socket.StartTls({.partOfSession = false},
                                link.deadline.value_or(Clock::time_point::max()));
}

// Sends the request line, the header lines and the body; gives back the record of them.
std::string SendRequestText(ExchangeLink& link, const UrlTarget& target, const char* extraHeader,
                            const char* body, std::size_t bodyLength) {
    RequestRecord record;
    const auto send = [&](const char* piece) {
        CHttpRequest::SendText(link.socket, piece, link.deadline);
        record.Add(piece);
    };
    send(body != nullptr ? "POST " : "GET ");
    send(target.path);
    send(" HTTP/1.0");
    send(kCrLf);
    send(
        "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
        "application/vnd.ms-excel, application/msword, application/vnd.ms-powerpoint, */*");
    send(kCrLf);
    send("Accept-Language: en-us");
    send(kCrLf);
    send("Accept-Encoding: gzip, deflate");
    send(kCrLf);
    send("User-Agent: Mozilla/4.0");
    send(kCrLf);
    if (body != nullptr && bodyLength > 0) {
        // HTTP/1.0 needs the length of a body; the system's own requests have none.
        send(("Content-Length: " + std::to_string(bodyLength) + kCrLf).c_str());
    }
    send("Host: ");
    send(target.host);
    send(kCrLf);
    if (extraHeader != nullptr && extraHeader[0] != '\0') {
        send(extraHeader);
    }
    send(kCrLf);
    if (body != nullptr && bodyLength > 0) {
        link.Send(body, bodyLength);
        record.Add(std::string_view(body, bodyLength));
    }
    return record.Text();
}

// Reads the answer until the server closes. A receive error ends the part being read and the
// exchange goes on with what came; the deadline running out does not: a cut answer would
// pass for a whole one. False also for an answer longer than any this client asks for.
bool ReceiveAnswer(ExchangeLink& link, HttpAnswerReader& answer) {
    // The head one byte per receive, so that no byte of the body is taken with it.
    char byte = 0;
    int count = 1;
    while (!answer.HeadEnded() && (count = link.Receive(&byte, 1)) == 1) {
        if (!answer.Take(&byte, 1)) {
            return false;
        }
    }
    if (count < 0 && link.Expired()) {
        return false;
    }
    char piece[CHttpRequest::kBodyReceiveSize + 1];
    for (;;) {
        count = link.Receive(piece, CHttpRequest::kBodyReceiveSize);
        if (count <= 0) {
            break;
        }
        if (!answer.Take(piece, static_cast<std::size_t>(count))) {
            return false;
        }
    }
    return !(count < 0 && link.Expired());
}

// The 8-bit text up to its terminating zero, in wide characters.
std::wstring WideText(const std::string& bytes) {
    return platform::text::FromAnsi(std::string_view(bytes.c_str()));
}

}  // namespace

std::uint32_t CHttpRequest::LookupHost(const char* name) {
    return platform::net::LookupHostAddress(name != nullptr ? name : "");
}

void CHttpRequest::SendText(platform::net::Socket& socket, const char* text,
                            const std::optional<Clock::time_point>& deadline) {
    const std::size_t length = std::strlen(text);
    static_cast<void>(deadline ? socket.Send(text, length, *deadline) : socket.Send(text, length));
}

int CHttpRequest::Exchange(const char* url, const char* extraHeader, const char* body,
                           std::size_t bodyLength, HttpExchange& result) {
    const platform::net::Network& network = platform::Device::Current().Net();
    ExchangeLink link(WebDeadline(network));
    UrlTarget target;
    SplitUrl(url, target.scheme, sizeof target.scheme, target.host, sizeof target.host, target.path,
             sizeof target.path, target.port);
    if (std::strcmp(target.scheme, "HTTP") != 0 || !link.socket.Create(network) ||
        !Connect(link, target)) {
        return 1;
    }
    if (target.path[0] == '\0') {
        std::strcpy(target.path, "/");
    }
    const std::string requestText = SendRequestText(link, target, extraHeader, body, bodyLength);
    HttpAnswerReader answer;
    if (!ReceiveAnswer(link, answer)) {
        return 1;
    }
    result.requestText = requestText;
    result.responseHead = answer.Head().Bytes();
    result.responseBody = answer.Body().Bytes();
    result.bodyLength = answer.Body().Length();
    link.socket.Close();
    return 0;
}

void CHttpRequest::SendRequest(bool isPost, const char* url, std::wstring& requestText,
                               std::wstring& responseHead, std::wstring& responseBody) {
    HttpExchange result;
    int failed = 1;
    if (isPost) {
        const std::string body = platform::text::ToAnsi(requestText);
        failed = Exchange(url, kFormContentType, body.c_str(), body.size(), result);
    } else {
        failed = Exchange(url, nullptr, nullptr, 0, result);
    }
    if (failed != 0) {
        platform::ui::AppMessageBox(L"Retrieve Failed");
        return;
    }
    requestText = WideText(result.requestText);
    responseHead = WideText(result.responseHead);
    responseBody = WideText(result.responseBody);
}

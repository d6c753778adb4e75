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
    // One limit for everything: a host that is silent or trickles its answer would otherwise
    // hold the caller, who blocks the screen, for a fresh time-out at every wait. Without a
    // web time-out each wait keeps the socket's own.
    const platform::net::Network& network = platform::Device::Current().Net();
    const auto limit = network.WebTimeout();
    std::optional<Clock::time_point> deadline;
    if (limit.count() > 0) {
        deadline = Clock::now() + limit;
    }
    const auto expired = [&] { return deadline && Clock::now() >= *deadline; };

    char scheme[kSchemeSize];
    char host[kHostSize];
    char path[kPathSize];
    int port = kHttpDefaultPort;
    SplitUrl(url, scheme, sizeof scheme, host, sizeof host, path, sizeof path, port);
    if (std::strcmp(scheme, "HTTP") != 0) {
        return 1;
    }

    platform::net::Socket socket;
    if (!socket.Create(network)) {
        return 1;
    }
    // A name that does not resolve leaves no address to connect to (0.0.0.0 would reach
    // this machine itself), and port 0 or one past the range has no server.
    const std::uint32_t address = LookupHost(host);
    if (address == 0 || port <= 0 || port > 0xFFFF) {
        return 1;
    }
    const std::string dotted = platform::net::DottedAddress(address);
    const auto portNumber = static_cast<std::uint16_t>(port);
    if (!(deadline ? socket.Connect(dotted, portNumber, *deadline)
                   : socket.Connect(dotted, portNumber))) {
        return 1;
    }
    if (path[0] == '\0') {
        std::strcpy(path, "/");
    }

    RequestRecord record;
    const auto send = [&](const char* piece) {
        SendText(socket, piece, deadline);
        record.Add(piece);
    };
    send(body != nullptr ? "POST " : "GET ");
    send(path);
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
    send(host);
    send(kCrLf);
    if (extraHeader != nullptr && extraHeader[0] != '\0') {
        send(extraHeader);
    }
    send(kCrLf);
    if (body != nullptr && bodyLength > 0) {
        static_cast<void>(deadline ? socket.Send(body, bodyLength, *deadline)
                                   : socket.Send(body, bodyLength));
        record.Add(std::string_view(body, bodyLength));
    }

    const auto receive = [&](void* buffer, std::size_t size) {
        return deadline ? socket.Receive(buffer, size, *deadline) : socket.Receive(buffer, size);
    };
    // The head one byte per receive, so that no byte of the body is taken with it.
    HttpAnswerReader answer;
    // A receive error ends the part being read and the exchange goes on with what came; the
    // deadline running out does not: a cut answer would pass for a whole one.
    char byte = 0;
    int count = 1;
    while (!answer.HeadEnded() && (count = receive(&byte, 1)) == 1) {
        if (!answer.Take(&byte, 1)) {
            return 1;
        }
    }
    if (count < 0 && expired()) {
        return 1;
    }
    char piece[kBodyReceiveSize + 1];
    for (;;) {
        count = receive(piece, kBodyReceiveSize);
        if (count <= 0) {
            break;
        }
        if (!answer.Take(piece, static_cast<std::size_t>(count))) {
            return 1;  // longer than any answer this client asks for
        }
    }
    if (count < 0 && expired()) {
        return 1;
    }
    result.requestText = record.Text();
    result.responseHead = answer.Head().Bytes();
    result.responseBody = answer.Body().Bytes();
    result.bodyLength = answer.Body().Length();
    socket.Close();
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

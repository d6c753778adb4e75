#pragma once
// Plain HTTP/1.0 requests to the service's web side, and shares made through its servlet.

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "service_test_kit.h"

namespace testing_support {

struct WebReply {
    int status = 0;
    std::string head;
    std::string body;
};

// Sends `method target` with `headers` from the loopback address `from` and reads to the end.
inline WebReply WebRequest(std::uint16_t port, const std::string& target,
                           const char* from = "127.0.0.1", const std::string& method = "GET",
                           const std::string& headers = "") {
    Fd connection = ConnectTo(port, from);
    SendText(connection.Get(), method + " " + target + " HTTP/1.0\r\n" + headers + "\r\n");
    const std::string raw = ReadToEnd(connection.Get());
    WebReply reply;
    const auto split = raw.find("\r\n\r\n");
    reply.head = raw.substr(0, split);
    reply.body = split == std::string::npos ? "" : raw.substr(split + 4);
    std::sscanf(raw.c_str(), "HTTP/%*s %d", &reply.status);
    return reply;
}

// Has alice (password "secret") share the file `name` at the top of her folder; returns the
// link's path, "/share/TOKEN", or "" when no mail turned up.
inline std::string MakeShare(std::uint16_t port, const std::filesystem::path& outbox,
                             const std::string& name, int downloads,
                             const std::string& password = "") {
    std::set<std::filesystem::path> before;
    for (const auto& entry : std::filesystem::directory_iterator(outbox)) {
        before.insert(entry.path());
    }
    WebRequest(port, "/qmanager/servlet/KestraShare?user=alice&filename=" + name +
                         "$f&filepath=&NOD=" + std::to_string(downloads) + "&password=" + password +
                         "&write=FALSE&stowpassword=secret&TO=carol@example.com&BCC="
                         "&FROM=alice@example.com");
    for (const auto& entry : std::filesystem::directory_iterator(outbox)) {
        if (entry.path().extension() == ".eml" && !before.count(entry.path())) {
            return "/share/" + entry.path().stem().string();
        }
    }
    return "";
}

}  // namespace testing_support

// The download-limits and share servlets and the share links, over raw HTTP/1.0 and curl.
#include <gtest/gtest.h>

#include <sys/socket.h>

#include <regex>
#include <thread>

#include "service_test_kit.h"

namespace testing_support {
namespace {

using namespace stowbox::service;

struct HttpReply {
    int status = 0;
    std::string head;
    std::string body;
};

HttpReply http(std::uint16_t port, const std::string& request) {
    Fd connection = ConnectTo(port);
    SendText(connection.Get(), request);
    const std::string raw = ReadToEnd(connection.Get());
    HttpReply reply;
    const auto split = raw.find("\r\n\r\n");
    reply.head = raw.substr(0, split);
    reply.body = split == std::string::npos ? "" : raw.substr(split + 4);
    std::sscanf(raw.c_str(), "HTTP/%*s %d", &reply.status);
    return reply;
}

// A request with the head the client's own HTTP code sends.
std::string client_request(const std::string& method, const std::string& target) {
    return method + " " + target +
           " HTTP/1.0\r\n"
           "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
           "application/vnd.ms-excel, application/msword, application/vnd.ms-powerpoint, "
           "*/*\r\n"
           "Accept-Language: en-us\r\n"
           "Accept-Encoding: gzip, deflate\r\n"
           "User-Agent: Mozilla/4.0\r\n"
           "Host: 127.0.0.1\r\n" +
           (method == "POST" ? "Content-Type: application/x-www-form-urlencoded\r\n" : "") + "\r\n";
}

std::string share_target(const std::string& overrides) {
    std::string query =
        "user=alice&filename=report%201.pdf$f&filepath=My%20Device%20on%20Stowbox/Docs/&NOD=2"
        "&password=&write=TRUE&stowpassword=secret&TO=carol@example.com"
        "&BCC=dave@example.com&FROM=alice@example.com";
    // Each override "KEY=VALUE" replaces that field; "KEY" alone removes it.
    std::size_t start = 0;
    while (start < overrides.size()) {
        auto end = overrides.find('&', start);
        end = end == std::string::npos ? overrides.size() : end;
        const std::string item = overrides.substr(start, end - start);
        const std::string key = item.substr(0, item.find('='));
        query = std::regex_replace(query, std::regex("(^|&)" + key + "=[^&]*"),
                                   item.find('=') == std::string::npos ? "" : "$1" + item);
        start = end + 1;
    }
    return "/qmanager/servlet/KestraShare?" + query;
}

std::vector<std::filesystem::path> mails(const std::filesystem::path& outbox) {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(outbox)) {
        found.push_back(entry.path());
    }
    return found;
}

class ServiceWebServlets : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(service.Home() / "My Device on Stowbox" / "Docs");
        WriteHostFile(service.Home() / "My Device on Stowbox" / "Docs" / "report 1.pdf", bytes);
    }
    HttpReply get(const std::string& target) {
        return http(service.WebPort(), client_request("GET", target));
    }

    TestService service;
    const std::string bytes = PatternBytes(200000, 5);
};

TEST_F(ServiceWebServlets, DownloadLimitsAnswersTheClientsBodilessPost) {
    const auto post = [&](const std::string& query) {
        return http(service.WebPort(),
                    client_request("POST", "/qmanager/servlet/DownloadLimits?" + query));
    };
    EXPECT_EQ(post("user=alice&password=secret").body, "10\n");
    EXPECT_EQ(post("user=bob&password=pw").body, "3\n");
    for (const char* bad :
         {"user=alice&password=wrong", "user=nobody&password=secret", "user=alice"}) {
        const auto reply = post(bad);
        EXPECT_GE(reply.status, 400) << bad;
        EXPECT_FALSE(reply.body.empty());
        EXPECT_FALSE(reply.body[0] >= '1' && reply.body[0] <= '9') << reply.body;
    }

    if (!HaveProgram("curl")) {
        GTEST_SKIP() << "the curl command-line tool is not on PATH";
    }
    const std::string url = "http://127.0.0.1:" + std::to_string(service.WebPort()) +
                            "/qmanager/servlet/DownloadLimits?user=alice&password=secret";
    EXPECT_EQ(RunProgram({"curl", "-sS", "--max-time", "60", "-X", "POST", url}).output, "10\n");
    EXPECT_EQ(RunProgram({"curl", "-sS", "--max-time", "60", "--http1.0", "-d", "", url}).output,
              "10\n");
}

TEST_F(ServiceWebServlets, ShareIsMailedAndItsLinkServesUntilUsedUp) {
    const auto made = get(share_target(""));
    EXPECT_EQ(made.status, 200) << made.body;
    const auto outbox = mails(service.Root() / "outbox");
    ASSERT_EQ(outbox.size(), 1u);
    const std::string mail = ReadHostFile(outbox[0]);
    for (const char* header : {"From: alice@example.com\r\n", "To: carol@example.com\r\n",
                               "Bcc: dave@example.com\r\n", "Subject: ", "Date: "}) {
        EXPECT_NE(mail.find(header), std::string::npos) << header << " in\n" << mail;
    }
    EXPECT_NE(mail.find("report 1.pdf"), std::string::npos);
    EXPECT_NE(mail.find("Downloads allowed: 2\r\n"), std::string::npos);
    EXPECT_NE(mail.find("Writing allowed: yes\r\n"), std::string::npos);
    EXPECT_NE(mail.find("Password protected: no\r\n"), std::string::npos);
    std::smatch link;
    const std::string prefix = "http://127.0.0.1:" + std::to_string(service.WebPort());
    ASSERT_TRUE(std::regex_search(mail, link, std::regex(prefix + "(/share/[0-9a-f]+)\r\n")));

    const auto first = get(link[1]);
    EXPECT_EQ(first.status, 200);
    EXPECT_EQ(first.body, bytes);
    if (HaveProgram("curl")) {
        const auto second = RunProgram({"curl", "-sS", "--max-time", "60", prefix + link[1].str()});
        EXPECT_EQ(second.exitCode, 0);
        EXPECT_EQ(second.output, bytes);
    } else {
        EXPECT_EQ(get(link[1]).body, bytes);
    }
    EXPECT_EQ(get(link[1]).status, 410);
    EXPECT_EQ(get("/share/0123456789abcdef0123456789abcdef").status, 404);
}

TEST_F(ServiceWebServlets, PasswordProtectedShareCountsOnlyGrantedDownloads) {
    ASSERT_EQ(get(share_target("NOD=1&password=open%20sesame&write=FALSE")).status, 200);
    const std::string mail = ReadHostFile(mails(service.Root() / "outbox").at(0));
    EXPECT_NE(mail.find("Password protected: yes\r\n"), std::string::npos);
    EXPECT_NE(mail.find("Writing allowed: no\r\n"), std::string::npos);
    EXPECT_EQ(mail.find("open sesame"), std::string::npos) << "the password is not mailed";
    std::smatch link;
    ASSERT_TRUE(std::regex_search(mail, link, std::regex("/share/[0-9a-f]+")));

    EXPECT_EQ(get(link.str()).status, 403);
    EXPECT_EQ(get(link.str() + "?password=wrong").status, 403);
    const auto granted = get(link.str() + "?password=open%20sesame");
    EXPECT_EQ(granted.status, 200);
    EXPECT_EQ(granted.body, bytes);
    EXPECT_EQ(get(link.str() + "?password=open%20sesame").status, 410);
}

TEST_F(ServiceWebServlets, RefusesBadShareRequestsWithoutMailing) {
    EXPECT_EQ(get(share_target("BCC")).status, 400);
    EXPECT_EQ(get(share_target("TO=")).status, 400);
    EXPECT_EQ(get(share_target("NOD=11")).status, 400) << "above alice's limit";
    EXPECT_EQ(get(share_target("NOD=0")).status, 400);
    EXPECT_EQ(get(share_target("stowpassword=wrong")).status, 403);
    EXPECT_EQ(get(share_target("user=bob&stowpassword=pw")).status, 404) << "not bob's file";
    EXPECT_EQ(get(share_target("filename=missing.pdf$f")).status, 404);
    EXPECT_EQ(get(share_target("filepath=../../../../etc/&filename=passwd$f")).status, 404);
    EXPECT_EQ(get(share_target("filepath=My%20Device%20on%20Stowbox/&filename=Docs$f")).status, 404)
        << "a folder";
    EXPECT_TRUE(mails(service.Root() / "outbox").empty());
}

TEST_F(ServiceWebServlets, InjectedHeaderLinesStayInsideTheirHeader) {
    ASSERT_EQ(get(share_target("FROM=a@example.com%0D%0ABcc:%20spy@example.com"
                               "&TO=b@example.com%0ASubject:%20fake&BCC="))
                  .status,
              200);
    const std::string mail = ReadHostFile(mails(service.Root() / "outbox").at(0));
    const std::string head = mail.substr(0, mail.find("\r\n\r\n"));
    EXPECT_EQ(head.find("\r\nBcc:"), std::string::npos) << head;
    EXPECT_EQ(head.find("\nSubject: fake"), std::string::npos) << head;
    EXPECT_NE(head.find("From: a@example.comBcc: spy@example.com\r\n"), std::string::npos);
}

// The client's download-limits request with `headers` added to its head.
std::string limits_request(const std::string& headers = "") {
    return "POST /qmanager/servlet/DownloadLimits?user=alice&password=secret HTTP/1.0\r\n"
           "Host: 127.0.0.1\r\n" +
           headers + "\r\n";
}

// Header lines of about 1000 bytes each, `size` bytes in all.
std::string filler_headers(std::size_t size) {
    std::string headers;
    for (int i = 0; headers.size() < size; ++i) {
        headers += "X-Filler-" + std::to_string(i) + ": " + std::string(980, 'a') + "\r\n";
    }
    return headers;
}

// Sends what the server takes (it may stop reading) and returns whatever came back.
std::string send_and_read(std::uint16_t port, const std::string& request) {
    Fd connection = ConnectTo(port);
    [[maybe_unused]] const auto sent =
        ::send(connection.Get(), request.data(), request.size(), MSG_NOSIGNAL);
    return ReadToEnd(connection.Get());
}

TEST(ServiceWebLimits, BoundsTheRequestHead) {
    TestService service;
    const std::size_t bound = ServiceConfig{}.max_request_head;
    EXPECT_EQ(http(service.WebPort(), limits_request(filler_headers(bound / 2))).body, "10\n");
    for (const auto& request : {limits_request(filler_headers(bound * 4)),
                                "GET /" + std::string(bound * 4, 'a'),  // never ends
                                "POST / HTTP/1.0\r\nX-Long: " + std::string(bound * 4, 'a')}) {
        const std::string reply = send_and_read(service.WebPort(), request);
        EXPECT_TRUE(reply.empty() || reply.starts_with("HTTP/1.1 4")) << reply.substr(0, 100);
        EXPECT_EQ(reply.find("\r\n\r\n10\n"), std::string::npos);
    }
    EXPECT_EQ(http(service.WebPort(), limits_request()).body, "10\n");
}

TEST(ServiceWebLimits, ARequestMustArriveWholeWithinTheTimeOut) {
    TestService service(
        [](ServiceConfig& config) { config.web_timeout = std::chrono::milliseconds(200); });
    Fd connection = ConnectTo(service.WebPort());
    // Each byte comes well within the time-out; the request as a whole does not.
    EXPECT_TRUE(
        DripUntilAnswered(connection.Get(), limits_request(), std::chrono::milliseconds(20)));
    EXPECT_EQ(ReadToEnd(connection.Get()), "");
    EXPECT_EQ(http(service.WebPort(), limits_request()).body, "10\n");
}

TEST(ServiceWebLimits, TurnsAwayConnectionsPastTheLimit) {
    TestService service([](ServiceConfig& config) { config.max_web_connections = 2; });
    auto first = ConnectTo(service.WebPort());
    auto second = ConnectTo(service.WebPort());
    EXPECT_EQ(http(service.WebPort(), limits_request()).status, 503);
    first.Reset();
    second.Reset();
    // The server notices the ended connections a moment after the client does.
    HttpReply reply;
    for (int attempt = 0; attempt < 200 && reply.status != 200; ++attempt) {
        reply = http(service.WebPort(), limits_request());
        if (reply.status != 200) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    EXPECT_EQ(reply.body, "10\n");
}

}  // namespace
}  // namespace testing_support

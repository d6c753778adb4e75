// The HTTP request client against a scripted loopback server: the exact bytes it sends, how
// it splits an answer, and the failures that leave the caller's texts alone.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "platform/net/host_lookup.h"
#include "support/scripted_http_server.h"
#include "support/test_device.h"
#include "web/byte_buffer.h"
#include "web/http_answer.h"
#include "web/http_request.h"

using testing_support::ScriptedHttpServer;
using testing_support::TestDevice;

namespace {

const std::string kStandardHead =
    " HTTP/1.0\r\n"
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-excel, "
    "application/msword, application/vnd.ms-powerpoint, */*\r\n"
    "Accept-Language: en-us\r\n"
    "Accept-Encoding: gzip, deflate\r\n"
    "User-Agent: Mozilla/4.0\r\n";

std::string Url(std::uint16_t port, const std::string& path) {
    return "HTTP://127.0.0.1:" + std::to_string(port) + path;
}

TEST(HttpRequest, SplitsTheAnswerAfterTheEmptyLineHoweverItsLinesEnd) {
    struct Case {
        const char* name;
        std::string answer;
        std::string head;
        std::string body;
    };
    const std::string binary("\0\x01\xff\r\n\r\n", 7);
    const std::vector<Case> cases = {
        {"CR LF head", "HTTP/1.0 200 OK\r\nServer: t\r\n\r\n12\n",
         "HTTP/1.0 200 OK\r\nServer: t\r\n\r\n", "12\n"},
        {"bare LF head", "HTTP/1.0 200 OK\nServer: t\n\nbody\r\n\r\nmore",
         "HTTP/1.0 200 OK\nServer: t\n\n", "body\r\n\r\nmore"},
        {"a lone CR ends no line", "HTTP/1.0 200 OK\r\nA: \r\r\n\r\nx",
         "HTTP/1.0 200 OK\r\nA: \r\r\n\r\n", "x"},
        {"status 404 is an answer like any", "HTTP/1.0 404 Not Found\r\n\r\nnope",
         "HTTP/1.0 404 Not Found\r\n\r\n", "nope"},
        {"empty body", "HTTP/1.0 200 OK\r\n\r\n", "HTTP/1.0 200 OK\r\n\r\n", ""},
        {"closed before the empty line", "HTTP/1.0 200 OK\r\nServer: t\r\n",
         "HTTP/1.0 200 OK\r\nServer: t\r\n", ""},
        {"nothing at all", "", "", ""},
        {"a body bigger than one receive, with any bytes",
         "HTTP/1.0 200 OK\r\n\r\n" + std::string(1500, 'a') + binary, "HTTP/1.0 200 OK\r\n\r\n",
         std::string(1500, 'a') + binary},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDevice device;
        ScriptedHttpServer server({c.answer});
        HttpExchange result;
        CHttpRequest request;
        ASSERT_EQ(
            request.Exchange(Url(server.Port(), "/a?b=c").c_str(), nullptr, nullptr, 0, result), 0);
        EXPECT_EQ(result.responseHead, c.head);
        EXPECT_EQ(result.responseBody, c.body);
        EXPECT_EQ(result.bodyLength, c.body.size());
        ASSERT_EQ(server.Requests().size(), 1u);
        EXPECT_EQ(server.Requests()[0], "GET /a?b=c" + kStandardHead + "Host: 127.0.0.1\r\n\r\n");
        EXPECT_EQ(result.requestText, server.Requests()[0]);
    }
}

TEST(HttpRequest, SendsThePathWithItsQueryAndTheHostWithoutItsPort) {
    struct Case {
        std::string url;  // PORT stands for the server's port
        std::string requestLine;
        std::string host;
    };
    const std::vector<Case> cases = {
        {"HTTP://127.0.0.1:PORT", "GET /", "127.0.0.1"},
        {"HTTP://127.0.0.1:PORT?x=1", "GET ?x=1", "127.0.0.1"},
        {"HTTP://localhost:PORT/q/s?user=a b&c=%41", "GET /q/s?user=a b&c=%41", "localhost"},
        // Without a scheme the URL is an HTTP one; the port still comes from the host part.
        {"//127.0.0.1:PORT/plain", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        TestDevice device;
        ScriptedHttpServer server({"HTTP/1.0 200 OK\r\n\r\n"});
        std::string url = c.url;
        url.replace(url.find("PORT"), 4, std::to_string(server.Port()));
        HttpExchange result;
        const int status = CHttpRequest().Exchange(url.c_str(), nullptr, nullptr, 0, result);
        if (c.requestLine.empty()) {
            // "//host..." has no ":" before the host, so its scheme is the text before the
            // port's colon: not "HTTP".
            EXPECT_EQ(status, 1);
            continue;
        }
        ASSERT_EQ(status, 0);
        ASSERT_EQ(server.Requests().size(), 1u);
        EXPECT_EQ(server.Requests()[0],
                  c.requestLine + kStandardHead + "Host: " + c.host + "\r\n\r\n");
    }
}

TEST(HttpRequest, PostCarriesTheFormTypeAndABodyOnlyWhenGivenOne) {
    TestDevice device;
    ScriptedHttpServer server({"HTTP/1.0 200 OK\r\n\r\n1\n", "HTTP/1.0 200 OK\r\n\r\n2\n"});
    const std::string url =
        Url(server.Port(), "/qmanager/servlet/DownloadLimits?user=u&password=p");
    std::wstring requestText;
    std::wstring head = L"old head";
    std::wstring body = L"old body";
    CHttpRequest().SendRequest(true, url.c_str(), requestText, head, body);
    const std::string expected =
        "POST /qmanager/servlet/DownloadLimits?user=u&password=p" + kStandardHead +
        "Host: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n\r\n";
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], expected);
    EXPECT_EQ(requestText, std::wstring(expected.begin(), expected.end()));
    EXPECT_EQ(head, L"HTTP/1.0 200 OK\r\n\r\n");
    EXPECT_EQ(body, L"1\n");

    // A body of its own gets its length between the agent and the host lines.
    requestText = L"a=\u00e9";
    CHttpRequest().SendRequest(true, url.c_str(), requestText, head, body);
    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(server.Requests()[1],
              "POST /qmanager/servlet/DownloadLimits?user=u&password=p" + kStandardHead +
                  "Content-Length: 3\r\nHost: 127.0.0.1\r\n"
                  "Content-Type: application/x-www-form-urlencoded\r\n\r\na=\xe9");
    EXPECT_EQ(body, L"2\n");
    EXPECT_TRUE(device.Frontend().MessageBoxes().empty());
}

TEST(HttpRequest, FailuresShowRetrieveFailedAndKeepTheCallersTexts) {
    TestDevice device;
    ScriptedHttpServer server({"HTTP/1.0 200 OK\r\n\r\nunused"});
    // A port nobody listens on: the scripted server's, once it is gone.
    std::uint16_t closedPort = 0;
    {
        ScriptedHttpServer gone({});
        closedPort = gone.Port();
    }
    const std::vector<std::string> urls = {
        "http://127.0.0.1:" + std::to_string(server.Port()) + "/lower-case-scheme",
        "HTTPS://127.0.0.1:" + std::to_string(server.Port()) + "/",
        "HTTP://127.0.0.1:" + std::to_string(closedPort) + "/refused",
        "HTTP://no-such-host.invalid/unknown",
        "HTTP://127.0.0.1:0/",
        "HTTP:///no-host",
    };
    for (const std::string& url : urls) {
        SCOPED_TRACE(url);
        std::wstring requestText = L"request";
        std::wstring head = L"head";
        std::wstring body = L"body";
        const std::size_t boxes = device.Frontend().MessageBoxes().size();
        CHttpRequest().SendRequest(false, url.c_str(), requestText, head, body);
        ASSERT_EQ(device.Frontend().MessageBoxes().size(), boxes + 1);
        EXPECT_EQ(device.Frontend().MessageBoxes().back().text, L"Retrieve Failed");
        EXPECT_EQ(device.Frontend().MessageBoxes().back().title, L"Kestra.htp");
        EXPECT_EQ(requestText, L"request");
        EXPECT_EQ(head, L"head");
        EXPECT_EQ(body, L"body");
    }
    EXPECT_TRUE(server.Requests().empty()) << "nothing reached the server";
}

TEST(HttpRequest, AnAnswerPastSixtyFourKibibytesIsAFailedRequest) {
    const std::string head = "HTTP/1.0 200 OK\r\n\r\n";
    const std::size_t bound = HttpAnswerReader::kMaxAnswerBytes;
    struct Case {
        const char* name;
        std::string answer;
        bool kept;
    };
    const std::vector<Case> cases = {
        {"exactly the bound", head + std::string(bound - head.size(), 'b'), true},
        {"one byte more", head + std::string(bound - head.size() + 1, 'b'), false},
        {"a head without end", "HTTP/1.0 200 OK\r\n" + std::string(bound, 'h'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDevice device;
        ScriptedHttpServer server({c.answer});
        std::wstring requestText;
        std::wstring responseHead = L"head";
        std::wstring responseBody = L"body";
        CHttpRequest().SendRequest(false, Url(server.Port(), "/").c_str(), requestText,
                                   responseHead, responseBody);
        EXPECT_EQ(device.Frontend().MessageBoxes().empty(), c.kept);
        EXPECT_EQ(responseBody.size(), c.kept ? bound - head.size() : 4);
    }
}

TEST(HttpRequest, GoesWhereTheDevicesRoutesLeadTheBuiltInWebHost) {
    ScriptedHttpServer server({"HTTP/1.0 200 OK\r\n\r\nrouted"});
    TestDevice::Options options;
    options.webPort = server.Port();
    TestDevice device(options);
    HttpExchange result;
    ASSERT_EQ(CHttpRequest().Exchange("HTTP://127.0.0.1/x", nullptr, nullptr, 0, result), 0);
    EXPECT_EQ(result.responseBody, "routed");
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_NE(server.Requests()[0].find("\r\nHost: 127.0.0.1\r\n"), std::string::npos);
}

TEST(HttpRequestParts, SplitUrlCutsEachPartToItsBuffer) {
    struct Case {
        std::string url;
        std::string scheme;
        std::string host;
        std::string path;
        int port;
    };
    const std::vector<Case> cases = {
        {"HTTP://web.example:8080/p/q?x=1&y=2", "HTTP", "web.example", "/p/q?x=1&y=2", 8080},
        {"web.example/p", "HTTP", "web.example", "/p", 80},
        {"HTTP://web.example", "HTTP", "web.example", "", 80},
        {"HTTP://h:/p", "HTTP", "h", "/p", 0},
        {"HTTP://h:12ab/p", "HTTP", "h", "/p", 12},
        {"HTTP://h:99999999999999/", "HTTP", "h", "/", 1000000},
        {"ftp:h/p", "ftp", "h", "/p", 80},
        {"", "HTTP", "", "", 80},
        {std::string(30, 's') + "://h/", std::string(19, 's'), "h", "/", 80},
        {"HTTP://" + std::string(300, 'h') + ":81/p", "HTTP", std::string(255, 'h'), "/p", 80},
        {"HTTP://h/" + std::string(2000, 'p'), "HTTP", "h", "/" + std::string(1022, 'p'), 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url.substr(0, 60));
        char scheme[CHttpRequest::kSchemeSize];
        char host[CHttpRequest::kHostSize];
        char path[CHttpRequest::kPathSize];
        int port = -1;
        CHttpRequest::SplitUrl(c.url.c_str(), scheme, sizeof scheme, host, sizeof host, path,
                               sizeof path, port);
        EXPECT_EQ(scheme, c.scheme);
        EXPECT_EQ(host, c.host);
        EXPECT_EQ(path, c.path);
        EXPECT_EQ(port, c.port);
    }
    for (char c : std::string("aZ09-.:")) {
        EXPECT_TRUE(CHttpRequest::IsHostChar(c)) << c;
    }
    for (char c : std::string("/?@_~ #\x80")) {
        EXPECT_FALSE(CHttpRequest::IsHostChar(c)) << c;
    }
}

TEST(HttpRequestParts, HeadEndsAtTheFirstLineWithNothingButCarriageReturns) {
    const std::vector<std::pair<std::string, std::size_t>> cases = {
        {"A\r\n\r\nbody", 5}, {"A\n\nbody", 3},  {"\nA", 1},
        {"A\r\n\r\r\nB", 6},  {"A\r\nB\r\n", 6}, {"", 0},
    };
    for (const auto& [bytes, length] : cases) {
        EXPECT_EQ(HeadLength(bytes.data(), bytes.size()), length) << bytes;
    }
}

TEST(HttpRequestParts, ByteBufferDoublesFromTen) {
    ByteBuffer buffer;
    EXPECT_EQ(buffer.Capacity(), 10u);
    for (int i = 0; i < 10; ++i) {
        buffer.Push('a');
    }
    EXPECT_EQ(buffer.Capacity(), 10u);
    buffer.Terminate();  // full: it grows for the zero
    EXPECT_EQ(buffer.Capacity(), 20u);
    buffer.Append("0123456789", 10);  // 20 bytes do not fit below 20
    EXPECT_EQ(buffer.Capacity(), 40u);
    buffer.Append(std::string(100, 'b').data(), 100);
    EXPECT_EQ(buffer.Capacity(), 160u);
    buffer.Terminate();
    EXPECT_EQ(buffer.Length(), 120u);
    EXPECT_EQ(std::string(buffer.Data()),
              std::string(10, 'a') + "0123456789" + std::string(100, 'b'));
}

TEST(HttpRequestParts, LookupHostGivesTheFirstIPv4AddressOrZero) {
    EXPECT_EQ(platform::net::DottedAddress(CHttpRequest::LookupHost("127.0.0.1")), "127.0.0.1");
    EXPECT_EQ(platform::net::DottedAddress(CHttpRequest::LookupHost("localhost")), "127.0.0.1");
    EXPECT_EQ(CHttpRequest::LookupHost("no-such-host.invalid"), 0u);
    EXPECT_EQ(CHttpRequest::LookupHost(""), 0u);
}

}  // namespace

// A share link counts a download only once the whole file has gone out.
#include <gtest/gtest.h>

#include <thread>

#include "service_test_kit.h"
#include "web_test_client.h"

namespace testing_support {
namespace {

TEST(ServiceShareDownloads, OnlyAWholeSendCountsAndNoneIsGrantedTwice) {
    TestService service;
    // Larger than loopback socket buffers hold, so that a reader that stops stalls the send.
    const std::string bytes = PatternBytes(32u << 20, 9);
    WriteHostFile(service.Home() / "big.bin", bytes);
    const std::string link = MakeShare(service.WebPort(), service.Root() / "outbox", "big.bin", 1);
    ASSERT_FALSE(link.empty());

    const auto part =
        WebRequest(service.WebPort(), link, "127.0.0.1", "GET", "Range: bytes=0-0\r\n");
    EXPECT_EQ(part.status, 416);
    EXPECT_EQ(part.body, "");
    EXPECT_EQ(WebRequest(service.WebPort(), link, "127.0.0.1", "HEAD").status, 200);

    // A download under way holds the share's one download...
    Fd stalled = ConnectTo(service.WebPort());
    SendText(stalled.Get(), "GET " + link + " HTTP/1.0\r\n\r\n");
    char first[4096];
    ASSERT_GT(::recv(stalled.Get(), first, sizeof first, 0), 0);
    EXPECT_EQ(WebRequest(service.WebPort(), link).status, 503);
    // ...and gives it back when it breaks off.
    stalled.Reset();
    WebReply whole;
    for (int attempt = 0; attempt < 500; ++attempt) {
        whole = WebRequest(service.WebPort(), link);
        if (whole.status != 503) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(whole.status, 200);
    EXPECT_TRUE(whole.body == bytes) << whole.body.size() << " bytes";
    EXPECT_EQ(WebRequest(service.WebPort(), link).status, 410);
}

}  // namespace
}  // namespace testing_support

// Share links outlive the service: a restart, even a kill, keeps each link's downloads left.
#include <gtest/gtest.h>

#include "service_test_kit.h"
#include "support/service_process.h"
#include "web_test_client.h"

namespace testing_support {
namespace {

TEST(ServiceSharePersistence, LinksKeepTheirCountsAcrossRestartsAndKills) {
    ServiceProcess service({"alice:secret"});
    const std::string bytes = PatternBytes(100000, 3);
    WriteHostFile(service.AccountDir("alice") / "f.bin", bytes);
    const auto web = [&service] { return std::uint16_t(service.WebPort()); };
    const std::string link = MakeShare(web(), service.OutboxDir(), "f.bin", 3, "pw");
    ASSERT_FALSE(link.empty());
    const std::string download = link + "?password=pw";

    // Killed right after making the share, then between downloads: nothing counted twice,
    // nothing lost.
    service.Restart(SIGKILL);
    auto reply = WebRequest(web(), download);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, bytes);
    service.Restart(SIGKILL);
    EXPECT_EQ(WebRequest(web(), download).status, 200);
    service.Restart(SIGTERM);
    EXPECT_EQ(WebRequest(web(), link + "?password=wrong").status, 403);
    EXPECT_EQ(WebRequest(web(), download).status, 200);
    EXPECT_EQ(WebRequest(web(), download).status, 410);

    // The database holds live links and password hashes.
    const auto permissions = std::filesystem::status(service.Root() / "shares.db").permissions();
    EXPECT_EQ(
        permissions & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
        std::filesystem::perms::none);
}

}  // namespace
}  // namespace testing_support

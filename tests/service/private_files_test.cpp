// What the service creates is readable by its own user only, whatever the umask.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "service_test_kit.h"
#include "share_mail.h"

namespace testing_support {
namespace {

using namespace stowbox::service;

class UmaskForTheTest {
  public:
    explicit UmaskForTheTest(mode_t mask) : m_old(::umask(mask)) {}
    ~UmaskForTheTest() { ::umask(m_old); }
    UmaskForTheTest(const UmaskForTheTest&) = delete;
    UmaskForTheTest& operator=(const UmaskForTheTest&) = delete;

  private:
    mode_t m_old;
};

// "0700" and the like; "missing" when there is nothing.
std::string ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return "missing";
    }
    char text[8];
    std::snprintf(text, sizeof text, "%04o", unsigned(info.st_mode & 07777));
    return text;
}

TEST(ServicePrivateFiles, FoldersAndFilesAreTheServicesOwnUnderAPermissiveUmask) {
    const UmaskForTheTest permissive(0);
    TempFolder parent("stowbox-private-files");
    const auto root = parent.Path() / "root";
    const auto home = root / "accounts" / "alice";
    TestService service([&](ServiceConfig& config) { config.root = root; });
    FtpClient client(service.FtpPort());
    client.Reply();
    ASSERT_EQ(CodeOf(client.Login()), 230);
    WriteHostFile(home / "old.txt", "open to all");
    std::filesystem::permissions(home / "old.txt", std::filesystem::perms::all);
    EXPECT_EQ(CodeOf(client.Store("old.txt", "replaced")), 226);
    EXPECT_EQ(CodeOf(client.Store("new.txt", "new")), 226);
    EXPECT_EQ(CodeOf(client.Command("MKD box")), 257);
    write_outbox_file(root / "outbox", "share.eml", "Link: http://example.invalid/share/1\r\n");

    const struct {
        std::filesystem::path path;
        const char* mode;
    } expected[] = {
        {root, "0700"},
        {root / "accounts", "0700"},
        {root / "outbox", "0700"},
        {home, "0700"},
        {root / "accounts" / "bob", "0700"},
        {home / "box", "0700"},
        {home / "old.txt", "0600"},
        {home / "new.txt", "0600"},
        {root / "outbox" / "share.eml", "0600"},
    };
    for (const auto& item : expected) {
        EXPECT_EQ(ModeOf(item.path), item.mode) << item.path;
    }
}

}  // namespace
}  // namespace testing_support

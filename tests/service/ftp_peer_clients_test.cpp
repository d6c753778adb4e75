// Widely used FTP clients copy whole folder trees both ways, list names and resume a
// download against the service.
#include <gtest/gtest.h>

#include "service_test_kit.h"

namespace testing_support {
namespace {

// Every file under `top`, by its path below it, with its bytes.
std::map<std::string, std::string> TreeOf(const std::filesystem::path& top) {
    std::map<std::string, std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(top)) {
        if (item.is_regular_file()) {
            files[std::filesystem::relative(item.path(), top).string()] = ReadHostFile(item.path());
        }
    }
    return files;
}

TEST(ServicePeerClients, MirrorBothWaysListNamesAndResume) {
    if (!HaveProgram("lftp") || !HaveProgram("curl")) {
        GTEST_SKIP() << "lftp and curl are needed on PATH";
    }
    const TestService service;
    const auto local = service.Root() / "local";
    const std::map<std::string, std::string> tree{
        {"a.txt", "alpha"},
        {"Sub/b.bin", PatternBytes(300 << 10, 3)},
        {"Sub/Deeper/c.txt", ""},
    };
    for (const auto& [path, bytes] : tree) {
        WriteHostFile(service.Home() / "Tree" / path, bytes);
        WriteHostFile(local / "up" / path, bytes);
    }
    const std::string site = "127.0.0.1:" + std::to_string(service.FtpPort());

    // cmd:fail-exit makes any refused command fail the run; one try each, bounded in time.
    const auto lftp =
        RunProgram({"lftp", "-c",
                    "set cmd:fail-exit true; set net:max-retries 1; set net:timeout 10; "
                    "set ftp:ssl-allow false; open -u alice,secret ftp://" +
                        site + "; mirror Tree " + (local / "down").string() + "; mirror -R " +
                        (local / "up").string() + " Up"});
    ASSERT_EQ(lftp.exitCode, 0) << lftp.output;
    EXPECT_EQ(TreeOf(local / "down"), tree);
    EXPECT_EQ(TreeOf(service.Home() / "Up"), tree);

    const std::vector<std::string> curl{
        "curl", "--silent", "--show-error", "--user", "alice:secret", "--max-time", "60"};
    auto names = curl;
    names.insert(names.end(), {"--list-only", "ftp://" + site + "/Tree/"});
    const auto listed = RunProgram(names);
    ASSERT_EQ(listed.exitCode, 0) << listed.output;
    EXPECT_EQ(listed.output, "Sub\na.txt\n") << "in ASCII mode, lines end as on this host";

    const std::string& whole = tree.at("Sub/b.bin");
    WriteHostFile(local / "part.bin", whole.substr(0, 1000));
    auto resume = curl;
    resume.insert(resume.end(), {"-C", "-", "-o", (local / "part.bin").string(),
                                 "ftp://" + site + "/Tree/Sub/b.bin"});
    const auto resumed = RunProgram(resume);
    ASSERT_EQ(resumed.exitCode, 0) << resumed.output;
    EXPECT_EQ(ReadHostFile(local / "part.bin"), whole);
}

}  // namespace
}  // namespace testing_support

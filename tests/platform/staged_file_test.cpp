#include "platform/fs/staged_file.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "device_folder.h"

namespace {

using platform::fs::StagedFile;
namespace stdfs = std::filesystem;
using testing_support::DeviceFolder;
using testing_support::ReadHostFile;
using testing_support::WriteHostFile;

using StagedFiles = DeviceFolder;

std::vector<std::string> Names(const stdfs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : stdfs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(StagedFiles, TheTargetChangesOnlyByACommit) {
    WriteHostFile(root / "a.txt", "old");
    WriteHostFile(root / ".a.txt.part-0123456789abcdef", "left by a run that died");
    WriteHostFile(root / ".a.txt.part-0123456789ABCDEF", "the user's own");
    {
        StagedFile staged;
        ASSERT_TRUE(staged.Open(fs, L"\\a.txt"));
        ASSERT_TRUE(staged.Write("new", 3));
        // The bytes wait in one hidden file beside the target; the stale one is gone.
        std::vector<std::string> names = Names(root);
        std::erase(names, ".a.txt.part-0123456789ABCDEF");
        ASSERT_EQ(names.size(), 2u);
        EXPECT_TRUE(std::regex_match(names[0], std::regex(R"(\.a\.txt\.part-[0-9a-f]{16})")))
            << names[0];
        EXPECT_TRUE(
            platform::fs::IsStagingFileName(std::wstring(names[0].begin(), names[0].end())));
        EXPECT_EQ(ReadHostFile(root / "a.txt"), "old");
        EXPECT_TRUE(staged.Commit());
    }
    EXPECT_EQ(ReadHostFile(root / "a.txt"), "new");
    EXPECT_THAT(Names(root), ::testing::ElementsAre(".a.txt.part-0123456789ABCDEF", "a.txt"));
    stdfs::remove(root / ".a.txt.part-0123456789ABCDEF");

    {  // dropped uncommitted: onto an existing target, and onto a new one
        StagedFile replacing;
        StagedFile creating;
        ASSERT_TRUE(replacing.Open(fs, L"/a.txt"));
        ASSERT_TRUE(creating.Open(fs, L"b.txt"));
        EXPECT_TRUE(replacing.Write("lost", 4));
        EXPECT_TRUE(creating.Write("lost", 4));
    }
    EXPECT_EQ(ReadHostFile(root / "a.txt"), "new");
    EXPECT_THAT(Names(root), ::testing::ElementsAre("a.txt"));

    // A target that became a folder meanwhile keeps its place, and the bytes go.
    StagedFile late;
    ASSERT_TRUE(late.Open(fs, L"\\c"));
    WriteHostFile(root / "c" / "inside.txt", "kept");
    EXPECT_FALSE(late.Commit());
    EXPECT_EQ(ReadHostFile(root / "c" / "inside.txt"), "kept");
    EXPECT_THAT(Names(root), ::testing::ElementsAre("a.txt", "c"));

    // The temporary name fits however long the target's name is.
    const std::wstring longName(250, L'n');
    StagedFile longOne;
    ASSERT_TRUE(longOne.Open(fs, longName));
    EXPECT_TRUE(longOne.Commit());
    EXPECT_TRUE(stdfs::exists(root / std::string(250, 'n')));
}

TEST_F(StagedFiles, PathsThatNameNoFileAreRefusedWithoutATrace) {
    stdfs::create_directory(root / "dir");
    WriteHostFile(root / "a.txt", "kept");
    for (const wchar_t* path : {L"\\", L"\\dir", L"\\dir\\", L"\\dir\\.", L"\\a.txt\\",
                                L"..\\x.txt", L"\\missing\\x.txt"}) {
        StagedFile staged;
        EXPECT_FALSE(staged.Open(fs, path)) << testing::PrintToString(path);
        EXPECT_FALSE(staged.Write("x", 1));
        EXPECT_FALSE(staged.Commit());
    }
    EXPECT_THAT(Names(root), ::testing::ElementsAre("a.txt", "dir"));
    EXPECT_THAT(Names(root / "dir"), ::testing::IsEmpty());
    EXPECT_EQ(ReadHostFile(root / "a.txt"), "kept");
}

}  // namespace

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <map>

#include "device_folder.h"
#include "support/fd.h"

namespace {

using namespace platform::fs;
namespace stdfs = std::filesystem;
using testing_support::DeviceFolder;
using testing_support::WriteHostFile;

using FileSystemPaths = DeviceFolder;

TEST_F(FileSystemPaths, BothSeparatorsAndBareNamesResolveInsideTheRoot) {
    for (const wchar_t* path : {L"", L"\\", L"/", L"\\\\//"}) {
        EXPECT_EQ(fs.HostPath(path), root) << path;
    }
    EXPECT_EQ(fs.HostPath(L"notes.txt"), root / "notes.txt");
    EXPECT_EQ(fs.HostPath(L"\\a\\b.txt"), root / "a" / "b.txt");
    EXPECT_EQ(fs.HostPath(L"/a//b.txt"), root / "a" / "b.txt");
    EXPECT_EQ(fs.HostPath(L"a\\.\\x\\..\\b.txt"), root / "a" / "b.txt");
    EXPECT_EQ(fs.HostPath(L"\\caf\u00E9"), root / "caf\xC3\xA9");
}

TEST_F(FileSystemPaths, DotDotCannotClimbAboveTheRoot) {
    WriteHostFile(outside / "secret", "s");
    for (const wchar_t* path :
         {L"..", L"..\\..\\etc", L"/../x", L"\\a\\..\\..\\outside\\secret", L"..\\root\\x"}) {
        EXPECT_EQ(fs.HostPath(path), std::nullopt) << path;
    }
    EXPECT_TRUE(fs.Find(L"..\\outside\\*").empty());
    EXPECT_EQ(fs.GetAttributes(L"..\\outside\\secret"), std::nullopt);
    EXPECT_FALSE(fs.CreateDirectory(L"\\..\\made"));
    EXPECT_FALSE(fs.DeleteFile(L"..\\outside\\secret"));
    File file;
    EXPECT_FALSE(file.Open(fs, L"..\\outside\\new", File::Mode::CreateAlways));
    EXPECT_FALSE(stdfs::exists(temp / "made"));
    EXPECT_FALSE(stdfs::exists(outside / "new"));
    EXPECT_TRUE(stdfs::exists(outside / "secret"));
}

TEST_F(FileSystemPaths, LinksPointingOutsideAreDeadEnds) {
    WriteHostFile(outside / "secret", "s");
    stdfs::create_directory_symlink(outside, root / "out");
    stdfs::create_symlink("../outside/secret", root / "rel");
    stdfs::create_symlink(outside / "planted", root / "dangling");  // target not there yet

    for (const wchar_t* path : {L"\\out", L"\\out\\secret", L"rel", L"dangling"}) {
        EXPECT_EQ(fs.HostPath(path), std::nullopt) << path;
    }
    File file;
    EXPECT_FALSE(file.Open(fs, L"\\rel", File::Mode::Read));
    EXPECT_FALSE(file.Open(fs, L"\\dangling", File::Mode::CreateAlways));
    EXPECT_FALSE(file.Open(fs, L"\\out\\planted", File::Mode::CreateAlways));
    EXPECT_FALSE(fs.CopyFile(L"\\rel", L"\\copy", false));
    EXPECT_FALSE(fs.CopyFile(L"\\copy-source-missing", L"\\dangling", false));
    EXPECT_FALSE(fs.DeleteFile(L"\\out\\secret"));
    EXPECT_FALSE(fs.MoveFile(L"\\out\\secret", L"\\stolen"));
    EXPECT_TRUE(fs.Find(L"\\out\\*").empty());
    EXPECT_FALSE(stdfs::exists(outside / "planted"));
    EXPECT_TRUE(stdfs::exists(outside / "secret"));

    // Listed, but nothing about the target shows.
    const auto found = fs.Find(L"\\*");
    ASSERT_EQ(found.size(), 3u);
    for (const auto& entry : found) {
        EXPECT_EQ(entry.attributes, kAttrReparsePoint | kAttrArchive) << entry.name;
        EXPECT_EQ(entry.sizeLow, 0u);
    }
}

TEST_F(FileSystemPaths, LinksStayingInsideAreFollowed) {
    stdfs::create_directory(root / "docs");
    WriteHostFile(root / "docs" / "a.txt", "hello");
    stdfs::create_directory_symlink("docs", root / "dirlink");
    stdfs::create_symlink("docs/a.txt", root / "filelink");
    stdfs::create_symlink("docs/missing.txt", root / "dangling");
    stdfs::create_symlink("loop", root / "loop");

    EXPECT_EQ(fs.HostPath(L"\\dirlink\\a.txt"), root / "docs" / "a.txt");
    EXPECT_EQ(fs.GetAttributes(L"\\dirlink"), kAttrReparsePoint | kAttrDirectory);
    EXPECT_EQ(fs.GetAttributes(L"\\dangling"), kAttrReparsePoint | kAttrArchive);
    EXPECT_EQ(fs.GetAttributes(L"\\loop"), kAttrReparsePoint | kAttrArchive);
    EXPECT_EQ(fs.HostPath(L"\\loop"), std::nullopt);
    const auto viaLink = fs.Find(L"\\filelink");
    ASSERT_EQ(viaLink.size(), 1u);
    EXPECT_EQ(viaLink[0].attributes, kAttrReparsePoint | kAttrArchive);
    EXPECT_EQ(viaLink[0].sizeLow, 5u);

    // Deleting a link removes the link, never what it points at.
    EXPECT_TRUE(fs.DeleteFile(L"\\filelink"));
    EXPECT_TRUE(fs.DeleteFile(L"\\dirlink"));
    EXPECT_TRUE(stdfs::exists(root / "docs" / "a.txt"));
    EXPECT_FALSE(stdfs::is_symlink(root / "filelink"));
}

using FileSystemFind = DeviceFolder;

std::vector<std::wstring> Names(const std::vector<FindData>& found) {
    std::vector<std::wstring> names;
    for (const auto& entry : found) {
        names.push_back(entry.name);
    }
    return names;
}

TEST_F(FileSystemFind, PatternsMatchWithoutCaseAndResultsAreSorted) {
    for (const char* name : {"b.txt", "A.TXT", "readme", ".hidden", "ab.tar.gz"}) {
        WriteHostFile(root / name, "x");
    }
    stdfs::create_directory(root / "sub");
    WriteHostFile(root / "sub" / "inner.txt", "x");

    using V = std::vector<std::wstring>;
    const V all{L".hidden", L"A.TXT", L"ab.tar.gz", L"b.txt", L"readme", L"sub"};
    EXPECT_EQ(Names(fs.Find(L"\\*")), all);
    EXPECT_EQ(Names(fs.Find(L"*.*")), all);  // names without a dot too
    EXPECT_EQ(Names(fs.Find(L"\\*.txt")), (V{L"A.TXT", L"b.txt"}));
    EXPECT_EQ(Names(fs.Find(L"/?.TxT")), (V{L"A.TXT", L"b.txt"}));
    EXPECT_EQ(Names(fs.Find(L"\\a*.gz")), (V{L"ab.tar.gz"}));
    EXPECT_EQ(Names(fs.Find(L"\\*a*z")), (V{L"ab.tar.gz"}));
    EXPECT_EQ(Names(fs.Find(L"\\README")), (V{L"readme"}));
    EXPECT_EQ(Names(fs.Find(L"\\sub\\*.*")), (V{L"inner.txt"}));
    EXPECT_TRUE(fs.Find(L"\\missing\\*").empty());
    EXPECT_TRUE(fs.Find(L"\\b.txt\\*").empty());
    EXPECT_TRUE(fs.Find(L"\\sub\\").empty());
}

TEST_F(FileSystemFind, AttributesDescribeEveryKindOfEntry) {
    WriteHostFile(root / "plain", "12345");
    WriteHostFile(root / "locked", "1");
    stdfs::permissions(root / "locked", stdfs::perms::owner_read);
    WriteHostFile(root / ".dot", "");
    stdfs::create_directory(root / "folder");
    stdfs::create_directory(root / ".dotfolder");
    stdfs::create_directory(root / "lockedfolder");
    stdfs::permissions(root / "lockedfolder", stdfs::perms::owner_read | stdfs::perms::owner_exec);
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0644), 0);
    stdfs::create_symlink("fifo", root / "fifolink");

    const testing_support::Fd sock(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string sockPath = (root / "sock").string();
    ASSERT_LT(sockPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, sockPath.c_str());
    ASSERT_EQ(::bind(sock.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // Larger than 4 GiB: only the low 32 bits are reported.
    WriteHostFile(root / "huge", "");
    stdfs::resize_file(root / "huge", (5ull << 32) + 7);

    const std::map<std::wstring, std::pair<std::uint32_t, std::uint32_t>> expected{
        {L".dot", {kAttrArchive | kAttrHidden, 0}},
        {L".dotfolder", {kAttrDirectory | kAttrHidden, 0}},
        {L"fifo", {kAttrSystem, 0}},
        {L"fifolink", {kAttrSystem, 0}},
        {L"folder", {kAttrDirectory, 0}},
        {L"huge", {kAttrArchive, 7}},
        {L"locked", {kAttrArchive | kAttrReadOnly, 1}},
        {L"lockedfolder", {kAttrDirectory | kAttrReadOnly, 0}},
        {L"plain", {kAttrArchive, 5}},
        {L"sock", {kAttrSystem, 0}},
    };
    std::map<std::wstring, std::pair<std::uint32_t, std::uint32_t>> actual;
    for (const auto& entry : fs.Find(L"\\*.*")) {
        actual[entry.name] = {entry.attributes, entry.sizeLow};
        EXPECT_EQ(fs.GetAttributes(L"\\" + entry.name), entry.attributes) << entry.name;
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(fs.GetAttributes(L"\\"), kAttrDirectory);
    EXPECT_EQ(fs.GetAttributes(L"\\nothing"), std::nullopt);
}

}  // namespace

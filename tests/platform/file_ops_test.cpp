#include <sys/stat.h>

#include "device_folder.h"

namespace {

using namespace platform::fs;
namespace stdfs = std::filesystem;
using testing_support::DeviceFolder;
using testing_support::ReadHostFile;
using testing_support::WriteHostFile;

using FileOperations = DeviceFolder;

TEST_F(FileOperations, CopyHonoursFailIfExistsAndNeverDamagesTheTarget) {
    WriteHostFile(root / "a.txt", "alpha");
    WriteHostFile(root / "b.txt", "bravo");
    stdfs::create_directory(root / "dir");

    EXPECT_TRUE(fs.CopyFile(L"\\a.txt", L"/dir/copy.txt", true));
    EXPECT_EQ(ReadHostFile(root / "dir" / "copy.txt"), "alpha");
    EXPECT_FALSE(fs.CopyFile(L"\\a.txt", L"\\b.txt", true));
    EXPECT_EQ(ReadHostFile(root / "b.txt"), "bravo");
    EXPECT_TRUE(fs.CopyFile(L"\\a.txt", L"\\b.txt", false));
    EXPECT_EQ(ReadHostFile(root / "b.txt"), "alpha");

    // Onto itself, onto a folder, from a folder, from nothing, into a missing folder.
    EXPECT_FALSE(fs.CopyFile(L"\\a.txt", L"/a.txt", false));
    EXPECT_EQ(ReadHostFile(root / "a.txt"), "alpha");
    EXPECT_FALSE(fs.CopyFile(L"\\a.txt", L"\\dir", false));
    EXPECT_FALSE(fs.CopyFile(L"\\dir", L"\\c.txt", false));
    EXPECT_FALSE(fs.CopyFile(L"\\none", L"\\c.txt", false));
    EXPECT_FALSE(fs.CopyFile(L"\\a.txt", L"\\nofolder\\c.txt", false));
    WriteHostFile(root / "dir" / "copy.txt", "charlie");
    stdfs::permissions(root / "b.txt", stdfs::perms::owner_write, stdfs::perm_options::remove);
    EXPECT_FALSE(fs.CopyFile(L"/dir/copy.txt", L"\\b.txt", false));  // read-only, kept
    EXPECT_EQ(ReadHostFile(root / "b.txt"), "alpha");
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0644), 0);
    EXPECT_FALSE(fs.CopyFile(L"\\fifo", L"\\c.txt", false));  // returns, does not wait

    // No temporary file is left behind.
    EXPECT_EQ(fs.Find(L"\\*").size(), 4u);
    EXPECT_EQ(fs.Find(L"\\dir\\*").size(), 1u);
}

TEST_F(FileOperations, MoveRenamesButNeverReplaces) {
    WriteHostFile(root / "a.txt", "alpha");
    WriteHostFile(root / "b.txt", "bravo");
    stdfs::create_directory(root / "dir");

    EXPECT_FALSE(fs.MoveFile(L"\\a.txt", L"\\b.txt"));
    EXPECT_FALSE(fs.MoveFile(L"\\a.txt", L"\\a.txt"));
    EXPECT_EQ(ReadHostFile(root / "a.txt"), "alpha");
    EXPECT_EQ(ReadHostFile(root / "b.txt"), "bravo");
    EXPECT_TRUE(fs.MoveFile(L"\\a.txt", L"/dir/moved.txt"));
    EXPECT_EQ(ReadHostFile(root / "dir" / "moved.txt"), "alpha");
    EXPECT_FALSE(stdfs::exists(root / "a.txt"));
    EXPECT_FALSE(fs.MoveFile(L"\\a.txt", L"\\c.txt"));
    EXPECT_FALSE(fs.MoveFile(L"\\", L"\\c"));
}

TEST_F(FileOperations, DeleteTakesFilesOnlyAndFoldersGoWhenEmpty) {
    WriteHostFile(root / "a.txt", "alpha");
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0644), 0);

    EXPECT_TRUE(fs.CreateDirectory(L"\\dir"));
    EXPECT_FALSE(fs.CreateDirectory(L"\\dir"));
    EXPECT_TRUE(fs.CreateDirectory(L"dir/sub"));
    EXPECT_FALSE(fs.CreateDirectory(L"\\missing\\sub"));
    EXPECT_FALSE(fs.DeleteFile(L"\\dir"));
    EXPECT_FALSE(fs.DeleteFile(L"\\fifo"));
    EXPECT_FALSE(fs.DeleteFile(L"\\none"));
    EXPECT_FALSE(fs.RemoveDirectory(L"\\dir"));  // not empty
    EXPECT_FALSE(fs.RemoveDirectory(L"\\a.txt"));
    EXPECT_FALSE(fs.RemoveDirectory(L"\\"));
    EXPECT_TRUE(fs.RemoveDirectory(L"\\dir\\sub"));
    EXPECT_TRUE(fs.RemoveDirectory(L"\\dir"));
    stdfs::permissions(root / "a.txt", stdfs::perms::owner_write, stdfs::perm_options::remove);
    EXPECT_FALSE(fs.DeleteFile(L"a.txt"));  // read-only, as the device refuses
    stdfs::permissions(root / "a.txt", stdfs::perms::owner_write, stdfs::perm_options::add);
    EXPECT_TRUE(fs.DeleteFile(L"a.txt"));
    EXPECT_FALSE(stdfs::exists(root / "a.txt"));
    EXPECT_FALSE(stdfs::exists(root / "dir"));
    EXPECT_TRUE(stdfs::exists(root));
}

using FileAccess = DeviceFolder;

TEST_F(FileAccess, WritesReadsAndSeeks) {
    File out;
    ASSERT_TRUE(out.Open(fs, L"\\data.bin", File::Mode::CreateAlways));
    EXPECT_TRUE(out.Write("0123456789", 10));
    File moved(std::move(out));
    EXPECT_FALSE(out.IsOpen());
    EXPECT_TRUE(moved.Write("abc", 3));
    moved.Close();
    EXPECT_EQ(ReadHostFile(root / "data.bin"), "0123456789abc");
    EXPECT_EQ(stdfs::status(root / "data.bin").permissions() & stdfs::perms::all,
              stdfs::perms::owner_read | stdfs::perms::owner_write | stdfs::perms::group_read |
                  stdfs::perms::others_read);

    File in;
    ASSERT_TRUE(in.Open(fs, L"data.bin", File::Mode::Read));
    char buffer[8] = {};
    EXPECT_EQ(in.Read(buffer, 8), 8);
    EXPECT_EQ(in.Seek(0, File::Origin::Current), 8);
    EXPECT_EQ(in.Read(buffer, 8), 5);
    EXPECT_EQ(std::string(buffer, 5), "89abc");
    EXPECT_EQ(in.Read(buffer, 8), 0);
    EXPECT_EQ(in.Seek(-3, File::Origin::End), 10);
    EXPECT_EQ(in.Seek(2, File::Origin::Begin), 2);
    EXPECT_EQ(in.Read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], '2');
    EXPECT_EQ(in.Seek(-1, File::Origin::Begin), -1);
    in.Close();
    EXPECT_EQ(in.Read(buffer, 1), -1);
    EXPECT_FALSE(in.Write("x", 1));

    // CreateAlways empties an existing file.
    File again;
    ASSERT_TRUE(again.OpenHost(root / "data.bin", File::Mode::CreateAlways));
    again = File();
    EXPECT_EQ(stdfs::file_size(root / "data.bin"), 0u);
}

TEST_F(FileAccess, RefusesWhatIsNotARegularFile) {
    stdfs::create_directory(root / "dir");
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0644), 0);
    File file;
    EXPECT_FALSE(file.Open(fs, L"\\missing", File::Mode::Read));
    EXPECT_FALSE(file.Open(fs, L"\\dir", File::Mode::Read));
    EXPECT_FALSE(file.Open(fs, L"\\dir", File::Mode::CreateAlways));
    // A pipe without a writer would block a plain open for ever.
    EXPECT_FALSE(file.Open(fs, L"\\fifo", File::Mode::Read));
    EXPECT_FALSE(file.Open(fs, L"\\fifo", File::Mode::CreateAlways));
    EXPECT_FALSE(file.Open(fs, L"\\missing\\new", File::Mode::CreateAlways));
    EXPECT_FALSE(file.IsOpen());
}

}  // namespace

#pragma once
// A throw-away device root beside an "outside" folder that the device must never reach.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/fs/file_system.h"

namespace stowbox_test {

namespace stdfs = std::filesystem;

inline void WriteHostFile(const stdfs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string ReadHostFile(const stdfs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DeviceFolder : public ::testing::Test {
  protected:
    static stdfs::path MakeTemp() {
        std::string name = (stdfs::temp_directory_path() / "sbfs-XXXXXX").string();
        EXPECT_NE(::mkdtemp(name.data()), nullptr);
        stdfs::create_directory(stdfs::path(name) / "root");
        stdfs::create_directory(stdfs::path(name) / "outside");
        return stdfs::canonical(name);
    }
    ~DeviceFolder() override { stdfs::remove_all(temp_); }

    stdfs::path temp_ = MakeTemp();
    stdfs::path root_ = temp_ / "root";
    stdfs::path outside_ = temp_ / "outside";
    platform::fs::FileSystem fs_{root_};
};

}  // namespace stowbox_test

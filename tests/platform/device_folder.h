#pragma once
// A throw-away device root beside an "outside" folder that the device must never reach.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/fs/file_system.h"
#include "support/temp_folder.h"

namespace testing_support {

namespace stdfs = std::filesystem;

class DeviceFolder : public ::testing::Test {
  protected:
    TempFolder folder{"sbfs"};
    stdfs::path temp = stdfs::canonical(folder.Path());
    stdfs::path root = MakeFolder("root");
    stdfs::path outside = MakeFolder("outside");
    platform::fs::FileSystem fs{root};

  private:
    stdfs::path MakeFolder(const char* name) const {
        stdfs::create_directory(temp / name);
        return temp / name;
    }
};

}  // namespace testing_support

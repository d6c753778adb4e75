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
    TempFolder folder_{"sbfs"};
    stdfs::path temp_ = stdfs::canonical(folder_.Path());
    stdfs::path root_ = MakeFolder("root");
    stdfs::path outside_ = MakeFolder("outside");
    platform::fs::FileSystem fs_{root_};

  private:
    stdfs::path MakeFolder(const char* name) const {
        stdfs::create_directory(temp_ / name);
        return temp_ / name;
    }
};

}  // namespace testing_support

#pragma once
// A device folder of names in several scripts, uploaded whole, listed, downloaded and compared
// byte for byte: no name may be changed into another on the way, and no two may become one.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace mixed_script {

struct File {
    std::string name;  // UTF-8, as on the host
    std::string bytes;
};

// Two CJK names of the same length: a '?' for each character would make them one.
inline const std::vector<File>& Files() {
    static const std::vector<File> files = {
        {"Caf\u00e9 r\u00e9sum\u00e9.txt", "latin"},
        {"\u65e5\u672c\u8a9e.txt", "japanese"},
        {"\u6771\u4eac.txt", "tokyo"},
        {"\u5317\u4eac.txt", "beijing"},
        {"plain.txt", "ascii"},
    };
    return files;
}

inline void WriteFolder(testing_support::TempFolder& device) {
    for (const File& file : Files()) {
        device.WriteFile(std::filesystem::path("Intl") / file.name, file.bytes);
    }
}

// From the file manager after login: uploads Intl, opens it in the Remote view, downloads all
// its files to the device's top folder, exits.
inline std::string RoundTripSteps() {
    return "command ID_SHOW_LOCAL\n"
           "expect rows 1\n"
           "check 0\n"
           "command ID_UPLOAD\n"
           "expect box \"File Upload Completed\"\n"
           "command ID_SHOW_REMOTE\n"
           "doubletap 0\n"
           "expect path 2 \"Stowbox\" \"**  My Device on Stowbox\" \"*** Intl\"\n"
           "expect rows 5\n"
           "check 0\ncheck 1\ncheck 2\ncheck 3\ncheck 4\n"
           "command ID_DOWNLOAD\n"
           "expect box \"File Download Completed\"\n"
           "expect no-box\n"
           "answer yes\n"
           "command ID_EXIT\n";
}

// The server's folder and the device's top folder hold every file under its own name.
inline void ExpectEveryFileBack(const std::filesystem::path& remoteFolder,
                                const std::filesystem::path& deviceTop) {
    std::size_t remoteCount = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(remoteFolder)) {
        ++remoteCount;
    }
    EXPECT_EQ(remoteCount, Files().size());
    for (const File& file : Files()) {
        EXPECT_EQ(testing_support::ReadHostFile(remoteFolder / file.name), file.bytes) << file.name;
        EXPECT_EQ(testing_support::ReadHostFile(deviceTop / file.name), file.bytes) << file.name;
    }
}

}  // namespace mixed_script

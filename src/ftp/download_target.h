#pragma once
// Which device paths a download may write to. The file itself is written as a
// platform::fs::StagedFile, which keeps the device file until the transfer is complete.

#include <string_view>

namespace ftp {

// Whether the server's name lets the download write to the local path: a remote name used as
// the local name must be bare, so that it cannot reach outside the folder it is written to.
// The device path itself is checked when the file is staged.
bool MayDownloadTo(std::wstring_view remoteName, std::wstring_view localPath);

}  // namespace ftp

#pragma once
// Where a download may write on the device, and the temporary file that holds its bytes
// until the transfer is complete.

#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/fs/file_system.h"

namespace ftp {

// A name of one path element: not empty, no "/", "\" or NUL, not "." or "..". Every path that
// writes a device file under a name a server gave checks it first.
bool IsBareName(std::wstring_view name);

struct DownloadTarget {
    std::filesystem::path target;     // host path of the device file to produce
    std::filesystem::path temporary;  // hidden file beside it that receives the bytes
};

// Whether a device name has the form of the temporary files above (".NAME.part-" and 16 hex
// digits): such files are the program's own, left by a run that ended inside a download.
bool IsDownloadTemporary(std::wstring_view name);

// Removes the temporary files of that form from a host folder (not from its subfolders).
void RemoveStaleTemporaries(const std::filesystem::path& folder);

// Nothing when the local path cannot name a device file: it ends without a file name, it
// leaves the device root, it names a folder, or it is the remote name itself and that name
// is not bare (a server-chosen name must not reach outside the folder it is written to).
std::optional<DownloadTarget> PlanDownload(const platform::fs::FileSystem& files,
                                           std::wstring_view remoteName,
                                           std::wstring_view localPath);

}  // namespace ftp

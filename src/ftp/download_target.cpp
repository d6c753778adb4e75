#include "ftp/download_target.h"

#include "platform/fs/file_system.h"

namespace ftp {

bool MayDownloadTo(std::wstring_view remoteName, std::wstring_view localPath) {
    return localPath != remoteName || platform::fs::IsBareName(remoteName);
}

}  // namespace ftp

#include "ftp/download_target.h"

namespace ftp {

bool MayDownloadTo(std::wstring_view remoteName, std::wstring_view localPath) {
    return localPath != remoteName || IsBareName(remoteName);
}

}  // namespace ftp

#include "filemanager/enter_remote_root.h"

#include <string>

#include "app/globals.h"
#include "ftp/remote_root.h"
#include "ftp/reply_codes.h"

bool EnterRemoteRoot() {
    const std::wstring cwdRoot = std::wstring(L"CWD ") + kRemoteRoot;
    g_ftp.SendAndRead(cwdRoot);
    if (g_ftp.GetReplyCode() == ftp::kReplyNoSuchFile) {
        g_ftp.SendAndRead(std::wstring(L"MKD ") + kRemoteRootName);
        g_ftp.SendAndRead(cwdRoot);
    }
    return g_ftp.GetReplyCode() == ftp::kReplyFileActionOk;
}

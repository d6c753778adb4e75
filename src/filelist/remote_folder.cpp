#include "filelist/remote_folder.h"

#include "app/globals.h"

bool ListCurrentFolder(std::wstring& strListing) {
    strListing.clear();
    // The bare LIST lists where the session is; the PWD before it goes out with the LIST's
    // own commands.
    g_ftp.SendCurrentDirAhead();
    g_ftp.List(std::wstring(), strListing);
    return !g_ftp.IsConnectionLost();
}

bool ChangeFolderAndList(const std::wstring& strCwdCommand, std::wstring& strListing) {
    g_ftp.SendAndRead(strCwdCommand);
    return ListCurrentFolder(strListing);
}

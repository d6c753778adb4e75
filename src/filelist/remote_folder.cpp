#include "filelist/remote_folder.h"

#include "app/globals.h"

bool ListCurrentFolder(std::wstring& strListing) {
    strListing.clear();
    g_ftp.List(g_ftp.GetCurrentDir(), strListing);
    return !g_ftp.IsConnectionLost();
}

bool ChangeFolderAndList(const std::wstring& strCwdCommand, std::wstring& strListing) {
    g_ftp.SendAndRead(strCwdCommand);
    return ListCurrentFolder(strListing);
}

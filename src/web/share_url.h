#pragma once
// The share servlet's request: eleven fields in a fixed order.

#include <string>

struct CShareRequest {
    std::wstring strUserName;
    std::wstring strFileName;
    std::wstring strFilePath;
    std::wstring strDownloads;
    std::wstring strSharePassword;
    std::wstring strWrite;  // "TRUE" or "FALSE"
    std::wstring strAccountPassword;
    std::wstring strTo;
    std::wstring strBcc;
    std::wstring strFrom;
};

// The file path value of a remote folder: empty for "/", otherwise the folder after its
// first "/" with a "/" behind it ("/My Device on Stowbox/Docs" gives
// "My Device on Stowbox/Docs/", an unreadable folder's empty text gives "/").
std::wstring ShareFilePath(const std::wstring& strRemoteFolder);

// "HTTP://" web host "/qmanager/servlet/KestraShare?user=" ... with "$f" right after the
// file name; every value percent-encoded where it has to be.
std::wstring ShareUrl(const CShareRequest& request);

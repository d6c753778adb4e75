#include "web/share_url.h"

#include "web/query_text.h"

std::wstring ShareFilePath(const std::wstring& strRemoteFolder) {
    if (strRemoteFolder == L"/") {
        return {};
    }
    const std::size_t slash = strRemoteFolder.find(L'/');
    const std::wstring after =
        slash == std::wstring::npos ? std::wstring() : strRemoteFolder.substr(slash + 1);
    return after + L"/";
}

std::wstring ShareUrl(const CShareRequest& request) {
    return std::wstring(L"HTTP://") + kWebHost + L"/qmanager/servlet/KestraShare?user=" +
           QueryValue(request.strUserName) + L"&filename=" + QueryValue(request.strFileName) +
           L"$f&filepath=" + QueryValue(request.strFilePath) + L"&NOD=" +
           QueryValue(request.strDownloads) + L"&password=" + QueryValue(request.strSharePassword) +
           L"&write=" + QueryValue(request.strWrite) + L"&stowpassword=" +
           QueryValue(request.strAccountPassword) + L"&TO=" + QueryValue(request.strTo) + L"&BCC=" +
           QueryValue(request.strBcc) + L"&FROM=" + QueryValue(request.strFrom);
}

#include "dialogs/download_limit.h"

#include <algorithm>
#include <string>

#include "app/client_app.h"
#include "dialogs/share_file_dlg.h"
#include "platform/text/codepage.h"
#include "web/http_request.h"
#include "web/query_text.h"

namespace {

bool IsWhiteSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

}  // namespace

std::wstring DownloadLimitUrl(const std::wstring& strUserName, const std::wstring& strPassword) {
    return std::wstring(L"HTTP://") + kWebHost + L"/qmanager/servlet/DownloadLimits?user=" +
           QueryValue(strUserName) + L"&password=" + QueryValue(strPassword);
}

int DownloadChoicesFromBody(const std::wstring& strBody) {
    std::wstring text = strBody;
    if (!text.empty()) {
        text.pop_back();
    }
    std::size_t at = 0;
    while (at < text.size() && IsWhiteSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) {
        negative = text[at] == L'-';
        ++at;
    }
    // Past the largest choice the number stops growing, so that it cannot overflow.
    long number = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        number = std::min<long>(number * 10 + (text[at] - L'0'), kMaxDownloadChoices + 1);
    }
    if (negative || number <= 0) {
        return kDefaultDownloadChoices;
    }
    return static_cast<int>(std::min<long>(number, kMaxDownloadChoices));
}

void CShareFileDlg::QueryDownloadLimit(platform::ui::ComboBox& comboDownloads,
                                       const CClientApp& app) {
    const std::string url =
        platform::text::ToAnsi(DownloadLimitUrl(app.m_strUserName, app.m_strPassword));
    std::wstring requestText;
    std::wstring responseHead;
    std::wstring responseBody;
    CHttpRequest request;
    // A failure shows "Retrieve Failed" and leaves the body empty: the default then.
    request.SendRequest(true, url.c_str(), requestText, responseHead, responseBody);

    const int nChoices = DownloadChoicesFromBody(responseBody);
    for (int n = 1; n <= nChoices; ++n) {
        comboDownloads.InsertString(n - 1, std::to_wstring(n));
    }
    comboDownloads.SetCurSel(nChoices - 1);
}

// The download-limit query: the POST it sends and how the answer becomes the list's choices.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "dialogs/share_file_dlg.h"
#include "platform/ui/combo_box.h"
#include "support/scripted_http_server.h"
#include "support/test_device.h"
#include "web/query_text.h"

using testing_support::ScriptedHttpServer;
using testing_support::TestDevice;

namespace {

struct Answered {
    std::vector<std::wstring> entries;
    int selected = -1;
    std::vector<std::string> requests;
    std::vector<std::wstring> boxes;
};

// Runs the query with the built-in web host routed to a server that answers `body`.
Answered Query(const std::string& body, const std::wstring& user = L"alice",
               const std::wstring& password = L"secret") {
    ScriptedHttpServer server({"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body});
    TestDevice::Options options;
    options.webPort = server.Port();
    TestDevice device(options);
    theApp.m_strUserName = user;
    theApp.m_strPassword = password;
    platform::ui::ComboBox list;
    CShareFileDlg::QueryDownloadLimit(list, theApp);
    Answered answered{list.Entries(), list.GetCurSel(), server.Requests(), {}};
    for (const auto& box : device.Frontend().MessageBoxes()) {
        answered.boxes.push_back(box.text);
    }
    return answered;
}

std::vector<std::wstring> OneTo(int n) {
    std::vector<std::wstring> numbers;
    for (int i = 1; i <= n; ++i) {
        numbers.push_back(std::to_wstring(i));
    }
    return numbers;
}

TEST(DownloadLimit, PostsTheCredentialsToTheBuiltInWebHost) {
    const Answered answered = Query("12\n");
    ASSERT_EQ(answered.requests.size(), 1u);
    EXPECT_EQ(answered.requests[0],
              "POST /qmanager/servlet/DownloadLimits?user=alice&password=secret HTTP/1.0\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
              "application/vnd.ms-excel, application/msword, application/vnd.ms-powerpoint, "
              "*/*\r\n"
              "Accept-Language: en-us\r\n"
              "Accept-Encoding: gzip, deflate\r\n"
              "User-Agent: Mozilla/4.0\r\n"
              "Host: 127.0.0.1\r\n"
              "Content-Type: application/x-www-form-urlencoded\r\n"
              "\r\n");
    EXPECT_TRUE(answered.boxes.empty());
}

TEST(DownloadLimit, ValuesThatWouldBreakTheQueryArePercentEncoded) {
    const Answered answered = Query("3\n", L"a b+c", L"p&write=TRUE#%?\u00e9\x7f~-._@/$");
    ASSERT_EQ(answered.requests.size(), 1u);
    const std::string& request = answered.requests[0];
    EXPECT_EQ(request.substr(0, request.find("\r\n")),
              "POST /qmanager/servlet/DownloadLimits?user=a%20b%2Bc"
              "&password=p%26write%3DTRUE%23%25%3F%C3%A9%7F~-._@/$ HTTP/1.0");
}

TEST(DownloadLimit, AnswerGivesOneToNWithNSelected) {
    struct Case {
        std::string body;
        int n;
    };
    const std::vector<Case> cases = {
        {"12\n", 12},
        {"10", 1},
        {"7", 5},
        {"0\n", 5},
        {"-3\n", 5},
        {"1500\n", 999},
        {"999\n", 999},
        {"garbage\n", 5},
        {"", 5},
        {" \t+4x\n", 4},
        {"3 apples\n", 3},
        {"99999999999999999999\n", 999},
        {"<html>500 Internal Server Error</html>\n", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        const Answered answered = Query(c.body);
        EXPECT_EQ(answered.entries, OneTo(c.n));
        EXPECT_EQ(answered.selected, c.n - 1);
    }
}

TEST(DownloadLimit, AFailedQueryShowsRetrieveFailedAndOffersFive) {
    std::uint16_t closedPort = 0;
    {
        ScriptedHttpServer gone({});
        closedPort = gone.Port();
    }
    TestDevice::Options options;
    options.webPort = closedPort;
    TestDevice device(options);
    platform::ui::ComboBox list;
    CShareFileDlg::QueryDownloadLimit(list, theApp);
    EXPECT_EQ(list.Entries(), OneTo(5));
    EXPECT_EQ(list.GetCurSel(), 4);
    ASSERT_EQ(device.Frontend().MessageBoxes().size(), 1u);
    EXPECT_EQ(device.Frontend().MessageBoxes()[0].text, L"Retrieve Failed");
}

TEST(QueryValue, OrdinaryValuesStayAndTheRestIsEncoded) {
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"alice@example.com", L"alice@example.com"},
        {L"My Device on Stowbox/Docs/", L"My%20Device%20on%20Stowbox/Docs/"},
        {L"a&b=c#d%e+f?g", L"a%26b%3Dc%23d%25e%2Bf%3Fg"},
        {L"tab\there\r\n", L"tab%09here%0D%0A"},
        {std::wstring(L"nul\0x", 5), L"nul%00x"},
        {L"\u00fc\u20ac", L"%C3%BC%E2%82%AC"},
        {L"<\"{|}\\^`[]>", L"%3C%22%7B%7C%7D%5C%5E%60%5B%5D%3E"},
        {L"-._~@/$!'()*,;:", L"-._~@/$!'()*,;:"},
        {L"", L""},
    };
    for (const auto& [value, encoded] : cases) {
        EXPECT_EQ(QueryValue(value), encoded);
    }
}

}  // namespace

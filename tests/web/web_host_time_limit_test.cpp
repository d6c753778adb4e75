// A web host that keeps the client waiting: both web requests end within the device's web
// time-out, each in its own report and nothing else.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "app/globals.h"
#include "dialogs/share_file_dlg.h"
#include "platform/net/internet_session.h"
#include "platform/ui/combo_box.h"
#include "support/scripted_http_server.h"
#include "support/test_device.h"
#include "web/share_session.h"

using testing_support::ScriptedHttpServer;
using testing_support::TestDevice;
using namespace std::chrono_literals;

namespace {

struct SlowHost {
    const char* name;
    ScriptedHttpServer::Manner manner;
    std::string answer;
};

// Hosts far slower than the web time-out: ones that would complete a whole answer after some
// ten seconds (the second ends its head at once, so the wait runs out in the body), and one
// that never answers.
const std::vector<SlowHost> kSlowHosts = {
    {"answers a byte at a time", ScriptedHttpServer::Manner::Trickle,
     "HTTP/1.0 200 OK\r\n\r\n" + std::string(200, '7') + "\n"},
    {"sends an empty head, then its body a byte at a time", ScriptedHttpServer::Manner::Trickle,
     "\n" + std::string(200, '7') + "\n"},
    {"takes the connection and never answers", ScriptedHttpServer::Manner::Silent, ""},
};

TestDevice::Options RoutedTo(const ScriptedHttpServer& server,
                             std::chrono::milliseconds ioTimeout = 10s) {
    TestDevice::Options options;
    options.webPort = server.Port();
    options.webTimeout = 300ms;
    options.ioTimeout = ioTimeout;
    return options;
}

TEST(WebHostTimeLimit, TheDownloadLimitQueryEndsInRetrieveFailedAlone) {
    for (const SlowHost& host : kSlowHosts) {
        SCOPED_TRACE(host.name);
        ScriptedHttpServer server({host.answer}, host.manner);
        TestDevice device(RoutedTo(server));
        theApp.m_strUserName = L"alice";
        theApp.m_strPassword = L"secret";
        platform::ui::ComboBox list;
        CShareFileDlg::QueryDownloadLimit(list, theApp);
        EXPECT_EQ(server.Connections(), 1) << "the host was reached";
        ASSERT_EQ(device.Frontend().MessageBoxes().size(), 1u);
        EXPECT_EQ(device.Frontend().MessageBoxes()[0].text, L"Retrieve Failed");
        EXPECT_EQ(list.Entries(), (std::vector<std::wstring>{L"1", L"2", L"3", L"4", L"5"}));
        EXPECT_EQ(list.GetCurSel(), 4);
    }
}

// The report a person sees when the share request fails, or nothing when it did not fail.
std::wstring ShareFailure(const std::wstring& url) {
    CShareSession session(0);
    try {
        session.OpenUrl(url);
    } catch (const platform::net::InternetFailure& failure) {
        return failure.Report();
    }
    return {};
}

TEST(WebHostTimeLimit, TheShareRequestEndsInTheProgramsReportNamingTheHost) {
    for (const SlowHost& host : kSlowHosts) {
        SCOPED_TRACE(host.name);
        ScriptedHttpServer server({host.answer}, host.manner);
        // Only the web time-out can end a wait sooner than a test may take.
        TestDevice device(RoutedTo(server, 10min));
        EXPECT_EQ(ShareFailure(L"HTTP://127.0.0.1/qmanager/servlet/KestraShare?user=alice"),
                  L"The web host could not be reached. (127.0.0.1)");
        EXPECT_EQ(server.Connections(), 1) << "the host was reached";
    }
}

TEST(ShareRequestReport, AnAddressTheSessionCannotUseIsReportedInTheProgramsWords) {
    TestDevice device;
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"HTTP://[127.0.0.1/x", L"The web address is not usable."},
        {L"ftp://127.0.0.1/x", L"Only HTTP web addresses can be opened."},
    };
    for (const auto& [url, report] : cases) {
        EXPECT_EQ(ShareFailure(url), report) << url;
    }
}

}  // namespace

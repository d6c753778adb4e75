// A whole share through the stand-in service: the mail lands in its outbox and its link
// serves the file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "platform/net/internet_session.h"
#include "platform/text/codepage.h"
#include "support/scenario.h"
#include "support/test_device.h"

namespace {

class Share : public testing_support::Scenario {};

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(Share, MailsTheLinkAndTheLinkServesTheFile) {
    const std::string bytes(70000, 'x');
    WriteAccountFile("My Device on Stowbox/Docs/report 1.pdf", bytes);
    const auto result = Run(LoginSteps() +
                            "command ID_SHOW_REMOTE\n"
                            "doubletap 0\n"
                            "mark 0\n"
                            "command ID_SHARE\n"
                            "expect title \"Share File\"\n"
                            "expect text IDC_SHARE_FILENAME \"report 1.pdf\"\n"
                            // The account's limit is 10.
                            "expect path 9 \"1\" \"2\" \"3\" \"4\" \"5\" \"6\" \"7\" \"8\" \"9\" "
                            "\"10\"\n"
                            "type IDC_SHARE_FROM \"alice@example.com\"\n"
                            "type IDC_SHARE_TO \"carol@example.com\"\n"
                            "type IDC_SHARE_BCC \"dave@example.com\"\n"
                            "setcheck IDC_SHARE_WRITE on\n"
                            "select IDC_SHARE_DOWNLOADS 1\n"
                            "click IDC_GENERATE_SHARE\n"
                            "expect no-box\n"
                            "expect title \"My Device\"\n"
                            "expect rows 1\n"
                            "expect row 0 \"report 1.pdf\"\n" +
                            ExitSteps());
    ASSERT_EQ(result.status, 0) << result.message << '\n' << result.transcript;

    std::vector<std::filesystem::path> mails;
    for (const auto& entry : std::filesystem::directory_iterator(service.OutboxDir())) {
        mails.push_back(entry.path());
    }
    ASSERT_EQ(mails.size(), 1u);
    const std::string mail = ReadAll(mails[0]);
    for (const char* line :
         {"From: alice@example.com\r\n", "To: carol@example.com\r\n", "Bcc: dave@example.com\r\n",
          "Downloads allowed: 2\r\n", "Writing allowed: yes\r\n", "Password protected: no\r\n"}) {
        EXPECT_NE(mail.find(line), std::string::npos) << line << " in\n" << mail;
    }
    std::smatch link;
    ASSERT_TRUE(std::regex_search(mail, link, std::regex("Link: http(://[^\r\n]+)"))) << mail;

    // Fetched as a browser would, whole (the client's own HTTP code keeps only short answers).
    testing_support::TestDevice device;
    platform::net::InternetSession session(L"", 0, platform::net::InternetAccess::Direct);
    const auto fetched = session.OpenUrl(platform::text::FromUtf8("http" + link[1].str()));
    EXPECT_EQ(fetched->StatusCode(), 200);
    EXPECT_EQ(fetched->Body(), bytes);
}

}  // namespace

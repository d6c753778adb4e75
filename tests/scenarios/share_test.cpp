// A whole share through the stand-in service: the mail lands in its outbox and its link
// serves the file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "support/scenario.h"
#include "support/test_device.h"
#include "web/http_request.h"

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
                            "command 32789\n"
                            "doubletap 0\n"
                            "mark 0\n"
                            "command 32818\n"
                            "expect title \"Share File\"\n"
                            "expect text 1038 \"report 1.pdf\"\n"
                            // The account's limit is 10.
                            "expect path 9 \"1\" \"2\" \"3\" \"4\" \"5\" \"6\" \"7\" \"8\" \"9\" "
                            "\"10\"\n"
                            "type 1049 \"alice@example.com\"\n"
                            "type 1043 \"carol@example.com\"\n"
                            "type 1044 \"dave@example.com\"\n"
                            "setcheck 1035 on\n"
                            "select 1033 1\n"
                            "click 1036\n"
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

    // The client's own HTTP code fetches it (it takes the scheme in capitals only).
    testing_support::TestDevice device;
    HttpExchange fetched;
    ASSERT_EQ(
        CHttpRequest().Exchange(("HTTP" + link[1].str()).c_str(), nullptr, nullptr, 0, fetched), 0);
    EXPECT_EQ(fetched.responseHead.substr(0, 12), "HTTP/1.1 200") << fetched.responseHead;
    EXPECT_EQ(fetched.responseBody, bytes);
}

}  // namespace

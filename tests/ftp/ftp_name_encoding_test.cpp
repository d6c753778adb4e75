// Names in UTF-8 once the server lists UTF8 after login, in the code page otherwise.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "ftp/feature_reply.h"
#include "ftp_fixture.h"
#include "platform/text/codepage.h"

namespace {

TEST(FeatureReply, FindsAFeatureOnlyOnItsOwnLineOfA211Reply) {
    struct Case {
        const wchar_t* reply;
        bool listsUtf8;
    };
    const Case cases[] = {
        {L"211-Features:\r\n MDTM\r\n UTF8\r\n211 End\r\n", true},
        {L"211-Features:\r\n LANG EN*\r\n  utf8\r\n211 End\r\n", true},  // any case, any indent
        {L"211-Features:\r\n UTF8X\r\n REST UTF8\r\n211 End\r\n", false},
        {L"211-Features:\r\nUTF8\r\n211 End\r\n", false},  // not a feature line
        {L"502- UTF8\r\n UTF8\r\n502 Not implemented\r\n", false},
        {L"211 UTF8\r\n", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ftp::ListsFeature(c.reply, L"UTF8"), c.listsUtf8) << c.reply;
    }
}

class NameEncoding : public GreetedFtpTest {
  protected:
    void LogIn(const std::string& featReply) {
        server.Command("USER bob\r\n", "331 Password\r\n")
            .Command("PASS secret\r\n", "230 Logged in\r\n")
            .Command("FEAT\r\n", featReply);
    }
};

TEST_F(NameEncoding, AUtf8ServerGetsTheOptionWithTheNextCommandAndNamesWhole) {
    LogIn("211-Features:\r\n SIZE\r\n UTF8\r\n211 End\r\n");
    // The option goes out with PWD, and UTF-8 comes back in the reply.
    server.Command("OPTS UTF8 ON\r\n", "200 Always on\r\n")
        .Command("PWD\r\n", "257 \"/\xE6\x9D\xB1\xE4\xBA\xAC\" is current\r\n");
    // A listing whose three-byte character spans the first receive block's end.
    const std::string head = "-rw-r--r--   1 bob      staff        5 Dec 07 12:34 ";
    const std::string first =
        head + std::string(255 - head.size() - 1, 'a') + "\xE5\x8C\x97.txt\r\n";
    ScriptDownload("LIST\r\n", first + head + "bad\xFF.txt\r\n");
    // A name that is not UTF-8 goes back byte for byte.
    ScriptUpload("STOR bad\xFF.txt\r\n");
    device.WriteFile("up.txt", "up");
    StartAndConnect();

    ASSERT_TRUE(session.Login(L"bob", L"secret"));
    EXPECT_EQ(session.GetCurrentDir(), L"/\u6771\u4EAC");
    std::wstring listing;
    ASSERT_TRUE(session.List(L"", listing));
    EXPECT_NE(listing.find(L"a\u5317.txt\r\n"), std::wstring::npos);
    const std::wstring badName = platform::text::FromUtf8("bad\xFF.txt");
    EXPECT_NE(listing.find(badName), std::wstring::npos);
    EXPECT_TRUE(session.StoreFile(L"\\up.txt", badName, CFtpSession::PriorRemoteFile::Unknown,
                                  CFtpSession::StoreTarget::CurrentFolder));
    EXPECT_EQ(session.GetNameEncoding(), CFtpSession::NameEncoding::Utf8);

    const auto& result = ExpectScriptRan();
    // PWD was on its way before the option's reply: no round trip of its own.
    ASSERT_GE(result.linesWaiting.size(), 5u);
    EXPECT_GE(result.linesWaiting[4], 1);
}

TEST_F(NameEncoding, WithoutUtf8ANameTheCodePageCannotHoldIsNeverSent) {
    LogIn("500 FEAT not understood\r\n");
    server.Command("MKD Caf\xE9 \x80\r\n", "257 Created\r\n")
        .Command("PWD\r\n", "257 \"/\x80uro\" is current\r\n");
    StartAndConnect();

    ASSERT_TRUE(session.Login(L"bob", L"secret"));
    EXPECT_FALSE(session.SendAndRead(L"MKD \u6771\u4EAC"));
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyCommandRefused);
    EXPECT_FALSE(session.IsSendable(L"\u5317\u4EAC.txt"));
    EXPECT_FALSE(session.StoreFile(L"/nowhere", L"\u5317\u4EAC.txt"));
    EXPECT_EQ(session.GetReplyCode(), ftp::kReplyCommandRefused);
    EXPECT_TRUE(session.SendAndRead(L"MKD Caf\u00E9 \u20AC"));
    // A reply's bytes read in the same code page, so the folder can be named back.
    EXPECT_EQ(session.GetCurrentDir(), L"/\u20ACuro");
    EXPECT_EQ(session.GetNameEncoding(), CFtpSession::NameEncoding::CodePage);
}

}  // namespace

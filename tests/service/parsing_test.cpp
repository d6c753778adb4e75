// The pure pieces: path resolution, command framing, LIST lines, accounts, options, mail.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "account.h"
#include "account_fs.h"
#include "command_line.h"
#include "line_framer.h"
#include "list_format.h"
#include "share_mail.h"

namespace testing_support {
namespace {

using namespace stowbox::service;

TEST(ServiceResolveVirtual, JoinsCollapsesAndRefusesClimbingOut) {
    EXPECT_EQ(resolve_virtual("/", "//"), "/");
    EXPECT_EQ(resolve_virtual("/", "/My Device on Stowbox//Photos"),
              "/My Device on Stowbox/Photos");
    EXPECT_EQ(resolve_virtual("/a/b", "c/./d/"), "/a/b/c/d");
    EXPECT_EQ(resolve_virtual("/a/b", "../x"), "/a/x");
    EXPECT_EQ(resolve_virtual("/a", "/"), "/");
    EXPECT_EQ(resolve_virtual("/", " name "), "/ name ");
    EXPECT_EQ(resolve_virtual("/a", ".."), "/");
    EXPECT_EQ(resolve_virtual("/a", "../.."), std::nullopt);
    EXPECT_EQ(resolve_virtual("/", "/x/../../etc/passwd"), std::nullopt);
    EXPECT_EQ(resolve_virtual("/", std::string("a\0b", 3)), std::nullopt);
    EXPECT_EQ(resolve_virtual("/", "a\rb"), std::nullopt);
}

TEST(ServiceLineFramer, SplitsLinesAndDropsOverlongOnes) {
    LineFramer framer(10);
    framer.feed("USER al");
    EXPECT_FALSE(framer.next());
    framer.feed("ice\r\nNOOP\nPWD\r");
    EXPECT_EQ(framer.next()->text, "USER alice");
    EXPECT_EQ(framer.next()->text, "NOOP");
    EXPECT_FALSE(framer.next());
    framer.feed("\n0123456789\r\n");  // exactly at the limit
    EXPECT_EQ(framer.next()->text, "PWD");
    EXPECT_EQ(framer.next()->text, "0123456789");

    framer.feed("0123456789AB");  // known to be too long before its end arrives
    auto overlong = framer.next();
    ASSERT_TRUE(overlong);
    EXPECT_TRUE(overlong->too_long);
    framer.feed(std::string(100000, 'x') + "\r\nQUIT\r\n");
    EXPECT_EQ(framer.next()->text, "QUIT");
    EXPECT_FALSE(framer.next());

    framer.feed("0123456789A\n");  // one byte over, ended at once
    EXPECT_TRUE(framer.next()->too_long);
}

TEST(ServiceListFormat, HasTheShapeTheClientParses) {
    std::tm when{};
    when.tm_year = 2023 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 7;
    when.tm_hour = 12;
    when.tm_min = 34;
    const std::time_t stamp = ::timegm(&when);
    EXPECT_EQ(format_list_line({"notes.txt", S_IFREG | 0644, 1, 2048, stamp}, "alice"),
              "-rw-r--r--   1 alice    support      2048 Dec 07 12:34 notes.txt\r\n");
    EXPECT_EQ(format_list_line({"My Photos", S_IFDIR | 0755, 2, 4096, stamp}, "alice"),
              "drwxr-xr-x   2 alice    support      4096 Dec 07 12:34 My Photos\r\n");
    // Ten years back still shows a time of day, never a year.
    const auto old = format_list_line({"old", S_IFREG | 0600, 1, 0, stamp - 315360000}, "bob");
    EXPECT_NE(old.find(':'), std::string::npos);
    EXPECT_EQ(old.substr(old.find(':') + 4), "old\r\n");
}

TEST(ServiceAccountOption, ParsesNamePasswordAndLimit) {
    std::string error;
    auto plain = parse_account_option("alice:secret", error);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->name, "alice");
    EXPECT_EQ(plain->password, "secret");
    EXPECT_EQ(plain->download_limit, 10);
    auto limited = parse_account_option("bob:a:b:25", error);
    ASSERT_TRUE(limited);
    EXPECT_EQ(limited->password, "a:b");
    EXPECT_EQ(limited->download_limit, 25);
    for (const char* bad :
         {"alice", ":pw", "../x:pw", "a/b:pw", "alice:", "alice:pw:0", "alice:pw:1000"}) {
        EXPECT_FALSE(parse_account_option(bad, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST(ServiceCommandLine, AcceptsTheDocumentedFormsAndRefusesOthers) {
    const auto good =
        parse_command_line({"--root", "/tmp/r", "--listen", "127.0.0.1", "--ftp-port=2121",
                            "--web-port", "0", "--account", "alice:pw:5", "--idle-timeout", "1",
                            "--tls-cert", "c.pem", "--tls-key=k.pem", "--require-tls"});
    ASSERT_TRUE(good.config) << good.error;
    EXPECT_EQ(good.config->tls_certificate, "c.pem");
    EXPECT_EQ(good.config->tls_key, "k.pem");
    EXPECT_TRUE(good.config->require_tls);
    EXPECT_EQ(good.config->ftp_port, 2121);
    EXPECT_EQ(good.config->accounts.at(0).download_limit, 5);
    EXPECT_EQ(good.config->idle_timeout, std::chrono::seconds(1));

    const std::vector<std::vector<std::string>> bad{
        {"--account", "a:b"},
        {"--root", "/r"},
        {"--root", "/r", "--account", "a:b", "--account", "a:c"},
        {"--root", "/r", "--account", "a:b", "--ftp-port", "65536"},
        {"--root", "/r", "--account", "a:b", "--listen", "localhost"},
        {"--root", "/r", "--account", "a:b", "--bogus"},
        {"--root", "/r", "--account"},
        {"--root", "/r", "--account", "a:b", "--idle-timeout", "0"},
        {"--root", "/r", "--account", "a:b", "--require-tls"},
        {"--root", "/r", "--account", "a:b", "--tls-key", "k.pem"},
        {"--root", "/r", "--account", "a:b", "--require-tls=yes"},
    };
    for (const auto& args : bad) {
        const auto result = parse_command_line(args);
        EXPECT_FALSE(result.config);
        EXPECT_FALSE(result.error.empty());
    }
    EXPECT_TRUE(parse_command_line({"--help"}).help);
}

TEST(ServiceShareMail, KeepsInjectedLinesOutOfTheHeaders) {
    ShareMail mail;
    mail.from = "a@example.com\r\nBcc: spy@example.com";
    mail.to = "b@example.com\n";
    mail.bcc = "";
    mail.sharer = "alice";
    mail.file_name = "report\r\nX-Evil: 1.pdf";
    mail.link = "http://127.0.0.1:80/share/abc";
    mail.downloads = 4;
    mail.password_protected = true;
    mail.date = 0;
    mail.message_id = "abc@stowbox.invalid";
    const std::string text = render_share_mail(mail);
    const std::string head = text.substr(0, text.find("\r\n\r\n") + 2);
    EXPECT_EQ(head.find("\r\nBcc:"), std::string::npos);
    EXPECT_EQ(head.find("\r\nX-Evil"), std::string::npos);
    EXPECT_NE(head.find("From: a@example.comBcc: spy@example.com\r\n"), std::string::npos);
    EXPECT_NE(head.find("Date: Thu, 01 Jan 1970 00:00:00 +0000\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nLink: http://127.0.0.1:80/share/abc\r\n"), std::string::npos);
    EXPECT_NE(text.find("Downloads allowed: 4\r\n"), std::string::npos);
    EXPECT_NE(text.find("Password protected: yes\r\n"), std::string::npos);
    EXPECT_NE(text.find("Writing allowed: no\r\n"), std::string::npos);
}

}  // namespace
}  // namespace testing_support

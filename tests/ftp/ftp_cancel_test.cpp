// The transfer cancel tap: a stylus-down in the CANCEL area ends a transfer, other input is
// taken and lost.

#include "ftp/cancel_tap.h"
#include "ftp_fixture.h"
#include "platform/ui/geometry.h"

namespace {

using platform::ui::Message;
using platform::ui::MessageKind;
using platform::ui::Point;
using testing_support::ScriptedFtpServer;
using TransferCancel = GreetedFtpTest;

constexpr Point kOnCancelArea{200, 290};

TEST(CancelTapArea, IsTheBottomRightOfTheScreenForStylusDownOnly) {
    const auto tap = [](MessageKind kind, Point point) {
        Message message;
        message.kind = kind;
        message.point = point;
        return ftp::IsTransferCancelTap(message);
    };
    EXPECT_TRUE(tap(MessageKind::StylusDown, {180, 240}));
    EXPECT_TRUE(tap(MessageKind::StylusDown, {239, 319}));
    EXPECT_FALSE(tap(MessageKind::StylusDown, {179, 300}));
    EXPECT_FALSE(tap(MessageKind::StylusDown, {200, 239}));
    EXPECT_FALSE(tap(MessageKind::StylusUp, {200, 300}));
    EXPECT_FALSE(tap(MessageKind::Command, {200, 300}));
}

TEST_F(TransferCancel, UploadDeletesThePathThatStorNamed) {
    device.WriteFile("a.bin", ScriptedFtpServer::Pattern(0, 2000));
    for (const char* path : {"/My Device on Stowbox/a.bin", "a.bin"}) {
        ScriptUploadPassive(path);
        server.Command(std::string("STOR ") + path + "\r\n", "150 Ok to send data\r\n")
            .AcceptData()
            .ReceiveData()
            .Reply("426 Transfer aborted\r\n")
            .Command(std::string("DELE ") + path + "\r\n", "250 Deleted\r\n");
    }
    StartAndConnect();
    // Two blocks go out, the third check finds the tap.
    device.Frontend().TapBeforePump(3, kOnCancelArea);
    EXPECT_FALSE(session.StoreFile(L"a.bin", L"a.bin"));
    EXPECT_EQ(session.GetReplyCode(), 250);
    device.Frontend().TapBeforePump(6, kOnCancelArea);
    EXPECT_FALSE(session.StoreFile(L"a.bin", L"a.bin", CFtpSession::PriorRemoteFile::Unknown,
                                   CFtpSession::StoreTarget::CurrentFolder));

    const auto& result = ExpectScriptRan();
    const std::string twoBlocks = ScriptedFtpServer::Pattern(0, 512);
    EXPECT_EQ(result.dataReceived, twoBlocks + twoBlocks);
    EXPECT_EQ(device.ReadFile("a.bin"), ScriptedFtpServer::Pattern(0, 2000));
}

TEST_F(TransferCancel, DownloadLeavesTheDeviceAsItWasAndTheRemoteFileAlone) {
    device.WriteFile("b.bin", "kept");
    for (const char* name : {"b.bin", "c.bin"}) {
        ScriptPassive();
        server.Command(std::string("RETR ") + name + "\r\n", "150 Opening\r\n")
            .AcceptData()
            .SendData(ScriptedFtpServer::Pattern(0, 5000))
            .ReceiveData()
            .Reply("426 Transfer aborted\r\n");
    }
    StartAndConnect();
    device.Frontend().TapBeforePump(2, kOnCancelArea);
    EXPECT_FALSE(session.RetrieveFile(L"b.bin", L"b.bin"));
    EXPECT_EQ(session.GetReplyCode(), 426);
    device.Frontend().TapBeforePump(device.Frontend().PumpCount() + 1, kOnCancelArea);
    EXPECT_FALSE(session.RetrieveFile(L"c.bin", L"c.bin"));

    ExpectScriptRan();  // nothing sent after the final reply: no DELE
    EXPECT_EQ(device.ReadFile("b.bin"), "kept");
    EXPECT_THAT(device.Entries(), ::testing::ElementsAre("b.bin"));
}

TEST_F(TransferCancel, OtherInputDuringATransferChangesNothingAndIsLost) {
    const std::string bytes = ScriptedFtpServer::Pattern(0, 1000);
    device.WriteFile("a.bin", bytes);
    ScriptUpload("STOR /My Device on Stowbox/a.bin\r\n");
    StartAndConnect();
    Message command;
    command.kind = MessageKind::Command;
    command.id = platform::ui::kIdCancel;
    Message up;
    up.kind = MessageKind::StylusUp;
    up.point = kOnCancelArea;
    device.Device().Queue().Post(command);
    device.Device().Queue().Post(up);
    device.Frontend().TapBeforePump(3, {179, 300});
    device.Frontend().TapBeforePump(4, {200, 239});

    EXPECT_TRUE(session.StoreFile(L"a.bin", L"a.bin"));
    EXPECT_TRUE(device.Device().Queue().Empty());
    EXPECT_EQ(ExpectScriptRan().dataReceived, bytes);
}

}  // namespace

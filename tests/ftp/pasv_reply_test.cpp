// Reading the data connection's address out of a PASV reply.

#include <gtest/gtest.h>

#include "ftp/pasv_reply.h"

namespace {

using ftp::ParsePasvReply;
using ftp::PassiveAddress;

TEST(PasvReply, SixNumbersGiveAddressAndPort) {
    EXPECT_EQ(ParsePasvReply(L"227 Entering Passive Mode (10,1,2,3,4,1)\r\n"),
              (PassiveAddress{"10.1.2.3", 1025}));
    EXPECT_EQ(ParsePasvReply(L"227 Entering Passive Mode (127,0,0,1,255,255).\r\n"),
              (PassiveAddress{"127.0.0.1", 65535}));
    // Only the first "(" counts; blanks before a number are allowed.
    EXPECT_EQ(ParsePasvReply(L"227 =( 192, 168,0,9,0,21) (1,2,3,4,5,6)\r\n"),
              (PassiveAddress{"192.168.0.9", 21}));
}

TEST(PasvReply, AnythingButSixNumbersFrom0To255GivesNothing) {
    for (const wchar_t* reply : {
             L"227 Entering Passive Mode\r\n",
             L"227 Entering Passive Mode (10,1,2,3,4)\r\n",
             L"227 Entering Passive Mode (10,1,2,3,4,256)\r\n",
             L"227 Entering Passive Mode (10,1,2,300,4,1)\r\n",
             L"227 Entering Passive Mode (10,1,2,3,-4,1)\r\n",
             L"227 Entering Passive Mode (10,1,2,3,,1)\r\n",
             L"227 Entering Passive Mode (10;1;2;3;4;1)\r\n",
             L"",
         }) {
        EXPECT_EQ(ParsePasvReply(reply), std::nullopt) << testing::PrintToString(reply);
    }
}

}  // namespace

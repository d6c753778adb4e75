// Size texts, LIST line parsing and the two ways a size is read from the server's answers.

#include <gtest/gtest.h>

#include <climits>

#include "filelist/file_list_ctrl.h"
#include "filelist/format_size.h"
#include "filelist/listing_line.h"

namespace {

TEST(FormatSize, UnitsStartAboveTheirBoundary) {
    EXPECT_EQ(FormatSize(0), L"0");
    EXPECT_EQ(FormatSize(1024), L"1024");
    EXPECT_EQ(FormatSize(1025), L"1KB");
    EXPECT_EQ(FormatSize(2047), L"1KB");
    EXPECT_EQ(FormatSize(2048), L"2KB");
    EXPECT_EQ(FormatSize(1048576), L"1024KB");
    EXPECT_EQ(FormatSize(1048577), L"1MB");
    EXPECT_EQ(FormatSize(0xFFFFFFFFu), L"4095MB");
}

struct LineCase {
    const wchar_t* line;
    const wchar_t* name;
    bool folder;
};

TEST(ParseListingLine, NameFollowsTheBlankAfterTheTimeOfDay) {
    const LineCase cases[] = {
        {L"-rw-r--r--   1 alice    support      2048 Dec 07 12:34 notes.txt\r", L"notes.txt",
         false},
        {L"drwxr-xr-x   2 alice    support      4096 Jan 01 00:00 Music\r", L"Music", true},
        // Blanks inside and at the end of a name stay; leading ones go.
        {L"drwxr-xr-x   2 alice    support      4096 Jan 01 00:00 My Docs \r", L"My Docs ", true},
        {L"-rw-r--r--   1 alice    support      1 Jan 01 00:00    padded\r", L"padded", false},
        // Only the first ":" counts: a name may hold one.
        {L"-rw-r--r--   1 alice    support      1 Jan 01 10:20 a:b.txt\r", L"a:b.txt", false},
        // A year instead of a time: everything after the permissions.
        {L"-rw-r--r--   1 bob grp 5 Dec 07  2003 old.txt\r", L"1 bob grp 5 Dec 07  2003 old.txt",
         false},
        {L"nocolonnoblank\r", L"nocolonnoblank", false},
        {L"Dfolder-looking\r", L"Dfolder-looking", false},  // only a lower-case "d"
        {L"d\r", L"d", true},
        {L"", L"", false},
        // Without a carriage return the last character of the name is lost.
        {L"-rw-r--r--   1 alice    support      1 Jan 01 00:00 lf-only", L"lf-onl", false},
    };
    for (const LineCase& c : cases) {
        const CListingEntry entry = ParseListingLine(c.line);
        EXPECT_EQ(entry.strName, c.name) << "line: " << testing::PrintToString(c.line);
        EXPECT_EQ(entry.bFolder, c.folder) << "line: " << testing::PrintToString(c.line);
        EXPECT_EQ(entry.nImage, c.folder ? kImageFolder : kImageFile);
    }
}

TEST(SizeFromReply, LeadingNumberAfterTheFirstBlank) {
    EXPECT_EQ(SizeFromReply(L"213 2048\r\n"), 2048u);
    EXPECT_EQ(SizeFromReply(L"213 0\r\n"), 0u);
    EXPECT_EQ(SizeFromReply(L"550 No such file\r\n"), 0u);
    EXPECT_EQ(SizeFromReply(L"213   77 bytes\r\n"), 77u);
    // Short or empty replies (a lost connection) give 0 instead of reading outside the text.
    EXPECT_EQ(SizeFromReply(L""), 0u);
    EXPECT_EQ(SizeFromReply(L"2"), 0u);
    EXPECT_EQ(SizeFromReply(L"42\r\n"), 42u);
    // Beyond the signed 32-bit range the number stops at its largest value.
    EXPECT_EQ(SizeFromReply(L"213 99999999999\r\n"), static_cast<std::uint32_t>(INT_MAX));
}

TEST(SizeFromSupportField, NumberAfterTheGroupField) {
    EXPECT_EQ(
        SizeFromSupportField(L"-rw-r--r--   1 alice    support      2048 Dec 07 12:34 notes.txt\r"),
        2048u);
    EXPECT_EQ(SizeFromSupportField(
                  L"-rw-r--r--   1 alice    support      1048577 Dec 07 12:34 big file.bin\r"),
              1048577u);
    // Only the padded group field counts, not "support" elsewhere in the line.
    EXPECT_EQ(
        SizeFromSupportField(L"-rw-r--r--   1 support  support      9 Dec 07 12:34 support 5\r"),
        9u);
    // Other servers' long listings: the fifth field, wherever the blanks fall.
    EXPECT_EQ(SizeFromSupportField(L"-rw-r--r--   1 bob staff 2048 Dec 07 12:34 notes.txt\r"),
              2048u);
    EXPECT_EQ(SizeFromSupportField(
                  L"-rw-r--r--   1 owner    group        5000 Dec 07 12:34 12 monkeys.txt\r"),
              5000u);
    EXPECT_EQ(SizeFromSupportField(L"-rw-r--r--\t1\tbob\tstaff\t77\tJan\r"), 77u);
    EXPECT_EQ(SizeFromSupportField(L"-rw-r--r-- 1 bob staff\r"), 0u);
    EXPECT_EQ(SizeFromSupportField(L""), 0u);
}

}  // namespace

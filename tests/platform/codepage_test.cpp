#include "platform/text/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace platform::text;

// The characters of the bytes 0x80 to 0x9F, in byte order.
const std::wstring kHighRow =
    L"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D"
    L"\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A"
    L"\u0153\u009D\u017E\u0178";

std::string AllBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

TEST(CodePage, EveryByteSurvivesTheRoundTrip) {
    const std::string bytes = AllBytes();
    const std::wstring wide = FromAnsi(bytes);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(ToAnsi(wide), bytes);
    EXPECT_EQ(wide.substr(0x80, 32), kHighRow);
    EXPECT_EQ(wide[0x41], L'A');
    EXPECT_EQ(wide[0xE9], L'\u00E9');
    EXPECT_EQ(wide[0x00], L'\0');
}

TEST(CodePage, HighRowEncodesToItsBytes) {
    const std::string encoded = ToAnsi(kHighRow);
    ASSERT_EQ(encoded.size(), 32u);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(encoded[i]), 0x80 + i) << i;
    }
}

TEST(CodePage, UnrepresentableCharactersBecomeQuestionMarks) {
    // U+0080 and U+009F have bytes of their own in Latin-1, not in this code page.
    EXPECT_EQ(ToAnsi(L"a\u0100b\u4E2D\u0080\u009F\U0001F600c"), "a?b????c");
    EXPECT_EQ(ToAnsi(std::wstring(1, static_cast<wchar_t>(-1))), "?");
}

TEST(CodePage, FromBytesTakesEachByteAsItsCode) {
    const std::wstring wide = FromBytes(AllBytes());
    ASSERT_EQ(wide.size(), 256u);
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(static_cast<int>(wide[b]), b);
    }
}

TEST(Utf8, RoundTripsAllPlanes) {
    const std::wstring text = L"abc \u00E9\u20AC\u4E2D\U0001F600\U0010FFFF";
    const std::string utf8 = ToUtf8(text);
    EXPECT_EQ(utf8, "abc \xC3\xA9\xE2\x82\xAC\xE4\xB8\xAD\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(FromUtf8(utf8), text);
}

TEST(Utf8, WideValuesWithoutACharacterEncodeAsReplacement) {
    std::wstring text;
    text.push_back(static_cast<wchar_t>(0xD800));
    text.push_back(static_cast<wchar_t>(0x110000));
    text.push_back(static_cast<wchar_t>(-5));
    EXPECT_EQ(ToUtf8(text), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

// A byte that starts no valid sequence is kept as itself (U+DC00 + byte), the byte after it
// is decoded afresh, and encoding gives the very bytes back.
TEST(Utf8, InvalidBytesSurviveTheRoundTripWithoutLosingNeighbours) {
    struct Case {
        std::string bytes;
        std::wstring expected;
    };
    const auto escaped = [](std::initializer_list<unsigned> bytes) {
        std::wstring text;
        for (const unsigned byte : bytes) {
            text.push_back(static_cast<wchar_t>(0xDC00 + byte));
        }
        return text;
    };
    const Case cases[] = {
        {"a\x80z", L"a" + escaped({0x80}) + L"z"},                // stray continuation byte
        {"a\xC3", L"a" + escaped({0xC3})},                        // truncated at the end
        {"\xC3z", escaped({0xC3}) + L"z"},                        // broken by an ASCII byte
        {"\xC0\xAF", escaped({0xC0, 0xAF})},                      // overlong "/"
        {"\xE0\x80\xAF", escaped({0xE0, 0x80, 0xAF})},            // overlong three-byte form
        {"\xED\xA0\x80", escaped({0xED, 0xA0, 0x80})},            // encoded surrogate
        {"\xF4\x90\x80\x80", escaped({0xF4, 0x90, 0x80, 0x80})},  // above U+10FFFF
        {"\xFF\xFE", escaped({0xFF, 0xFE})},
        {"\xE2\x82z\xC3\xA9", escaped({0xE2, 0x82}) + L"z\u00E9"},  // truncated, then valid
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FromUtf8(c.bytes), c.expected) << c.bytes.size();
        EXPECT_EQ(ToUtf8(FromUtf8(c.bytes)), c.bytes) << c.bytes.size();
        EXPECT_FALSE(IsUtf8(c.bytes)) << c.bytes.size();
    }
    EXPECT_TRUE(IsUtf8("plain \xC3\xA9\xE6\x9D\xB1\xF0\x9F\x98\x80"));
    // Two names that differ only in their invalid bytes stay two names.
    EXPECT_NE(FromUtf8("a\xFF"), FromUtf8("a\xFE"));
}

// Only the code page's own characters pass; ToAnsi would have made '?' of the others.
TEST(CodePage, ExactConversionRefusesWhatTheCodePageCannotHold) {
    EXPECT_EQ(ToAnsiExact(L"Caf\u00E9 \u20AC.txt"), std::optional<std::string>("Caf\xE9 \x80.txt"));
    for (const std::wstring text : {L"\u6771\u4EAC.txt", L"a\u0100", L"\u0080", L"?\U0001F600"}) {
        EXPECT_EQ(ToAnsiExact(text), std::nullopt);
    }
}

}  // namespace

#pragma once
// Reading the text of a LIST reply: its lines, what each line yields, the sizes of files.

#include <cstdint>
#include <string>

#include "filelist/file_list_ctrl.h"

// What one line of a remote folder listing yields.
struct CListingEntry {
    std::wstring strName;
    bool bFolder = false;
    int nImage = kImageFile;
};

// The name follows the blank after the line's first ":" (the time of day), without the
// carriage return and the blanks that lead it; a line that begins with "d" is a folder.
CListingEntry ParseListingLine(const std::wstring& strLine);
// Whether a line names a folder: it begins with "d".
bool IsFolderLine(const std::wstring& strLine);
// The name field of a line as cut, before the leading blanks go: from the blank after the
// line's first ":" (the whole line's first blank without a ":") up to the carriage return.
std::wstring ListingNameText(const std::wstring& strLine);
// The size a SIZE reply gives: the leading number after its first blank, 0 without one.
std::uint32_t SizeFromReply(const std::wstring& strReply);
// The size a LIST line gives after its group field " support      ", 0 without digits; on
// another server's long listing, its fifth field.
std::uint32_t SizeFromSupportField(const std::wstring& strLine);

// Calls fn(line) for every line that ends in a line feed, without the line feed (the
// carriage return stays). Text after the last line feed is not a line.
template <class Fn>
void ForEachListingLine(const std::wstring& strListing, Fn&& fn) {
    std::size_t position = 0;
    for (;;) {
        const std::size_t lineFeed = strListing.find(L'\n', position);
        if (lineFeed == std::wstring::npos) {
            return;
        }
        fn(strListing.substr(position, lineFeed - position));
        position = lineFeed + 1;
    }
}

// The leading decimal number of a text as the C library reads it: leading blanks and a sign
// allowed, 0 without digits. Values beyond 32 bits stop at the largest signed one instead of
// overflowing.
int LeadingNumber(const std::wstring& strText);

#pragma once
// Walking the text of a LIST reply line by line.

#include <string>

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

#include "filelist/listing_line.h"

#include <climits>
#include <cwctype>

#include "filelist/path_box.h"

namespace {

// Field n (from 0) of a listing line, fields being separated by runs of blanks.
std::wstring ListingField(const std::wstring& strLine, int nField) {
    const auto isBlank = [](wchar_t ch) { return ch == L' ' || ch == L'\t' || ch == L'\r'; };
    std::size_t pos = 0;
    for (int field = 0;; ++field) {
        while (pos < strLine.size() && isBlank(strLine[pos])) {
            ++pos;
        }
        std::size_t end = pos;
        while (end < strLine.size() && !isBlank(strLine[end])) {
            ++end;
        }
        if (field == nField || end == pos) {
            return strLine.substr(pos, end - pos);
        }
        pos = end;
    }
}

}  // namespace

CListingEntry ParseListingLine(const std::wstring& strLine) {
    CListingEntry entry;
    entry.bFolder = IsFolderLine(strLine);
    entry.nImage = entry.bFolder ? kImageFolder : kImageFile;
    entry.strName = TrimLeadingBlanks(ListingNameText(strLine));
    return entry;
}

bool IsFolderLine(const std::wstring& strLine) {
    return !strLine.empty() && strLine.front() == L'd';
}

std::wstring ListingNameText(const std::wstring& strLine) {
    // The name follows the blank after the time of day, the line's first ":".
    std::wstring text = strLine;
    if (const std::size_t colon = text.find(L':'); colon != std::wstring::npos) {
        text.erase(0, colon);
    }
    if (const std::size_t blank = text.find(L' '); blank != std::wstring::npos) {
        text.erase(0, blank);
    }
    if (!text.empty()) {
        text.pop_back();  // the carriage return
    }
    return text;
}

int LeadingNumber(const std::wstring& strText) {
    std::size_t i = 0;
    while (i < strText.size() && std::iswspace(static_cast<std::wint_t>(strText[i])) != 0) {
        ++i;
    }
    bool negative = false;
    if (i < strText.size() && (strText[i] == L'+' || strText[i] == L'-')) {
        negative = strText[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < strText.size() && strText[i] >= L'0' && strText[i] <= L'9'; ++i) {
        value = value * 10 + (strText[i] - L'0');
        if (value > INT_MAX) {
            value = INT_MAX;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

std::uint32_t SizeFromReply(const std::wstring& strReply) {
    const std::size_t blank = strReply.find(L' ');
    std::wstring text = blank == std::wstring::npos ? strReply : strReply.substr(blank + 1);
    // Without the carriage return and line feed.
    text.resize(text.size() >= 2 ? text.size() - 2 : 0);
    return static_cast<std::uint32_t>(LeadingNumber(text));
}

std::uint32_t SizeFromSupportField(const std::wstring& strLine) {
    // The service's group field, padded to the width of its size column.
    const std::size_t group = strLine.find(L" support      ");
    if (group == std::wstring::npos) {
        // Another server's long listing: the size is its fifth field, as on the service's.
        return static_cast<std::uint32_t>(LeadingNumber(ListingField(strLine, 4)));
    }
    std::wstring text = strLine.substr(group + 1);
    const std::size_t blank = text.find(L' ');
    text = TrimLeadingBlanks(blank == std::wstring::npos ? text : text.substr(blank + 1));
    text = text.substr(0, text.find(L' '));
    return static_cast<std::uint32_t>(LeadingNumber(text));
}

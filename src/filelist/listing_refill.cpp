// Rows from a LIST text: each file's size read from its line, or asked of the server.

#include <vector>

#include "app/globals.h"
#include "filelist/file_list_ctrl.h"
#include "filelist/listing_line.h"
#include "platform/ui/ui_guards.h"

void CFileListCtrl::FillFromListingLines(const std::wstring& strListing) {
    ForEachListingLine(strListing, [this](const std::wstring& line) {
        const CListingEntry entry = ParseListingLine(line);
        AddRow(entry.strName, entry.bFolder, entry.bFolder ? 0 : SizeFromSupportField(line));
    });
}

void CFileListCtrl::AddListingRows(const std::wstring& strListing) {
    std::vector<CListingEntry> entries;
    std::vector<std::wstring> sizeCommands;
    ForEachListingLine(strListing, [&](const std::wstring& line) {
        entries.push_back(ParseListingLine(line));
        if (!entries.back().bFolder) {
            sizeCommands.push_back(L"SIZE " + entries.back().strName);
        }
    });
    // One SIZE per file in line order, as one after the other would send them, but without
    // a round trip each.
    const std::vector<std::wstring> replies = g_ftp.ExchangePipelined(sizeCommands);
    std::size_t reply = 0;
    for (const CListingEntry& entry : entries) {
        const std::uint32_t size = entry.bFolder ? 0 : SizeFromReply(replies[reply++]);
        AddRow(entry.strName, entry.bFolder, size);
    }
}

void CFileListCtrl::ShowListing(const std::wstring& strListing, ListingSizes sizes) {
    DeleteAllItems();
    if (strListing.empty()) {
        return;
    }
    if (sizes == ListingSizes::FromLines) {
        FillFromListingLines(strListing);
    } else {
        AddListingRows(strListing);
    }
    SortByColumn(kColumnType, true);
}

void CFileListCtrl::FillFromListing(const std::wstring& strListing) {
    CWaitCursor wait;
    CListFreeze freeze(*this);
    ShowListing(strListing, ListingSizes::AskServer);
}

// Rows from a LIST text with each file's size asked of the server.

#include <vector>

#include "app/globals.h"
#include "filelist/file_list_ctrl.h"
#include "filelist/listing_line.h"
#include "platform/ui/ui_guards.h"

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

void CFileListCtrl::FillFromListing(const std::wstring& strListing) {
    CWaitCursor wait;
    CListFreeze freeze(*this);
    DeleteAllItems();
    AddListingRows(strListing);
    SortByColumn(kColumnType, true);
}

void CFileListCtrl::RefillFromServer() {
    // A LIST the server refuses leaves the text empty, and the list with it: no other
    // folder's rows are shown as this one's.
    std::wstring listing;
    g_ftp.List(g_ftp.GetCurrentDir(), listing);
    if (g_ftp.IsConnectionLost()) {
        return;  // the rows stay: an unread folder must not look empty
    }
    FillFromListing(listing);
}

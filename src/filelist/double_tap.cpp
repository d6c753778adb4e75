#include "app/globals.h"
#include "filelist/file_list_ctrl.h"
#include "filelist/listing_line.h"
#include "filelist/path_box.h"
#include "platform/ui/ui_guards.h"

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

void CFileListCtrl::OnDoubleTap() {
    CWaitCursor wait;
    const int row = GetSelectionMark();
    const std::wstring name = GetItemText(row, kColumnName);
    const std::wstring type = GetItemText(row, kColumnType);
    platform::ui::ComboBox* box = PathBox();
    if (type != kTypeFolder || box == nullptr) {
        return;  // a file: nothing opens
    }
    CListFreeze freeze(*this);
    const int count = box->GetCount();
    const std::wstring& view = GetClientApp()->m_strCurrentView;
    if (view == kViewLocal) {
        box->InsertString(count, PathBoxEntry(count, name));
        FillLocalFolder(PathFromEntries(*box, count, L'\\') + L"\\", L"*");
        SortByColumn(kColumnType, true);
        box->SetCurSel(count);
    } else {
        // The path box gains the level whatever the server answers; a refused CWD lists the
        // folder the session stayed in.
        box->InsertString(count, PathBoxEntry(count, name));
        g_ftp.SendAndRead(L"CWD " + name);
        std::wstring listing;
        g_ftp.List(g_ftp.GetCurrentDir(), listing);
        if (g_ftp.IsConnectionLost()) {
            box->DeleteString(count);  // the folder was not opened; the rows stay
            return;
        }
        DeleteAllItems();
        if (!listing.empty()) {
            FillFromListingLines(listing);
            SortByColumn(kColumnType, true);
        }
        box->SetCurSel(count);
    }
}

void CFileListCtrl::FillFromListingLines(const std::wstring& strListing) {
    ForEachListingLine(strListing, [this](const std::wstring& line) {
        const CListingEntry entry = ParseListingLine(line);
        AddRow(entry.strName, entry.bFolder, entry.bFolder ? 0 : SizeFromSupportField(line));
    });
}

std::uint32_t CFileListCtrl::SizeFromSupportField(const std::wstring& strLine) {
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

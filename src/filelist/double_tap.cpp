#include "app/globals.h"
#include "filelist/file_list_ctrl.h"
#include "filemanager/file_manager_dlg.h"
#include "filemanager/listing_line.h"
#include "filemanager/path_box.h"
#include "filemanager/ui_guards.h"

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
    if (view == L"Local") {
        box->InsertString(count, PathBoxEntry(count, name));
        std::wstring folder;
        for (int i = 1; i <= count; ++i) {
            folder += L"\\" + PathEntryName(box->GetLBText(i));
        }
        FillLocalFolder(folder + L"\\", L"*");
        SortByColumn(kColumnType, true);
        box->SetCurSel(count);
    } else {
        // The path box gains the level whatever the server answers; a refused CWD lists the
        // folder the session stayed in.
        box->InsertString(count, PathBoxEntry(count, name));
        g_ftp.SendCommand(L"CWD " + name);
        g_ftp.ReadReply();
        std::wstring listing;
        g_ftp.List(g_ftp.GetCurrentDir(), listing);
        DeleteAllItems();
        if (!listing.empty()) {
            FillFromListing(listing);
            SortByColumn(kColumnType, true);
        }
        box->SetCurSel(count);
    }
}

void CFileListCtrl::FillFromListing(const std::wstring& strListing) {
    ForEachListingLine(strListing, [this](const std::wstring& line) {
        const CListingEntry entry = CFileManagerDlg::ParseListingLine(line);
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

#include "filelist/clipboard.h"

#include "app/globals.h"
#include "filelist/file_list_ctrl.h"
#include "filelist/path_box.h"
#include "filelist/remote_folder.h"
#include "platform/ui/application.h"

using namespace platform::ui;

void CFileClipboard::RecordClipItem(bool bTrim) {
    CClientApp* app = GetClientApp();
    const ComboBox* box = m_list.PathBox();
    const int count = box != nullptr ? box->GetCount() : 0;
    std::wstring name = m_list.GetItemText(app->m_nClipItem, kColumnName);
    if (count <= 1) {
        // At the device's top the name is taken as it stands.
        app->m_strClipName = name;
        app->m_strClipPath = L"/" + name;
        return;
    }
    app->m_strClipName = bTrim ? TrimLeadingBlanks(name) : name;
    app->m_strClipPath = PathFromEntries(*box, count - 1, L'/', bTrim) + L"/" + app->m_strClipName;
}

void CFileClipboard::Copy() {
    CClientApp* app = GetClientApp();
    if (app->m_nClipItem == -1) {
        AppMessageBox(L"Select a file to copy");
        return;
    }
    app->m_strClipIsCut = kTextFalse;
    const std::wstring& view = app->m_strCurrentView;
    if (view == kViewLocal || view == kViewRemote) {
        // Remote names carry the blanks that indent the remote root's path box entry.
        RecordClipItem(view == kViewRemote);
        app->m_strCopySource = view;
        app->m_strCutSource.clear();
    }
}

void CFileClipboard::Cut() {
    CClientApp* app = GetClientApp();
    if (app->m_nClipItem == -1) {
        AppMessageBox(L"Select a file to cut");
        return;
    }
    app->m_strClipIsCut = kTextTrue;
    const std::wstring& view = app->m_strCurrentView;
    // Device names are taken as they are: a name that begins with a blank is another file
    // than the one without it.
    RecordClipItem(view == kViewRemote);
    if (view == kViewLocal || view == kViewRemote) {
        app->m_strCutSource = view;
        app->m_strCopySource.clear();
    }
}

std::wstring CFileClipboard::LocalTarget() const {
    const ComboBox* box = m_list.PathBox();
    const int count = box != nullptr ? box->GetCount() : 0;
    return (box != nullptr ? PathFromEntries(*box, count - 1, L'/') : std::wstring()) + L"/" +
           GetClientApp()->m_strClipName;
}

void CFileClipboard::RefillFromServer() {
    // A LIST the server refuses leaves the text empty, and the list with it: no other
    // folder's rows are shown as this one's.
    std::wstring listing;
    if (!ListCurrentFolder(listing)) {
        return;  // the rows stay: an unread folder must not look empty
    }
    m_list.FillFromListing(listing);
}

#pragma once
// Cut, Copy and Paste of the file list: Cut and Copy record one row in the application's
// clipboard record, Paste carries the record out into the folder the list shows, by the path
// that the view showing and the record's source choose.

#include <string>

#include "app/client_app.h"

class CFileListCtrl;

class CFileClipboard {
  public:
    explicit CFileClipboard(CFileListCtrl& list) : m_list(list) {}

    void Copy();
    void Cut();
    void Paste();

  private:
    // One path of Paste: taken when the view showing is strView and the record member
    // pSource (the cut or the copy source) holds strSource.
    struct CPastePath {
        const wchar_t* strView;
        std::wstring CClientApp::*pSource;
        const wchar_t* strSource;
        void (CFileClipboard::*pPaste)();
    };
    // Tried in order; the first match runs. A record with neither source set (a cut whose
    // upload was undone) matches none.
    static const CPastePath kPastePaths[];

    // Remote view: uploads into the shown folder, moves inside the account.
    void PasteUploadCut();
    void PasteRemoteMove();
    void PasteUploadCopy();
    void RefuseRemoteCopy();
    // Local view: moves and copies on the device, downloads into the shown folder.
    void PasteDeviceMove();
    void PasteDownloadCut();
    void PasteDeviceCopy();
    void PasteDownloadCopy();
    void PasteDownload(bool bCutRecord);

    // The shown device folder as the path box spells it, blanks and all, then the name.
    std::wstring LocalTarget() const;
    // Records row m_nClipItem in the clipboard record; bTrim removes leading blanks from the
    // levels and the name.
    void RecordClipItem(bool bTrim);
    // Lists the server's current folder again into the list.
    void RefillFromServer();

    CFileListCtrl& m_list;
};

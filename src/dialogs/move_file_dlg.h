#pragma once
// A picker of remote folders that moves the files the move command chose into the folder
// picked: the user walks down with double taps and back up with the path box. Ends, moved or
// cancelled, by running a fresh file manager window.

#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/combo_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/image_list.h"
#include "platform/ui/list_view.h"
#include "platform/ui/message_map.h"

// What follows every name in m_strMoveFiles: a tilde and a backtick.
inline constexpr std::wstring_view kMoveNameSeparator = L"~`";

class CMoveFileDlg : public platform::ui::Dialog {
  public:
    CMoveFileDlg();

    const char* ClassName() const override { return "CMoveFileDlg"; }
    bool OnMessage(const platform::ui::Message& message) override;

    // Resets the path box to the account's top and the remote root, and lists the remote
    // root's folders.
    void ShowRootFolders();
    // Appends one row per folder line of a LIST text, in line order. A row keeps the blank
    // that led the name in the line: the commands put it between their word and the name.
    void AddFolderRows(const std::wstring& strListing);
    // Empties the list and shows the folder rows of a LIST text.
    void ShowFolderRows(const std::wstring& strListing);

    platform::ui::ComboBox m_comboPath;
    platform::ui::ListView m_listFolders;
    std::unique_ptr<platform::ui::ImageList> m_pLargeImages;
    std::unique_ptr<platform::ui::ImageList> m_pSmallImages;

  protected:
    bool OnInitDialog() override;
    // CANCEL and every other way out: nothing moves.
    void OnCancel() override;

  private:
    void OnFolderDoubleTap();
    void OnPathSelChange();
    void OnMoveFile();
    void OnCancelButton() { OnCancel(); }

    static const platform::ui::MessageEntry<CMoveFileDlg> kMessageMap[];
};

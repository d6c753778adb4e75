#pragma once
// Asks for a folder name and makes it in the session's current remote folder; ends by
// running a fresh file manager window, whatever happened.

#include <string>

#include "platform/ui/dialog.h"
#include "platform/ui/edit.h"
#include "platform/ui/message_map.h"

class CNewFolderDlg : public platform::ui::Dialog {
  public:
    CNewFolderDlg();

    const char* ClassName() const override { return "CNewFolderDlg"; }

    std::wstring m_strFolderName;

  protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

  private:
    platform::ui::Edit m_editFolderName;
};

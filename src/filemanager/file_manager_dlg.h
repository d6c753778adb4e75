#pragma once
// The main window: one folder of the device or of the account in a checkable file list.

#include <memory>
#include <string>

#include "platform/ui/dialog.h"
#include "platform/ui/image_list.h"
#include "platform/ui/list_view.h"
#include "platform/ui/message_map.h"
#include "platform/ui/simple_controls.h"

class CFileManagerDlg : public platform::ui::Dialog {
public:
    CFileManagerDlg();

    const char* ClassName() const override { return "CFileManagerDlg"; }
    bool OnMessage(const platform::ui::Message& message) override;

    platform::ui::ListView m_listFiles;
    platform::ui::ComboBox m_comboPath;
    std::unique_ptr<platform::ui::ImageList> m_pLargeImages;
    std::unique_ptr<platform::ui::ImageList> m_pSmallImages;
    std::wstring m_strPattern;

protected:
    bool OnInitDialog() override;
    // CANCEL does nothing by itself: a running transfer watches for the tap on it.
    void OnCancel() override {}

private:
    void OnExit();

    static const platform::ui::MessageEntry<CFileManagerDlg> kMessageMap[];
};

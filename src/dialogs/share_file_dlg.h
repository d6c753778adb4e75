#pragma once
// Shares one file of the account: the sender's and the recipients' addresses, a password, the
// write permission and the number of downloads go to the service's share servlet, which mails
// the links. Afterwards a fresh file manager window opens in the Remote view.

#include <string>

#include "platform/ui/check_box.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/edit.h"
#include "platform/ui/message_map.h"

class CClientApp;

class CShareFileDlg : public platform::ui::Dialog {
  public:
    CShareFileDlg();

    const char* ClassName() const override { return "CShareFileDlg"; }
    bool OnMessage(const platform::ui::Message& message) override;

    // Asks the download-limits servlet how many downloads a share may allow and fills the
    // list with 1 to that number, the last one selected.
    static void QueryDownloadLimit(platform::ui::ComboBox& comboDownloads, const CClientApp& app);

  protected:
    bool OnInitDialog() override;

  private:
    void OnGenerateShare();
    void OnCancelButton() { OnCancel(); }

    // The template's controls, by id.
    platform::ui::Edit& Field(int id) const;
    platform::ui::ComboBox& DownloadsList() const;
    platform::ui::CheckBox& WriteBox() const;

    static const platform::ui::MessageEntry<CShareFileDlg> kMessageMap[];
};

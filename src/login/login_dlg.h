#pragma once
// The first window: user name and password, connect and log in, then the file manager.

#include <string>

#include "platform/ui/dialog.h"
#include "platform/ui/message_map.h"

class CLoginDlg : public platform::ui::Dialog {
  public:
    CLoginDlg();

    const char* ClassName() const override { return "CLoginDlg"; }
    bool OnMessage(const platform::ui::Message& message) override;

  protected:
    bool OnInitDialog() override;

  private:
    void OnHelpInfo();
    void OnLogin();
    void OnReset();
    // Why Connect failed: an unprotected or untrusted server, or no server at all.
    void ReportConnectFailure();

    static const platform::ui::MessageEntry<CLoginDlg> kMessageMap[];
};

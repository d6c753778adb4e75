#include "app/connection_notice.h"

#include "app/globals.h"
#include "platform/ui/application.h"

bool ReportConnectionNotice() {
    switch (g_ftp.TakeConnectionNotice()) {
        case CFtpSession::ConnectionNotice::None:
            return false;
        case CFtpSession::ConnectionNotice::Lost:
            platform::ui::AppMessageBox(kConnectionLost);
            return true;
        case CFtpSession::ConnectionNotice::ReconnectFailed:
            platform::ui::AppMessageBox(kErrorConnecting);
            return true;
        case CFtpSession::ConnectionNotice::LoginRefused:
            platform::ui::AppMessageBox(kLoginFailed);
            return true;
    }
    return false;
}

void ShowStepFailure(const std::wstring& strText) {
    if (!ReportConnectionNotice()) {
        platform::ui::AppMessageBox(strText);
    }
}

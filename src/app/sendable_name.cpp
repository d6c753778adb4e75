#include "app/sendable_name.h"

#include "app/globals.h"
#include "platform/ui/application.h"

bool CanSendName(const std::wstring& strName) {
    if (!g_ftp.CanEncode(strName)) {
        platform::ui::AppMessageBox(L"Cannot send \"" + strName +
                                    L"\": the server cannot take this name");
        return false;
    }
    return g_ftp.IsSendable(strName);
}

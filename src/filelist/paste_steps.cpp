#include "filelist/paste_steps.h"

#include "app/globals.h"
#include "ftp/reply_codes.h"
#include "platform/ui/application.h"

using namespace platform::ui;

bool AskToReplace(const wchar_t* strQuestion) {
    return AppMessageBox(strQuestion, MessageBoxButtons::YesNo, MessageBoxIcon::Stop) ==
           MessageBoxAnswer::Yes;
}

bool RemoteFileMayExist(const std::wstring& strPath) {
    g_ftp.SendAndRead(L"SIZE " + strPath);
    return g_ftp.GetReplyCode() != ftp::kReplyNoSuchFile;
}

void DeleteRemoteFile(const std::wstring& strPath) {
    g_ftp.SendAndRead(L"DELE " + strPath);
}

#pragma once
// The application object: start-up and the session state every window shares.

#include <string>

#include "platform/ui/application.h"
#include "platform/ui/message.h"

class CClientApp : public platform::ui::Application {
  public:
    CClientApp();

    bool InitInstance() override;

    std::wstring m_strMoveDir;
    std::wstring m_strMoveFiles;
    std::wstring m_strRemoteListing;
    std::wstring m_strRemoteDir;
    int m_nClipItem = 0;
    platform::ui::WindowHandle m_hFileManagerWnd = 0;
    std::wstring m_strCurrentView;
    std::wstring m_strClipPath;
    std::wstring m_strClipName;
    std::wstring m_strClipIsCut;
    std::wstring m_strActiveView;
    std::wstring m_strCutSource;
    std::wstring m_strCopySource;
    std::wstring m_strShareName;
    std::wstring m_strUserName;
    std::wstring m_strPassword;
};

// The current application object, as every window reaches it.
CClientApp* GetClientApp();

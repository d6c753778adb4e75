#include "res/resource.h"
#include "res/templates.h"

namespace res {

using namespace platform::ui;

namespace {
constexpr ControlTemplate kLoginControls[] = {
    {IDC_USERNAME, ControlKind::Edit, L"", {48, 9, 79, 14}, kStyleBorder | kStyleAutoHScroll, 0},
    {IDC_PASSWORD,
     ControlKind::Edit,
     L"",
     {48, 28, 79, 14},
     kStyleBorder | kStyleAutoHScroll | kStylePassword,
     0},
    {IDC_LOGIN, ControlKind::Button, L"LOGIN", {45, 52, 39, 16}, 0, 0},
    {IDC_RESET, ControlKind::Button, L"RESET", {85, 52, 39, 16}, 0, 0},
    {0, ControlKind::Picture, L"", {0, 1, 138, 165}, 0, IDB_LOGIN_BACKGROUND},
};
constexpr DialogTemplate kLogin{.id = IDD_LOGIN,
                                .title = L"Kestra",
                                .font = L"Verdana",
                                .pointSize = 8,
                                .width = 139,
                                .height = 173,
                                .controls = kLoginControls,
                                .backgroundBitmap = IDB_LOGIN_BACKGROUND,
                                .defaultButton = IDC_LOGIN,
                                .cancelButton = kNoButton};
}  // namespace

const DialogTemplate& LoginDialog() {
    return kLogin;
}

}  // namespace res

#include "platform/ui/message.h"
#include "res/resource.h"
#include "res/templates.h"

namespace res {

using namespace platform::ui;

namespace {
constexpr ControlTemplate kNewFolderControls[] = {
    {IDC_FOLDERNAME, ControlKind::Edit, L"", {47, 6, 73, 12}, kStyleBorder | kStyleAutoHScroll, 0},
    {kIdOk, ControlKind::Button, L"OK", {18, 24, 41, 14}, 0, 0},
    {kIdCancel, ControlKind::Button, L"Cancel", {69, 24, 41, 14}, 0, 0},
    // Last in the template, so it lies beneath the other controls.
    {0, ControlKind::Picture, L"", {0, 0, 121, 134}, 0, IDB_NEWFOLDER_BACKGROUND},
};
constexpr DialogTemplate kNewFolder{
    IDD_NEWFOLDER, L"NEW FOLDER", L"Verdana",         10,
    133,           159,           kNewFolderControls, IDB_NEWFOLDER_BACKGROUND};
}  // namespace

const DialogTemplate& NewFolderDialog() {
    return kNewFolder;
}

}  // namespace res

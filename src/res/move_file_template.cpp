#include "res/resource.h"
#include "res/templates.h"

namespace res {

using namespace platform::ui;

namespace {
// The list keeps the rows in listing order: no sorted style.
constexpr ControlTemplate kMoveFileControls[] = {
    {IDC_MOVE_PATHBOX, ControlKind::ComboBox, L"", {0, 0, 158, 80}, kStyleDropDownList, 0},
    {IDC_MOVE_FOLDERLIST, ControlKind::ListView, L"", {0, 11, 159, 128}, kStyleReport, 0},
    {IDC_MOVE_FILE, ControlKind::Button, L"MOVE FILE", {14, 144, 60, 14}, 0, 0},
    {IDC_MOVE_CANCEL, ControlKind::Button, L"CANCEL", {86, 144, 60, 14}, 0, 0},
    // Last in the template, so it lies beneath the other controls.
    {0, ControlKind::Picture, L"", {0, 0, 160, 165}, 0, IDB_MAIN_BACKGROUND},
};
constexpr DialogTemplate kMoveFile{.id = IDD_MOVEFILE,
                                   .title = L"MOVE FILE",
                                   .font = L"Verdana",
                                   .pointSize = 8,
                                   .width = 160,
                                   .height = 165,
                                   .controls = kMoveFileControls,
                                   .backgroundBitmap = IDB_MAIN_BACKGROUND,
                                   .defaultButton = IDC_MOVE_FILE,
                                   .cancelButton = IDC_MOVE_CANCEL};
}  // namespace

const DialogTemplate& MoveFileDialog() {
    return kMoveFile;
}

}  // namespace res

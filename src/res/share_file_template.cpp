#include "res/resource.h"
#include "res/templates.h"

namespace res {

using namespace platform::ui;

namespace {
constexpr std::uint32_t kLine = kStyleBorder | kStyleAutoHScroll;
// The captions of the fields are on the background picture, left of each field.
constexpr ControlTemplate kShareFileControls[] = {
    {IDC_SHARE_FILENAME, ControlKind::Edit, L"", {52, 6, 102, 12}, kLine | kStyleReadOnly, 0},
    {IDC_SHARE_FROM, ControlKind::Edit, L"", {52, 22, 102, 12}, kLine, 0},
    {IDC_SHARE_TO, ControlKind::Edit, L"", {52, 38, 102, 12}, kLine, 0},
    {IDC_SHARE_BCC, ControlKind::Edit, L"", {52, 54, 102, 12}, kLine, 0},
    {IDC_SHARE_PASSWORD, ControlKind::Edit, L"", {52, 70, 102, 12}, kLine | kStylePassword, 0},
    {IDC_SHARE_WRITE, ControlKind::CheckBox, L"", {52, 86, 12, 10}, kStyleLeftText, 0},
    {IDC_SHARE_DOWNLOADS, ControlKind::ComboBox, L"", {52, 101, 40, 80}, kStyleDropDownList, 0},
    {IDC_GENERATE_SHARE,
     ControlKind::Button,
     L"Generate Share",
     {14, 122, 66, 14},
     kStyleDefaultButton,
     0},
    {IDC_SHARE_CANCEL, ControlKind::Button, L"Cancel", {88, 122, 56, 14}, 0, 0},
    // Last in the template, so it lies beneath the other controls.
    {0, ControlKind::Picture, L"", {0, 0, 160, 165}, 0, IDB_SHARE_BACKGROUND},
};
constexpr DialogTemplate kShareFile{.id = IDD_SHAREFILE,
                                    .title = L"Share File",
                                    .font = L"Verdana",
                                    .pointSize = 8,
                                    .width = 160,
                                    .height = 165,
                                    .controls = kShareFileControls,
                                    .backgroundBitmap = IDB_SHARE_BACKGROUND,
                                    .defaultButton = IDC_GENERATE_SHARE,
                                    .cancelButton = IDC_SHARE_CANCEL};
}  // namespace

const DialogTemplate& ShareFileDialog() {
    return kShareFile;
}

}  // namespace res

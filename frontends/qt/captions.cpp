// Which captions each background picture carries, beside which field.

#include <iterator>

#include "artwork.h"
#include "device_metrics.h"
#include "res/resource.h"

namespace qtfront {

namespace {

struct CaptionEntry {
    int bitmap;
    int control;
    const char16_t* text;
};

constexpr CaptionEntry kCaptions[] = {
    {IDB_LOGIN_BACKGROUND, IDC_USERNAME, u"User Name"},
    {IDB_LOGIN_BACKGROUND, IDC_PASSWORD, u"Password"},
    {IDB_NEWFOLDER_BACKGROUND, IDC_FOLDERNAME, u"Name"},
    {IDB_SHARE_BACKGROUND, IDC_SHARE_FILENAME, u"File"},
    {IDB_SHARE_BACKGROUND, IDC_SHARE_FROM, u"From"},
    {IDB_SHARE_BACKGROUND, IDC_SHARE_TO, u"To"},
    {IDB_SHARE_BACKGROUND, IDC_SHARE_BCC, u"Bcc"},
    {IDB_SHARE_BACKGROUND, IDC_SHARE_PASSWORD, u"Password"},
    {IDB_SHARE_BACKGROUND, IDC_SHARE_WRITE, u"Allow writing"},
    {IDB_SHARE_BACKGROUND, IDC_SHARE_DOWNLOADS, u"Downloads"},
};

}  // namespace

std::vector<Caption> CaptionsFor(int bitmap, const platform::ui::Window& window) {
    using platform::ui::ControlKind;
    std::vector<Caption> captions;
    for (const CaptionEntry& entry : kCaptions) {
        if (entry.bitmap != bitmap) {
            continue;
        }
        for (const platform::ui::ControlTemplate& control : window.Template().controls) {
            if (control.id != entry.control) {
                continue;
            }
            platform::ui::Rect field = window.DialogToScreen(control.rect);
            if (control.kind == ControlKind::ComboBox) {
                field.height = kComboClosedHeight;
            }
            captions.push_back({QString::fromUtf16(entry.text),
                                QRectF(field.x, field.y, field.width, field.height)});
        }
    }
    return captions;
}

}  // namespace qtfront

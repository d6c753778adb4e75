// Which captions each background picture carries, beside which field.

#include <iterator>

#include "artwork.h"
#include "device_metrics.h"
#include "res/resource.h"

namespace qtfront {

namespace {

// The share dialog's picture and fields.
constexpr int kShareBackground = 192;
constexpr int kShareFileName = 1038;
constexpr int kShareFrom = 1049;
constexpr int kShareTo = 1043;
constexpr int kShareBcc = 1044;
constexpr int kSharePassword = 1034;
constexpr int kShareDownloads = 1033;

struct CaptionEntry {
    int bitmap;
    int control;
    const char16_t* text;
};

constexpr CaptionEntry kCaptions[] = {
    {IDB_LOGIN_BACKGROUND, IDC_USERNAME, u"User Name"},
    {IDB_LOGIN_BACKGROUND, IDC_PASSWORD, u"Password"},
    {IDB_NEWFOLDER_BACKGROUND, IDC_FOLDERNAME, u"Name"},
    {kShareBackground, kShareFileName, u"File"},
    {kShareBackground, kShareFrom, u"From"},
    {kShareBackground, kShareTo, u"To"},
    {kShareBackground, kShareBcc, u"Bcc"},
    {kShareBackground, kSharePassword, u"Password"},
    {kShareBackground, kShareDownloads, u"Downloads"},
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

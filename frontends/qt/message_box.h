#pragma once
// The device's message boxes as Qt message boxes: the application's name as the title,
// OK or Yes and No, the stop icon.

#include <QImage>
#include <string>

#include "platform/ui/frontend.h"
#include "scale.h"

class QWidget;

namespace qtfront {

// Shows a modal box centred on the device screen `parent`, drawn at its scale, and returns
// the person's answer. Closing a Yes/No box without choosing answers No, the only answer
// that does nothing.
platform::ui::MessageBoxAnswer RunMessageBox(QWidget& parent, Scale scale, const std::wstring& text,
                                             const std::wstring& title,
                                             platform::ui::MessageBoxButtons buttons,
                                             platform::ui::MessageBoxIcon icon);

// A picture of the device screen with the box over it, as a person would see it.
QImage ScreenWithMessageBox(const QImage& screen, const std::wstring& text,
                            const std::wstring& title, platform::ui::MessageBoxButtons buttons,
                            platform::ui::MessageBoxIcon icon);

}  // namespace qtfront

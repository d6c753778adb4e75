#pragma once
// The program's artwork, drawn by this project with QPainter: icons, the toolbar image strip
// and the background pictures that carry the captions of the fields.

#include <QPixmap>
#include <QRectF>
#include <QString>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "platform/ui/window.h"
#include "scale.h"

class QPainter;

namespace qtfront {

// A caption of a field, printed on a background picture beside the field.
struct Caption {
    QString text;
    QRectF field;  // device-screen pixels
};

// The captions that the background picture `bitmap` carries for a window's fields; fields the
// template does not have get none.
std::vector<Caption> CaptionsFor(int bitmap, const platform::ui::Window& window);

class Artwork {
  public:
    explicit Artwork(Scale scale) : m_scale(scale) {}

    // An icon resource, `size` device pixels square (an unknown resource draws a blank page).
    QPixmap Icon(int resource, int size) const;
    // Image `index` of the command bar's strip, 16 device pixels square.
    QPixmap ToolbarImage(int index) const;
    // Draws bitmap resource `bitmap` filling `area`; the painter works in device pixels.
    static void DrawBitmap(QPainter& painter, int bitmap, const QRectF& area,
                           std::span<const Caption> captions);

  private:
    QPixmap Render(int size, void (*draw)(QPainter&)) const;

    Scale m_scale;
    mutable std::map<std::pair<int, int>, QPixmap> m_cache;  // (key, size) -> picture
};

}  // namespace qtfront

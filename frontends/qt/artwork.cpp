#include "artwork.h"

#include <QPainter>

#include "art_painters.h"
#include "res/resource.h"

namespace qtfront {

namespace {

// Toolbar images share the cache with the icon resources under keys no resource uses.
constexpr int kToolbarKeyBase = -1000;

}  // namespace

QPixmap Artwork::Render(int size, void (*draw)(QPainter&)) const {
    QPixmap pixmap(m_scale.Px(size), m_scale.Px(size));
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(m_scale.Px(size) / 16.0, m_scale.Px(size) / 16.0);
    draw(painter);
    return pixmap;
}

QPixmap Artwork::Icon(int resource, int size) const {
    const auto key = std::make_pair(resource, size);
    if (auto found = m_cache.find(key); found != m_cache.end()) {
        return found->second;
    }
    void (*draw)(QPainter&) = art::File;
    if (resource == IDI_FOLDER) {
        draw = art::Folder;
    } else if (resource == IDI_APP) {
        draw = art::Application;
    }
    return m_cache[key] = Render(size, draw);
}

QPixmap Artwork::ToolbarImage(int index) const {
    const auto key = std::make_pair(kToolbarKeyBase - index, 16);
    if (auto found = m_cache.find(key); found != m_cache.end()) {
        return found->second;
    }
    QPixmap pixmap(m_scale.Px(16), m_scale.Px(16));
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(m_scale.factor, m_scale.factor);
        art::ToolbarImage(painter, index);
    }
    return m_cache[key] = pixmap;
}

void Artwork::DrawBitmap(QPainter& painter, int bitmap, const QRectF& area,
                         std::span<const Caption> captions) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(area);
    switch (bitmap) {
        case IDB_LOGIN_BACKGROUND:
            art::LoginBackground(painter, area);
            break;
        case IDB_NEWFOLDER_BACKGROUND:
            art::NewFolderBackground(painter, area);
            break;
        case IDB_MAIN_BACKGROUND:
            art::MainBackground(painter, area);
            break;
        case IDB_SHARE_BACKGROUND:
            art::ShareBackground(painter, area);
            break;
        default:
            art::PlainBackground(painter, area);
            break;
    }
    painter.setClipping(false);
    art::Captions(painter, captions);
    painter.restore();
}

}  // namespace qtfront

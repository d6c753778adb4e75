#pragma once
// A list of images of one size; the images are the program's artwork resources.

#include <vector>

namespace platform::ui {

class ImageList {
  public:
    // Masked lists of `width` x `height` pixels with room for `initial` images, growing by `grow`.
    ImageList(int width, int height, int initial, int grow)
        : m_width(width), m_height(height), m_initial(initial), m_grow(grow) {}

    // Adds an icon resource; returns its index.
    int Add(int iconResource) {
        m_images.push_back(iconResource);
        return static_cast<int>(m_images.size()) - 1;
    }
    int Count() const { return static_cast<int>(m_images.size()); }
    int ResourceAt(int index) const { return m_images.at(static_cast<std::size_t>(index)); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int InitialCapacity() const { return m_initial; }
    int Grow() const { return m_grow; }

  private:
    int m_width;
    int m_height;
    int m_initial;
    int m_grow;
    std::vector<int> m_images;
};

}  // namespace platform::ui

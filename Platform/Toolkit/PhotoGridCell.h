#pragma once
// One square of the image picker's grid: a photo's thumbnail, a pale square while the thumbnail
// is being made, or a placeholder (a grey square with a torn-picture sign) for a file that
// cannot be shown. It carries the file name as its accessibility label and leaves touches to
// the grid.
#include "Toolkit/View.h"

namespace ui {

class PhotoGridCell : public View {
public:
    enum class Look { Loading, Thumbnail, Broken };

    explicit PhotoGridCell(const gfx::Rect& frame = {});

    Look look() const { return m_look; }
    const gfx::ImageRef& thumbnail() const { return m_thumbnail; }
    void showLoading();
    void showThumbnail(gfx::ImageRef thumbnail);
    void showBroken();

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

private:
    void drawBrokenSign(gfx::BitmapContext& context) const;

    Look m_look = Look::Loading;
    gfx::ImageRef m_thumbnail;
};

} // namespace ui

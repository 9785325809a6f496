#pragma once
// The image picker's grid of photos: four squares of 75 points a row, 4 points apart, under an
// optional hint line, in a scroll view. Only the rows on screen (and one row either side) have
// cell views; their thumbnails come from a ThumbnailLoader and are kept for the rows within a
// few screens. refresh() lays out the cells for the current scroll position and shows the
// thumbnails that have arrived; the grid calls it from a run-loop timer while it is in a window.
// A tap (a touch that ends near where it began) on a cell picks its photo.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Foundation/Timer.h"
#include "Toolkit/Label.h"
#include "Toolkit/PhotoGridCell.h"
#include "Toolkit/PhotoLibrary.h"
#include "Toolkit/ScrollView.h"
#include "Toolkit/ThumbnailLoader.h"

namespace ui {

class PhotoGridView : public ScrollView {
public:
    static constexpr int kColumns = 4;
    static constexpr double kCellSide = 75;
    static constexpr double kGap = 4;
    static constexpr double kRefreshInterval = 1.0 / 30;

    PhotoGridView(const gfx::Rect& frame, std::unique_ptr<ThumbnailLoader> loader);
    ~PhotoGridView() override;

    // Replaces the photos; an empty hint shows none.
    void setPhotos(std::vector<PhotoEntry> photos, const std::string& hint);
    const std::vector<PhotoEntry>& photos() const { return m_photos; }
    Label* hintLabel() const { return m_hintLabel.get(); }

    using PickHandler = std::function<void(const PhotoEntry& photo)>;
    void setPickHandler(PickHandler handler) { m_onPick = std::move(handler); }

    // Where photo `index`'s square lies, in content coordinates.
    gfx::Rect cellRect(int index) const;
    // The cell showing photo `index`, or nullptr when its row is off screen.
    PhotoGridCell* cellAt(int index) const;
    // Scrolls the least distance that shows the whole square of photo `index`.
    void scrollToPhoto(int index);
    void refresh();

    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;

protected:
    void didMoveToWindow() override;

private:
    struct RowRange {
        int first;
        int last; // inclusive; last < first when empty
    };
    double contentTop() const;
    int rowCount() const;
    RowRange rowsOnScreen(int margin) const;
    void layCells(RowRange rows);
    void showThumbnailIn(PhotoGridCell& cell, int index);
    void collectThumbnails();
    void forgetFarThumbnails(RowRange keep);
    int photoIndexAt(gfx::Point contentPoint) const;

    std::unique_ptr<ThumbnailLoader> m_loader;
    std::vector<PhotoEntry> m_photos;
    std::shared_ptr<Label> m_hintLabel;
    std::map<int, std::shared_ptr<PhotoGridCell>> m_cells;
    std::vector<std::shared_ptr<PhotoGridCell>> m_spareCells;
    std::map<int, gfx::ImageRef> m_thumbnails; // nullptr: broken
    std::set<int> m_requested;
    fnd::TimerRef m_refreshTimer;
    PickHandler m_onPick;
    gfx::Point m_touchStart;
    bool m_touchIsTap = false;
};

} // namespace ui

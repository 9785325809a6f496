#include "Toolkit/PhotoGridView.h"

#include <algorithm>
#include <cmath>

#include "Foundation/Log.h"
#include "Foundation/RunLoop.h"
#include "Toolkit/Touch.h"

namespace ui {
namespace {

constexpr double kRowPitch = PhotoGridView::kCellSide + PhotoGridView::kGap;
constexpr double kHintHeight = 40;
// A touch that moves further than this (points) is a scroll, not a tap.
constexpr double kGridTapSlop = 8;
// Thumbnails are kept for this many screens above and below the one shown.
constexpr int kKeptScreens = 3;

} // namespace

PhotoGridView::PhotoGridView(const gfx::Rect& frame, std::unique_ptr<ThumbnailLoader> loader)
    : ScrollView(frame), m_loader(std::move(loader))
{
    setBackgroundColor(gfx::Color::white());
    m_hintLabel = std::make_shared<Label>(gfx::Rect{10, 0, frame.size.width - 20, kHintHeight});
    m_hintLabel->setFont(Font::systemFont(13));
    m_hintLabel->setTextColor({0.36, 0.39, 0.45, 1});
    m_hintLabel->setTextAlignment(TextAlignment::Center);
    m_hintLabel->setNumberOfLines(2);
    m_hintLabel->setHidden(true);
    addSubview(m_hintLabel);
}

PhotoGridView::~PhotoGridView()
{
    if (m_refreshTimer)
        m_refreshTimer->invalidate();
}

void PhotoGridView::setPhotos(std::vector<PhotoEntry> photos, const std::string& hint)
{
    m_photos = std::move(photos);
    m_hintLabel->setText(hint);
    m_hintLabel->setHidden(hint.empty());
    for (auto& [index, cell] : m_cells) {
        cell->removeFromSuperview();
        m_spareCells.push_back(cell);
    }
    m_cells.clear();
    m_thumbnails.clear();
    m_requested.clear();
    m_loader->keepOnly(0, -1);
    (void)m_loader->takeFinished(); // answers to the old list
    const double height = contentTop() + rowCount() * kRowPitch;
    setContentSize({bounds().size.width, height});
    setContentOffset({0, -contentInset().top});
    refresh();
}

double PhotoGridView::contentTop() const { return (m_hintLabel->isHidden() ? 0 : kHintHeight) + kGap; }

int PhotoGridView::rowCount() const { return (static_cast<int>(m_photos.size()) + kColumns - 1) / kColumns; }

gfx::Rect PhotoGridView::cellRect(int index) const
{
    const int row = index / kColumns;
    const int column = index % kColumns;
    return {kGap + column * kRowPitch, contentTop() + row * kRowPitch, kCellSide, kCellSide};
}

PhotoGridCell* PhotoGridView::cellAt(int index) const
{
    const auto found = m_cells.find(index);
    return found == m_cells.end() ? nullptr : found->second.get();
}

void PhotoGridView::scrollToPhoto(int index)
{
    if (index < 0 || index >= static_cast<int>(m_photos.size()))
        return;
    const gfx::Rect cell = cellRect(index);
    const gfx::Rect visible = bounds();
    double y = visible.origin.y;
    if (cell.origin.y - kGap < y + contentInset().top)
        y = cell.origin.y - kGap - contentInset().top;
    else if (cell.origin.y + cell.size.height + kGap > y + visible.size.height)
        y = cell.origin.y + cell.size.height + kGap - visible.size.height;
    setContentOffset({visible.origin.x, y});
    refresh();
}

PhotoGridView::RowRange PhotoGridView::rowsOnScreen(int margin) const
{
    const gfx::Rect visible = bounds();
    const int first = static_cast<int>(std::floor((visible.origin.y - contentTop()) / kRowPitch)) - margin;
    const int last =
        static_cast<int>(std::floor((visible.origin.y + visible.size.height - contentTop()) / kRowPitch)) + margin;
    return {std::max(first, 0), std::min(last, rowCount() - 1)};
}

void PhotoGridView::refresh()
{
    collectThumbnails();
    const RowRange rows = rowsOnScreen(1);
    layCells(rows);
    const RowRange screen = rowsOnScreen(0);
    // The loader serves the newest request first: ask for the rows on screen last.
    const int firstIndex = std::max(rows.first, 0) * kColumns;
    const int lastIndex = std::min((rows.last + 1) * kColumns, static_cast<int>(m_photos.size())) - 1;
    for (int pass = 0; pass < 2; ++pass) {
        for (int index = lastIndex; index >= firstIndex; --index) {
            const int row = index / kColumns;
            const bool onScreen = row >= screen.first && row <= screen.last;
            if (onScreen != (pass == 1) || m_thumbnails.contains(index) || m_requested.contains(index))
                continue;
            m_requested.insert(index);
            m_loader->request(index, m_photos[static_cast<std::size_t>(index)].path);
        }
    }
    m_loader->keepOnly(firstIndex, lastIndex);
    std::erase_if(m_requested, [&](int index) { return index < firstIndex || index > lastIndex; });
    collectThumbnails(); // synchronous loaders answer at once
    const int screenRows = std::max(1, screen.last - screen.first + 1);
    forgetFarThumbnails({rows.first - kKeptScreens * screenRows, rows.last + kKeptScreens * screenRows});
}

void PhotoGridView::layCells(RowRange rows)
{
    const int firstIndex = rows.first * kColumns;
    const int lastIndex = std::min((rows.last + 1) * kColumns, static_cast<int>(m_photos.size())) - 1;
    for (auto it = m_cells.begin(); it != m_cells.end();) {
        if (it->first >= firstIndex && it->first <= lastIndex) {
            ++it;
            continue;
        }
        it->second->removeFromSuperview();
        m_spareCells.push_back(it->second);
        it = m_cells.erase(it);
    }
    for (int index = firstIndex; index <= lastIndex; ++index) {
        if (m_cells.contains(index))
            continue;
        std::shared_ptr<PhotoGridCell> cell;
        if (m_spareCells.empty()) {
            cell = std::make_shared<PhotoGridCell>();
        } else {
            cell = std::move(m_spareCells.back());
            m_spareCells.pop_back();
        }
        cell->setFrame(cellRect(index));
        cell->setAccessibilityLabel(m_photos[static_cast<std::size_t>(index)].name);
        showThumbnailIn(*cell, index);
        addSubview(cell);
        m_cells.emplace(index, std::move(cell));
    }
}

void PhotoGridView::showThumbnailIn(PhotoGridCell& cell, int index)
{
    const auto found = m_thumbnails.find(index);
    if (found == m_thumbnails.end())
        cell.showLoading();
    else
        cell.showThumbnail(found->second);
}

void PhotoGridView::collectThumbnails()
{
    for (auto& finished : m_loader->takeFinished()) {
        if (!m_requested.erase(finished.index))
            continue; // dropped meanwhile
        if (!finished.image)
            fnd::log("No thumbnail for " + finished.error);
        m_thumbnails[finished.index] = finished.image;
        if (PhotoGridCell* cell = cellAt(finished.index))
            showThumbnailIn(*cell, finished.index);
    }
}

void PhotoGridView::forgetFarThumbnails(RowRange keep)
{
    std::erase_if(m_thumbnails, [&](const auto& item) {
        const int row = item.first / kColumns;
        return row < keep.first || row > keep.last;
    });
}

int PhotoGridView::photoIndexAt(gfx::Point point) const
{
    const double top = contentTop();
    if (point.y < top || point.x < 0)
        return -1;
    const int row = static_cast<int>((point.y - top) / kRowPitch);
    const int column = static_cast<int>(point.x / kRowPitch);
    const int index = row * kColumns + column;
    if (column >= kColumns || index >= static_cast<int>(m_photos.size()))
        return -1;
    const gfx::Rect cell = cellRect(index);
    const bool inside = point.x >= cell.origin.x && point.x < cell.origin.x + cell.size.width
                        && point.y >= cell.origin.y && point.y < cell.origin.y + cell.size.height;
    return inside ? index : -1;
}

void PhotoGridView::touchesBegan(const TouchSet& touches, const Event& event)
{
    const bool firstFinger = !isDragging() && !isZooming();
    ScrollView::touchesBegan(touches, event);
    m_touchIsTap = firstFinger && touches.count() == 1;
    if (m_touchIsTap)
        m_touchStart = (*touches.begin())->locationInView(nullptr);
}

void PhotoGridView::touchesEnded(const TouchSet& touches, const Event& event)
{
    ScrollView::touchesEnded(touches, event);
    if (!m_touchIsTap || touches.count() != 1)
        return;
    m_touchIsTap = false;
    const Touch& touch = **touches.begin();
    const gfx::Point end = touch.locationInView(nullptr);
    if (std::hypot(end.x - m_touchStart.x, end.y - m_touchStart.y) > kGridTapSlop)
        return;
    const int index = photoIndexAt(touch.locationInView(this));
    if (index >= 0 && m_onPick)
        m_onPick(m_photos[static_cast<std::size_t>(index)]);
}

void PhotoGridView::didMoveToWindow()
{
    if (m_refreshTimer) {
        m_refreshTimer->invalidate();
        m_refreshTimer = nullptr;
    }
    if (!window())
        return;
    refresh();
    // The timer holds only a weak reference: a grid dropped while shown stops it by going.
    std::weak_ptr<View> weakSelf = weak_from_this();
    m_refreshTimer = fnd::Timer::scheduledTimer(kRefreshInterval, true, [weakSelf](fnd::Timer& timer) {
        if (auto self = std::static_pointer_cast<PhotoGridView>(weakSelf.lock()))
            self->refresh();
        else
            timer.invalidate();
    });
}

} // namespace ui

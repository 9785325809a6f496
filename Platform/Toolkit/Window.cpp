#include "Toolkit/Window.h"

#include <cmath>
#include <string>

#include "Foundation/Log.h"
#include "Graphics/PixelFormat.h"
#include "Toolkit/ViewRenderer.h"

namespace ui {

namespace {
constexpr std::size_t kMaxDirtyRects = 8; // beyond this the union is cheaper to track and draw
Window* g_keyWindow = nullptr;            // made key last; only the main thread uses it

bool containsRect(const gfx::Rect& outer, const gfx::Rect& inner)
{
    return inner.minX() >= outer.minX() && inner.maxX() <= outer.maxX() && inner.minY() >= outer.minY()
           && inner.maxY() <= outer.maxY();
}
} // namespace

Window::Window(const gfx::Rect& frame) : View(frame) { setBackgroundColor(gfx::Color::black()); }

Window::~Window()
{
    if (g_keyWindow == this)
        g_keyWindow = nullptr;
}

Window* Window::keyWindow() { return g_keyWindow; }

bool Window::setScale(double scale)
{
    gfx::Size size = bounds().size;
    double w = std::ceil(size.width * scale), h = std::ceil(size.height * scale);
    if (!(scale > 0) || !(w >= 1 && h >= 1 && w <= gfx::kMaxSurfaceSide && h <= gfx::kMaxSurfaceSide)) {
        fnd::log("Window: unusable scale factor " + std::to_string(scale));
        return false;
    }
    auto store = gfx::BitmapContext::create(static_cast<int>(w), static_cast<int>(h));
    if (!store) {
        fnd::log("Window: cannot make a backing store of " + std::to_string(w) + " x " + std::to_string(h));
        return false;
    }
    m_scale = scale;
    m_backingStore = std::move(store);
    m_dirty.clear();
    addDirtyRect(bounds());
    return true;
}

void Window::addDirtyRect(const gfx::Rect& windowRect)
{
    gfx::Rect r = windowRect.standardized().intersected(bounds());
    if (r.isEmpty())
        return;
    for (const auto& d : m_dirty) {
        if (containsRect(d, r))
            return;
    }
    std::erase_if(m_dirty, [&](const gfx::Rect& d) { return containsRect(r, d); });
    m_dirty.push_back(r);
    if (m_dirty.size() > kMaxDirtyRects) {
        gfx::Rect all;
        for (const auto& d : m_dirty)
            all = all.united(d);
        m_dirty.assign(1, all);
    }
}

bool Window::hasRunningAnimations() const { return Animator::shared().hasRunningAnimations(); }

const std::vector<gfx::IntRect>& Window::display()
{
    m_drawn.clear();
    if (!m_backingStore)
        return m_drawn;
    Animator::shared().invalidateAnimatingViews();
    layoutIfNeeded();
    // Drawing may ask for more redraws; those wait for the next frame.
    std::swap(m_dirty, m_drawing);
    m_dirty.clear();
    for (const auto& r : m_drawing) {
        gfx::Rect scaled(r.x() * m_scale, r.y() * m_scale, r.width() * m_scale, r.height() * m_scale);
        gfx::IntRect pixels = gfx::pixelBounds(scaled, m_backingStore->width(), m_backingStore->height());
        if (pixels.isEmpty())
            continue;
        drawRegion(pixels);
        m_drawn.push_back(pixels);
    }
    m_drawing.clear();
    return m_drawn;
}

void Window::drawRegion(const gfx::IntRect& pixels)
{
    gfx::BitmapContext& ctx = *m_backingStore;
    gfx::GStateSaver saver(ctx);
    ctx.setCTM({});
    ctx.clipToRect({static_cast<double>(pixels.x), static_cast<double>(pixels.y), static_cast<double>(pixels.width),
                    static_cast<double>(pixels.height)});
    ctx.setBlendMode(gfx::BlendMode::Copy);
    ctx.setFillColor(gfx::Color::black());
    ctx.fillRect(ctx.bounds());
    ctx.setBlendMode(gfx::BlendMode::Normal);
    ctx.scale(m_scale, m_scale);
    renderView(ctx, *this, false);
}

void Window::makeKeyAndVisible()
{
    g_keyWindow = this;
    setHidden(false);
    setNeedsDisplay();
}

} // namespace ui

// Brush settings, shapes, the preview and the single dab. Touches, segments, splatter and the
// airbrush are in BrushToolTouches.cpp.
#include "BrushTool.h"

#include <cmath>

#include "Canvas.h"
#include "Foundation/Bundle.h"
#include "Foundation/Log.h"
#include "Graphics/BitmapContext.h"
#include "ImageIO/Decoder.h"
#include "RawImage.h"
#include "Toolkit/View.h"

namespace {

// Shape pictures are small; anything beyond this is not a brush and is refused before the
// mask buffer is allocated.
constexpr int kMaxShapeSide = 4096;

// The grey level of each pixel (the first byte of the decoded 32-bit pixel, blue, equals the
// grey of a grey picture) in rows padded to a multiple of 4; the padding paints nothing.
gfx::ImageMaskRef maskFromDecoded(const imageio::DecodedImage& decoded)
{
    const int w = decoded.width, h = decoded.height;
    if (w <= 0 || h <= 0 || w > kMaxShapeSide || h > kMaxShapeSide || decoded.bitsPerPixel != 32 || !decoded.bytes
        || decoded.bytesPerRow < w * 4
        || decoded.bytes->size() < static_cast<std::size_t>(decoded.bytesPerRow) * static_cast<std::size_t>(h))
        return nullptr;
    const int rowBytes = gfx::ImageMask::rowBytesFor(w);
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(h), 255);
    const std::uint8_t* pixels = decoded.bytes->data();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(decoded.bytesPerRow);
        std::uint8_t* dst = samples.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowBytes);
        for (int x = 0; x < w; ++x)
            dst[x] = src[static_cast<std::size_t>(x) * 4];
    }
    return gfx::ImageMask::create(w, h, rowBytes, std::move(samples), false);
}

// The unit square (mask columns along x, rows along y) onto the dab square of side s centred on
// p: sample (i, j) of a w x h mask lands, before turning, at u = -s/2 + (i + 0.5) s / w,
// v = s/2 - (j + 0.5) s / h (first row at the larger-y edge), then turns by theta (clockwise on
// screen for positive theta) and moves to p.
gfx::AffineTransform dabPlacement(double s, double theta, gfx::Point p)
{
    return gfx::AffineTransform::translation(-0.5, -0.5)
        .concat(gfx::AffineTransform::scaling(s, -s))
        .concat(gfx::AffineTransform::rotation(theta))
        .concat(gfx::AffineTransform::translation(p.x, p.y));
}

} // namespace

BrushTool::BrushTool(std::shared_ptr<Canvas> canvas, std::shared_ptr<const RawImage> rawImage)
    : m_canvas(std::move(canvas)), m_rawImage(std::move(rawImage))
{
}

BrushTool::~BrushTool() { stopTimer(); }

void BrushTool::setShapeName(const std::string& name)
{
    m_shapeMask.reset();
    const std::string path = fnd::resourcePath() + "/" + name + ".png";
    auto decoded = imageio::decodeFile(path);
    if (!decoded) {
        fnd::log("brush shape \"" + name + "\" could not be read: " + decoded.error());
        return;
    }
    gfx::ImageMaskRef mask = maskFromDecoded(decoded.value());
    if (!mask) {
        fnd::log("brush shape \"" + name + "\" is not a usable mask");
        return;
    }
    m_shapeMask = std::move(mask);
    m_shapeName = name;
}

gfx::ImageRef BrushTool::createPreviewImage() const
{
    auto ctx = gfx::BitmapContext::create(kPreviewSide, kPreviewSide);
    if (!ctx)
        return nullptr;
    // Stretched over the whole preview with the first mask row at the bottom.
    const double side = kPreviewSide;
    ctx->fillMask(m_shapeMask, gfx::AffineTransform{side, 0, 0, -side, 0, side}, gfx::Color::white(),
                  gfx::BlendMode::Normal);
    return ctx->makeImage();
}

BrushTool::Settings BrushTool::settings() const
{
    return {m_mode,     m_shapeName, m_color,          m_opacity,  m_size,     m_spacing,
            m_splatter, m_addNoise,  m_fixedDirection, m_airbrush, m_direction};
}

void BrushTool::applySettings(const Settings& settings)
{
    m_mode = settings.mode;
    if (settings.shapeName && settings.shapeName != m_shapeName)
        setShapeName(*settings.shapeName);
    m_color = settings.color;
    m_opacity = settings.opacity;
    m_size = settings.size;
    m_spacing = settings.spacing;
    m_splatter = settings.splatter;
    m_addNoise = settings.addNoise;
    m_fixedDirection = settings.fixedDirection;
    m_airbrush = settings.airbrush;
    m_direction = settings.direction;
}

void BrushTool::setTile(gfx::Point origin, gfx::Size paintingSize)
{
    m_tileOrigin = origin;
    m_paintingSize = paintingSize;
}

gfx::Rect BrushTool::drawBrushShapeAt(gfx::Point p)
{
    m_curPoint = p;
    const double s = static_cast<double>(static_cast<float>(m_size)) * m_lengthScale;
    const gfx::Rect square(p.x - s / 2, p.y - s / 2, s, s);
    Canvas* canvas = m_canvas.get();
    if (!canvas || !m_shapeMask || m_size <= 0)
        return square; // no mask: the dab paints nothing
    const gfx::Rect bounds = m_paintingSize ? gfx::Rect({0, 0}, *m_paintingSize) : canvas->bounds();
    const double theta = (270.0 - static_cast<double>(m_direction)) * M_PI / 180.0;
    const gfx::AffineTransform placement = dabPlacement(s, theta, tileOffset(p));
    if (m_mode == kModeEraser) {
        gfx::BitmapContext& painting = canvas->paintingContext();
        painting.fillMask(m_shapeMask, placement, gfx::Color::black(), gfx::BlendMode::Clear);
        canvas->paintingDidChange(placement.apply(gfx::Rect(0, 0, 1, 1)));
    } else {
        canvas->curStrokeLayer().context().fillMask(m_shapeMask, placement, dabColor(p, bounds),
                                                    gfx::BlendMode::Normal);
    }
    return square;
}

// The fill of one dab. Photo mode maps the dab centre into the photo; a centre outside it takes
// the nearest photo colour (its edge). Without a photo, and in unknown modes, the standing fill
// colour: opaque black.
gfx::Color BrushTool::dabColor(gfx::Point p, const gfx::Rect& canvasBounds) const
{
    if (m_mode == kModeFreehand)
        return m_color;
    const RawImage* raw = m_rawImage.get();
    if (m_mode != kModePhoto || !raw || raw->width() <= 0 || raw->height() <= 0 || !raw->pixels())
        return gfx::Color::black();
    const float rx = static_cast<float>(raw->width()) * static_cast<float>(p.x / canvasBounds.width());
    const float ry = static_cast<float>(raw->height()) * static_cast<float>(p.y / canvasBounds.height());
    if (std::isnan(rx) || std::isnan(ry))
        return gfx::Color::black();
    const int x = static_cast<int>(std::clamp(rx, 0.0f, static_cast<float>(raw->width() - 1)));
    const int y = static_cast<int>(std::clamp(ry, 0.0f, static_cast<float>(raw->height() - 1)));
    const std::array<float, 4> c = raw->pixelComponentsAtX(x, y);
    return {c[0], c[1], c[2], c[3]};
}

float Distance(gfx::Point a, gfx::Point b)
{
    const double dx = a.x - b.x, dy = a.y - b.y;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

int AddJitter(int value, int range, StrokeRandom& random)
{
    if (range < 1)
        return value; // no spread to draw from (and % 0 would be undefined)
    const auto spread =
        static_cast<std::uint32_t>(2 * static_cast<std::int64_t>(range) > INT32_MAX ? INT32_MAX : 2 * range);
    return static_cast<int>(random.next() % spread) + value - range;
}

gfx::Point RoundToInputGrid(gfx::Point p)
{
    static constexpr double kLimit = 1 << 30; // far beyond any canvas; keeps the product finite
    auto round = [](double v) {
        if (!std::isfinite(v))
            return 0.0;
        return std::round(std::clamp(v, -kLimit, kLimit) * BrushTool::kInputGrid) / BrushTool::kInputGrid;
    };
    return {round(p.x), round(p.y)};
}

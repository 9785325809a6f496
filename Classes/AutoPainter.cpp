#include "AutoPainter.h"

#include <algorithm>
#include <cmath>

#include "BrushTool.h"
#include "Canvas.h"
#include "MediumValues.h"
#include "RawImage.h"

namespace {

constexpr double kPointInterval = 1.0 / 60.0; // seconds between a stroke's points
constexpr float kFlatGradient = 1.0f;         // below this the photo gives no direction
constexpr int kStopCheckEvery = 64;           // strokes laid between looks at the stop flag

// splitmix64: a small generator whose sequence is the same everywhere.
std::uint32_t nextRandom(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

float colourDistance(const float* a, const float* b)
{
    const float dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
    return std::sqrt(dr * dr + dg * dg + db * db);
}

// What one size's planning reads: the blurred photo, its brightness, the canvas as it stands.
struct LayerInputs {
    RgbImage reference;
    std::vector<float> luminance;
    RgbImage canvas;

    float lum(int x, int y) const
    {
        x = std::clamp(x, 0, reference.width - 1);
        y = std::clamp(y, 0, reference.height - 1);
        return luminance[static_cast<std::size_t>(y) * static_cast<std::size_t>(reference.width)
                         + static_cast<std::size_t>(x)];
    }
    // Sobel gradient of the blurred photo's brightness.
    void gradient(int x, int y, float& gx, float& gy) const
    {
        gx = (lum(x + 1, y - 1) + 2 * lum(x + 1, y) + lum(x + 1, y + 1))
             - (lum(x - 1, y - 1) + 2 * lum(x - 1, y) + lum(x - 1, y + 1));
        gy = (lum(x - 1, y + 1) + 2 * lum(x, y + 1) + lum(x + 1, y + 1))
             - (lum(x - 1, y - 1) + 2 * lum(x, y - 1) + lum(x + 1, y - 1));
    }
};

struct StrokeShape {
    float step;
    int minLength;
    int maxLength;
    float curvature;
};

// One stroke from (x0, y0) across the photo's gradient; see the class comment.
AutoStroke traceStroke(int x0, int y0, const LayerInputs& in, const StrokeShape& shape, std::uint64_t& random)
{
    AutoStroke stroke;
    stroke.points.push_back({{static_cast<double>(x0), static_cast<double>(y0)}, 0});
    const float* colour = in.reference.at(x0, y0);
    float x = static_cast<float>(x0), y = static_cast<float>(y0), lastDx = 0, lastDy = 0;
    const float w = static_cast<float>(in.reference.width), h = static_cast<float>(in.reference.height);
    for (int i = 1; i < shape.maxLength; ++i) {
        const int ix = static_cast<int>(x), iy = static_cast<int>(y);
        const float* ref = in.reference.at(ix, iy);
        if (i > shape.minLength && colourDistance(ref, in.canvas.at(ix, iy)) < colourDistance(ref, colour))
            break;
        float gx, gy, dx, dy;
        in.gradient(ix, iy, gx, gy);
        const float magnitude = std::sqrt(gx * gx + gy * gy);
        if (magnitude < kFlatGradient && lastDx == 0 && lastDy == 0) {
            const float angle =
                static_cast<float>(nextRandom(random)) * (2.0f * static_cast<float>(M_PI) / 4294967296.0f);
            dx = std::cos(angle), dy = std::sin(angle);
        } else if (magnitude < kFlatGradient) {
            dx = lastDx, dy = lastDy;
        } else {
            dx = -gy / magnitude, dy = gx / magnitude;
        }
        if (i > 1) {
            if (dx * lastDx + dy * lastDy < 0)
                dx = -dx, dy = -dy;
            dx = shape.curvature * dx + (1 - shape.curvature) * lastDx;
            dy = shape.curvature * dy + (1 - shape.curvature) * lastDy;
            const float length = std::sqrt(dx * dx + dy * dy);
            if (length < 1e-6f)
                break;
            dx /= length, dy /= length;
        }
        x += shape.step * dx, y += shape.step * dy;
        if (x < 0 || y < 0 || x >= w || y >= h)
            break;
        stroke.points.push_back({{std::round(x), std::round(y)}, i * kPointInterval});
        lastDx = dx, lastDy = dy;
    }
    // A finger's first position gets no dab: one step back, so the most different point does.
    if (stroke.points.size() > 1) {
        const gfx::Point p0 = stroke.points[0].at, p1 = stroke.points[1].at;
        const gfx::Point back{std::clamp(2 * p0.x - p1.x, 0.0, static_cast<double>(w - 1)),
                              std::clamp(2 * p0.y - p1.y, 0.0, static_cast<double>(h - 1))};
        stroke.points.insert(stroke.points.begin(), {back, 0});
        for (std::size_t i = 1; i < stroke.points.size(); ++i)
            stroke.points[i].time = static_cast<double>(i) * kPointInterval;
    }
    return stroke;
}

LayerInputs layerInputs(const RgbImage& photo, const Canvas& canvas, double sigma)
{
    LayerInputs in;
    in.reference = GaussianBlurred(photo, sigma);
    const std::size_t count = static_cast<std::size_t>(photo.width) * static_cast<std::size_t>(photo.height);
    in.luminance.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const float* p = in.reference.pixels.data() + i * 3;
        in.luminance[i] = 0.30f * p[0] + 0.59f * p[1] + 0.11f * p[2];
    }
    // The canvas is seen at the same blur: detail it already has that matches the photo's is no
    // difference at a coarse size, so painting again keeps it.
    in.canvas = GaussianBlurred(CanvasPicture(canvas), sigma);
    return in;
}

} // namespace

AutoPainter::AutoPainter(std::shared_ptr<const RawImage> photo, std::unique_ptr<Canvas> canvas,
                         const AutoPaintSettings& settings)
    : m_photo(std::move(photo)), m_canvas(std::move(canvas)), m_settings(settings), m_random(settings.seed)
{
}

AutoPainter::~AutoPainter() = default;

std::unique_ptr<AutoPainter> AutoPainter::create(std::shared_ptr<const RawImage> photo, std::unique_ptr<Canvas> canvas,
                                                 const AutoPaintSettings& settings)
{
    if (!photo || !canvas || settings.medium < 0 || settings.medium >= NUM_MEDIUM_VALUES)
        return nullptr;
    std::unique_ptr<AutoPainter> painter(new AutoPainter(std::move(photo), std::move(canvas), settings));
    painter->m_photoAtCanvasSize =
        ShrinkPhoto(*painter->m_photo, painter->m_canvas->width(), painter->m_canvas->height());
    if (painter->m_photoAtCanvasSize.isEmpty())
        return nullptr;
    const MediumValue& medium = g_arMediumValues[settings.medium];
    painter->m_style = AutoPaintStyleFor(medium, std::max(painter->m_canvas->width(), painter->m_canvas->height()));
    painter->m_brush = std::make_unique<BrushTool>(painter->m_canvas, painter->m_photo);
    painter->m_brush->setShapeName(medium.shapeName);
    BeginAutoPainting(*painter->m_canvas);
    return painter;
}

std::optional<AutoStrokeGroup> AutoPainter::planNextGroup(const std::atomic<bool>* stop)
{
    if (m_nextGroup >= groupCount() || (stop && stop->load()))
        return std::nullopt;
    AutoStrokeGroup group;
    group.index = m_nextGroup;
    group.brushSize = m_style.sizes[static_cast<std::size_t>(m_nextGroup)];
    group.strokes = planStrokes(group.brushSize);
    if (!layStrokes(group.strokes, group.brushSize, stop))
        return std::nullopt;
    ++m_nextGroup;
    return group;
}

std::vector<AutoStroke> AutoPainter::planStrokes(int size)
{
    const LayerInputs in = layerInputs(m_photoAtCanvasSize, *m_canvas, m_style.blurFactor * size);
    if (in.canvas.isEmpty() || in.canvas.width != in.reference.width || in.canvas.height != in.reference.height)
        return {};
    const StrokeShape shape{std::max(1.0f, m_style.stepFactor * static_cast<float>(size)), m_style.minLength,
                            m_style.maxLength, m_style.curvature};
    const int grid = std::max(1, static_cast<int>(std::lround(m_style.gridFactor * static_cast<float>(size))));
    const int w = in.reference.width, h = in.reference.height;
    std::vector<AutoStroke> strokes;
    for (int cy = 0; cy < h; cy += grid)
        for (int cx = 0; cx < w; cx += grid) {
            float sum = 0, worst = -1;
            int wx = cx, wy = cy;
            const int ex = std::min(w, cx + grid), ey = std::min(h, cy + grid);
            for (int y = cy; y < ey; ++y)
                for (int x = cx; x < ex; ++x) {
                    const float d = colourDistance(in.reference.at(x, y), in.canvas.at(x, y));
                    sum += d;
                    if (d > worst)
                        worst = d, wx = x, wy = y;
                }
            if (sum / static_cast<float>((ex - cx) * (ey - cy)) > m_style.threshold)
                strokes.push_back(traceStroke(wx, wy, in, shape, m_random));
        }
    for (std::size_t i = strokes.size(); i > 1; --i)
        std::swap(strokes[i - 1], strokes[nextRandom(m_random) % i]);
    for (AutoStroke& stroke : strokes)
        stroke.number = m_strokesPlanned++;
    return strokes;
}

bool AutoPainter::layStrokes(const std::vector<AutoStroke>& strokes, int size, const std::atomic<bool>* stop)
{
    PrepareAutoBrush(*m_brush, g_arMediumValues[m_settings.medium], size, m_settings.seed);
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        if (stop && i % kStopCheckEvery == 0 && stop->load())
            return false;
        LayAutoStroke(*m_brush, strokes[i]);
    }
    EndAutoStrokeGroup(*m_canvas);
    return true;
}

std::unique_ptr<Canvas> CopyCanvasForAutoPainting(const Canvas& canvas)
{
    std::unique_ptr<Canvas> copy = Canvas::initWithSize(canvas.width(), canvas.height());
    if (!copy)
        return nullptr;
    copy->setBackgroundColor(canvas.backgroundColor());
    copy->setTextureName(canvas.textureName());
    copy->paintingContext().drawBitmap(canvas.bounds(), canvas.paintingContext());
    return copy;
}

namespace {

void putWord(std::vector<std::uint8_t>& out, std::uint32_t word)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(word >> shift));
}

bool getWord(std::span<const std::uint8_t> in, std::size_t& at, std::uint32_t& word)
{
    if (in.size() < at + 4)
        return false;
    word = 0;
    for (int i = 0; i < 4; ++i)
        word |= static_cast<std::uint32_t>(in[at + static_cast<std::size_t>(i)]) << (8 * i);
    at += 4;
    return true;
}

} // namespace

// Medium, seed, a stopped flag and, when stopped, the group and strokes: little-endian words.
std::vector<std::uint8_t> EncodeAutoPaintEvent(const AutoPaintSettings& settings, std::optional<AutoPaintPoint> stop)
{
    std::vector<std::uint8_t> out;
    putWord(out, static_cast<std::uint32_t>(settings.medium));
    putWord(out, settings.seed);
    out.push_back(stop ? 1 : 0);
    if (stop) {
        putWord(out, static_cast<std::uint32_t>(stop->group));
        putWord(out, static_cast<std::uint32_t>(stop->strokes));
    }
    return out;
}

bool DecodeAutoPaintEvent(std::span<const std::uint8_t> payload, AutoPaintSettings& settings,
                          std::optional<AutoPaintPoint>& stop)
{
    std::size_t at = 0;
    std::uint32_t medium = 0, seed = 0;
    if (!getWord(payload, at, medium) || !getWord(payload, at, seed) || at >= payload.size()
        || medium >= static_cast<std::uint32_t>(NUM_MEDIUM_VALUES))
        return false;
    const std::uint8_t stopped = payload[at++];
    stop.reset();
    if (stopped == 1) {
        std::uint32_t group = 0, strokes = 0;
        if (!getWord(payload, at, group) || !getWord(payload, at, strokes) || group > 1u << 30 || strokes > 1u << 30)
            return false;
        stop = AutoPaintPoint{static_cast<int>(group), static_cast<int>(strokes)};
    } else if (stopped != 0) {
        return false;
    }
    if (at != payload.size())
        return false;
    settings.medium = static_cast<int>(medium);
    settings.seed = seed;
    return true;
}

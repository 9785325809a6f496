#pragma once
// A drawing context over a width x height ARGB32 premultiplied bitmap (see PixelFormat.h), backed
// by cairo. Coordinates are y-down with the origin at the bitmap's top-left pixel; row 0 in
// memory is y = 0. Images and masks are placed upright: their first row lies along the smaller-y
// edge of the target rectangle in the current user space. A caller that wants the first row at
// the larger-y edge concatenates a vertical flip first.
//
// The graphics state (transform, clip including mask clips, fill and stroke colours, line width,
// caps and joins, global alpha, blend mode, shadow) is saved and restored as a stack; GStateSaver
// pairs the two. The cairo objects behind it stay inside Graphics (see BitmapContextNative.h).
//
// The implementation is split by job: BitmapContext.cpp (making and the state stack),
// BitmapContextClip.cpp (transforms and clips), BitmapContextDrawing.cpp (fills, strokes,
// gradients, images, layers), BitmapContextShadow.cpp, BitmapContextPixels.cpp (pixel access and
// the dab kernel bridge).
#include <cstdint>
#include <memory>
#include <vector>

#include "Graphics/Color.h"
#include "Graphics/Geometry.h"
#include "Graphics/Gradient.h"
#include "Graphics/Image.h"
#include "Graphics/ImageMask.h"
#include "Graphics/Path.h"

namespace gfx {

class Layer;
namespace detail {
struct BitmapContextAccess;
}

enum class LineCap { Butt, Round, Square };
enum class LineJoin { Miter, Round, Bevel };
enum class FillRule { NonZero, EvenOdd };

enum class BlendMode {
    Normal,     // source-over
    SourceAtop, // source x destination alpha + destination x (1 - source alpha)
    Clear,      // destination x (1 - source coverage)
    Copy,       // source replaces destination
};

class BitmapContext {
public:
    // A transparent bitmap; nullptr when a side is not in 1..kMaxSurfaceSide or memory fails.
    static std::unique_ptr<BitmapContext> create(int width, int height);
    ~BitmapContext();
    BitmapContext(const BitmapContext&) = delete;
    BitmapContext& operator=(const BitmapContext&) = delete;

    int width() const { return m_width; }
    int height() const { return m_height; }
    Rect bounds() const { return {0, 0, static_cast<double>(m_width), static_cast<double>(m_height)}; }
    int bytesPerRow() const;

    // Graphics state.
    void saveGState();
    void restoreGState();
    void translate(double x, double y);
    void scale(double sx, double sy);
    void rotate(double radians); // positive turns clockwise on screen (from +x towards +y)
    void concat(const AffineTransform& t);
    AffineTransform ctm() const;
    void setCTM(const AffineTransform& t);
    void clipToRect(const Rect& r);
    // Intersects the clip with the inside of `path` (anti-aliased edges).
    void clipToPath(const Path& path, FillRule rule = FillRule::NonZero);
    // Intersects the clip with `mask` stretched over `rect` (first mask row along rect's min y).
    void clipToMask(const Rect& rect, const ImageMaskRef& mask);
    // The clip's bounding box in user space (ignoring mask contents).
    Rect clipBoundingBox() const;
    void setFillColor(const Color& c);
    void setStrokeColor(const Color& c);
    void setLineWidth(double w);
    void setAlpha(double alpha); // global alpha, scales everything drawn
    void setBlendMode(BlendMode mode);
    void setImageInterpolation(bool enabled); // off: nearest sample when images are stretched
    void setLineCap(LineCap cap);
    void setLineJoin(LineJoin join);
    // A shadow under everything drawn while it is set (fills, strokes, images, text, layers): the
    // drawn shape's coverage, blurred by `blur` points, moved by `offset` (user space, so it scales
    // with the transform) and painted in `color` beneath the shape. A clear colour turns it off.
    void setShadow(Size offset, double blur, const Color& color);
    void clearShadow() { setShadow({}, 0, Color::clear()); }
    const Color& fillColor() const { return state().fill; }
    double alpha() const { return state().alpha; }
    BlendMode blendMode() const { return state().blend; }

    // Drawing.
    void fillRect(const Rect& r);
    void clearRect(const Rect& r); // to transparent, through the clip (masks scale the clearing)
    void strokeRect(const Rect& r);
    void strokeLine(Point from, Point to);
    void strokeLineSegments(const Point* points, std::size_t count); // pairs of points
    void fillEllipse(const Rect& r);
    void fillPath(const Path& path, FillRule rule = FillRule::NonZero); // with the fill colour
    void strokePath(const Path& path); // with the stroke colour, line width, cap and join
    // Fills the whole clip with a gradient along the line from `start` to `end` (extended flat
    // beyond both ends), or between two circles. Clip first (clipToPath) to shape it.
    void drawLinearGradient(const Gradient& gradient, Point start, Point end);
    void drawRadialGradient(const Gradient& gradient, Point startCenter, double startRadius, Point endCenter,
                            double endRadius);
    // A transparency layer: what is drawn until the matching end is composited as one picture
    // at `alpha` (with the blend mode and mask clips in force at the begin), so overlapping
    // parts do not show through each other. Layers nest; TransparencyLayer pairs the two calls.
    void beginTransparencyLayer(double alpha);
    void endTransparencyLayer();
    void drawImage(const Rect& r, const Image& image);
    // Tiles the image over the whole clip: the first tile covers `firstTile`, the others repeat
    // at the same size.
    void drawTiledImage(const Rect& firstTile, const Image& image);
    void drawLayer(const Rect& r, const Layer& layer);
    void drawLayer(Point origin, const Layer& layer);
    void drawBitmap(const Rect& r, const BitmapContext& other);
    // Fills `color` through `mask` stretched over the unit square (first row along y = 0) placed
    // by `maskToUser` in the current user space, nearest sample: source-over (Normal) or clearing
    // (Clear: each pixel keeps 1 - coverage, whatever the global alpha). Other blend modes are
    // treated as Normal. Runs the span kernel of MaskFill.h when the state allows (no mask clips,
    // pixel-aligned rectangle clips, a mask without interpolation), the general path otherwise.
    void fillMask(const ImageMaskRef& mask, const AffineTransform& maskToUser, const Color& color, BlendMode mode);

    // A copy of the current pixels (premultiplied).
    ImageRef makeImage() const;

    // Direct pixel access: flushes pending cairo drawing on creation and marks the bitmap dirty
    // when it goes, so cairo sees the changes.
    class PixelAccess {
    public:
        explicit PixelAccess(BitmapContext& ctx);
        ~PixelAccess();
        PixelAccess(const PixelAccess&) = delete;
        PixelAccess& operator=(const PixelAccess&) = delete;
        std::uint8_t* data() const { return m_data; }
        int bytesPerRow() const { return m_stride; }
        std::uint32_t* row(int y) const
        {
            return reinterpret_cast<std::uint32_t*>(m_data + static_cast<std::ptrdiff_t>(y) * m_stride);
        }

    private:
        BitmapContext& m_ctx;
        std::uint8_t* m_data;
        int m_stride;
    };
    // Read-only access (flushes first).
    const std::uint8_t* constData() const;
    std::uint32_t pixelAt(int x, int y) const; // premultiplied word; callers keep inside
    // Straight-alpha colour of a pixel.
    Color colorAt(int x, int y) const;

private:
    friend struct detail::BitmapContextAccess;
    struct Native; // the cairo surface and context, defined in BitmapContextNative.h
    struct MaskClip {
        ImageMaskRef mask;
        double matrix[6]; // user-space-to-mask-pixel matrix at the time of clipping (a,b,c,d,tx,ty)
    };
    struct State {
        Color fill = Color::black();
        Color stroke = Color::black();
        double lineWidth = 1;
        double alpha = 1;
        BlendMode blend = BlendMode::Normal;
        bool interpolate = true;
        LineCap lineCap = LineCap::Butt;
        LineJoin lineJoin = LineJoin::Miter;
        Size shadowOffset;
        double shadowBlur = 0;
        Color shadowColor = Color::clear();
        bool clipIsPixelRect = true; // every clip so far was a rectangle on whole device pixels
        std::vector<MaskClip> masks;
    };

    // A drawing step handed to drawWithState: calls a caller's lambda without copying it.
    struct DrawStep {
        void (*run)(const void*);
        const void* closure;
        void operator()() const { run(closure); }
    };
    template <typename F> static DrawStep step(const F& f)
    {
        return {[](const void* c) { (*static_cast<const F*>(c))(); }, &f};
    }

    BitmapContext(std::unique_ptr<Native> native, int width, int height);
    State& state() { return m_states.back(); }
    const State& state() const { return m_states.back(); }
    // Runs `draw` (which paints with the current source) through the blend mode, mask clips and
    // shadow; `userBounds` holds everything it can touch, in user space.
    void drawWithState(const Rect& userBounds, DrawStep draw);
    void drawThroughMasks(DrawStep draw);
    void drawWithShadow(const Rect& userBounds, DrawStep draw);
    bool hasShadow() const;
    void applySource(const Color& c);
    bool fillMaskWithKernel(const ImageMask& mask, const AffineTransform& maskToUser, const Color& color,
                            BlendMode mode);
    Rect strokeBounds(const Rect& pathBounds) const;

    void applyStroke();
    void appendPath(const Path& path);

    std::unique_ptr<Native> m_native;
    int m_width;
    int m_height;
    std::vector<State> m_states;
    std::vector<double> m_layerAlphas; // open transparency layers, innermost last
};

// Begins a transparency layer on construction and ends it when it goes.
class TransparencyLayer {
public:
    TransparencyLayer(BitmapContext& ctx, double alpha) : m_ctx(ctx) { m_ctx.beginTransparencyLayer(alpha); }
    ~TransparencyLayer() { m_ctx.endTransparencyLayer(); }
    TransparencyLayer(const TransparencyLayer&) = delete;
    TransparencyLayer& operator=(const TransparencyLayer&) = delete;

private:
    BitmapContext& m_ctx;
};

// Saves the state on construction and restores it when it goes.
class GStateSaver {
public:
    explicit GStateSaver(BitmapContext& ctx) : m_ctx(ctx) { m_ctx.saveGState(); }
    ~GStateSaver() { m_ctx.restoreGState(); }
    GStateSaver(const GStateSaver&) = delete;
    GStateSaver& operator=(const GStateSaver&) = delete;

private:
    BitmapContext& m_ctx;
};

} // namespace gfx

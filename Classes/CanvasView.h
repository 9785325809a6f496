#pragma once
// The view that shows the painting and takes the painting touches. Its coordinates are canvas
// pixels (the paint view scales it for zoom), so touch locations need no conversion. It owns the
// brush and hands it every touch after its ancestors have seen it, draws the canvas composite,
// and for a painting made from a photo shows the photo first, then builds the blueprint overlay
// and cross-fades from the photo to the outline. It works on the canvas and raw image it was
// made with (the painting screen hands them in) and reaches no document.
#include <memory>

#include "BrushTool.h"
#include "Foundation/Timer.h"
#include "OutlineView.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/View.h"

class CanvasView;

class CanvasViewDelegate {
public:
    virtual ~CanvasViewDelegate() = default;
    // The outline overlay is about to be built (it may take a moment).
    virtual void canvasViewWillCreateOutline(CanvasView& canvasView) = 0;
    // The overlay has been built and added, still invisible.
    virtual void canvasViewDidCreateOutline(CanvasView& canvasView) = 0;
};

class CanvasView : public ui::View {
    struct Token {
        explicit Token() = default;
    };

public:
    static constexpr double kOutlineDelay = 0.25; // seconds from creation to the outline
    static constexpr double kOutlineFadeSeconds = 2.0;

    using Photo = gfx::ImageRef;

    // The view of `canvas`, its brush painting into it. With a raw image (a painting made from a
    // photo) the brush starts in photo mode, `photo` (the picture as picked, if known; the
    // document's origImage) is shown and the blueprint follows. nullptr without a canvas.
    static std::shared_ptr<CanvasView> init(std::shared_ptr<Canvas> canvas, std::shared_ptr<const RawImage> rawImage,
                                            const Photo& photo);
    CanvasView(Token, const gfx::Rect& frame);
    ~CanvasView() override;

    const std::shared_ptr<Canvas>& canvas() const { return m_canvas; }
    const std::shared_ptr<const RawImage>& rawImage() const { return m_rawImage; }
    const std::shared_ptr<ui::ImageView>& origImageView() const { return m_origImageView; }
    const std::shared_ptr<OutlineView>& outlineView() const { return m_outlineView; }
    BrushTool& brushTool() const { return *m_brushTool; }
    CanvasViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(CanvasViewDelegate* delegate) { m_delegate = delegate; }
    // The pending one-shot timer that builds the outline (empty once it fired or for a blank canvas).
    const fnd::TimerRef& outlineTimer() const { return m_outlineTimer; }

    // The canvas composite, only where it was invalidated (the background is already filled).
    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

    // Each passes the touches on to the next responder (the paint view) first, then to the brush.
    void touchesBegan(const ui::TouchSet& touches, const ui::Event& event) override;
    void touchesMoved(const ui::TouchSet& touches, const ui::Event& event) override;
    void touchesEnded(const ui::TouchSet& touches, const ui::Event& event) override;
    void touchesCancelled(const ui::TouchSet& touches, const ui::Event& event) override;

    void outlineTimerEvent(fnd::Timer& timer);
    // Builds the outline overlay (delegate told before and after) and fades it in over the photo.
    void renderAndShowOutlineAnimated(bool animated);
    // Draws the outline into the current-strokes layer in `color`, replacing what was painted
    // since the last snapshot, and takes the snapshot.
    void sketchOutline(const gfx::Color& color);

private:
    void showPhoto(const gfx::Rect& frame, const Photo& photo);

    std::shared_ptr<Canvas> m_canvas;
    std::shared_ptr<const RawImage> m_rawImage;
    std::shared_ptr<ui::ImageView> m_origImageView;
    std::shared_ptr<OutlineView> m_outlineView;
    std::unique_ptr<BrushTool> m_brushTool;
    CanvasViewDelegate* m_delegate = nullptr;
    fnd::TimerRef m_outlineTimer;
};

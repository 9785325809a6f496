#pragma once
// A plain view that paints finger strokes: every finger's movement becomes a line from its
// previous to its new place, drawn into the view's own bitmap at the screen's scale, so whatever
// has been painted stays until clear() is called.
#include <memory>

#include "Graphics/BitmapContext.h"
#include "Toolkit/View.h"

class DemoPaintView : public ui::View {
public:
    explicit DemoPaintView(const gfx::Rect& frame);

    void clear();
    // Line segments painted since the last clear.
    int segmentCount() const { return m_segments; }
    const gfx::Color& strokeColor() const { return m_strokeColor; }
    static constexpr double kStrokeWidth = 6;

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;
    void touchesBegan(const ui::TouchSet& touches, const ui::Event& event) override;
    void touchesMoved(const ui::TouchSet& touches, const ui::Event& event) override;

private:
    void paintSegment(gfx::Point from, gfx::Point to);
    bool ensurePaper();

    std::unique_ptr<gfx::BitmapContext> m_paper;
    double m_paperScale = 0;
    gfx::Color m_strokeColor = gfx::Color::fromBytes(255, 196, 64);
    int m_segments = 0;
};

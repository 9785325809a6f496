#pragma once
// A bar that fills from the left as work goes on (the part done, 0 to 1): a dark recessed track
// with a white rim and, over it, a glossy blue fill in the style of the sliders. Progress alerts
// show one (AlertView::setProgress). Its accessibility label is the part done in percent, so
// scripts can read it.
#include "Toolkit/View.h"

namespace ui {

class ProgressView : public View {
public:
    explicit ProgressView(const gfx::Rect& frame = {0, 0, 150, kBarHeight});

    double progress() const { return m_progress; }
    // Clamped to 0..1; redraws when the filled width changes.
    void setProgress(double progress);

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

    static constexpr double kBarHeight = 11;

private:
    double m_progress = 0;
};

} // namespace ui

#pragma once
// The shade laid over the whole window behind an action sheet or an alert: it darkens what lies
// beneath and takes every touch that lands on it, so nothing behind can be used while the sheet
// or alert is up. Flat is an even 40% black (sheets); Spotlight is lighter in the middle and
// darker towards the edges (alerts).
#include "Toolkit/View.h"

namespace ui {

class DimmingView : public View {
public:
    enum class Style { Flat, Spotlight };

    DimmingView(const gfx::Rect& frame, Style style);

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

    // Takes touches while it is in the tree, also while fading out (at alpha 0 in the model).
    View* hitTest(gfx::Point point) override;
    // Touches end here: neither the views beneath nor the responder chain see them.
    void touchesBegan(const TouchSet&, const Event&) override {}
    void touchesMoved(const TouchSet&, const Event&) override {}
    void touchesEnded(const TouchSet&, const Event&) override {}
    void touchesCancelled(const TouchSet&, const Event&) override {}

private:
    Style m_style;
};

} // namespace ui

#pragma once
// What the painting screen's two settings panels share: the top edge (a dark line with a faint
// light line two points under it), the slider with the bundle's thumb, and the small bold label
// under it.
#include <functional>
#include <memory>
#include <string>

#include "Graphics/BitmapContext.h"
#include "Toolkit/Label.h"
#include "Toolkit/Slider.h"

void DrawPanelEdge(gfx::BitmapContext& context, const gfx::Rect& panelFrame);

// A slider from `minimum` to `maximum` showing `value`, labelled for scripts and assistive tools,
// that calls `changed` on every value change.
std::shared_ptr<ui::Slider> MakePanelSlider(const gfx::Rect& frame, float minimum, float maximum, float value,
                                            const std::string& accessibilityLabel,
                                            std::function<void(ui::Control&)> changed);

// The label one slider height plus 10 points below `sliderFrame`: bold 10 point white text with
// a black shadow, centred, on a clear background.
std::shared_ptr<ui::Label> MakePanelLabel(const gfx::Rect& sliderFrame, const std::string& text);

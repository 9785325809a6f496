#pragma once
// One frame of a page-curl transition on a container view, drawn in the container's coordinates.
// The page peels from the bottom-right corner towards the top-left along the diagonal: the part
// already lifted shows what lies beneath, the fold casts a shadow on it, and the lifted flap lies
// folded over the flat part, its back shaded from the fold outwards.
// Curl up peels the old look (the kept snapshot) away from the new one; curl down lays the new
// look back down over the old one.
#include "Graphics/BitmapContext.h"
#include "Toolkit/Animation.h"

namespace ui {

class View;

void drawPageCurl(gfx::BitmapContext& ctx, View& container, const Animator::TransitionFrame& frame);

} // namespace ui

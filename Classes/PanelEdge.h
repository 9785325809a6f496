#pragma once
// The top edge of the painting screen's settings panels: a dark line with a faint light line
// two points under it, across the panel's frame.
#include "Graphics/BitmapContext.h"

void DrawPanelEdge(gfx::BitmapContext& context, const gfx::Rect& panelFrame);

#include "PanelEdge.h"

void DrawPanelEdge(gfx::BitmapContext& context, const gfx::Rect& panelFrame)
{
    gfx::GStateSaver saver(context);
    context.setLineWidth(1.0);
    context.setStrokeColor({0, 0, 0, 1});
    context.strokeLine({panelFrame.minX(), 0}, {panelFrame.maxX(), 0});
    context.setStrokeColor({1, 1, 1, 0.5f});
    context.strokeLine({panelFrame.minX(), 2.0}, {panelFrame.maxX(), 2.0});
}

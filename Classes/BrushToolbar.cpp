#include "BrushToolbar.h"

#include <cmath>

#include "BrushTool.h"
#include "Foundation/Assert.h"
#include "PanelEdge.h"

namespace {
constexpr float kMinimumSize = 3.0f;
constexpr float kMaximumSize = 200.0f;
} // namespace

BrushToolbar::BrushToolbar(const gfx::Rect& frame, ui::NavigationController* navController, BrushTool* brushTool)
    : ui::View(frame), m_navController(navController), m_brushTool(brushTool)
{
    setBackgroundColor(gfx::Color{0, 0, 0, 0.5f});
    setOpaque(false);

    const gfx::Rect sliderFrame(10, 8, 300, 16);
    const float size = m_brushTool ? static_cast<float>(m_brushTool->size()) : kMinimumSize;
    m_sizeSlider = MakePanelSlider(sliderFrame, kMinimumSize, kMaximumSize, size, "Brush Size",
                                   [this](ui::Control& sender) { sliderAction(sender); });
    addSubview(m_sizeSlider);

    m_hintLabel = MakePanelLabel(sliderFrame, "Brush Size: Start large and reduce to reveal detail");
    m_hintLabel->setLineBreakMode(ui::LineBreakMode::WordWrap);
    addSubview(m_hintLabel);
}

void BrushToolbar::sliderAction(ui::Control& /*sender*/)
{
    if (m_brushTool)
        m_brushTool->setSize(static_cast<int>(std::trunc(m_sizeSlider->value())));
}

void BrushToolbar::updateSettings()
{
    KANVARO_ASSERT(m_brushTool != nullptr);
    m_sizeSlider->setValue(static_cast<float>(m_brushTool->size()));
}

void BrushToolbar::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    DrawPanelEdge(context, frame());
}

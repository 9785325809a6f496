#pragma once
// The brush settings panel of the painting screen: a half-transparent strip above the bottom
// toolbar with a slider for the brush size (3 to 200 canvas pixels) and a one-line hint under
// it. The slider shows the size current when the panel was built or last told to re-read it.
#include <memory>

#include "Toolkit/Label.h"
#include "Toolkit/Slider.h"
#include "Toolkit/View.h"

class BrushTool;
namespace ui {
class NavigationController;
}

class BrushToolbar : public ui::View {
public:
    // `brushTool` must outlive the panel (the painting screen owns both).
    BrushToolbar(const gfx::Rect& frame, ui::NavigationController* navController, BrushTool* brushTool);

    ui::NavigationController* navController() const { return m_navController; }
    void setNavController(ui::NavigationController* navController) { m_navController = navController; }
    BrushTool* brushTool() const { return m_brushTool; }
    void setBrushTool(BrushTool* brushTool) { m_brushTool = brushTool; }
    ui::Slider* sizeSlider() const { return m_sizeSlider.get(); }

    // Writes the slider's value, truncated toward zero, into the brush size.
    void sliderAction(ui::Control& sender);
    // Shows the brush's current size on the slider (after a medium changed it).
    void updateSettings();

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

private:
    ui::NavigationController* m_navController; // kept for the screen; the panel presents nothing
    BrushTool* m_brushTool;
    std::shared_ptr<ui::Slider> m_sizeSlider;
    std::shared_ptr<ui::Label> m_hintLabel;
};

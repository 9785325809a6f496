#pragma once
// The colour settings panel of the painting screen: an opacity slider (0.1 to 1.0) with its
// label, and the colour button, which shows a swirl in photo-paint mode and a blob tinted with
// the brush colour in freehand mode. The button's selected flag records the mode.
#include <functional>
#include <memory>
#include <optional>

#include "ColorPickerViewControllerDelegate.h"
#include "Toolkit/Button.h"
#include "Toolkit/Label.h"
#include "Toolkit/Slider.h"
#include "Toolkit/View.h"

class BrushTool;
namespace ui {
class NavigationController;
}

class ColorToolbar : public ui::View, public ColorPickerViewControllerDelegate {
public:
    // `brushTool` must outlive the panel (the painting screen owns both).
    ColorToolbar(const gfx::Rect& frame, ui::NavigationController* navController, BrushTool* brushTool);

    ui::NavigationController* navController() const { return m_navController; }
    void setNavController(ui::NavigationController* navController) { m_navController = navController; }
    BrushTool* brushTool() const { return m_brushTool; }
    void setBrushTool(BrushTool* brushTool) { m_brushTool = brushTool; }
    ui::Slider* opacitySlider() const { return m_opacitySlider.get(); }
    ui::Button* colorPickerBtn() const { return m_colorPickerBtn.get(); }

    // Runs before a pick puts the brush in photo paint or freehand, so the screen can leave the
    // eraser or the hand first: a picked colour is one to paint with.
    void setWillSetBrushMode(std::function<void()> callback) { m_willSetBrushMode = std::move(callback); }

    // Shows the brush's opacity on the slider.
    void updateSettings();
    void sliderAction(ui::Control& sender);
    // Presents the colour picker, under a bar of its own, modally over the painting screen.
    void colorGlobAction(ui::Control& sender);

    void colorPickerViewControllerDidPickColor(ColorPickerViewController* picker,
                                               std::optional<gfx::Color> color) override;
    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

private:
    // The navigation controller to present from: the one given, else the one of the screen
    // this panel is shown in (the panel may be made before its screen is pushed).
    ui::NavigationController* presentingController() const;
    // The "Glob.png" shape filled with `color`, at the glob picture's own scale.
    ui::ImageAssetRef makeTintedGlob(const gfx::Color& color) const;

    ui::NavigationController* m_navController;
    BrushTool* m_brushTool;
    std::shared_ptr<ui::Slider> m_opacitySlider;
    std::shared_ptr<ui::Label> m_opacityLabel;
    std::shared_ptr<ui::Button> m_colorPickerBtn;
    std::function<void()> m_willSetBrushMode;
};

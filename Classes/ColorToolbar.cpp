#include "ColorToolbar.h"

#include <cmath>

#include "BrushTool.h"
#include "ColorPickerViewController.h"
#include "DataModel.h"
#include "Foundation/Assert.h"
#include "Graphics/AlphaMask.h"
#include "Graphics/BitmapContext.h"
#include "PanelEdge.h"
#include "Toolkit/ImageAsset.h"
#include "Toolkit/NavigationController.h"

namespace {
constexpr float kMinimumOpacity = 0.1f;
constexpr float kMaximumOpacity = 1.0f;
} // namespace

ColorToolbar::ColorToolbar(const gfx::Rect& frame, ui::NavigationController* navController, BrushTool* brushTool)
    : ui::View(frame), m_navController(navController), m_brushTool(brushTool)
{
    setBackgroundColor(gfx::Color{0, 0, 0, 0.5f});
    setOpaque(false);

    const gfx::Rect sliderFrame(0, 15, 240, 16);
    const float opacity = m_brushTool ? m_brushTool->opacity() : kMaximumOpacity;
    m_opacitySlider = MakePanelSlider(sliderFrame, kMinimumOpacity, kMaximumOpacity, opacity, "Opacity",
                                      [this](ui::Control& sender) { sliderAction(sender); });
    addSubview(m_opacitySlider);

    m_opacityLabel = MakePanelLabel(sliderFrame, "Opacity");
    addSubview(m_opacityLabel);

    m_colorPickerBtn = ui::Button::buttonWithType(ui::ButtonType::Custom);
    m_colorPickerBtn->setFrame(gfx::Rect(sliderFrame.maxX() + 20, 15, 57, 35));
    m_colorPickerBtn->setShowsTouchWhenHighlighted(true);
    m_colorPickerBtn->addTarget(ui::ControlEvent::TouchUpInside,
                                [this](ui::Control& sender) { colorGlobAction(sender); });
    m_colorPickerBtn->setImage(ui::imageNamed("Swirl.png"), ui::ControlState::Selected);
    m_colorPickerBtn->setImage(ui::imageNamed("Glob.png"), ui::ControlState::Disabled);
    m_colorPickerBtn->setAccessibilityLabel("Brush Color");
    const DataModel* document = DataModel::sharedDataModel();
    if (document && document->rawImage())
        m_colorPickerBtn->setSelected(true);
    else if (m_brushTool)
        colorPickerViewControllerDidPickColor(nullptr, m_brushTool->color());
    addSubview(m_colorPickerBtn);
}

void ColorToolbar::updateSettings()
{
    KANVARO_ASSERT(m_brushTool != nullptr);
    m_opacitySlider->setValue(m_brushTool->opacity());
}

void ColorToolbar::sliderAction(ui::Control& /*sender*/)
{
    if (m_brushTool)
        m_brushTool->setOpacity(m_opacitySlider->value());
}

void ColorToolbar::colorGlobAction(ui::Control& /*sender*/)
{
    ui::NavigationController* presenter = presentingController();
    if (!m_brushTool || !presenter)
        return;
    auto picker = std::make_shared<ColorPickerViewController>(m_brushTool->mode() == BrushTool::kModePhoto);
    picker->setDelegate(this);
    presenter->presentModalViewController(std::make_shared<ui::NavigationController>(std::move(picker)), true);
}

ui::NavigationController* ColorToolbar::presentingController() const
{
    if (m_navController)
        return m_navController;
    for (ui::Responder* responder = nextResponder(); responder; responder = responder->nextResponder())
        if (auto* controller = dynamic_cast<ui::ViewController*>(responder))
            if (ui::NavigationController* navigation = controller->navigationController())
                return navigation;
    return nullptr;
}

void ColorToolbar::colorPickerViewControllerDidPickColor(ColorPickerViewController* /*picker*/,
                                                         std::optional<gfx::Color> color)
{
    if (!m_brushTool)
        return;
    if (m_willSetBrushMode)
        m_willSetBrushMode();
    if (!color) {
        // Photo paint: the freehand colour and its tinted glob stay for the next time.
        m_brushTool->setMode(BrushTool::kModePhoto);
        m_colorPickerBtn->setSelected(true);
        return;
    }
    m_brushTool->setMode(BrushTool::kModeFreehand);
    m_brushTool->setColor(*color);
    if (ui::ImageAssetRef glob = makeTintedGlob(*color))
        m_colorPickerBtn->setImage(std::move(glob), ui::ControlState::Normal);
    m_colorPickerBtn->setSelected(false);
}

ui::ImageAssetRef ColorToolbar::makeTintedGlob(const gfx::Color& color) const
{
    ui::ImageAssetRef asset = m_colorPickerBtn->imageForState(ui::ControlState::Disabled);
    if (!asset)
        return nullptr;
    const ui::ImageAsset* glob = &asset->forCurrentScale(); // the window may have changed scale
    if (!glob->pixels)
        return nullptr;
    // Drawn at the glob picture's own pixel size, so the tinted blob is as sharp as the original.
    const int w = glob->pixels->width(), h = glob->pixels->height();
    auto context = gfx::BitmapContext::create(w, h);
    if (!context)
        return nullptr;
    // Our contexts' y axis points down, as the picture's rows run: the mask goes in unflipped, so
    // the blob stands as "Glob.png" does (a flip meant for an upward y axis would turn it over).
    context->clearRect(gfx::Rect(0, 0, w, h));
    context->clipToMask(gfx::Rect(0, 0, w, h), gfx::alphaMaskOf(*glob->pixels));
    context->setFillColor(color);
    context->fillRect(gfx::Rect(-1000, -1000, 9024, 9024));
    return ui::ImageAsset::withImage(context->makeImage(), glob->scale);
}

void ColorToolbar::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    DrawPanelEdge(context, frame());
}

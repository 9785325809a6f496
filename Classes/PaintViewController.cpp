#include "PaintViewController.h"

#include <algorithm>
#include <cmath>

#include "AutoPaintRun.h"
#include "BrushTool.h"
#include "BrushToolbar.h"
#include "ColorToolbar.h"
#include "DataModel.h"
#include "RawImage.h"
#include "Toolkit/BarButtonItem.h"
#include "Toolkit/BusyOverlay.h"
#include "Toolkit/Label.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/NavigationItem.h"

namespace {
// The phone screen the spinner is centred on, and the area under the status bar.
constexpr double kScreenWidth = 320;
constexpr double kScreenHeight = 480;
constexpr double kStatusBarHeight = 20;
constexpr double kBarHeight = 44;
constexpr int kBlueprintThumbnailSide = 29;
// The square is first sampled at up to this many times the pixels shown, then shrunk filtered.
constexpr int kBlueprintOversampling = 4;

// The photo's middle square as the blueprint button shows it: 29 points at the screen's scale,
// shrunk with filtering from a finer sample, so it is smooth rather than blocky.
ui::ImageAssetRef makeBlueprintThumbnail(const RawImage& raw)
{
    const double scale = ui::screenScale();
    const int pixels = std::max(1, static_cast<int>(std::lround(kBlueprintThumbnailSide * scale)));
    const int sampled = std::min({raw.width(), raw.height(), pixels * kBlueprintOversampling});
    gfx::ImageRef square = raw.createCompatibleThumbnailAtSize(std::max(1, sampled));
    auto context = square ? gfx::BitmapContext::create(pixels, pixels) : nullptr;
    if (!context)
        return ui::ImageAsset::withImage(raw.createCompatibleThumbnailAtSize(kBlueprintThumbnailSide));
    context->drawImage(gfx::Rect(0, 0, pixels, pixels), *square);
    return ui::ImageAsset::withImage(context->makeImage(), static_cast<double>(pixels) / kBlueprintThumbnailSide);
}
} // namespace

// The painting fills the screen under the translucent bars.
PaintViewController::PaintViewController() { setWantsFullScreenLayout(true); }
PaintViewController::~PaintViewController()
{
    stopPaintingForMe();
    if (m_paintView) {
        m_paintView->setPaintViewDelegate(nullptr);
        if (m_paintView->canvasView())
            m_paintView->canvasView()->setDelegate(nullptr);
    }
    if (m_mediumViewController)
        m_mediumViewController->setDelegate(nullptr);
    if (m_paintPaperSettingsView)
        m_paintPaperSettingsView->setDelegate(nullptr);
}

void PaintViewController::loadView()
{
    const gfx::Rect rootFrame(0, kStatusBarHeight, kScreenWidth, kScreenHeight - kStatusBarHeight);
    m_paintRootView = std::make_shared<ui::ScrollView>(rootFrame);
    m_paintRootView->setScrollEnabled(false);
    m_paintRootView->setBackgroundColor(gfx::Color::white());
    m_paintRootView->setContentInset({-kBarHeight, 0, 0, 0});
    m_paintRootView->setContentOffset({0, 0}); // the inset does not move what is shown
    setView(m_paintRootView);

    const gfx::Rect local(0, 0, rootFrame.width(), rootFrame.height());
    m_paintContainerView = std::make_shared<ui::ScrollView>(local);
    m_paintContainerView->setScrollEnabled(false);
    m_paintRootView->addSubview(m_paintContainerView);

    // The screen hands the document's pieces to its views and brush, which reach no document.
    const DataModel* document = DataModel::sharedDataModel();
    if (document)
        m_paintView =
            PaintView::initWithFrame(local, document->canvasRef(), document->rawImageRef(), document->origImage());
    if (m_paintView) {
        m_paintView->setBouncesZoom(true);
        m_paintView->setScrollsToTop(false); // the status bar's tap is for lists, not the painting
        m_paintView->setPaintViewDelegate(this);
        m_paintView->canvasView()->setDelegate(this);
        // A stroke beginning is a change to the painting, to be saved on the way back.
        m_paintView->canvasView()->brushTool().setStrokeBeganHandler([] {
            if (DataModel* shared = DataModel::sharedDataModel())
                shared->setChangesMade(true);
        });
        const Canvas& canvas = *m_paintView->canvasView()->canvas();
        if (canvas.width() > canvas.height())
            m_paintView->setContentOffset({0, -kBarHeight});
        m_paintContainerView->addSubview(m_paintView);
    }
    if (document && document->rawImage())
        buildSpinner(*m_paintRootView);
    buildModeControl();
    buildToolbar();
    buildSettingsPanels();
}

void PaintViewController::buildSpinner(ui::View& root)
{
    auto overlay = std::make_shared<ui::BusyOverlay>(ui::imageNamed("SpinnerBk.png"), "Creating Blueprint");
    const gfx::Size size = overlay->bounds().size;
    overlay->setFrame(
        gfx::Rect((kScreenWidth - size.width) * 0.5, (kScreenHeight - size.height) * 0.5, size.width, size.height));
    m_spinnerView = overlay->spinner();
    m_spinnerBkView = std::move(overlay);
    m_spinnerBkView->setHidden(false);
    root.addSubview(m_spinnerBkView);
    m_spinnerView->startAnimating();
}

void PaintViewController::buildModeControl()
{
    std::vector<ui::ImageAssetRef> images{ui::imageNamed("Brush.png"), ui::imageNamed("Eraser.png"),
                                          ui::imageNamed("Hand.png")};
    m_modeControl = std::make_shared<ui::SegmentedControl>(images, gfx::Rect(0, 0, 120, 30));
    m_modeControl->setSelectedSegmentIndex(0);
    m_modeControl->setSegmentedControlStyle(ui::SegmentedControlStyle::Bar);
    m_modeControl->setTintColor(gfx::Color{0.33f, 0.33f, 0.33f, 1});
    m_modeControl->setMomentary(false);
    m_modeControl->addTarget(ui::ControlEvent::ValueChanged, [this](ui::Control& sender) { segmentAction(sender); });
    if (m_paintView)
        m_paintView->setMode(PaintView::kModePaint);
    navigationItem().setTitleView(m_modeControl);
}

void PaintViewController::buildToolbar()
{
    m_toolbar = std::make_shared<ui::Toolbar>();
    m_toolbar->setBarStyle(ui::BarStyle::BlackTranslucent);
    auto flexible = [] { return ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::FlexibleSpace, {}); };
    auto imageItem = [this](const char* name, const char* label, void (PaintViewController::*action)()) {
        auto item = ui::BarButtonItem::withImage(ui::imageNamed(name), ui::BarButtonItemStyle::Plain,
                                                 [this, action](ui::BarButtonItem&) { (this->*action)(); });
        item->setAccessibilityLabel(label);
        return item;
    };
    auto action = ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Action,
                                                    [this](ui::BarButtonItem&) { actionAction(); });
    m_toolbar->setItems({makeMediumItem(), flexible(),
                         imageItem("BrushShapesBtn.png", "Brush Settings", &PaintViewController::brushAction),
                         flexible(), imageItem("ColorBtn.png", "Color Settings", &PaintViewController::colorAction),
                         flexible(), imageItem("PaperBtn.png", "Paper", &PaintViewController::paperAction), flexible(),
                         action});
    m_toolbar->sizeToFit();
    // Along the bottom edge of the screen, over the painting.
    const gfx::Rect b = view()->bounds();
    const double h = m_toolbar->bounds().height();
    m_toolbar->setFrame(gfx::Rect(b.minX(), b.maxY() - h, b.width(), h));
    m_paintContainerView->addSubview(m_toolbar);
}

// The medium button shows a preview of the brush as it is now.
ui::BarButtonItemRef PaintViewController::makeMediumItem()
{
    ui::ImageAssetRef preview;
    if (m_paintView)
        preview = ui::ImageAsset::withImage(canvasView().brushTool().createPreviewImage());
    auto item = ui::BarButtonItem::withImage(std::move(preview), ui::BarButtonItemStyle::Plain,
                                             [this](ui::BarButtonItem&) { mediumAction(); });
    item->setAccessibilityLabel("Medium");
    return item;
}

void PaintViewController::refreshMediumButton()
{
    std::vector<ui::BarButtonItemRef> items = m_toolbar->items();
    if (items.empty())
        return;
    items[0] = makeMediumItem();
    m_toolbar->setItems(std::move(items));
}

void PaintViewController::buildSettingsPanels()
{
    const gfx::Rect t = m_toolbar->frame();
    const double h = t.height();
    const gfx::Rect panelFrame(t.x(), t.y() - 1.5 * h, t.width(), 1.5 * h);
    BrushTool* brush = m_paintView ? &canvasView().brushTool() : nullptr;
    m_brushToolbar = std::make_shared<BrushToolbar>(panelFrame, navigationController(), brush);
    m_brushToolbar->setAlpha(0);
    m_paintContainerView->addSubview(m_brushToolbar);
    m_colorToolbar = std::make_shared<ColorToolbar>(panelFrame, navigationController(), brush);
    m_colorToolbar->setAlpha(0);
    m_colorToolbar->setWillSetBrushMode([this] {
        if (m_paintView && m_paintView->mode() != PaintView::kModePaint)
            selectMode(PaintView::kModePaint);
    });
    m_paintContainerView->addSubview(m_colorToolbar);
}

void PaintViewController::viewDidLoad()
{
    const DataModel* document = DataModel::sharedDataModel();
    const bool hasPhoto = document && document->rawImage();
    if (hasPhoto)
        buildBlueprintButton();
    showSettingsToolbar(hasPhoto ? static_cast<ui::View*>(m_brushToolbar.get()) : m_colorToolbar.get());
}

void PaintViewController::buildBlueprintButton()
{
    m_blueprintButton = ui::Button::buttonWithType(ui::ButtonType::Custom);
    m_blueprintButton->setFrame(gfx::Rect(0, 0, 30, 30));
    m_blueprintButton->setBackgroundColor(gfx::Color::black());
    m_blueprintButton->setImageEdgeInsets({1, 1, 0, 0});
    m_blueprintButton->setShowsTouchWhenHighlighted(true);
    const RawImage* raw = DataModel::sharedDataModel()->rawImage();
    m_blueprintButton->setImage(makeBlueprintThumbnail(*raw), ui::ControlState::Normal);
    m_blueprintButton->setAccessibilityLabel("Blueprint");
    m_blueprintButton->addTarget(ui::ControlEvent::TouchDownRepeat, [this](ui::Control&) { outlineRepeatAction(); });
    m_blueprintButton->addTarget(ui::ControlEvent::TouchUpInside, [this](ui::Control&) { toggleOutlineAction(); });
    navigationItem().setRightBarButtonItem(ui::BarButtonItem::withCustomView(m_blueprintButton));
}

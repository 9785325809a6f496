// The painting screen's buttons: mode, settings panels, medium picker, paper page, the action and
// sketch sheets with their alerts, export and the blueprint button.
#include "PaintViewController.h"

#include <filesystem>
#include <new>

#include "BrushToolbar.h"
#include "ColorToolbar.h"
#include "DataModel.h"
#include "Foundation/Assert.h"
#include "Foundation/Paths.h"
#include "OutlineView.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/PhotoAlbum.h"

namespace {
constexpr double kMediumFadeSeconds = 0.25;
constexpr double kPageCurlSeconds = 1.0;
constexpr double kOutlineFadeSeconds = 0.75;

constexpr int kClearConfirmButton = 1;

Canvas* documentCanvas()
{
    DataModel* document = DataModel::sharedDataModel();
    return document ? document->canvas() : nullptr;
}
} // namespace

void PaintViewController::segmentAction(ui::Control& sender)
{
    // The segments are in mode order.
    const int index = static_cast<ui::SegmentedControl&>(sender).selectedSegmentIndex();
    if (index >= static_cast<int>(PaintView::kModePaint) && index <= static_cast<int>(PaintView::kModeMove)
        && m_paintView)
        m_paintView->setMode(static_cast<PaintView::Mode>(index));
}

void PaintViewController::showSettingsToolbar(ui::View* panel)
{
    if (!panel)
        return;
    if (panel->alpha() == 1.0) {
        panel->setAlpha(0);
        return;
    }
    if (m_mediumViewController)
        hideMediumViewController();
    if (panel == m_colorToolbar.get()) {
        m_brushToolbar->setAlpha(0);
        m_colorToolbar->updateSettings();
        m_colorToolbar->setAlpha(1);
    } else if (panel == m_brushToolbar.get()) {
        m_colorToolbar->setAlpha(0);
        m_brushToolbar->updateSettings();
        m_brushToolbar->setAlpha(1);
    }
}

void PaintViewController::brushAction() { showSettingsToolbar(m_brushToolbar.get()); }
void PaintViewController::colorAction() { showSettingsToolbar(m_colorToolbar.get()); }

void PaintViewController::mediumAction()
{
    if (m_mediumViewController) {
        hideMediumViewController();
        return;
    }
    m_brushToolbar->setAlpha(0);
    m_colorToolbar->setAlpha(0);
    m_mediumViewController = std::make_shared<MediumViewController>();
    m_mediumViewController->setDelegate(this);
    ui::View* picker = m_mediumViewController->view();
    picker->setAlpha(0);
    view()->addSubview(m_mediumViewController->viewRef());
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(kMediumFadeSeconds);
    picker->setAlpha(1);
    ui::View::commitAnimations();
}

void PaintViewController::hideMediumViewController()
{
    if (!m_mediumViewController)
        return;
    m_mediumViewController->view()->removeFromSuperview();
    m_mediumViewController->setDelegate(nullptr);
    m_mediumViewController.reset();
}

void PaintViewController::paperAction()
{
    KANVARO_ASSERT(m_paintContainerView->superview() != nullptr);
    if (m_mediumViewController)
        hideMediumViewController();
    Canvas* canvas = documentCanvas();
    // The page is made and marked before the curl starts: built or reloaded inside the animation
    // block, its table would slide into place (the top inset) and its rows and headers move.
    if (!m_paintPaperSettingsView) {
        m_paintPaperSettingsView = std::make_shared<PaperSettingsController>(std::nullopt, gfx::Color::white());
        m_paintPaperSettingsView->setDelegate(this);
    }
    const ui::ViewRef& page = m_paintPaperSettingsView->viewRef();
    if (canvas) {
        m_paintPaperSettingsView->setSelectedTextureName(canvas->textureName());
        m_paintPaperSettingsView->setSelectedColor(canvas->backgroundColor());
    }
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(kPageCurlSeconds);
    ui::View::setAnimationTransition(ui::AnimationTransition::CurlUp, *m_paintRootView);
    m_brushToolbar->setAlpha(0);
    m_colorToolbar->setAlpha(0);
    m_toolbar->setAlpha(0);
    setNavigationBarAlpha(0);
    m_paintContainerView->removeFromSuperview();
    m_paintRootView->addSubview(page);
    ui::View::commitAnimations();
}

void PaintViewController::paperSettingsControllerDidPickTexture(PaperSettingsController& page,
                                                                std::optional<std::string> textureName,
                                                                std::optional<gfx::Color> color)
{
    Canvas* canvas = documentCanvas();
    if ((textureName || color) && canvas && m_paintView) {
        const gfx::Color paper = color.value_or(canvas->backgroundColor());
        canvasView().setBackgroundColor(paper);
        canvas->setBackgroundColor(paper);
        canvas->setTextureName(textureName);
        canvasView().setNeedsDisplay();
    }
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(kPageCurlSeconds);
    ui::View::setAnimationTransition(ui::AnimationTransition::CurlDown, *m_paintRootView);
    page.view()->removeFromSuperview();
    m_paintRootView->insertSubviewAt(m_paintContainerView, 0);
    setNavigationBarAlpha(1);
    m_toolbar->setAlpha(1);
    ui::View::commitAnimations();
}

void PaintViewController::setNavigationBarAlpha(double alpha)
{
    if (ui::NavigationController* navigation = navigationController())
        navigation->navigationBar().setAlpha(alpha);
}

void PaintViewController::actionAction()
{
    // What the painting can do: a time-lapse needs the journal of how it was made, the full size
    // a journal from the start and a full-size photo (or none), painting for the person needs a
    // photo (a blank canvas has none).
    std::vector<std::string> buttons{"Clear Painting", "Export to Photos"};
    if (canExportFullSize())
        buttons.emplace_back("Export Full Size");
    if (Canvas* canvas = documentCanvas(); canvas && canvas->journal())
        buttons.emplace_back("Export Time-lapse");
    if (canPaintForMe())
        buttons.emplace_back("Paint for Me");
    auto sheet = std::make_shared<ui::ActionSheet>("", this, "Cancel", "Undo", std::move(buttons));
    sheet->setTag(kActionSheetTag);
    sheet->showFromToolbar(*m_toolbar);
}

void PaintViewController::outlineRepeatAction()
{
    auto sheet = std::make_shared<ui::ActionSheet>(
        "Sketch the blueprint:", this, "Cancel", "",
        std::vector<std::string>{"Pencil Sketch", "Blue Pen Sketch", "Black Pen Sketch"});
    sheet->setTag(kSketchSheetTag);
    sheet->showFromToolbar(*m_toolbar);
}

void PaintViewController::actionSheetClickedButtonAtIndex(ui::ActionSheet& sheet, int buttonIndex)
{
    Canvas* canvas = documentCanvas();
    if (!canvas || !m_paintView)
        return;
    if (sheet.tag() == kSketchSheetTag) {
        sketchBlueprint(buttonIndex);
        return;
    }
    if (sheet.tag() == kTimeLapseSheetTag) {
        const std::string title = sheet.buttonTitleAtIndex(buttonIndex);
        for (int seconds : {10, 20, 60})
            if (title == std::to_string(seconds) + " Seconds")
                exportTimeLapse(seconds);
        return;
    }
    if (sheet.tag() != kActionSheetTag)
        return;
    // By title: which buttons the sheet offers depends on the painting.
    const std::string title = sheet.buttonTitleAtIndex(buttonIndex);
    if (title == "Undo")
        undoPainting();
    else if (title == "Clear Painting")
        std::make_shared<ui::AlertView>(kClearAlertTitle, "Are you sure? This action is not undoable.", this, "Cancel",
                                        std::vector<std::string>{"Clear"})
            ->show();
    else if (title == "Export to Photos")
        exportPainting();
    else if (title == "Export Full Size")
        exportFullSize();
    else if (title == "Export Time-lapse")
        showTimeLapseSheet();
    else if (title == "Paint for Me")
        paintForMe();
}

void PaintViewController::undoPainting()
{
    Canvas* canvas = documentCanvas();
    if (!canvas || !m_paintView)
        return;
    canvas->undo();
    canvasView().setNeedsDisplay();
}

void PaintViewController::sketchBlueprint(int buttonIndex)
{
    if (buttonIndex < 0 || buttonIndex > 2)
        return;
    const gfx::Color colors[] = {{0.5f, 0.5f, 0.5f, 1}, {0, 0, 1, 1}, {0, 0, 0, 1}};
    canvasView().sketchOutline(colors[buttonIndex]);
    // The sketch took the snapshot: a stroke's pending timer must not merge it into the painting.
    m_paintView->noteSnapshotTaken();
    if (canvasView().outlineView() && canvasView().outlineView()->alpha() == 1.0)
        toggleOutlineAction();
}

void PaintViewController::alertViewClickedButtonAtIndex(ui::AlertView& alert, int buttonIndex)
{
    if (&alert == m_exportProgressAlert.get() && m_exportJob) {
        m_exportJob->cancel(); // its end closes the alert
        return;
    }
    if (alert.title() != kClearAlertTitle || buttonIndex != kClearConfirmButton)
        return;
    if (Canvas* canvas = documentCanvas()) {
        canvas->clear();
        if (m_paintView)
            canvasView().setNeedsDisplay();
    }
}

void PaintViewController::exportPainting()
{
    Canvas* canvas = documentCanvas();
    if (!canvas)
        return;
    gfx::ImageRef image;
    try {
        image = canvas->createThumbnail(std::max(canvas->width(), canvas->height()));
    } catch (const std::bad_alloc&) {
    }
    if (!image) {
        imageDidFinishSaving(fnd::outOfMemory("cannot draw the painting for export"));
        return;
    }
    std::weak_ptr<bool> alive = m_alive;
    ui::saveImageToPhotoAlbum(image, [this, alive](const fnd::Result<std::string>& saved) {
        if (!alive.lock())
            return; // the screen went while the picture was being written
        imageDidFinishSaving(saved);
    });
}

void PaintViewController::imageDidFinishSaving(const fnd::Result<std::string>& saved)
{
    if (!saved) {
        std::string message = kExportFailedMessage;
        if (!saved.reason().empty())
            message += "\n" + saved.reason();
        std::make_shared<ui::AlertView>(kExportFailedTitle, message, this, "OK", std::vector<std::string>{})->show();
        return;
    }
    const std::string folder = std::filesystem::path(saved.value()).parent_path().string();
    std::make_shared<ui::AlertView>("", std::string(kExportedMessage) + "\nSaved in " + fnd::folderForPeople(folder),
                                    this, "OK", std::vector<std::string>{})
        ->show();
}

void PaintViewController::toggleOutlineAction()
{
    if (!m_paintView || !canvasView().outlineView())
        return;
    OutlineView& outline = *canvasView().outlineView();
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(kOutlineFadeSeconds);
    outline.setAlpha(outline.alpha() == 0 ? 1.0 : 0.0);
    ui::View::commitAnimations();
}

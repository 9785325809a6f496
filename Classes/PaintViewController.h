#pragma once
// The painting screen: the zoomable paint view with its canvas, the mode control and the
// blueprint button in the navigation bar, the bottom toolbar (medium, brush settings, colour
// settings, paper, action), the two settings panels above it (at most one shown), the medium
// picker laid over the painting, the paper page swapped in with a page curl, and the
// "Creating Blueprint" spinner. While a stroke is painted the controls fade away.
//
// Controls are shown and hidden through their alpha only (1 shown, 0 hidden); the picker, the
// paper page and the spinner come and go from the view tree. The screen saves nothing: the
// gallery saves the document when it reappears.
#include <memory>
#include <optional>
#include <string>

#include "CanvasView.h"
#include "Foundation/Result.h"
#include "MediumViewController.h"
#include "PaintView.h"
#include "PaintingKeeper.h"
#include "PaperSettingsController.h"
#include "Toolkit/ActionSheet.h"
#include "Toolkit/ActivityIndicator.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/BackgroundJob.h"
#include "Toolkit/BarButtonItem.h"
#include "Toolkit/Button.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/KeyHelpPanel.h"
#include "Toolkit/ScrollView.h"
#include "Toolkit/SegmentedControl.h"
#include "Toolkit/Toolbar.h"
#include "Toolkit/ViewController.h"

class AutoPaintRun;
class BrushToolbar;
class ColorToolbar;
class PaintForMeShield;
struct AutoPaintSettings;

class PaintViewController : public ui::ViewController,
                            public PaintViewDelegate,
                            public CanvasViewDelegate,
                            public MediumViewControllerDelegate,
                            public PaperSettingsControllerDelegate,
                            public ui::ActionSheetDelegate,
                            public ui::AlertViewDelegate {
public:
    // Sheet tags and the alert titles the screen tells apart.
    static constexpr int kActionSheetTag = 1;
    static constexpr int kSketchSheetTag = 2;
    static constexpr int kTimeLapseSheetTag = 3;
    static constexpr const char* kTimeLapseProgressTitle = "Making the Time-lapse";
    static constexpr const char* kFullSizeProgressTitle = "Exporting at Full Size";
    static constexpr const char* kClearAlertTitle = "Clear Painting";
    static constexpr const char* kExportFailedTitle = "Export Failed";
    static constexpr const char* kExportFailedMessage = "The painting could not be exported.";
    static constexpr const char* kExportedMessage = "Export to Photos Completed";
    static constexpr const char* kSaveFailedTitle = "Error";

    PaintViewController();
    ~PaintViewController() override;

    void loadView() override;
    void viewDidLoad() override;
    // Told of each change to the painting and of each save (Ctrl+S), so its recovery copy follows;
    // not owned. None: no recovery copies.
    void setPaintingKeeper(PaintingKeeper* keeper) { m_paintingKeeper = keeper; }

    // The views (valid once the view is loaded).
    ui::ScrollView* paintRootView() const { return m_paintRootView.get(); }
    ui::ScrollView* paintContainerView() const { return m_paintContainerView.get(); }
    PaintView* paintView() const { return m_paintView.get(); }
    PaperSettingsController* paintPaperSettingsView() const { return m_paintPaperSettingsView.get(); }
    MediumViewController* mediumViewController() const { return m_mediumViewController.get(); }
    ui::ImageView* spinnerBkView() const { return m_spinnerBkView.get(); }
    ui::ActivityIndicator* spinnerView() const { return m_spinnerView.get(); }
    ui::Toolbar* toolbar() const { return m_toolbar.get(); }
    BrushToolbar* brushToolbar() const { return m_brushToolbar.get(); }
    ColorToolbar* colorToolbar() const { return m_colorToolbar.get(); }
    ui::SegmentedControl* modeControl() const { return m_modeControl.get(); }
    ui::Button* blueprintButton() const { return m_blueprintButton.get(); }

    // Actions (the senders are not read, but for the mode control's).
    void segmentAction(ui::Control& sender);
    void mediumAction();
    void brushAction();
    void colorAction();
    void paperAction();
    void actionAction();
    void toggleOutlineAction();
    void outlineRepeatAction();

    // Shows `panel` (the brush or the colour toolbar), hiding the other; a shown panel hides.
    void showSettingsToolbar(ui::View* panel);
    void hideMediumViewController();

    void paintViewDidStartPainting(PaintView& paintView, bool painting) override;
    void paintViewDidEndPainting(PaintView& paintView, bool ended) override;
    void canvasViewWillCreateOutline(CanvasView& canvasView) override;
    void canvasViewDidCreateOutline(CanvasView& canvasView) override;
    void mediumViewControllerDidPickMedium(MediumViewController& picker, const MediumValue& medium) override;
    void paperSettingsControllerDidPickTexture(PaperSettingsController& page, std::optional<std::string> textureName,
                                               std::optional<gfx::Color> color) override;
    void actionSheetClickedButtonAtIndex(ui::ActionSheet& sheet, int buttonIndex) override;
    void alertViewClickedButtonAtIndex(ui::AlertView& alert, int buttonIndex) override;
    // Keyboard shortcuts (PaintKeyCommands.cpp): each runs the action of the control it stands
    // for, so undo groups, fades and delegates behave as with a tap.
    bool keyDown(const ui::KeyEvent& event) override;
    bool keyUp(const ui::KeyEvent& event) override;
    // The painting's keys, or the paper page's while it is shown.
    std::vector<ui::KeyShortcut> keyboardShortcuts() const override;

    // "Paint for Me" (PaintViewControllerPaintForMe.cpp): the photo painted automatically with the
    // brush's medium, on photo paintings only. Any touch, key or button stops it first.
    bool canPaintForMe() const;
    void paintForMe();
    void startPaintingForMe(const AutoPaintSettings& settings);
    bool isPaintingForMe() const;
    void stopPaintingForMe();
    void viewWillDisappear(bool animated) override;

    // The photo album's answer to an export: the new file's path, or why there is none. Both
    // alerts say where: the folder it went to, or the system's reason on a second line.
    void imageDidFinishSaving(const fnd::Result<std::string>& saved);

private:
    void buildSpinner(ui::View& root);
    void buildModeControl();
    void buildToolbar();
    void buildSettingsPanels();
    void buildBlueprintButton();
    void setNavigationBarAlpha(double alpha);
    void exportPainting();
    // The time-lapse video (PaintViewControllerTimeLapse.cpp): its length, then a job with progress.
    void showTimeLapseSheet();
    void exportTimeLapse(int seconds);
    // The picture at full size (PaintViewControllerFullSize.cpp).
    bool canExportFullSize() const;
    void exportFullSize();
    // Both exports' job (PaintViewControllerExportJob.cpp): `work` on a thread of its own behind a
    // progress alert with Cancel; at the end an alert says `completed` and the folder of `path`,
    // or "The `what` could not be exported" and why.
    struct ExportJobTexts {
        std::string progressTitle;
        std::string completed;
        std::string what;
    };
    void runExportJob(ui::BackgroundJob::Work work, const std::string& path, ExportJobTexts texts);
    void exportJobDidEnd(ui::BackgroundJob::Outcome outcome, const std::string& reason, const std::string& path,
                         const ExportJobTexts& texts);
    void sketchBlueprint(int buttonIndex);
    ui::BarButtonItemRef makeMediumItem();
    void refreshMediumButton();
    CanvasView& canvasView() const { return *m_paintView->canvasView(); }
    void undoPainting();
    void applyMedium(const MediumValue& medium);
    // Keyboard (PaintKeyCommands.cpp).
    bool commandKey(const ui::KeyEvent& event);
    bool paintingKey(const ui::KeyEvent& event);
    void selectMode(PaintView::Mode mode);
    void stepBrushSize(int direction);
    void saveNow();
    bool closeFrontPanel();
    bool isPaperPageShown() const;
    bool acceptsPaintingKeys() const;
    void paintingForMeEnded();

    std::shared_ptr<ui::ScrollView> m_paintRootView;
    std::shared_ptr<ui::ScrollView> m_paintContainerView;
    std::shared_ptr<PaintView> m_paintView;
    std::shared_ptr<PaperSettingsController> m_paintPaperSettingsView;
    std::shared_ptr<MediumViewController> m_mediumViewController;
    std::shared_ptr<ui::ImageView> m_spinnerBkView;
    std::shared_ptr<ui::ActivityIndicator> m_spinnerView;
    std::shared_ptr<ui::Toolbar> m_toolbar;
    std::shared_ptr<BrushToolbar> m_brushToolbar;
    std::shared_ptr<ColorToolbar> m_colorToolbar;
    std::shared_ptr<ui::SegmentedControl> m_modeControl;
    std::shared_ptr<ui::Button> m_blueprintButton;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true); // late completions check it
    std::unique_ptr<ui::BackgroundJob> m_exportJob;               // dropped (cancelled) with the screen
    std::shared_ptr<ui::AlertView> m_exportProgressAlert;
    float m_prevBrushToolbarAlpha = 0;
    float m_prevColorToolbarAlpha = 0;
    bool m_controlsFadedForStroke = false;            // between a stroke's start and its reported end
    std::optional<PaintView::Mode> m_modeBeforeSpace; // the mode to go back to when Space is let go
    PaintingKeeper* m_paintingKeeper = nullptr;
    std::shared_ptr<PaintForMeShield> m_paintForMeShield;
    std::unique_ptr<AutoPaintRun> m_paintForMe; // last: stops before the views go
};

// The painting screen's keyboard: every shortcut runs the action of the control it stands for
// (the mode control, the brush size slider, the medium picker's delegate call, the action
// sheet's commands, the panels' Cancel), so it behaves as a tap on that control would.
#include <algorithm>

#include "BrushTool.h"
#include "BrushToolbar.h"
#include "ColorToolbar.h"
#include "DataModel.h"
#include "Foundation/Log.h"
#include "GalleryViewController.h"
#include "PaintViewController.h"
#include "Toolkit/Window.h"

namespace {
constexpr double kBrushStepFraction = 0.1; // [ and ] change the size by a tenth, at least by 1

// 1 to 9, 0 and - pick the eleven media in the picker's order.
int mediumIndexForKey(ui::Key key)
{
    if (key >= ui::Key::Digit1 && key <= ui::Key::Digit9)
        return static_cast<int>(key) - static_cast<int>(ui::Key::Digit1);
    if (key == ui::Key::Digit0)
        return 9;
    if (key == ui::Key::Minus)
        return 10;
    return -1;
}
} // namespace

std::vector<ui::KeyShortcut> PaintViewController::keyboardShortcuts() const
{
    if (isPaperPageShown())
        return {
            {"Return", "Done"},
            {"Esc", "Cancel"},
            {"F1  ?", "This list"},
        };
    return {
        {"Ctrl+Z", "Undo"},
        {"Ctrl+S", "Save now"},
        {"Ctrl+E", "Export to Photos"},
        {"B  E  H", "Brush, eraser, hand"},
        {"Space", "Hand while held"},
        {"[  ]", "Smaller, larger brush"},
        {"1 \u2013 9  0  -", "The eleven media"},
        {"Esc", "Cancel what is open"},
        {"F11", "Full screen"},
        {"Ctrl+Q", "Save and quit"},
        {"F1  ?", "This list"},
    };
}

bool PaintViewController::keyDown(const ui::KeyEvent& event)
{
    if (!isViewLoaded() || !m_paintView || !view()->window())
        return ViewController::keyDown(event);
    if (isPaintingForMe()) {
        stopPaintingForMe(); // any key stops the automatic painting; Esc does nothing more
        if (event.key == ui::Key::Escape)
            return true;
    }
    if (commandKey(event) || paintingKey(event))
        return true;
    return ViewController::keyDown(event);
}

bool PaintViewController::keyUp(const ui::KeyEvent& event)
{
    if (event.key == ui::Key::Space && m_modeBeforeSpace) {
        const PaintView::Mode mode = *m_modeBeforeSpace;
        m_modeBeforeSpace.reset();
        selectMode(mode);
        return true;
    }
    return ViewController::keyUp(event);
}

// Keys that work whatever is shown: help, Escape and the Ctrl commands.
bool PaintViewController::commandKey(const ui::KeyEvent& event)
{
    if (event.repeat)
        return false;
    if (event.isHelpRequest())
        return showKeyboardShortcuts();
    if (event.key == ui::Key::Escape && event.isPlain())
        return closeFrontPanel();
    if (event.key == ui::Key::Return && event.isPlain() && isPaperPageShown()) {
        m_paintPaperSettingsView->doneAction();
        return true;
    }
    if (!event.hasOnly(ui::kModifierCtrl) || !acceptsPaintingKeys())
        return false;
    switch (event.key) {
    case ui::Key::Z: undoPainting(); return true;
    case ui::Key::S: saveNow(); return true;
    case ui::Key::E: exportPainting(); return true;
    default: return false;
    }
}

bool PaintViewController::paintingKey(const ui::KeyEvent& event)
{
    if (!event.isPlain() || !acceptsPaintingKeys())
        return false;
    switch (event.key) {
    case ui::Key::B: selectMode(PaintView::kModePaint); return true;
    case ui::Key::E: selectMode(PaintView::kModeErase); return true;
    case ui::Key::H: selectMode(PaintView::kModeMove); return true;
    case ui::Key::Space:
        if (!event.repeat && !m_modeBeforeSpace) {
            m_modeBeforeSpace = m_paintView->mode();
            selectMode(PaintView::kModeMove);
        }
        return true;
    case ui::Key::BracketLeft: stepBrushSize(-1); return true;
    case ui::Key::BracketRight: stepBrushSize(1); return true;
    default: break;
    }
    const int medium = mediumIndexForKey(event.key);
    if (medium < 0 || event.repeat)
        return false;
    applyMedium(g_arMediumValues[medium]);
    return true;
}

void PaintViewController::selectMode(PaintView::Mode mode)
{
    m_modeControl->setSelectedSegmentIndex(static_cast<int>(mode)); // the segments are in mode order
    m_modeControl->sendActionsForControlEvents(ui::ControlEvent::ValueChanged);
}

// Moves the size slider a step from the brush's size, within the slider's range, and lets the
// slider's action truncate it into the brush as a drag of the slider would.
void PaintViewController::stepBrushSize(int direction)
{
    ui::Slider& slider = *m_brushToolbar->sizeSlider();
    const int size = canvasView().brushTool().size();
    const int step = std::max(1, static_cast<int>(size * kBrushStepFraction));
    slider.setValue(static_cast<float>(size + direction * step));
    slider.sendActionsForControlEvents(ui::ControlEvent::ValueChanged);
}

void PaintViewController::saveNow()
{
    DataModel* document = DataModel::sharedDataModel();
    if (!document || !document->canvas())
        return;
    const std::string title = document->fileTitle();
    fnd::Status saved = document->saveToFiles();
    // As on the way back: once saved the recovery copy goes; when the save fails one is written at
    // once, so the strokes since the last copy are not only in memory.
    if (m_paintingKeeper) {
        if (saved)
            m_paintingKeeper->discardPaintingCopy();
        else if (auto kept = m_paintingKeeper->keepPaintingNow(); !kept)
            fnd::log("no recovery copy of the unsaved painting: " + kept.error());
    }
    std::string message = saved ? GalleryViewController::savedBesideMessage(title, document->fileTitle())
                                : "The painting could not be saved.\n" + DataModel::describeSaveFailure(saved.error());
    if (message.empty())
        return;
    std::make_shared<ui::AlertView>(saved ? GalleryViewController::kSavedBesideTitle : kSaveFailedTitle, message, this,
                                    saved ? "OK" : "Cancel", std::vector<std::string>{})
        ->show();
}

// Escape: the front-most of the paper page, the medium picker and a shown settings panel goes,
// as its Cancel (or its button, for the panels) would take it away.
bool PaintViewController::closeFrontPanel()
{
    if (isPaperPageShown()) {
        m_paintPaperSettingsView->cancelAction();
        return true;
    }
    if (m_mediumViewController) {
        hideMediumViewController();
        return true;
    }
    for (ui::View* panel :
         {static_cast<ui::View*>(m_brushToolbar.get()), static_cast<ui::View*>(m_colorToolbar.get())}) {
        if (panel->alpha() == 1.0) {
            showSettingsToolbar(panel); // a shown panel hides
            return true;
        }
    }
    return false;
}

// Keys that change the painting or the brush wait while the paper page covers the painting and
// while a stroke is being painted (no control can be reached then either).
bool PaintViewController::acceptsPaintingKeys() const { return !isPaperPageShown() && !m_paintView->isPainting(); }

bool PaintViewController::isPaperPageShown() const
{
    return m_paintPaperSettingsView && m_paintPaperSettingsView->isViewLoaded()
           && m_paintPaperSettingsView->viewRef()->superview() != nullptr;
}

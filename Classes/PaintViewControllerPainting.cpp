// What the painting screen hears from its views: strokes starting and ending (the controls fade
// away and back), the blueprint being made (the spinner) and a medium being picked.
#include "PaintViewController.h"

#include "BrushTool.h"
#include "BrushToolbar.h"
#include "ColorToolbar.h"

namespace {
constexpr double kFadeOutSeconds = 0.25;
constexpr double kFadeInSeconds = 0.5;
} // namespace

void PaintViewController::paintViewDidStartPainting(PaintView& /*paintView*/, bool /*painting*/)
{
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(kFadeOutSeconds);
    m_toolbar->setAlpha(0);
    // A stroke that starts before the last one's end was reported finds the panels already
    // faded: the alphas to restore are still the ones saved when the controls went away.
    if (!m_controlsFadedForStroke) {
        m_prevColorToolbarAlpha = static_cast<float>(m_colorToolbar->alpha());
        m_prevBrushToolbarAlpha = static_cast<float>(m_brushToolbar->alpha());
        m_controlsFadedForStroke = true;
    }
    m_colorToolbar->setAlpha(0);
    m_brushToolbar->setAlpha(0);
    setNavigationBarAlpha(0);
    ui::View::commitAnimations();
}

void PaintViewController::paintViewDidEndPainting(PaintView& /*paintView*/, bool /*ended*/)
{
    if (m_paintingKeeper)
        m_paintingKeeper->paintingDidChange();
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(kFadeInSeconds);
    m_controlsFadedForStroke = false;
    m_toolbar->setAlpha(1);
    m_colorToolbar->setAlpha(m_prevColorToolbarAlpha);
    m_brushToolbar->setAlpha(m_prevBrushToolbarAlpha);
    setNavigationBarAlpha(1);
    ui::View::commitAnimations();
}

void PaintViewController::canvasViewWillCreateOutline(CanvasView& /*canvasView*/)
{
    if (!m_spinnerBkView)
        return;
    m_spinnerBkView->setHidden(false);
    view()->setNeedsDisplay();
    m_spinnerView->startAnimating();
}

void PaintViewController::canvasViewDidCreateOutline(CanvasView& /*canvasView*/)
{
    if (!m_spinnerBkView)
        return;
    m_spinnerView->stopAnimating();
    m_spinnerBkView->setHidden(true);
}

void PaintViewController::mediumViewControllerDidPickMedium(MediumViewController& /*picker*/, const MediumValue& medium)
{
    applyMedium(medium);
}

void PaintViewController::applyMedium(const MediumValue& medium)
{
    if (!m_paintView)
        return;
    ApplyMediumValue(canvasView().brushTool(), medium);
    refreshMediumButton();
    hideMediumViewController();
    canvasView().setNeedsDisplay();
    m_colorToolbar->updateSettings();
    m_brushToolbar->updateSettings();
}

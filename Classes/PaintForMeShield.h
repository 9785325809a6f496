#pragma once
// Laid over the whole window while the photo is painted automatically: it holds the "Stop" button
// and takes every touch so that any touch stops the painting first. A touch on the painting does
// nothing else (it reaches no brush); a touch on another control of the screen goes on to that
// control, which then does its own work.
#include <functional>
#include <memory>

#include "Toolkit/Button.h"
#include "Toolkit/View.h"

class PaintForMeShield : public ui::View {
public:
    // Over `window`'s bounds; `stop` is called at the first touch (or the Stop button).
    // `painting` is the view whose touches are swallowed.
    PaintForMeShield(const gfx::Rect& frame, ui::View* painting, std::function<void()> stop);

    void touchesBegan(const ui::TouchSet& touches, const ui::Event& event) override;
    void touchesMoved(const ui::TouchSet& touches, const ui::Event& event) override;
    void touchesEnded(const ui::TouchSet& touches, const ui::Event& event) override;
    void touchesCancelled(const ui::TouchSet& touches, const ui::Event& event) override;

private:
    ui::View* painting() const { return m_painting.lock().get(); }

    std::weak_ptr<ui::View> m_painting;
    std::function<void()> m_stop;
    std::shared_ptr<ui::Button> m_stopButton;
    std::shared_ptr<ui::View> m_forwardTo; // the control under a stopping touch
};

#include "PaintForMeShield.h"

#include "Toolkit/Label.h"
#include "Toolkit/Touch.h"
#include "Toolkit/Window.h"

namespace {
constexpr double kButtonWidth = 88;
constexpr double kButtonHeight = 34;
constexpr double kButtonTop = 74; // under the status and navigation bars
} // namespace

PaintForMeShield::PaintForMeShield(const gfx::Rect& frame, ui::View* painting, std::function<void()> stop)
    : ui::View(frame), m_stop(std::move(stop))
{
    if (painting)
        m_painting = painting->weak_from_this();
    setOpaque(false);
    setBackgroundColor(gfx::Color::clear());
    setMultipleTouchEnabled(true);
    m_stopButton = ui::Button::buttonWithType(ui::ButtonType::Custom);
    m_stopButton->setFrame(gfx::Rect((frame.width() - kButtonWidth) / 2, kButtonTop, kButtonWidth, kButtonHeight));
    m_stopButton->setBackgroundColor(gfx::Color{0, 0, 0, 0.65f});
    m_stopButton->setTitle("Stop", ui::ControlState::Normal);
    m_stopButton->setTitleColor(gfx::Color::white(), ui::ControlState::Normal);
    m_stopButton->titleLabel().setFont(ui::Font::boldSystemFont(15));
    m_stopButton->setAccessibilityLabel("Stop");
    m_stopButton->addTarget(ui::ControlEvent::TouchUpInside, [this](ui::Control&) {
        if (auto handler = std::move(m_stop))
            handler();
    });
    addSubview(m_stopButton);
}

void PaintForMeShield::touchesBegan(const ui::TouchSet& touches, const ui::Event& event)
{
    const ui::Touch* touch = touches.anyObject();
    ui::Window* win = window();
    if (touch && win && !m_forwardTo) {
        // What the touch would have reached without the shield.
        setHidden(true);
        ui::View* under = win->hitTest(touch->locationInView(nullptr));
        setHidden(false);
        ui::View* paint = painting();
        if (under && under != this && !(paint && (under == paint || under->isDescendantOfView(paint))))
            m_forwardTo = under->shared_from_this();
    }
    if (auto handler = std::move(m_stop))
        handler();
    if (m_forwardTo)
        m_forwardTo->touchesBegan(touches, event);
}

void PaintForMeShield::touchesMoved(const ui::TouchSet& touches, const ui::Event& event)
{
    if (m_forwardTo)
        m_forwardTo->touchesMoved(touches, event);
}

void PaintForMeShield::touchesEnded(const ui::TouchSet& touches, const ui::Event& event)
{
    if (auto target = std::move(m_forwardTo))
        target->touchesEnded(touches, event);
    removeFromSuperview();
}

void PaintForMeShield::touchesCancelled(const ui::TouchSet& touches, const ui::Event& event)
{
    if (auto target = std::move(m_forwardTo))
        target->touchesCancelled(touches, event);
    removeFromSuperview();
}

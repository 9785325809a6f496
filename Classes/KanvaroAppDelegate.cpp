#include "KanvaroAppDelegate.h"

#include "DemoPaintView.h"
#include "Toolkit/Button.h"
#include "Toolkit/Label.h"
#include "Toolkit/Window.h"

namespace {
const gfx::Color kBackground = gfx::Color::fromBytes(30, 30, 34);
const gfx::Color kPaper = gfx::Color::fromBytes(52, 52, 58);
const gfx::Color kButtonFace = gfx::Color::fromBytes(80, 80, 90);

std::shared_ptr<ui::Label> makeTitle()
{
    auto title = std::make_shared<ui::Label>(gfx::Rect(0, 16, 320, 40));
    title->setText("Kanvaro");
    title->setFont(ui::Font::boldSystemFont(26));
    title->setTextColor(gfx::Color::white());
    title->setTextAlignment(ui::TextAlignment::Center);
    title->setAccessibilityLabel("Kanvaro");
    return title;
}
} // namespace

void KanvaroAppDelegate::applicationDidFinishLaunching(ui::Window& window)
{
    auto root = std::make_shared<ui::View>(window.bounds());
    root->setBackgroundColor(kBackground);
    root->addSubview(makeTitle());

    m_paintView = std::make_shared<DemoPaintView>(gfx::Rect(10, 68, 300, 340));
    m_paintView->setBackgroundColor(kPaper);
    root->addSubview(m_paintView);

    m_clearButton = std::make_shared<ui::Button>(gfx::Rect(110, 422, 100, 40));
    m_clearButton->setBackgroundColor(kButtonFace);
    m_clearButton->setTitle("Clear", ui::ControlState::Normal);
    m_clearButton->setTitleColor(gfx::Color::white(), ui::ControlState::Normal);
    m_clearButton->setShowsTouchWhenHighlighted(true);
    DemoPaintView* paint = m_paintView.get();
    m_clearButton->addTarget(ui::ControlEvent::TouchUpInside, [paint](ui::Control&) { paint->clear(); });
    root->addSubview(m_clearButton);

    window.addSubview(root);
}

void KanvaroAppDelegate::applicationWillTerminate()
{
    // Nothing to save yet: the demo keeps no documents.
    m_terminated = true;
}

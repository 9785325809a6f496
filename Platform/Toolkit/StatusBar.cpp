#include "Toolkit/StatusBar.h"

#include <ctime>

#include "Toolkit/Label.h"
#include "Toolkit/NavigationBarDrawing.h"
#include "Toolkit/ScrollView.h"
#include "Toolkit/Window.h"

namespace ui {

namespace {
constexpr double kFontSize = 12;
constexpr double kStatusSideMargin = 6;
constexpr double kClockInterval = 30;

std::shared_ptr<Label> makeLabel(TextAlignment alignment)
{
    auto label = std::make_shared<Label>();
    label->setFont(Font::boldSystemFont(kFontSize));
    label->setTextAlignment(alignment);
    label->setBackgroundColor(std::nullopt);
    label->setOpaque(false);
    return label;
}

std::string timeOfDay()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local))
        return {};
    char text[16];
    int hour = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    std::snprintf(text, sizeof text, "%d:%02d %s", hour, local.tm_min, local.tm_hour < 12 ? "AM" : "PM");
    return text;
}
} // namespace

gfx::Rect applicationFrame() { return {0, StatusBar::kHeight, 320, 480 - StatusBar::kHeight}; }

StatusBar::StatusBar(double width)
    : View({0, 0, width, kHeight}), m_name(makeLabel(TextAlignment::Left)), m_clock(makeLabel(TextAlignment::Center))
{
    setOpaque(false);
    m_name->setText("Kanvaro");
    addSubview(m_name);
    addSubview(m_clock);
    applyTextColors();
    refreshClock();
}

// A tap on the bar takes the front list back to its top, as on the phone.
void StatusBar::touchesEnded(const TouchSet& touches, const Event& /*event*/)
{
    const Touch* touch = touches.anyObject();
    Window* root = window();
    if (!touch || !root || !bounds().contains(touch->locationInView(this)))
        return;
    std::shared_ptr<View> keep = shared_from_this(); // the scroll may change the tree
    scrollToTopIn(*root);
}

StatusBar::~StatusBar()
{
    if (m_clockTimer)
        m_clockTimer->invalidate();
}

StatusBar& StatusBar::of(Window& window)
{
    for (const auto& view : window.subviews()) {
        if (auto* bar = dynamic_cast<StatusBar*>(view.get()))
            return *bar;
    }
    auto bar = std::make_shared<StatusBar>(window.bounds().width());
    window.addSubview(bar);
    return *bar;
}

void StatusBar::setStyle(StatusBarStyle style, bool /*animated*/)
{
    if (style == m_style)
        return;
    m_style = style;
    applyTextColors();
    setNeedsDisplay();
}

void StatusBar::applyTextColors()
{
    bool dark = m_style != StatusBarStyle::Default;
    gfx::Color text = dark ? gfx::Color::white() : gfx::Color::black();
    for (Label* label : {m_name.get(), m_clock.get()}) {
        label->setTextColor(text);
        label->setShadowColor(dark ? std::nullopt : std::optional(gfx::Color::white().withAlpha(0.6f)));
        label->setShadowOffset({0, 1});
    }
}

void StatusBar::refreshClock() { m_clock->setText(timeOfDay()); }

void StatusBar::didMoveToWindow()
{
    if (m_clockTimer)
        m_clockTimer->invalidate();
    m_clockTimer = nullptr;
    if (!window())
        return;
    refreshClock();
    m_clockTimer = fnd::Timer::scheduledTimer(kClockInterval, true, [this](fnd::Timer&) { refreshClock(); });
}

void StatusBar::layoutSubviews()
{
    gfx::Rect b = bounds();
    m_name->setFrame({b.minX() + kStatusSideMargin, b.minY(), b.width() / 2 - kStatusSideMargin, b.height()});
    m_clock->setFrame(b);
}

void StatusBar::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    gfx::Rect b = bounds();
    switch (m_style) {
    case StatusBarStyle::Default:
        fillGlossyPath(context, gfx::Path::rect(b), b,
                       {{0.9f, 0.9f, 0.9f, 1}, {0.8f, 0.8f, 0.8f, 1}, {0.68f, 0.68f, 0.68f, 1}});
        break;
    case StatusBarStyle::BlackTranslucent:
        context.setFillColor(gfx::Color::black().withAlpha(0.5f));
        context.fillRect(b);
        break;
    case StatusBarStyle::BlackOpaque:
        context.setFillColor(gfx::Color::black());
        context.fillRect(b);
        break;
    }
}

} // namespace ui

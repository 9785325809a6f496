#pragma once
// The status bar: a 20-point strip along the top of the window with the application's name on
// the left and the time of day in the middle. Screens go below it (applicationFrame). A tap on it
// scrolls the front-most list to its top.
#include <memory>

#include "Foundation/Timer.h"
#include "Toolkit/View.h"

namespace ui {

class Label;
class Window;

// With the platform's values.
enum class StatusBarStyle { Default = 0, BlackTranslucent = 1, BlackOpaque = 2 };

class StatusBar : public View {
public:
    static constexpr double kHeight = 20;

    explicit StatusBar(double width = 320);
    ~StatusBar() override;

    // The status bar of `window`, added along its top on first use.
    static StatusBar& of(Window& window);

    StatusBarStyle style() const { return m_style; }
    void setStyle(StatusBarStyle style, bool animated);
    // Shows the current time (also done every half minute while in a window).
    void refreshClock();

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;
    void layoutSubviews() override;
    // A tap scrolls the front-most list that scrolls to the top there (scrollToTopIn).
    void touchesEnded(const TouchSet& touches, const Event& event) override;

protected:
    void didMoveToWindow() override;

private:
    void applyTextColors();

    std::shared_ptr<Label> m_name;
    std::shared_ptr<Label> m_clock;
    fnd::TimerRef m_clockTimer;
    StatusBarStyle m_style = StatusBarStyle::Default;
};

// The screen of 320 x 480 points without the status bar: where screens are placed.
gfx::Rect applicationFrame();

} // namespace ui

#pragma once
// A spinning wheel of twelve spokes that shows work in progress. While animating, a repeating
// run-loop timer turns the bright spoke one step every twelfth of a second, measured on
// fnd::clock(). With hidesWhenStopped (the default) the view is hidden whenever it is stopped.
#include "Foundation/Timer.h"
#include "Toolkit/View.h"

namespace ui {

enum class ActivityIndicatorStyle { WhiteLarge = 0, White = 1, Gray = 2 };

class ActivityIndicator : public View {
public:
    explicit ActivityIndicator(ActivityIndicatorStyle style = ActivityIndicatorStyle::White,
                               const gfx::Rect& frame = {});
    ~ActivityIndicator() override;

    ActivityIndicatorStyle style() const { return m_style; }
    void setStyle(ActivityIndicatorStyle style);
    bool hidesWhenStopped() const { return m_hidesWhenStopped; }
    void setHidesWhenStopped(bool hides);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_timer != nullptr; }
    // The spoke drawn brightest now (0 = straight up, counting clockwise).
    int leadingSpoke() const { return m_leadingSpoke; }

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

private:
    void tick();

    ActivityIndicatorStyle m_style;
    bool m_hidesWhenStopped = true;
    int m_leadingSpoke = 0;
    double m_startTime = 0;
    fnd::TimerRef m_timer;
};

} // namespace ui

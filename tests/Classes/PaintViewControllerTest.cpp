// The painting screen as a person uses it: panels toggle and swap, the medium picker and the paper
// page come and go with the panels hidden after them, strokes fade the controls and bring them
// back as they were, sheets act by index, and the mended faults stay mended.
#include <gtest/gtest.h>

#include "BrushTool.h"
#include "BrushToolbar.h"
#include "ColorToolbar.h"
#include "ColorValues.h"
#include "OutlineView.h"
#include "PaintViewController.h"
#include "PaintViewTestSupport.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/Touch.h"

using painting_test::PaintingViewTest;

namespace {

class PaintScreenTest : public PaintingViewTest {
protected:
    void open()
    {
        screen = std::make_shared<PaintViewController>();
        navigation = std::make_shared<ui::NavigationController>(screen);
        window->addSubview(navigation->viewRef());
        window->display();
    }
    void TearDown() override
    {
        navigation.reset();
        screen.reset();
        PaintingViewTest::TearDown();
    }
    // A stroke across the painting, in window points.
    void stroke(double y = 250)
    {
        window->touchDown(1, {60, y}, now());
        window->touchMove(1, {200, y + 20}, now() + 0.05);
        window->touchUp(1, {200, y + 20}, now() + 0.1);
    }
    std::shared_ptr<PaintViewController> screen;
    std::shared_ptr<ui::NavigationController> navigation;
};

} // namespace

TEST_F(PaintScreenTest, Frames)
{
    blankDocument();
    open();
    auto dump = [](ui::View* v) { auto f = v->convertRectToView(v->bounds(), nullptr); printf("%g %g %g %g\n", f.x(), f.y(), f.width(), f.height()); };
    dump(screen->view());
    dump(screen->paintContainerView());
    dump(screen->paintView());
    dump(screen->toolbar());
    screen->paperAction();
    runUntil(now() + 1.5);
    dump(screen->paintPaperSettingsView()->view());
    dump(screen->paintPaperSettingsView()->tableView());
}

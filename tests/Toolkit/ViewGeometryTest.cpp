#include <cmath>
#include <numbers>

#include "ToolkitTestSupport.h"

namespace {

using namespace toolkit_test;
using gfx::Point;
using gfx::Rect;

void expectNear(Point a, Point b)
{
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
}

TEST(ViewGeometry, FrameCenterBoundsAndTransformAboutTheCentre)
{
    ui::View v(Rect(10, 20, 100, 50));
    EXPECT_EQ(v.center(), (Point{60, 45}));
    EXPECT_EQ(v.bounds(), Rect(0, 0, 100, 50));
    v.setTransform(gfx::AffineTransform::scaling(2, 2));
    EXPECT_EQ(v.frame(), Rect(-40, -5, 200, 100)); // grows about the centre
    EXPECT_EQ(v.center(), (Point{60, 45}));
}

TEST(ViewGeometry, ConvertsPointsThroughOffsetsBoundsOriginsAndTransforms)
{
    auto root = std::make_shared<ui::View>(Rect(0, 0, 320, 480));
    auto a = std::make_shared<ui::View>(Rect(10, 10, 100, 100));
    auto b = std::make_shared<ui::View>(Rect(20, 30, 40, 40));
    root->addSubview(a);
    a->addSubview(b);
    expectNear(b->convertPointToView({0, 0}, nullptr), {30, 40});
    expectNear(root->convertPointToView({30, 40}, b.get()), {0, 0});
    a->setBounds(Rect(5, 5, 100, 100)); // scrolled content
    expectNear(b->convertPointToView({0, 0}, root.get()), {25, 35});
    // A quarter turn clockwise about a's centre (60, 60 in root): b's corner follows.
    a->setBounds(Rect(0, 0, 100, 100));
    a->setTransform(gfx::AffineTransform::rotation(std::numbers::pi / 2));
    Point p = b->convertPointToView({0, 0}, nullptr);
    expectNear(p, {60 - (30 - 50), 60 + (20 - 50)}); // (80, 30)
    expectNear(b->convertPointFromView(p, nullptr), {0, 0});
    Rect r = b->convertRectToView(b->bounds(), nullptr);
    EXPECT_NEAR(r.width(), 40, 1e-9);
}

TEST(ViewGeometry, HitTestSkipsHiddenTransparentAndNonInteractiveViewsAndHonoursTransforms)
{
    auto root = std::make_shared<ui::View>(Rect(0, 0, 320, 480));
    auto back = std::make_shared<ui::View>(Rect(0, 0, 200, 200));
    auto front = std::make_shared<ui::View>(Rect(50, 50, 100, 100));
    root->addSubview(back);
    root->addSubview(front);
    EXPECT_EQ(root->hitTest({60, 60}), front.get());
    EXPECT_EQ(root->hitTest({10, 10}), back.get());
    EXPECT_EQ(root->hitTest({300, 400}), root.get());
    EXPECT_EQ(root->hitTest({-1, 10}), nullptr);

    front->setHidden(true);
    EXPECT_EQ(root->hitTest({60, 60}), back.get());
    front->setHidden(false);
    front->setAlpha(0.005);
    EXPECT_EQ(root->hitTest({60, 60}), back.get());
    front->setAlpha(0.01);
    EXPECT_EQ(root->hitTest({60, 60}), front.get());
    front->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({60, 60}), back.get());
    front->setUserInteractionEnabled(true);

    // Scaled by 0.5 about its centre (100, 100): it now covers 75..125 only.
    front->setTransform(gfx::AffineTransform::scaling(0.5, 0.5));
    EXPECT_EQ(root->hitTest({60, 60}), back.get());
    EXPECT_EQ(root->hitTest({120, 120}), front.get());
    // A subview sticking out of its superview is not hit outside the superview's bounds.
    auto child = std::make_shared<ui::View>(Rect(150, 150, 100, 100));
    back->addSubview(child);
    EXPECT_EQ(root->hitTest({190, 190}), child.get());
    EXPECT_EQ(root->hitTest({220, 220}), root.get());
}

TEST(ViewTree, OrderingOperationsAndTags)
{
    auto root = std::make_shared<ui::View>(Rect(0, 0, 10, 10));
    auto a = std::make_shared<ui::View>(), b = std::make_shared<ui::View>(), c = std::make_shared<ui::View>();
    a->setTag(1);
    b->setTag(2);
    c->setTag(3);
    root->addSubview(a);
    root->addSubview(b);
    root->insertSubviewBelow(c, a.get());
    auto tags = [&] {
        std::vector<int> t;
        for (auto& v : root->subviews())
            t.push_back(v->tag());
        return t;
    };
    EXPECT_EQ(tags(), (std::vector<int>{3, 1, 2}));
    root->bringSubviewToFront(c.get());
    EXPECT_EQ(tags(), (std::vector<int>{1, 2, 3}));
    root->sendSubviewToBack(b.get());
    EXPECT_EQ(tags(), (std::vector<int>{2, 1, 3}));
    root->insertSubviewAbove(b, a.get()); // moving within the same superview
    EXPECT_EQ(tags(), (std::vector<int>{1, 2, 3}));
    root->insertSubviewAt(c, 0);
    EXPECT_EQ(tags(), (std::vector<int>{3, 1, 2}));

    auto grandchild = std::make_shared<ui::View>();
    grandchild->setTag(7);
    b->addSubview(grandchild);
    EXPECT_EQ(root->viewWithTag(7), grandchild.get());
    EXPECT_EQ(root->viewWithTag(99), nullptr);

    a->addSubview(grandchild); // adding elsewhere moves it
    EXPECT_TRUE(b->subviews().empty());
    EXPECT_EQ(grandchild->superview(), a.get());
    grandchild->removeFromSuperview();
    EXPECT_EQ(grandchild->superview(), nullptr);
    EXPECT_EQ(a->subviews().size(), 0u);
}

} // namespace

// Controls driven through the window's touch dispatch: which events fire when, and what the
// controls' values and looks follow.
#include "Toolkit/ActivityIndicator.h"
#include "Toolkit/BarItemButton.h"
#include "Toolkit/Button.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/SegmentedControl.h"
#include "Toolkit/Slider.h"
#include "Toolkit/Toolbar.h"
#include "ToolkitTestSupport.h"

namespace {

using namespace toolkit_test;
using gfx::Rect;
using ui::ControlEvent;
using ui::ControlState;

// Records every event of a control as a letter sequence.
struct EventLog {
    std::string events;
    void watch(ui::Control& control)
    {
        const std::pair<ControlEvent, char> kinds[] = {
            {ControlEvent::TouchDown, 'D'},     {ControlEvent::TouchDownRepeat, 'R'},
            {ControlEvent::TouchUpInside, 'U'}, {ControlEvent::TouchUpOutside, 'O'},
            {ControlEvent::TouchCancel, 'C'},   {ControlEvent::ValueChanged, 'V'}};
        for (auto [event, letter] : kinds)
            control.addTarget(event, [this, letter = letter](ui::Control&) { events += letter; });
    }
};

ui::ImageAssetRef testImage(int w, int h, const std::string& name)
{
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(w * h * 4), 0xff);
    return ui::ImageAsset::withImage(gfx::Image::create(w, h, w * 4, gfx::Image::Alpha::Premultiplied, bytes), 1, name);
}

using ControlsTest = ToolkitTest;

TEST_F(ControlsTest, ButtonSendsTouchUpInsideOnlyWhenTheTouchEndsInside)
{
    auto button = std::make_shared<ui::Button>(Rect(10, 10, 40, 40));
    window->addSubview(button);
    EventLog log;
    log.watch(*button);

    window->touchDown(1, {30, 30}, 0);
    EXPECT_TRUE(button->isHighlighted());
    window->touchUp(1, {30, 30}, 0.1);
    EXPECT_EQ(log.events, "DU");
    EXPECT_FALSE(button->isHighlighted());

    // Dragged well away: no longer highlighted, and lifting there is an up-outside.
    log.events.clear();
    window->touchDown(2, {30, 30}, 1);
    window->touchMove(2, {250, 300}, 1.1);
    EXPECT_FALSE(button->isHighlighted());
    window->touchUp(2, {250, 300}, 1.2);
    EXPECT_EQ(log.events, "DO");

    // Cancelled touches end in TouchCancel; a disabled button reacts to nothing.
    log.events.clear();
    window->touchDown(3, {30, 30}, 2);
    window->cancelAllTouches(2.1);
    button->setEnabled(false);
    window->touchDown(4, {30, 30}, 3);
    window->touchUp(4, {30, 30}, 3.1);
    EXPECT_EQ(log.events, "DC");
}

TEST_F(ControlsTest, ASecondQuickTapAlsoSendsTouchDownRepeat)
{
    auto button = std::make_shared<ui::Button>(Rect(0, 0, 30, 30));
    window->addSubview(button);
    EventLog log;
    log.watch(*button);
    window->touchDown(1, {15, 15}, 0);
    window->touchUp(1, {15, 15}, 0.05);
    window->touchDown(1, {15, 15}, 0.2);
    window->touchUp(1, {15, 15}, 0.25);
    EXPECT_EQ(log.events, "DUDRU");
}

TEST_F(ControlsTest, ButtonStateLookupFallsBackAndAccessibilityFollowsTitleOrImage)
{
    ui::Button button(Rect(0, 0, 57, 35));
    auto swirl = testImage(4, 4, "Swirl.png"), glob = testImage(4, 4, "Glob.png"), tinted = testImage(4, 4, "");
    button.setImage(swirl, ControlState::Selected);
    button.setImage(glob, ControlState::Disabled);
    EXPECT_EQ(button.accessibilityLabel(), ""); // no normal image or title yet
    button.setImage(tinted, ControlState::Normal);
    EXPECT_EQ(button.currentImage(), tinted);
    button.setSelected(true);
    EXPECT_EQ(button.currentImage(), swirl);
    button.setHighlighted(true); // selected and pressed: still the selected picture
    EXPECT_EQ(button.currentImage(), swirl);
    EXPECT_EQ(button.imageForState(ControlState::Disabled), glob);

    ui::Button named;
    named.setImage(glob, ControlState::Normal);
    EXPECT_EQ(named.accessibilityLabel(), "Glob");
    named.setTitle("Delete", ControlState::Normal);
    EXPECT_EQ(named.accessibilityLabel(), "Delete");
    named.setAccessibilityLabel("Remove painting");
    named.setTitle("Erase", ControlState::Normal);
    EXPECT_EQ(named.accessibilityLabel(), "Remove painting"); // an explicit label stays
}

TEST_F(ControlsTest, SliderSendsValueChangedOnEveryMoveAndStopsAtItsEnds)
{
    auto slider = std::make_shared<ui::Slider>(Rect(10, 100, 300, 16));
    slider->setMinimumValue(3);
    slider->setMaximumValue(200);
    slider->setValue(100);
    window->addSubview(slider);
    std::vector<float> values;
    slider->addTarget(ControlEvent::ValueChanged,
                      [&](ui::Control& c) { values.push_back(static_cast<ui::Slider&>(c).value()); });

    // Grab the thumb where it is: no jump at touch-down.
    gfx::Rect thumb = slider->convertRectToView(slider->thumbRect(), nullptr);
    gfx::Point grab{thumb.midX() + 3, thumb.midY()};
    window->touchDown(1, grab, 0);
    EXPECT_TRUE(values.empty());
    EXPECT_FLOAT_EQ(slider->value(), 100);
    window->touchMove(1, {grab.x + 20, grab.y}, 0.1);
    window->touchMove(1, {grab.x + 40, grab.y + 30}, 0.2); // off the track vertically still drags
    ASSERT_EQ(values.size(), 2u);
    EXPECT_LT(100, values[0]);
    EXPECT_LT(values[0], values[1]);
    window->touchMove(1, {-500, grab.y}, 0.3);
    window->touchUp(1, {-500, grab.y}, 0.4);
    EXPECT_FLOAT_EQ(slider->value(), 3);

    // A touch on the track away from the thumb moves it there at once.
    values.clear();
    window->touchDown(2, {10 + 300 - 1, 108}, 1);
    window->touchUp(2, {10 + 300 - 1, 108}, 1.1);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_FLOAT_EQ(values[0], 200);
}

TEST_F(ControlsTest, NonContinuousSliderReportsOnceAtLiftAndValuesAreClamped)
{
    auto slider = std::make_shared<ui::Slider>(Rect(0, 0, 200, 20));
    slider->setContinuous(false);
    window->addSubview(slider);
    int changes = 0;
    slider->addTarget(ControlEvent::ValueChanged, [&](ui::Control&) { ++changes; });
    window->touchDown(1, {100, 10}, 0);
    window->touchMove(1, {150, 10}, 0.1);
    window->touchMove(1, {160, 10}, 0.2);
    EXPECT_EQ(changes, 0);
    window->touchUp(1, {160, 10}, 0.3);
    EXPECT_EQ(changes, 1);

    slider->setValue(7);
    EXPECT_FLOAT_EQ(slider->value(), 1);
    slider->setValue(std::nanf(""));
    EXPECT_FLOAT_EQ(slider->value(), 1);
    slider->setMaximumValue(0.5f);
    EXPECT_FLOAT_EQ(slider->value(), 0.5f);
}

TEST_F(ControlsTest, SegmentedControlSelectsOnTouchDownAndReportsOnlyChanges)
{
    std::vector<ui::ImageAssetRef> items{testImage(8, 8, "Brush.png"), testImage(8, 8, "Eraser.png"),
                                         testImage(8, 8, "Hand.png")};
    auto control = std::make_shared<ui::SegmentedControl>(items, Rect(100, 0, 120, 30));
    control->setSelectedSegmentIndex(0);
    window->addSubview(control);
    std::vector<int> picked;
    control->addTarget(ControlEvent::ValueChanged, [&](ui::Control& c) {
        picked.push_back(static_cast<ui::SegmentedControl&>(c).selectedSegmentIndex());
    });

    window->touchDown(1, {100 + 100, 15}, 0); // third segment
    window->touchUp(1, {100 + 100, 15}, 0.1);
    window->touchDown(1, {100 + 100, 15}, 1); // already selected
    window->touchUp(1, {100 + 100, 15}, 1.1);
    window->touchDown(1, {100 + 50, 15}, 2);
    window->touchUp(1, {100 + 50, 15}, 2.1);
    EXPECT_EQ(picked, (std::vector<int>{2, 1}));
    control->setSelectedSegmentIndex(7); // out of range: nothing selected, nothing sent
    EXPECT_EQ(control->selectedSegmentIndex(), ui::SegmentedControl::kNoSegment);
    EXPECT_EQ(picked.size(), 2u);

    // Each segment can be found by its picture's name, where it lies.
    window->layoutIfNeeded();
    ASSERT_EQ(control->subviews().size(), 3u);
    EXPECT_EQ(control->subviews()[1]->accessibilityLabel(), "Eraser");
    EXPECT_EQ(control->subviews()[1]->frame(), Rect(40, 0, 40, 30));
}

TEST_F(ControlsTest, ToolbarSharesSpareWidthAmongFlexibleSpacesAndItemsRunTheirActions)
{
    std::vector<std::string> ran;
    auto action = [&](ui::BarButtonItem& item) { ran.push_back(item.accessibilityLabel()); };
    auto brush =
        ui::BarButtonItem::withImage(testImage(26, 26, "BrushShapesBtn.png"), ui::BarButtonItemStyle::Plain, action);
    auto share = ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Action, action);
    auto flexible = [] { return ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::FlexibleSpace, nullptr); };
    auto toolbar = std::make_shared<ui::Toolbar>();
    toolbar->setBarStyle(ui::BarStyle::BlackTranslucent);
    toolbar->setItems({brush, flexible(), share});
    toolbar->sizeToFit();
    EXPECT_EQ(toolbar->frame().size, (gfx::Size{320, 44}));
    toolbar->setFrame({0, 436, 320, 44});
    window->addSubview(toolbar);
    window->layoutIfNeeded();

    ui::ViewRef brushView = brush->itemView(ui::BarStyle::BlackTranslucent);
    ui::ViewRef shareView = share->itemView(ui::BarStyle::BlackTranslucent);
    EXPECT_DOUBLE_EQ(brushView->frame().minX(), 6);
    EXPECT_DOUBLE_EQ(shareView->frame().maxX(), 314); // pushed to the right edge
    EXPECT_EQ(shareView->accessibilityLabel(), "Action");

    gfx::Rect shareFrame = shareView->convertRectToView(shareView->bounds(), nullptr);
    window->touchDown(1, {shareFrame.midX(), shareFrame.midY()}, 0);
    window->touchUp(1, {shareFrame.midX(), shareFrame.midY()}, 0.1);
    brush->setEnabled(false);
    brush->sendAction();
    EXPECT_EQ(ran, (std::vector<std::string>{"Action"}));
}

TEST_F(ControlsTest, SystemItemsCarryTheirNamesAndBorderedItemsFitTheirTitles)
{
    const std::pair<ui::BarButtonSystemItem, const char*> names[] = {{ui::BarButtonSystemItem::Add, "Add"},
                                                                     {ui::BarButtonSystemItem::Edit, "Edit"},
                                                                     {ui::BarButtonSystemItem::Done, "Done"},
                                                                     {ui::BarButtonSystemItem::Cancel, "Cancel"}};
    for (auto [system, name] : names) {
        auto item = ui::BarButtonItem::withSystemItem(system, nullptr);
        EXPECT_EQ(item->itemView(ui::BarStyle::Black)->accessibilityLabel(), name);
    }
    auto edit = ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Edit, nullptr);
    auto cancel = ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Cancel, nullptr);
    EXPECT_GT(cancel->naturalWidth(ui::BarStyle::Black), edit->naturalWidth(ui::BarStyle::Black));
}

TEST_F(ControlsTest, ActivityIndicatorSpinsOnTheClockAndHidesWhenStopped)
{
    auto spinner = std::make_shared<ui::ActivityIndicator>(ui::ActivityIndicatorStyle::WhiteLarge, Rect(0, 0, 50, 50));
    window->addSubview(spinner);
    EXPECT_TRUE(spinner->isHidden());
    spinner->startAnimating();
    EXPECT_FALSE(spinner->isHidden());
    runUntil(0.25);
    EXPECT_EQ(spinner->leadingSpoke(), 3);
    runUntil(1.0 + 1.0 / 24);
    EXPECT_EQ(spinner->leadingSpoke(), 0); // a whole turn a second
    spinner->stopAnimating();
    EXPECT_TRUE(spinner->isHidden());
    EXPECT_EQ(fnd::RunLoop::main().timerCount(), 0u);

    // A spinner released while spinning leaves no timer behind to call into it.
    spinner->startAnimating();
    spinner->removeFromSuperview();
    spinner.reset();
    runUntil(2);
    EXPECT_EQ(fnd::RunLoop::main().timerCount(), 0u);
}

TEST_F(ControlsTest, ImagesArePlacedByContentModeAndDrawnAtTheirPointSize)
{
    Rect bounds(0, 0, 100, 50);
    EXPECT_EQ(ui::imageRectForContentMode(ui::ContentMode::ScaleToFill, bounds, {10, 10}), bounds);
    EXPECT_EQ(ui::imageRectForContentMode(ui::ContentMode::ScaleAspectFit, bounds, {20, 10}), Rect(0, 0, 100, 50));
    EXPECT_EQ(ui::imageRectForContentMode(ui::ContentMode::ScaleAspectFit, bounds, {10, 10}), Rect(25, 0, 50, 50));
    EXPECT_EQ(ui::imageRectForContentMode(ui::ContentMode::Center, bounds, {10, 20}), Rect(45, 15, 10, 20));
    EXPECT_TRUE(ui::imageRectForContentMode(ui::ContentMode::ScaleAspectFit, bounds, {0, 10}).isEmpty());
    EXPECT_EQ(ui::imageRectForContentMode(ui::ContentMode::ScaleAspectFill, bounds, {10, 10}), Rect(0, -25, 100, 100));

    // A 2x picture of 8 x 8 pixels covers 4 x 4 points: 8 x 8 pixels of a scale-2 window.
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(8 * 8 * 4, 0xff);
    auto white = ui::ImageAsset::withImage(gfx::Image::create(8, 8, 32, gfx::Image::Alpha::Premultiplied, bytes), 2,
                                           "White.png");
    window->setScale(2);
    window->setBackgroundColor(gfx::Color::black());
    auto view = std::make_shared<ui::ImageView>(white);
    EXPECT_EQ(view->frame(), Rect(0, 0, 4, 4));
    EXPECT_FALSE(view->isUserInteractionEnabled());
    window->addSubview(view);
    window->display();
    EXPECT_GT(window->backingStore()->colorAt(7, 7).red, 0.99f);
    EXPECT_LT(window->backingStore()->colorAt(8, 8).red, 0.01f);

    // Aspect fill covers a wide view and is cut off at its edges.
    view->setFrame({0, 10, 8, 2});
    view->setContentMode(ui::ContentMode::ScaleAspectFill);
    window->display();
    EXPECT_GT(window->backingStore()->colorAt(15, 21).red, 0.99f);
    EXPECT_LT(window->backingStore()->colorAt(15, 17).red, 0.01f); // above the view
    EXPECT_LT(window->backingStore()->colorAt(15, 25).red, 0.01f); // below the view
}

// A picture with many times the pixels it covers (a camera photo) is shrunk once to the pixels it
// covers at the window's scale, not on every frame, and shows as the picture itself would.
TEST_F(ControlsTest, ABigPictureIsDrawnFromACopyAtTheSizeItShows)
{
    constexpr int kWidth = 800, kHeight = 600;
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(std::size_t{kWidth} * kHeight * 4);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = bytes->data() + (static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)) * 4;
            const std::uint8_t stripe = x < kWidth / 2 && x % 2 ? 255 : 0; // averages to grey
            p[0] = stripe;
            p[1] = stripe;
            p[2] = x < kWidth / 2 ? stripe : 255;
            p[3] = y < kHeight / 2 ? 255 : 128; // straight alpha
        }
    auto picture = gfx::Image::create(kWidth, kHeight, kWidth * 4, gfx::Image::Alpha::Straight, bytes);
    auto view = std::make_shared<ui::ImageView>(Rect(10, 10, 100, 75));
    view->setImage(ui::ImageAsset::withImage(picture));
    window->addSubview(view);
    window->setScale(2);
    window->display();
    ASSERT_TRUE(view->shownImage());
    EXPECT_EQ(view->shownImage()->size(), (gfx::Size{200, 150}));
    const gfx::Image* shown = view->shownImage().get();
    view->setNeedsDisplay();
    window->display();
    EXPECT_EQ(view->shownImage().get(), shown); // not made again for the next frame

    window->setScale(3);
    window->display();
    ASSERT_TRUE(view->shownImage());
    EXPECT_EQ(view->shownImage()->size(), (gfx::Size{300, 225}));
    auto expected = gfx::BitmapContext::create(300, 225);
    expected->drawImage({0, 0, 300, 225}, *picture);
    for (int y = 0; y < 225; y += 7)
        for (int x = 0; x < 300; x += 7) {
            const gfx::Color want = expected->colorAt(x, y), got = window->backingStore()->colorAt(30 + x, 30 + y);
            ASSERT_NEAR(got.red * got.alpha, want.red * want.alpha, 3 / 255.0) << x << ", " << y;
            ASSERT_NEAR(got.blue * got.alpha, want.blue * want.alpha, 3 / 255.0) << x << ", " << y;
        }
}

TEST_F(ControlsTest, AnActionMayRemoveAndReleaseItsControl)
{
    auto button = std::make_shared<ui::Button>(Rect(0, 0, 40, 40));
    window->addSubview(button);
    std::weak_ptr<ui::Button> watch = button;
    int after = 0;
    button->addTarget(ControlEvent::TouchUpInside, [&](ui::Control& c) { c.removeFromSuperview(); });
    button->addTarget(ControlEvent::TouchUpInside, [&](ui::Control&) { ++after; });
    button.reset();
    window->touchDown(1, {20, 20}, 0);
    window->touchUp(1, {20, 20}, 0.1);
    EXPECT_EQ(after, 1); // later actions of the same event still run
    EXPECT_TRUE(watch.expired());
}

} // namespace

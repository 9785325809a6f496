// The navigation screens as drawn at scale 2: a few probed pixels for what must show (the
// translucent bar over the content, the title, the plus of Add, the blue Done), and the whole
// screens written to build/screenshots for looking at.
#include <filesystem>

#include "Foundation/FileOps.h"
#include "ImageIO/Encoder.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/StatusBar.h"
#include "ToolkitTestSupport.h"

namespace {

class NavigationLookTest : public toolkit_test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        ASSERT_TRUE(window->setScale(2));
        ui::StatusBar::of(*window).setStyle(ui::StatusBarStyle::BlackTranslucent, false);
    }
    // A screen whose content reaches up under the bar: red stripes on white.
    static std::shared_ptr<ui::ViewController> screen(const std::string& title)
    {
        auto controller = std::make_shared<ui::ViewController>();
        controller->setTitle(title);
        ui::View& content = *controller->view();
        content.setBackgroundColor(gfx::Color::white());
        for (int i = 0; i < 12; ++i)
            content.addSubview(toolkit_test::coloredView({0, -44.0 + i * 40, 320, 20}, {0.85f, 0.1f, 0.1f, 1}));
        return controller;
    }
    gfx::Color pixel(double x, double y) const
    {
        return window->backingStore()->colorAt(static_cast<int>(x * 2), static_cast<int>(y * 2));
    }
    int whitePixels(const gfx::Rect& r) const
    {
        int count = 0;
        for (double y = r.minY(); y < r.maxY(); y += 0.5)
            for (double x = r.minX(); x < r.maxX(); x += 0.5)
                count += pixel(x, y).red > 0.9f && pixel(x, y).blue > 0.9f;
        return count;
    }
    void save(const std::string& name) const
    {
        std::filesystem::path folder = std::filesystem::path(KANVARO_BINARY_DIR) / "screenshots";
        std::filesystem::create_directories(folder);
        const gfx::BitmapContext& store = *window->backingStore();
        auto png = imageio::encodePng({store.constData(), store.width(), store.height(), store.bytesPerRow(), true});
        ASSERT_TRUE(png);
        EXPECT_TRUE(fnd::writeFileAtomically((folder / name).string(), png.value()));
    }
};

TEST_F(NavigationLookTest, TranslucentBarWithTitleSystemItemsAndBackButtonOverContent)
{
    auto gallery = screen("Gallery");
    auto edit = ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Edit, nullptr);
    auto add = ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Add, nullptr);
    gallery->navigationItem().setLeftBarButtonItem(edit);
    gallery->navigationItem().setRightBarButtonItem(add);
    auto navigation = std::make_shared<ui::NavigationController>(gallery);
    navigation->navigationBar().setBarStyle(ui::BarStyle::BlackTranslucent);
    window->insertSubviewAt(navigation->viewRef(), 0);
    window->display();
    save("navigation-gallery.png");

    // Status bar 0..20, navigation bar 20..64 over the red stripe at content y -44..-24.
    gfx::Color underBar = pixel(160, 30);
    EXPECT_GT(underBar.red, underBar.green + 0.05f); // the stripe shows through
    EXPECT_LT(underBar.red, 0.6f);                   // darkened by the bar
    ui::View& title = *navigation->navigationBar().titleView();
    EXPECT_GT(whitePixels(title.convertRectToView(title.bounds(), nullptr)), 40);
    ui::View& plus = *add->itemView(ui::BarStyle::BlackTranslucent, ui::BarPlacement::NavigationBar);
    gfx::Point plusCenter = plus.convertPointToView({plus.bounds().midX(), plus.bounds().midY()}, nullptr);
    EXPECT_GT(pixel(plusCenter.x, plusCenter.y).red, 0.9f);
    EXPECT_LT(pixel(plusCenter.x + 8, plusCenter.y + 8).red, 0.5f); // capsule, off the plus

    // A pushed screen: a back button titled "Gallery", Cancel and Done.
    auto painting = screen("Brush Color");
    auto done = ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Done, nullptr);
    painting->navigationItem().setRightBarButtonItem(done);
    navigation->pushViewController(painting, true);
    runUntil(1);
    window->display();
    save("navigation-pushed.png");
    ui::View& doneView = *navigation->navigationBar().rightView();
    gfx::Point capsuleEdge =
        doneView.convertPointToView({doneView.bounds().minX() + 4, doneView.bounds().midY() + 10}, nullptr);
    gfx::Color blue = pixel(capsuleEdge.x, capsuleEdge.y);
    EXPECT_GT(blue.blue, blue.red + 0.3f);
    EXPECT_EQ(navigation->navigationBar().leftView()->accessibilityLabel(), "Gallery");

    painting->navigationItem().setLeftBarButtonItem(
        ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Cancel, nullptr));
    window->display();
    save("navigation-cancel-done.png");
}

TEST_F(NavigationLookTest, StandaloneBarInTheDefaultStyleIsBlueGrey)
{
    // A page that makes its own bar, as the paper settings do.
    auto page = screen("Paper");
    auto bar = std::make_shared<ui::NavigationBar>();
    auto item = std::make_shared<ui::NavigationItem>("Paper Settings");
    item->setLeftBarButtonItem(ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Cancel, nullptr));
    item->setRightBarButtonItem(ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Done, nullptr));
    bar->pushNavigationItem(item, false);
    page->view()->setFrame(ui::applicationFrame());
    page->view()->addSubview(bar);
    window->insertSubviewAt(page->viewRef(), 0);
    window->display();
    save("navigation-standalone.png");
    gfx::Color background = pixel(100, 60);
    EXPECT_GT(background.blue, background.red + 0.05f);
    EXPECT_GT(background.alpha, 0.99f);
}

} // namespace

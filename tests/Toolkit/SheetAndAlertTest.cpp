// Action sheets and alerts: which index each button reports, that they shut out the screen
// behind them while up and while leaving, and that a delegate gone meanwhile is not called.
#include "Toolkit/ActionSheet.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/Toolbar.h"
#include "ToolkitTestSupport.h"

namespace {

using namespace toolkit_test;

struct Clicks : ui::ActionSheetDelegate, ui::AlertViewDelegate {
    std::vector<std::string> log; // "tag:index:title" per click
    void actionSheetClickedButtonAtIndex(ui::ActionSheet& sheet, int index) override
    {
        log.push_back(std::to_string(sheet.tag()) + ":" + std::to_string(index) + ":"
                      + sheet.buttonTitleAtIndex(index));
    }
    void alertViewClickedButtonAtIndex(ui::AlertView& alert, int index) override
    {
        log.push_back(alert.title() + ":" + std::to_string(index) + ":" + alert.buttonTitleAtIndex(index));
    }
};

class SheetAndAlertTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        window->makeKeyAndVisible();
        toolbar = std::make_shared<ui::Toolbar>(gfx::Rect(0, 436, 320, 44));
        window->addSubview(toolbar);
    }
    // A finger down and up on the middle of `view`, as a person taps.
    void tap(const ui::View& view)
    {
        gfx::Rect b = view.bounds();
        tapAt(view.convertPointToView({b.midX(), b.midY()}, nullptr));
    }
    void tapAt(gfx::Point point)
    {
        window->touchDown(1, point, clock.clock().now());
        window->touchUp(1, point, clock.clock().now());
    }
    void settle() { runUntil(clock.clock().now() + 1); }
    std::shared_ptr<ui::ActionSheet> paintingSheet(ui::ActionSheetDelegate* delegate)
    {
        auto sheet = std::make_shared<ui::ActionSheet>("", delegate, "Cancel", "Undo",
                                                       std::vector<std::string>{"Clear Painting", "Export to Photos"});
        sheet->setTag(1);
        return sheet;
    }

    std::shared_ptr<ui::Toolbar> toolbar;
};

TEST_F(SheetAndAlertTest, SheetButtonsReportDestructiveFirstThenOthersThenCancel)
{
    struct Case {
        std::string destructive;
        std::vector<std::string> others;
        std::vector<std::string> expectedOrder;
    };
    const Case cases[] = {
        {"Undo", {"Clear Painting", "Export to Photos"}, {"Undo", "Clear Painting", "Export to Photos", "Cancel"}},
        {"",
         {"Pencil Sketch", "Blue Pen Sketch", "Black Pen Sketch"},
         {"Pencil Sketch", "Blue Pen Sketch", "Black Pen Sketch", "Cancel"}},
        {"", {"From Photo Library", "Blank Canvas"}, {"From Photo Library", "Blank Canvas", "Cancel"}},
    };
    for (const Case& c : cases) {
        const int count = static_cast<int>(c.expectedOrder.size());
        for (int index = 0; index < count; ++index) {
            Clicks clicks;
            auto sheet = std::make_shared<ui::ActionSheet>("", &clicks, "Cancel", c.destructive, c.others);
            sheet->setTag(7);
            EXPECT_EQ(sheet->cancelButtonIndex(), count - 1);
            EXPECT_EQ(sheet->destructiveButtonIndex(), c.destructive.empty() ? -1 : 0);
            sheet->showFromToolbar(*toolbar);
            settle();
            tap(*sheet->buttonAtIndex(index));
            ASSERT_EQ(clicks.log.size(), 1u);
            EXPECT_EQ(clicks.log[0],
                      "7:" + std::to_string(index) + ":" + c.expectedOrder[static_cast<std::size_t>(index)]);
            settle();
            EXPECT_EQ(sheet->superview(), nullptr) << "the sheet is gone once it has slid away";
            EXPECT_EQ(window->subviews().size(), 1u) << "and so is the dimming";
        }
    }
    // Without a cancel button there is no cancel index; a carriage return breaks the title.
    auto noCancel = std::make_shared<ui::ActionSheet>("One line", nullptr, "", "", std::vector<std::string>{"A"});
    auto twoLines =
        std::make_shared<ui::ActionSheet>("One line\rand another", nullptr, "", "", std::vector<std::string>{"A"});
    EXPECT_EQ(noCancel->cancelButtonIndex(), -1);
    EXPECT_EQ(noCancel->firstOtherButtonIndex(), 0);
    EXPECT_GT(twoLines->bounds().height(), noCancel->bounds().height() + 10);
}

TEST_F(SheetAndAlertTest, AlertButtonsReportCancelFirstThenOthers)
{
    Clicks clicks;
    auto confirm = std::make_shared<ui::AlertView>("Clear Painting", "Are you sure? This action is not undoable.",
                                                   &clicks, "Cancel", std::vector<std::string>{"Clear"});
    EXPECT_EQ(confirm->cancelButtonIndex(), 0);
    EXPECT_EQ(confirm->buttonTitleAtIndex(1), "Clear");
    // Two buttons side by side, the cancel button on the left.
    EXPECT_LT(confirm->buttonAtIndex(0)->frame().maxX(), confirm->buttonAtIndex(1)->frame().minX());
    confirm->show();
    settle();
    tap(*confirm->buttonAtIndex(1));
    settle();
    auto noCancel = std::make_shared<ui::AlertView>("Pick", "", &clicks, "", std::vector<std::string>{"A", "B", "C"});
    EXPECT_EQ(noCancel->cancelButtonIndex(), -1);
    noCancel->show();
    settle();
    tap(*noCancel->buttonAtIndex(2));
    settle();
    EXPECT_EQ(clicks.log, (std::vector<std::string>{"Clear Painting:1:Clear", "Pick:2:C"}));
    EXPECT_EQ(window->subviews().size(), 1u);
}

TEST_F(SheetAndAlertTest, NothingBehindTakesTouchesWhileASheetOrAlertIsUpOrLeaving)
{
    std::vector<std::string> touches;
    auto behind = std::make_shared<RecordingView>(touches, "behind", gfx::Rect(0, 0, 320, 480));
    window->insertSubviewAt(behind, 0);
    Clicks clicks;
    auto sheet = paintingSheet(&clicks);
    sheet->showInView(*behind);
    // Straight away, while the sheet still rises, the screen behind is shut out.
    tapAt({160, 40});
    runUntil(clock.clock().now() + ui::ActionSheet::kSlideSeconds / 2);
    EXPECT_LT(sheet->presentationCenter().y, sheet->center().y + sheet->bounds().height());
    EXPECT_GT(sheet->presentationCenter().y, sheet->center().y);
    settle();
    // One click only: a second tap while the sheet slides away does nothing.
    tap(*sheet->buttonAtIndex(1));
    tap(*sheet->buttonAtIndex(3));
    tapAt({160, 40});
    EXPECT_EQ(clicks.log, (std::vector<std::string>{"1:1:Clear Painting"}));
    EXPECT_TRUE(touches.empty());
    settle();

    auto alert = std::make_shared<ui::AlertView>("Error", "Could not open the selected file.", &clicks, "Cancel",
                                                 std::vector<std::string>{});
    alert->show();
    settle();
    tapAt({160, 40});
    EXPECT_TRUE(touches.empty());
    tap(*alert->buttonAtIndex(0));
    settle();
    tapAt({160, 40});
    EXPECT_EQ(touches, (std::vector<std::string>{"behind.began", "behind.ended"}));
}

TEST_F(SheetAndAlertTest, AButtonTappedAfterTheDelegateWentStillTakesTheSheetDown)
{
    auto clicks = std::make_unique<Clicks>();
    auto sheet = paintingSheet(clicks.get());
    auto alert = std::make_shared<ui::AlertView>("Clear Painting", "", clicks.get(), "Cancel",
                                                 std::vector<std::string>{"Clear"});
    sheet->showFromToolbar(*toolbar);
    alert->show();
    settle();
    clicks.reset(); // the screen that showed them was released
    EXPECT_EQ(sheet->delegate(), nullptr);
    tap(*alert->buttonAtIndex(1));
    settle(); // the alert, on top, shuts out the sheet until it has gone
    tap(*sheet->buttonAtIndex(0));
    settle();
    EXPECT_EQ(window->subviews().size(), 1u);
}

TEST_F(SheetAndAlertTest, ASheetShownAgainWhileLeavingLeavesNoDimmingBehind)
{
    Clicks clicks;
    auto sheet = paintingSheet(&clicks);
    sheet->showFromToolbar(*toolbar);
    settle();
    tap(*sheet->buttonAtIndex(3));
    sheet->showFromToolbar(*toolbar); // before the exit is over
    settle();
    EXPECT_TRUE(sheet->isVisible());
    tap(*sheet->buttonAtIndex(0));
    settle();
    EXPECT_EQ(clicks.log, (std::vector<std::string>{"1:3:Cancel", "1:0:Undo"}));
    EXPECT_EQ(window->subviews().size(), 1u);
}

TEST_F(SheetAndAlertTest, ShowingOutsideAWindowDoesNothing)
{
    auto loose = std::make_shared<ui::View>(gfx::Rect(0, 0, 10, 10));
    auto sheet = paintingSheet(nullptr);
    sheet->showInView(*loose);
    EXPECT_FALSE(sheet->isVisible());
    window.reset(); // no key window any more
    auto alert = std::make_shared<ui::AlertView>("Error", "", nullptr, "Cancel", std::vector<std::string>{});
    alert->show();
    EXPECT_FALSE(alert->isVisible());
}

} // namespace

// The medium picker overlay: rows as tall as their pictures need, pictures that stay in place
// however often the list scrolls and reuses its cells, and a tapped row reported by reference.
#include <gtest/gtest.h>

#include <set>

#include "MediumViewController.h"
#include "PaintViewTestSupport.h"

namespace {

struct RecordingMediumDelegate : MediumViewControllerDelegate {
    void mediumViewControllerDidPickMedium(MediumViewController&, const MediumValue& medium) override
    {
        picked.push_back(&medium);
    }
    std::vector<const MediumValue*> picked;
};

class MediumPickerTest : public painting_test::PaintingViewTest {
protected:
    void SetUp() override
    {
        PaintingViewTest::SetUp();
        picker = std::make_shared<MediumViewController>();
        picker->setDelegate(&delegate);
        window->addSubview(picker->viewRef());
        window->makeKeyAndVisible();
        window->layoutIfNeeded();
    }
    void TearDown() override
    {
        picker.reset();
        PaintingViewTest::TearDown();
    }
    void scrollTo(double y)
    {
        picker->tableView()->setContentOffset({0, y});
        window->layoutIfNeeded();
    }
    RecordingMediumDelegate delegate;
    std::shared_ptr<MediumViewController> picker;
};

} // namespace

TEST_F(MediumPickerTest, RowsAreTallerForTheAirbrushAndPicturesStayShiftedAfterReuse)
{
    ui::TableView& table = *picker->tableView();
    ASSERT_EQ(table.numberOfRowsInSection(0), NUM_MEDIUM_VALUES);
    double total = 0;
    for (int row = 0; row < NUM_MEDIUM_VALUES; ++row) {
        const double height = table.rectForRowAtIndexPath({0, row}).height();
        EXPECT_EQ(height, std::string(g_arMediumValues[row].name) == "Airbrush" ? 91 : 52) << row;
        total += height;
    }
    EXPECT_EQ(total, 611); // taller than the 300-point list: it scrolls

    std::set<const ui::TableViewCell*> cellsSeen;
    for (int pass = 0; pass < 6; ++pass)
        for (double y : {0.0, 150.0, 311.0, 150.0}) {
            scrollTo(y);
            for (ui::TableViewCell* cell : table.visibleCells()) {
                cellsSeen.insert(cell);
                const gfx::AffineTransform shift = cell->contentView()->transform();
                EXPECT_EQ(shift, gfx::AffineTransform::translation(-20, 0)) << cell->accessibilityLabel();
            }
        }
    EXPECT_LT(cellsSeen.size(), static_cast<std::size_t>(NUM_MEDIUM_VALUES)); // cells were reused
}

TEST_F(MediumPickerTest, ATappedRowIsReportedByReferenceThroughThePanel)
{
    scrollTo(0);
    // Row 3 ("Airbrush") spans 156..247 of the list; the list sits at (25, 80) on the screen.
    window->touchDown(1, {140, 80 + 200}, now());
    window->touchUp(1, {140, 80 + 200}, now() + 0.05);
    ASSERT_EQ(delegate.picked.size(), 1u);
    EXPECT_EQ(delegate.picked[0], &g_arMediumValues[3]);
}

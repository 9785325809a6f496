// The colour picker as the colour panel opens it: a tap on the colour button presents it under
// its own bar; its sections follow the document and the ticked mode; "Freehand Paint" only shows
// the colours, Cancel reports nothing, "Photo Paint" and a colour report and close.
#include <gtest/gtest.h>

#include "BrushTool.h"
#include "ColorPickerViewController.h"
#include "ColorToolbar.h"
#include "ColorValues.h"
#include "PaintViewTestSupport.h"
#include "Toolkit/Label.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/NavigationItem.h"

namespace {

using Accessory = ui::TableViewCellAccessoryType;

class ColorPickerTest : public painting_test::PaintingViewTest {
protected:
    // A screen in a navigation controller with the colour panel on it. The panel is given no
    // navigation controller: it finds the screen's when the button is tapped.
    void open()
    {
        screen = std::make_shared<ui::ViewController>();
        navigation = std::make_shared<ui::NavigationController>(screen);
        window->addSubview(navigation->viewRef());
        window->makeKeyAndVisible();
        brush = std::make_unique<BrushTool>(nullptr);
        brush->setMode(DataModel::sharedDataModel()->rawImage() ? BrushTool::kModePhoto : BrushTool::kModeFreehand);
        panel = std::make_shared<ColorToolbar>(gfx::Rect(0, 300, 320, 66), nullptr, brush.get());
        screen->view()->addSubview(panel);
        window->layoutIfNeeded();
    }
    void TearDown() override
    {
        navigation.reset();
        screen.reset();
        panel.reset();
        PaintingViewTest::TearDown();
    }
    // Taps the colour button and lets the picker slide up.
    ColorPickerViewController* tapColorButton()
    {
        const gfx::Rect button = panel->colorPickerBtn()->convertRectToView(panel->colorPickerBtn()->bounds(), nullptr);
        window->touchDown(1, {button.midX(), button.midY()}, now());
        window->touchUp(1, {button.midX(), button.midY()}, now() + 0.05);
        settle();
        auto* presented = dynamic_cast<ui::NavigationController*>(navigation->modalViewController());
        return presented ? dynamic_cast<ColorPickerViewController*>(presented->topViewController()) : nullptr;
    }
    void settle()
    {
        runUntil(now() + 1);
        window->layoutIfNeeded();
    }
    static ui::TableViewCellRef cell(ColorPickerViewController& picker, int section, int row)
    {
        return picker.tableViewCellForRowAtIndexPath(*picker.tableView(), {section, row});
    }
    static void select(ColorPickerViewController& picker, int section, int row)
    {
        picker.tableViewDidSelectRowAtIndexPath(*picker.tableView(), {section, row});
    }

    std::unique_ptr<BrushTool> brush;
    std::shared_ptr<ColorToolbar> panel;
    std::shared_ptr<ui::ViewController> screen;
    std::shared_ptr<ui::NavigationController> navigation;
};

} // namespace

TEST_F(ColorPickerTest, BlankCanvasListsTheColoursOnlyAndAColourIsReportedAndCloses)
{
    blankDocument();
    open();
    ColorPickerViewController* picker = tapColorButton();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->title(), "Brush Color");
    ASSERT_TRUE(picker->navigationItem().leftBarButtonItem());
    ui::TableView& table = *picker->tableView();
    EXPECT_EQ(table.style(), ui::TableViewStyle::Grouped);
    EXPECT_EQ(table.numberOfSections(), 1);
    EXPECT_EQ(table.numberOfRowsInSection(0), NUM_COLOR_VALUES);
    EXPECT_EQ(picker->tableViewTitleForHeaderInSection(table, 0), "");
    EXPECT_EQ(picker->tableViewHeightForFooterInSection(table, 0), 0);
    EXPECT_FALSE(picker->tableViewViewForFooterInSection(table, 0));

    // Every swatch is its colour edge to edge, except White, which gets a grey edge.
    for (int row = 0; row < NUM_COLOR_VALUES; ++row) {
        const ColorValue& value = g_arColorValues[row];
        auto c = cell(*picker, 0, row);
        ASSERT_TRUE(c->image()) << value.name;
        EXPECT_EQ(c->text(), value.name);
        EXPECT_EQ(c->accessoryType(), Accessory::None);
        const gfx::Image& swatch = *c->image()->pixels;
        EXPECT_EQ(swatch.width(), ColorPickerViewController::kSwatchSide);
        const gfx::Color fill = ColorOfValue(value), centre = swatch.colorAt(13, 13), edge = swatch.colorAt(0, 0);
        EXPECT_NEAR(centre.red, fill.red, 0.01) << value.name;
        EXPECT_NEAR(centre.blue, fill.blue, 0.01) << value.name;
        if (std::string(value.name) == "White")
            EXPECT_LT(edge.red, 0.9) << "the white swatch needs its outline";
        else
            EXPECT_NEAR(edge.green, fill.green, 0.01) << value.name << " must have no outline";
    }

    select(*picker, 0, 5); // "Sky"
    EXPECT_EQ(brush->mode(), BrushTool::kModeFreehand);
    EXPECT_FLOAT_EQ(brush->color().red, 0.4f);
    EXPECT_FLOAT_EQ(brush->color().green, 0.8f);
    EXPECT_FLOAT_EQ(brush->color().blue, 1.0f);
    settle();
    EXPECT_FALSE(navigation->modalViewController());
}

TEST_F(ColorPickerTest, PhotoDocumentTicksTheModeFreehandShowsTheColoursCancelKeepsTheBrush)
{
    photoDocument(40, 30);
    open();
    ColorPickerViewController* picker = tapColorButton();
    ASSERT_TRUE(picker);
    EXPECT_TRUE(picker->isPhotoPaint());
    ui::TableView& table = *picker->tableView();
    EXPECT_EQ(table.numberOfSections(), 1); // photo paint ticked: no colours
    EXPECT_EQ(table.numberOfRowsInSection(0), 2);
    EXPECT_EQ(picker->tableViewTitleForHeaderInSection(table, 0), "Paint Mode");
    EXPECT_EQ(cell(*picker, 0, 0)->text(), "Photo Paint");
    EXPECT_EQ(cell(*picker, 0, 0)->accessoryType(), Accessory::Checkmark);
    EXPECT_EQ(cell(*picker, 0, 1)->accessoryType(), Accessory::None);
    EXPECT_EQ(picker->tableViewHeightForFooterInSection(table, 0), ColorPickerViewController::kFooterHeight);
    auto footer = std::dynamic_pointer_cast<ui::Label>(picker->tableViewViewForFooterInSection(table, 0));
    ASSERT_TRUE(footer);
    EXPECT_EQ(footer->text(), "The Photo Paint mode automatically choses\rthe brush color from your photo.");
    // Both lines fit the label's width unwrapped, so the two-line limit cuts nothing.
    EXPECT_LE(footer->sizeThatFits({0, 0}).width, footer->bounds().width());
    EXPECT_LE(footer->sizeThatFits({0, 0}).height, footer->bounds().height());

    select(*picker, 0, 1); // "Freehand Paint": the colours come in, the picker stays
    settle();
    ASSERT_TRUE(navigation->modalViewController());
    EXPECT_FALSE(picker->isPhotoPaint());
    EXPECT_EQ(table.numberOfSections(), 2);
    EXPECT_EQ(table.numberOfRowsInSection(1), NUM_COLOR_VALUES);
    EXPECT_EQ(picker->tableViewTitleForHeaderInSection(table, 1), "Freehand Brush Color");
    EXPECT_EQ(picker->tableViewHeightForFooterInSection(table, 1), 0);
    EXPECT_EQ(cell(*picker, 0, 1)->accessoryType(), Accessory::Checkmark);
    EXPECT_EQ(cell(*picker, 1, 1)->text(), "White");
    EXPECT_EQ(brush->mode(), BrushTool::kModePhoto); // nothing reported yet

    picker->cancelAction();
    settle();
    EXPECT_FALSE(navigation->modalViewController());
    EXPECT_EQ(brush->mode(), BrushTool::kModePhoto);
    EXPECT_TRUE(panel->colorPickerBtn()->isSelected());
}

TEST_F(ColorPickerTest, PhotoPaintChosenInFreehandReportsNoColourAndKeepsTheFreehandColour)
{
    photoDocument(40, 30);
    open();
    panel->colorPickerViewControllerDidPickColor(nullptr, ColorOfValue(g_arColorValues[24])); // "Maraschino"
    ColorPickerViewController* picker = tapColorButton();
    ASSERT_TRUE(picker);
    EXPECT_FALSE(picker->isPhotoPaint());
    EXPECT_EQ(picker->tableView()->numberOfSections(), 2);
    select(*picker, 0, 0);
    EXPECT_EQ(brush->mode(), BrushTool::kModePhoto);
    EXPECT_TRUE(panel->colorPickerBtn()->isSelected());
    EXPECT_FLOAT_EQ(brush->color().red, 1.0f);
    EXPECT_FLOAT_EQ(brush->color().green, 0.0f);
    settle();
    EXPECT_FALSE(navigation->modalViewController());
}

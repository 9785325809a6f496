// What tables look like at scale 2: the grouped pinstripes, white rounded sections, checkmarks
// and highlighted rows. Set KANVARO_SCREENSHOT_DIR to keep the pictures for a look.
#include <cstdlib>

#include "Foundation/FileOps.h"
#include "ImageIO/Encoder.h"
#include "Toolkit/ImageAsset.h"
#include "Toolkit/Label.h"
#include "Toolkit/TableView.h"
#include "ToolkitTestSupport.h"

namespace {

using namespace toolkit_test;
using gfx::Rect;
using ui::IndexPath;
using ui::TableView;
using ui::TableViewCell;

ui::ImageAssetRef swatch(const gfx::Color& color)
{
    auto context = gfx::BitmapContext::create(26, 26);
    context->setFillColor(color);
    context->fillRect({0, 0, 26, 26});
    return ui::ImageAsset::withImage(context->makeImage());
}

// A brush colour picker: the paint mode with its note below, then named colours.
class Picker : public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    int numberOfSectionsInTableView(TableView&) override { return 2; }
    int tableViewNumberOfRowsInSection(TableView&, int section) override { return section == 0 ? 2 : 6; }
    std::string tableViewTitleForHeaderInSection(TableView&, int section) override
    {
        return section == 0 ? "Paint Mode" : "Freehand Brush Color";
    }
    ui::TableViewCellRef tableViewCellForRowAtIndexPath(TableView& table, const IndexPath& path) override
    {
        std::string identifier = "myTableViewCell " + std::to_string(path.section);
        auto cell = table.dequeueReusableCell(identifier);
        if (!cell)
            cell = std::make_shared<TableViewCell>(Rect{}, identifier);
        if (path.section == 0) {
            cell->setText(path.row == 0 ? "Photo Paint" : "Freehand Paint");
            cell->setAccessoryType(path.row == 1 ? ui::TableViewCellAccessoryType::Checkmark
                                                 : ui::TableViewCellAccessoryType::None);
            return cell;
        }
        static const std::pair<const char*, gfx::Color> colors[] = {{"Black", {0, 0, 0, 1}},
                                                                    {"Brick Red", {0.6f, 0.15f, 0.1f, 1}},
                                                                    {"Sky Blue", {0.4f, 0.7f, 0.95f, 1}},
                                                                    {"Leaf Green", {0.3f, 0.6f, 0.2f, 1}},
                                                                    {"Sunflower", {0.98f, 0.8f, 0.1f, 1}},
                                                                    {"White", {1, 1, 1, 1}}};
        cell->setText(colors[path.row].first);
        cell->setImage(swatch(colors[path.row].second));
        return cell;
    }
    double tableViewHeightForFooterInSection(TableView&, int section) override { return section == 0 ? 44 : 0; }
    ui::ViewRef tableViewViewForFooterInSection(TableView&, int section) override
    {
        if (section != 0)
            return nullptr;
        auto note = std::make_shared<ui::Label>(Rect{0, 0, 280, 44});
        note->setText("The Photo Paint mode automatically choses\rthe brush color from your photo.");
        note->setNumberOfLines(2);
        note->setTextAlignment(ui::TextAlignment::Center);
        note->setFont(ui::Font::systemFont(13));
        note->setTextColor({0.3f, 0.34f, 0.42f, 1});
        return note;
    }
};

class TableViewDrawingTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        ui::setScreenScale(2);
        window->setScale(2);
    }
    void TearDown() override
    {
        ui::setScreenScale(1);
        ToolkitTest::TearDown();
    }
    gfx::Color pixel(double x, double y) const
    {
        return window->backingStore()->colorAt(static_cast<int>(x * 2), static_cast<int>(y * 2));
    }
    void keep(const std::string& name) const
    {
        const char* dir = std::getenv("KANVARO_SCREENSHOT_DIR");
        if (!dir || !*dir)
            return;
        const gfx::BitmapContext& store = *window->backingStore();
        imageio::PixelsView view{store.constData(), store.width(), store.height(), store.bytesPerRow(), true};
        auto png = imageio::encodePng(view);
        ASSERT_TRUE(png.ok());
        EXPECT_TRUE(fnd::writeFileAtomically(std::string(dir) + "/" + name, png.value()));
    }
};

bool near(const gfx::Color& a, const gfx::Color& b)
{
    return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue) < 0.06;
}

TEST_F(TableViewDrawingTest, GroupedSectionsAreWhiteRoundedBoxesOnPinstripes)
{
    Picker picker;
    auto table = std::make_shared<TableView>(Rect{0, 0, 320, 480}, ui::TableViewStyle::Grouped);
    table->setDataSource(&picker);
    table->setDelegate(&picker);
    window->addSubview(table);
    window->display();
    keep("grouped-table.png");

    // Stripes one point wide; the section's corner shows them, its middle is white.
    EXPECT_FALSE(near(pixel(0, 20), pixel(1, 20)));
    EXPECT_TRUE(near(pixel(0, 20), pixel(2, 20)));
    Rect first = table->rectForRowAtIndexPath({0, 0});
    EXPECT_TRUE(near(pixel(first.minX() + 0.5, first.minY() + 0.5), pixel(first.minX() - 2, first.minY() + 0.5)));
    EXPECT_TRUE(near(pixel(first.midX(), first.minY() + 3), gfx::Color::white()));
    // The checkmark of "Freehand Paint" is blue; "Photo Paint" has none.
    Rect checked = table->rectForRowAtIndexPath({0, 1});
    gfx::Color tick = pixel(checked.maxX() - 18, checked.midY() + 2);
    EXPECT_GT(tick.blue, tick.red + 0.2);
    EXPECT_TRUE(near(pixel(first.maxX() - 18, first.midY() + 2), gfx::Color::white()));
}

TEST_F(TableViewDrawingTest, PlainRowsFillTheWidthAndASelectedRowTurnsBlue)
{
    Picker picker;
    auto table = std::make_shared<TableView>(Rect{0, 0, 320, 480}, ui::TableViewStyle::Plain);
    table->setDataSource(&picker);
    table->setDelegate(&picker);
    window->addSubview(table);
    window->layoutIfNeeded();
    table->selectRowAtIndexPath({1, 2}, false);
    window->display();
    keep("plain-table.png");

    Rect row = table->rectForRowAtIndexPath({1, 0});
    EXPECT_TRUE(near(pixel(1, row.midY()), gfx::Color::white()));
    EXPECT_TRUE(near(pixel(1, row.maxY() - 0.25), {0.88f, 0.88f, 0.88f, 1})); // the separator
    Rect selected = table->rectForRowAtIndexPath({1, 2});
    gfx::Color highlight = pixel(300, selected.midY());
    EXPECT_GT(highlight.blue, 0.8);
    EXPECT_LT(highlight.red, 0.2);
}

} // namespace

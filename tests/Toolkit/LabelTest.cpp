// Label measurement and drawing: point-sized fonts, wrapping, "\r" line breaks, line limits.
#include "Toolkit/Label.h"
#include "ToolkitTestSupport.h"

namespace {

using namespace toolkit_test;
using gfx::Rect;

std::shared_ptr<ui::Label> makeLabel(const std::string& text, ui::Font font)
{
    auto label = std::make_shared<ui::Label>(Rect(0, 0, 300, 100));
    label->setFont(font);
    label->setText(text);
    return label;
}

TEST(LabelTest, FontSizesAreInPointsWhateverTheScale)
{
    auto label = makeLabel("Creating Blueprint", ui::Font::boldSystemFont(12));
    gfx::Size size = label->sizeThatFits({});
    // One line of a 12-point font: a little taller than 12 points, far from a 96-dpi 16.
    EXPECT_GE(size.height, 12);
    EXPECT_LE(size.height, 16);
    auto regular = makeLabel("Creating Blueprint", ui::Font::systemFont(12));
    EXPECT_GT(size.width, regular->sizeThatFits({}).width); // bold is wider
    auto big = makeLabel("Creating Blueprint", ui::Font::boldSystemFont(24));
    EXPECT_NEAR(big->sizeThatFits({}).width, 2 * size.width, 2);
}

TEST(LabelTest, CarriageReturnBreaksTheLineAndNumberOfLinesLimitsWhatShows)
{
    const std::string greeting = "Turn your photo into a masterpiece or\rpaint your own from scratch.";
    auto label = makeLabel(greeting, ui::Font::systemFont(13));
    double oneLine = makeLabel("Turn", ui::Font::systemFont(13))->sizeThatFits({}).height;
    EXPECT_DOUBLE_EQ(label->sizeThatFits({}).height, oneLine); // one line by default
    label->setNumberOfLines(0);
    gfx::Size both = label->sizeThatFits({});
    EXPECT_NEAR(both.height, 2 * oneLine, 1);
    // The wider line decides the width: the break did happen at the "\r".
    EXPECT_NEAR(both.width,
                makeLabel("Turn your photo into a masterpiece or", ui::Font::systemFont(13))->sizeThatFits({}).width,
                1);
}

TEST(LabelTest, WordWrapKeepsLinesWithinTheWidthAndTruncationKeepsOneLine)
{
    const std::string hint = "Brush Size: Start large and reduce to reveal detail";
    auto wrapped = makeLabel(hint, ui::Font::boldSystemFont(10));
    wrapped->setNumberOfLines(0);
    double singleHeight = makeLabel("B", ui::Font::boldSystemFont(10))->sizeThatFits({}).height;
    gfx::Size narrow = wrapped->sizeThatFits({100, 0});
    EXPECT_LE(narrow.width, 100);
    EXPECT_GE(narrow.height, 3 * singleHeight - 1);
    wrapped->setNumberOfLines(2);
    EXPECT_NEAR(wrapped->sizeThatFits({100, 0}).height, 2 * singleHeight, 1);

    auto truncated = makeLabel(hint, ui::Font::boldSystemFont(10));
    truncated->setLineBreakMode(ui::LineBreakMode::TailTruncation);
    gfx::Size cut = truncated->sizeThatFits({100, 0});
    EXPECT_LE(cut.width, 100);
    EXPECT_DOUBLE_EQ(cut.height, singleHeight);
}

class LabelDrawingTest : public ToolkitTest {};

TEST_F(LabelDrawingTest, CentredTextIsDrawnInItsColourAroundTheMiddleOnly)
{
    window->setScale(2);
    window->setBackgroundColor(gfx::Color::black());
    auto label = std::make_shared<ui::Label>(Rect(0, 0, 200, 40));
    label->setText("IIIIII");
    label->setFont(ui::Font::boldSystemFont(20));
    label->setTextColor(gfx::Color::white());
    label->setTextAlignment(ui::TextAlignment::Center);
    window->addSubview(label);
    window->display();
    const gfx::BitmapContext& store = *window->backingStore();
    gfx::Rect text = label->textRect();
    auto brightInColumns = [&](int x0, int x1) {
        int count = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = x0; x < x1; ++x)
                count += store.colorAt(x, y).red > 0.9f;
        return count;
    };
    EXPECT_GT(brightInColumns(180, 220), 50); // the middle of 400 pixels
    EXPECT_EQ(brightInColumns(0, 100), 0);    // nothing at the left edge
    EXPECT_NEAR(text.midY(), 20, 0.5);
}

} // namespace

// The table's own look: the grouped pinstripe background, section titles and footer views.
#include <algorithm>
#include <cmath>

#include "Toolkit/Label.h"
#include "Toolkit/TableView.h"

namespace ui {

namespace {
constexpr double kTitleInset = 19; // grouped titles line up with the cells' text
constexpr double kSectionTitleHeight = 22;
constexpr double kTitleGapBelow = 8;
const gfx::Color kPinstripeBase{0.773f, 0.800f, 0.835f, 1};
const gfx::Color kPinstripeLight{0.808f, 0.835f, 0.867f, 1};
const gfx::Color kGroupedTitle{0.30f, 0.34f, 0.42f, 1};
const gfx::Color kPlainHeaderTop{0.56f, 0.62f, 0.68f, 1};
const gfx::Color kPlainHeaderBottom{0.70f, 0.74f, 0.78f, 1};

// The bar above a plain table's section: a grey-blue gradient under its title.
class PlainSectionHeader : public View {
public:
    explicit PlainSectionHeader(const gfx::Rect& frame) : View(frame) { setOpaque(false); }
    void drawRect(gfx::BitmapContext& context, const gfx::Rect&) override
    {
        gfx::Rect b = bounds();
        gfx::GStateSaver saver(context);
        context.clipToRect(b);
        context.drawLinearGradient({{0, kPlainHeaderTop}, {1, kPlainHeaderBottom}}, {0, b.minY()}, {0, b.maxY()});
    }
};
} // namespace

std::shared_ptr<View> TableView::makeHeaderView(const TableSectionLayout& section) const
{
    double width = bounds().width();
    auto label = std::make_shared<Label>();
    label->setText(section.title);
    label->setFont(Font::boldSystemFont(m_style == TableViewStyle::Grouped ? 17 : 18));
    label->setLineBreakMode(LineBreakMode::TailTruncation);
    if (m_style == TableViewStyle::Grouped) {
        label->setTextColor(kGroupedTitle);
        label->setShadowColor(gfx::Color::white());
        label->setShadowOffset({0, 1});
        double top = section.headerTop + section.headerHeight - kTitleGapBelow - kSectionTitleHeight;
        label->setFrame({kTitleInset, top, std::max(0.0, width - 2 * kTitleInset), kSectionTitleHeight});
        return label;
    }
    auto bar = std::make_shared<PlainSectionHeader>(gfx::Rect{0, section.headerTop, width, section.headerHeight});
    label->setTextColor(gfx::Color::white());
    label->setShadowColor(gfx::Color{0, 0, 0, 0.45f});
    label->setShadowOffset({0, 1});
    label->setFrame({12, 0, std::max(0.0, width - 24), section.headerHeight});
    bar->addSubview(label);
    return bar;
}

void TableView::placeSectionViews()
{
    for (const auto& view : m_sectionViews)
        view->removeFromSuperview();
    m_sectionViews.clear();
    double width = bounds().width();
    const auto& sections = m_layout.sections();
    for (std::size_t s = 0; s < sections.size(); ++s) {
        const TableSectionLayout& section = sections[s];
        if (!section.title.empty())
            m_sectionViews.push_back(makeHeaderView(section));
        if (!m_delegate || section.footerHeight <= 0)
            continue;
        std::shared_ptr<View> footer = m_delegate->tableViewViewForFooterInSection(*this, static_cast<int>(s));
        if (!footer)
            continue;
        double footerWidth = std::min(footer->frame().width(), width);
        footer->setFrame({(width - footerWidth) / 2, section.footerTop, footerWidth, section.footerHeight});
        m_sectionViews.push_back(std::move(footer));
    }
    for (const auto& view : m_sectionViews)
        addSubview(view);
}

void TableView::drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty)
{
    if (m_style == TableViewStyle::Grouped && !backgroundColor())
        drawPinstripes(context, dirty);
}

void TableView::drawPinstripes(gfx::BitmapContext& context, const gfx::Rect& dirty)
{
    context.setFillColor(kPinstripeBase);
    context.fillRect(dirty);
    // Light stripes one point wide every two points, fixed to the table's sides. The path covers
    // one screenful from x = 0 and is made again only when the size changes, not every frame.
    gfx::Size size = bounds().size;
    if (size != m_stripesSize) {
        m_stripesSize = size;
        m_stripes = gfx::Path();
        for (double x = 0; x < size.width; x += 2)
            m_stripes.addRect({x, 0, 1, size.height});
    }
    if (size.width <= 0 || size.height <= 0)
        return;
    gfx::GStateSaver saver(context);
    context.clipToRect(dirty);
    context.setFillColor(kPinstripeLight);
    for (double y = dirty.minY(); y < dirty.maxY(); y += size.height) {
        gfx::GStateSaver step(context);
        context.translate(0, y);
        context.fillPath(m_stripes);
    }
}

} // namespace ui

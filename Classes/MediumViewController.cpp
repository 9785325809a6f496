#include "MediumViewController.h"

#include <cstring>

#include "Foundation/Assert.h"
#include "Toolkit/ImageView.h"

namespace {
const gfx::Rect kPanelFrame(20, 75, 280, 330);
const gfx::Rect kTableFrame(5, 5, 270, 300);
// Rows show their pictures shifted left of the cell's usual image place.
constexpr double kContentShift = -20;

std::string reuseIdentifier(int section) { return "myTableViewCell " + std::to_string(section); }
} // namespace

MediumViewController::MediumViewController() = default;

MediumViewController::~MediumViewController()
{
    if (m_tableView) {
        m_tableView->setDataSource(nullptr);
        m_tableView->setDelegate(static_cast<ui::TableViewDelegate*>(nullptr));
    }
}

void MediumViewController::loadView()
{
    auto root = std::make_shared<ui::ImageView>(ui::imageNamed("MediumBk.png"));
    root->setFrame(kPanelFrame);
    root->setOpaque(false);
    root->setUserInteractionEnabled(true);
    setView(root);

    m_tableView = std::make_shared<ui::TableView>(kTableFrame, ui::TableViewStyle::Plain);
    m_tableView->setDelegate(static_cast<ui::TableViewDelegate*>(this));
    m_tableView->setDataSource(this);
    m_tableView->setScrollEnabled(true);
    m_tableView->setOpaque(false);
    m_tableView->setBackgroundColor(gfx::Color::clear());
    m_tableView->setSeparatorColor(gfx::Color{0, 0, 0, 0.5f});
    m_tableView->setContentInset({0, 0, 0, 0});
    root->addSubview(m_tableView);
}

int MediumViewController::numberOfSectionsInTableView(ui::TableView& /*tableView*/) { return 1; }

int MediumViewController::tableViewNumberOfRowsInSection(ui::TableView& /*tableView*/, int /*section*/)
{
    return NUM_MEDIUM_VALUES;
}

std::string MediumViewController::tableViewTitleForHeaderInSection(ui::TableView& /*tableView*/, int /*section*/)
{
    return {};
}

double MediumViewController::tableViewHeightForRowAtIndexPath(ui::TableView& /*tableView*/,
                                                              const ui::IndexPath& indexPath)
{
    if (indexPath.row >= 0 && indexPath.row < NUM_MEDIUM_VALUES
        && std::strcmp(g_arMediumValues[indexPath.row].shapeName, "Airbrush") == 0)
        return kAirbrushRowHeight;
    return kRowHeight;
}

ui::TableViewCellRef MediumViewController::tableViewCellForRowAtIndexPath(ui::TableView& tableView,
                                                                          const ui::IndexPath& indexPath)
{
    KANVARO_ASSERT(indexPath.row >= 0 && indexPath.row < NUM_MEDIUM_VALUES);
    const std::string identifier = reuseIdentifier(indexPath.section);
    ui::TableViewCellRef cell = tableView.dequeueReusableCell(identifier);
    if (!cell) {
        cell = std::make_shared<ui::TableViewCell>(gfx::Rect(), identifier);
        cell->setBackgroundColor(gfx::Color::clear());
    }
    const MediumValue& medium = g_arMediumValues[indexPath.row];
    cell->setImage(ui::imageNamed(std::string(medium.shapeName) + "_medium.png"));
    cell->setAccessibilityLabel(medium.name);
    // Set, not added to: a reused cell keeps its shift and must not move further.
    cell->contentView()->setTransform(gfx::AffineTransform::translation(kContentShift, 0));
    return cell;
}

void MediumViewController::tableViewDidSelectRowAtIndexPath(ui::TableView& /*tableView*/,
                                                            const ui::IndexPath& indexPath)
{
    if (indexPath.row < 0 || indexPath.row >= NUM_MEDIUM_VALUES || !m_delegate)
        return;
    // The delegate may release this picker during the call: nothing may follow it.
    m_delegate->mediumViewControllerDidPickMedium(*this, g_arMediumValues[indexPath.row]);
}

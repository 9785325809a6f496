#include "PaperSettingsController.h"

#include "ColorValues.h"
#include "Foundation/Assert.h"
#include "Graphics/NamedImages.h"
#include "TextureValues.h"
#include "Toolkit/NavigationItem.h"

namespace {
constexpr int kTextureSection = 0;
constexpr double kPaperBarHeight = 44;
const gfx::Rect kPageFrame(0, 0, 320, 480);

std::string reuseIdentifier(int section) { return "myTableViewCell " + std::to_string(section); }

// A texture's row picture: its top-left swatch-sized corner when larger.
ui::ImageAssetRef texturePicture(const std::string& name)
{
    gfx::ImageRef image = gfx::imageNamed(name + ".png");
    if (!image)
        return nullptr;
    constexpr int side = PaperSettingsController::kSwatchSide;
    if (image->width() > side || image->height() > side)
        image = gfx::Image::create(std::min(side, image->width()), std::min(side, image->height()),
                                   image->bytesPerRow(), image->alpha(), image->bytes(),
                                   static_cast<std::size_t>(image->data() - image->bytes()->data()));
    return ui::ImageAsset::withImage(std::move(image));
}
} // namespace

bool ColorsAreEqual(const gfx::Color& a, const gfx::Color& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

PaperSettingsController::PaperSettingsController(std::optional<std::string> textureName, const gfx::Color& color)
    : m_selectedTextureName(std::move(textureName)), m_selectedColor(color)
{
}

PaperSettingsController::~PaperSettingsController()
{
    if (m_tableView) {
        m_tableView->setDataSource(nullptr);
        m_tableView->setDelegate(static_cast<ui::TableViewDelegate*>(nullptr));
    }
}

void PaperSettingsController::setSelectedTextureName(std::optional<std::string> name)
{
    m_selectedTextureName = std::move(name);
    if (m_tableView)
        m_tableView->reloadData();
}

void PaperSettingsController::setSelectedColor(const gfx::Color& color)
{
    m_selectedColor = color;
    if (m_tableView)
        m_tableView->reloadData();
}

void PaperSettingsController::viewDidLoad()
{
    m_swatchContext = gfx::BitmapContext::create(kSwatchSide, kSwatchSide);
    view()->setFrame(kPageFrame);

    m_tableView = std::make_shared<ui::TableView>(kPageFrame, ui::TableViewStyle::Grouped);
    m_tableView->setDelegate(static_cast<ui::TableViewDelegate*>(this));
    m_tableView->setDataSource(this);
    m_tableView->setContentInset({kPaperBarHeight, 0, 0, 0});
    view()->addSubview(m_tableView);

    m_navigationBar = std::make_shared<ui::NavigationBar>(gfx::Rect(0, 0, kPageFrame.width(), kPaperBarHeight));
    auto item = std::make_shared<ui::NavigationItem>("Paper Settings");
    item->setLeftBarButtonItem(ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Cancel,
                                                                 [this](ui::BarButtonItem&) { cancelAction(); }));
    item->setRightBarButtonItem(
        ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Done, [this](ui::BarButtonItem&) { doneAction(); }));
    m_navigationBar->pushNavigationItem(std::move(item), false);
    view()->addSubview(m_navigationBar);
}

void PaperSettingsController::cancelAction()
{
    if (m_delegate)
        m_delegate->paperSettingsControllerDidPickTexture(*this, std::nullopt, std::nullopt);
}

void PaperSettingsController::doneAction()
{
    if (m_delegate)
        m_delegate->paperSettingsControllerDidPickTexture(*this, m_selectedTextureName, m_selectedColor);
}

int PaperSettingsController::numberOfSectionsInTableView(ui::TableView& /*tableView*/) { return 2; }

int PaperSettingsController::tableViewNumberOfRowsInSection(ui::TableView& /*tableView*/, int section)
{
    return section == kTextureSection ? NUM_TEXTURE_VALUES : NUM_COLOR_VALUES;
}

std::string PaperSettingsController::tableViewTitleForHeaderInSection(ui::TableView& /*tableView*/, int section)
{
    return section == kTextureSection ? "Texture" : "Background Color";
}

ui::TableViewCellRef PaperSettingsController::tableViewCellForRowAtIndexPath(ui::TableView& tableView,
                                                                             const ui::IndexPath& indexPath)
{
    const std::string identifier = reuseIdentifier(indexPath.section);
    ui::TableViewCellRef cell = tableView.dequeueReusableCell(identifier);
    if (!cell)
        cell = std::make_shared<ui::TableViewCell>(gfx::Rect(), identifier);
    const int row = indexPath.row;
    if (indexPath.section == kTextureSection) {
        KANVARO_ASSERT(row < NUM_TEXTURE_VALUES);
        const std::string name = g_arTextureValues[row];
        cell->setText(name);
        cell->setImage(row == 0 ? nullptr : texturePicture(name));
        const bool checked = m_selectedTextureName ? *m_selectedTextureName == name : row == 0;
        cell->setAccessoryType(checked ? ui::TableViewCellAccessoryType::Checkmark
                                       : ui::TableViewCellAccessoryType::None);
        return cell;
    }
    KANVARO_ASSERT(row < NUM_COLOR_VALUES);
    const ColorValue& value = g_arColorValues[row];
    cell->setText(value.name);
    const gfx::Color color = ColorOfValue(value);
    cell->setAccessoryType(ColorsAreEqual(color, m_selectedColor) ? ui::TableViewCellAccessoryType::Checkmark
                                                                  : ui::TableViewCellAccessoryType::None);
    if (m_swatchContext) {
        const gfx::Rect swatch(0, 0, kSwatchSide, kSwatchSide);
        m_swatchContext->setFillColor(color);
        m_swatchContext->fillRect(swatch);
        if (cell->text() == "White") {
            m_swatchContext->setStrokeColor({0.5f, 0.5f, 0.5f, 1});
            m_swatchContext->strokeRect(swatch);
        }
        cell->setImage(ui::ImageAsset::withImage(m_swatchContext->makeImage()));
    }
    return cell;
}

void PaperSettingsController::tableViewDidSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath)
{
    if (indexPath.section == kTextureSection) {
        if (indexPath.row < 0 || indexPath.row >= NUM_TEXTURE_VALUES)
            return;
        m_selectedTextureName =
            indexPath.row == 0 ? std::nullopt : std::optional<std::string>(g_arTextureValues[indexPath.row]);
    } else {
        if (indexPath.row < 0 || indexPath.row >= NUM_COLOR_VALUES)
            return;
        m_selectedColor = ColorOfValue(g_arColorValues[indexPath.row]);
    }
    tableView.reloadData();
}

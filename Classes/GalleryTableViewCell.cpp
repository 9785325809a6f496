#include "GalleryTableViewCell.h"

#include <algorithm>
#include <cmath>

#include "DataModel.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/UprightPixels.h"
#include "ImageIO/Decoder.h"
#include "Toolkit/ImageAsset.h"
#include "Toolkit/Touch.h"

namespace {

// Thumbnails are tiny; anything much larger in the documents folder is not one of ours.
constexpr std::uint64_t kMaxThumbnailFileBytes = 8u << 20;

// The thumbnail file as a picture of one pixel per point, or nullptr when it does not decode.
ui::ImageAssetRef loadThumbnail(const std::string& path)
{
    auto decoded = imageio::decodeFileReduced(path, static_cast<int>(GalleryTableViewCell::kThumbnailSide),
                                              kMaxThumbnailFileBytes);
    if (!decoded) {
        fnd::log("cannot show the thumbnail " + path + ": " + decoded.error());
        return nullptr;
    }
    return ui::ImageAsset::withImage(gfx::uprightImage(decoded.value()));
}

// Stands for a painting whose thumbnail cannot be shown nor made again, so that it can still be
// opened (which says what is wrong) and deleted: a light grey card with a frame line.
ui::ImageAssetRef placeholderThumbnail()
{
    constexpr int kWidth = 90;
    constexpr int kHeight = 120;
    auto context = gfx::BitmapContext::create(kWidth, kHeight);
    if (!context)
        return nullptr;
    context->setFillColor({0.78f, 0.79f, 0.81f, 1});
    context->fillRect(context->bounds());
    context->setStrokeColor({0.55f, 0.56f, 0.6f, 1});
    context->setLineWidth(2);
    context->strokeRect({6, 6, kWidth - 12, kHeight - 12});
    context->strokeLine({6, 6}, {kWidth - 6, kHeight - 6});
    context->strokeLine({kWidth - 6, 6}, {6, kHeight - 6});
    return ui::ImageAsset::withImage(context->makeImage());
}

// The painting's thumbnail; made again from its archive when it is missing or cannot be read,
// and a placeholder when neither can.
ui::ImageAssetRef thumbnailOrStandIn(const std::string& fileName)
{
    const std::string path = fnd::documentsPath() + "/" + fileName;
    if (ui::ImageAssetRef thumbnail = loadThumbnail(path))
        return thumbnail;
    auto remade = DataModel::remakeThumbnail(GalleryTableViewCell::titleOf(fileName));
    if (!remade)
        fnd::log("cannot make the thumbnail " + fileName + " again: " + remade.error());
    ui::ImageAssetRef thumbnail = remade ? loadThumbnail(path) : nullptr;
    return thumbnail ? thumbnail : placeholderThumbnail();
}

int truncated(double value) { return static_cast<int>(std::trunc(value)); }

constexpr gfx::Color kMarkColor{0.25f, 0.55f, 1.0f, 1};
constexpr double kMarkWidth = 3;

} // namespace

GalleryTableViewCell::GalleryTableViewCell(const gfx::Rect& frame, std::string reuseIdentifier,
                                           DeleteAction deleteAction)
    : ui::TableViewCell(frame, std::move(reuseIdentifier)), m_deleteAction(std::move(deleteAction))
{
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    setUserInteractionEnabled(true);
    // The gallery's background shows between the paintings.
    setBackgroundColor(gfx::Color::clear());
    setOpaque(false);
    m_first = makeHalf([this] { firstDeleteBtnAction(); });
    m_second = makeHalf([this] { secondDeleteBtnAction(); });
}

GalleryTableViewCell::Half GalleryTableViewCell::makeHalf(std::function<void()> deleteAction)
{
    Half half;
    half.bkView = std::make_shared<ui::ImageView>();
    half.bkView->setUserInteractionEnabled(true);
    half.bkView->setAlpha(0);
    half.bkView->setCapInsets(kFrameCaps);
    contentView()->addSubview(half.bkView);

    half.mark = std::make_shared<ui::View>();
    half.mark->setBackgroundColor(kMarkColor);
    half.mark->setUserInteractionEnabled(false);
    half.mark->setHidden(true);
    half.bkView->addSubview(half.mark);

    half.imgView = std::make_shared<ui::ImageView>();
    half.imgView->setUserInteractionEnabled(true);
    half.imgView->setOpaque(true);
    half.imgView->setAlpha(1);
    half.bkView->addSubview(half.imgView);

    half.deleteBtn = ui::Button::buttonWithType(ui::ButtonType::Custom);
    half.deleteBtn->setFrame({0, 0, kButtonSide, kButtonSide});
    half.deleteBtn->addTarget(ui::ControlEvent::TouchUpInside,
                              [action = std::move(deleteAction)](ui::Control&) { action(); });
    half.deleteBtn->setUserInteractionEnabled(true);
    half.deleteBtn->setImage(ui::imageNamed("DeleteButtonN.png"), ui::ControlState::Normal);
    half.deleteBtn->setImage(ui::imageNamed("DeleteButtonP.png"), ui::ControlState::Highlighted);
    half.deleteBtn->setImage(ui::imageNamed("DeleteButtonP.png"), ui::ControlState::Selected);
    half.deleteBtn->setAlpha(0);
    half.bkView->addSubview(half.deleteBtn);
    return half;
}

std::string GalleryTableViewCell::titleOf(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

void GalleryTableViewCell::show(Half& half, const std::string& fileName)
{
    ui::ImageAssetRef thumbnail = thumbnailOrStandIn(fileName);
    const bool landscape = thumbnail && thumbnail->pointSize.width > thumbnail->pointSize.height;
    half.bkView->setImage(ui::imageNamed(landscape ? kLandscapeShadow : kPortraitShadow));
    half.bkView->setAlpha(1);
    half.imgView->setImage(thumbnail);
    half.imgView->setAlpha(1);
    const std::string title = titleOf(fileName);
    half.imgView->setAccessibilityLabel(title);
    half.deleteBtn->setAccessibilityLabel("Delete " + title);
    setNeedsLayout();
}

void GalleryTableViewCell::setSubCellFileName1(const std::string& fileName)
{
    m_subCellFileName1 = fileName;
    show(m_first, fileName);
}

void GalleryTableViewCell::setSubCellFileName2(const std::optional<std::string>& fileName)
{
    m_subCellFileName2 = fileName;
    if (fileName) {
        show(m_second, *fileName);
        return;
    }
    m_second.imgView->setImage(nullptr);
    m_second.imgView->setAccessibilityLabel({});
    m_second.deleteBtn->setAccessibilityLabel({});
    m_second.bkView->setAlpha(0);
}

void GalleryTableViewCell::setMarkedHalf(std::optional<int> half)
{
    m_markedHalf = half;
    m_first.mark->setHidden(half != 0);
    m_second.mark->setHidden(half != 1);
}

void GalleryTableViewCell::firstDeleteBtnAction()
{
    if (m_deleteAction)
        m_deleteAction(m_subCellFileName1);
}

void GalleryTableViewCell::secondDeleteBtnAction()
{
    if (m_deleteAction && m_subCellFileName2)
        m_deleteAction(*m_subCellFileName2);
}

void GalleryTableViewCell::touchesBegan(const ui::TouchSet& touches, const ui::Event& event)
{
    ui::TableViewCell::touchesBegan(touches, event);
    const ui::Touch* touch = touches.anyObject();
    if (!touch)
        return;
    ui::View* hit = hitTest(touch->locationInView(this));
    if (hit == m_first.imgView.get())
        m_selectedFileName = m_subCellFileName1;
    else if (hit == m_second.imgView.get())
        m_selectedFileName = m_subCellFileName2;
    else
        m_selectedFileName = std::nullopt;
}

// Centres the half's shadow picture in the column [left, left + width) of a row `height` high,
// the thumbnail at its place in it, and the delete button on the thumbnail's top-left corner.
void GalleryTableViewCell::layOut(Half& half, int left, int width, int height)
{
    gfx::Size size = half.imgView->image()->pointSize;
    const double longer = std::max(size.width, size.height);
    if (longer > kThumbnailSide) // not one of ours: shown at thumbnail size all the same
        size = {size.width * kThumbnailSide / longer, size.height * kThumbnailSide / longer};
    const int tw = truncated(size.width);
    const int th = truncated(size.height);
    // The frame fits the thumbnail's shape: its picture stretches between its caps.
    const int bw = tw + static_cast<int>(kFrameMargin);
    const int bh = th + static_cast<int>(kFrameMargin);
    half.bkView->setFrame({static_cast<double>(left + (width - bw) / 2), static_cast<double>((height - bh) / 2),
                           static_cast<double>(bw), static_cast<double>(bh)});
    const gfx::Rect thumbnail{kThumbnailX, kThumbnailY, static_cast<double>(tw), static_cast<double>(th)};
    half.imgView->setFrame(thumbnail);
    half.mark->setFrame(ui::EdgeInsets{-kMarkWidth, -kMarkWidth, -kMarkWidth, -kMarkWidth}.inset(thumbnail));
    if (!isEditing()) {
        half.deleteBtn->setAlpha(0);
        return;
    }
    half.deleteBtn->setAlpha(1);
    const gfx::Rect button = half.deleteBtn->frame();
    const int cw = truncated(button.size.width);
    const int ch = truncated(button.size.height);
    half.deleteBtn->setFrame({static_cast<double>(static_cast<int>(kThumbnailX) - cw / 2),
                              static_cast<double>(static_cast<int>(kThumbnailY) - ch / 2), static_cast<double>(cw),
                              static_cast<double>(ch)});
}

void GalleryTableViewCell::layoutSubviews()
{
    ui::TableViewCell::layoutSubviews();
    const gfx::Rect content = contentView()->bounds();
    const int width = truncated(content.size.width);
    const int height = truncated(content.size.height);
    if (m_first.imgView->image())
        layOut(m_first, 0, width / 2, height);
    if (m_second.imgView->image())
        layOut(m_second, width / 2, width / 2, height);
}

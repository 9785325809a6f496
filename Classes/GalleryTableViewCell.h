#pragma once
// One row of the gallery: up to two saved paintings side by side, each its thumbnail on a
// drop-shadow picture centred in its half of the row. The cell reads the thumbnails itself, by
// file name, from the documents directory; it remembers which painting the last touch landed on
// (selectedFileName) and, while editing, shows a delete button centred on each thumbnail's
// top-left corner that passes that painting's file name to the delete action.
//
// Each shown thumbnail carries its painting's title (the file name without its extension) as
// accessibility label, and its delete button "Delete " followed by the title.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Toolkit/Button.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/TableViewCell.h"

class GalleryTableViewCell : public ui::TableViewCell {
public:
    using DeleteAction = std::function<void(const std::string& fileName)>;

    static constexpr const char* kLandscapeShadow = "GalleryPaintingShadowL.png";
    static constexpr const char* kPortraitShadow = "GalleryPaintingShadowP.png";
    static constexpr double kButtonSide = 30;
    static constexpr double kThumbnailX = 10; // where a thumbnail sits inside its shadow picture
    static constexpr double kThumbnailY = 5;
    // The frame picture is 20 points wider and higher than the thumbnail it was drawn for; it is
    // stretched between these edges to fit a thumbnail of any shape.
    static constexpr double kFrameMargin = 20;
    static constexpr ui::EdgeInsets kFrameCaps{16, 16, 20, 16};
    // Longer side of the thumbnails the gallery writes; larger pictures are shown shrunk to it.
    static constexpr double kThumbnailSide = 120;

    GalleryTableViewCell(const gfx::Rect& frame, std::string reuseIdentifier, DeleteAction deleteAction);

    const std::string& subCellFileName1() const { return m_subCellFileName1; }
    void setSubCellFileName1(const std::string& fileName);
    const std::optional<std::string>& subCellFileName2() const { return m_subCellFileName2; }
    void setSubCellFileName2(const std::optional<std::string>& fileName);
    const std::optional<std::string>& selectedFileName() const { return m_selectedFileName; }
    void setSelectedFileName(std::optional<std::string> fileName) { m_selectedFileName = std::move(fileName); }

    // Marks one painting as chosen from the keyboard (0 left, 1 right), or none.
    void setMarkedHalf(std::optional<int> half);
    std::optional<int> markedHalf() const { return m_markedHalf; }

    void firstDeleteBtnAction();
    void secondDeleteBtnAction();

    ui::ImageView* firstBkView() const { return m_first.bkView.get(); }
    ui::ImageView* secondBkView() const { return m_second.bkView.get(); }
    ui::ImageView* firstImgView() const { return m_first.imgView.get(); }
    ui::ImageView* secondImgView() const { return m_second.imgView.get(); }
    ui::Button* firstDeleteBtn() const { return m_first.deleteBtn.get(); }
    ui::Button* secondDeleteBtn() const { return m_second.deleteBtn.get(); }

    void touchesBegan(const ui::TouchSet& touches, const ui::Event& event) override;
    void layoutSubviews() override;

    // The title a thumbnail file name stands for: the name without its last extension, so that
    // "a.b.jpg" is the painting "a.b" (whose archive is "a.b.art").
    static std::string titleOf(const std::string& fileName);

private:
    // One half of the row: shadow picture, thumbnail above it, delete button above both.
    struct Half {
        std::shared_ptr<ui::ImageView> bkView;
        std::shared_ptr<ui::ImageView> imgView;
        std::shared_ptr<ui::Button> deleteBtn;
        std::shared_ptr<ui::View> mark; // a ring round the thumbnail when chosen from the keyboard
    };
    Half makeHalf(std::function<void()> deleteAction);
    void show(Half& half, const std::string& fileName);
    void layOut(Half& half, int left, int width, int height);

    DeleteAction m_deleteAction;
    Half m_first;
    Half m_second;
    std::string m_subCellFileName1;
    std::optional<std::string> m_subCellFileName2;
    std::optional<std::string> m_selectedFileName;
    std::optional<int> m_markedHalf;
};

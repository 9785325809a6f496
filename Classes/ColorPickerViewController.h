#pragma once
// The colour picker: a grouped table, presented modally under its own bar ("Brush Color",
// Cancel on the left). For a document with a photo it offers the paint mode ("Photo Paint" or
// "Freehand Paint") and, while freehand is ticked, the 48 named colours below it; a blank
// canvas gets the colours only. "Photo Paint" reports no colour, a colour row its colour; both
// close the picker. Ticking "Freehand Paint" only shows the colours; Cancel reports nothing.
#include <memory>
#include <string>

#include "ColorPickerViewControllerDelegate.h"
#include "Graphics/BitmapContext.h"
#include "Toolkit/TableViewController.h"

class ColorPickerViewController : public ui::TableViewController {
public:
    static constexpr int kSwatchSide = 26;
    static constexpr double kFooterHeight = 44;

    // initWithPhotoPaintOption: `photoPaint` is true when the brush is in photo paint. Whether
    // the mode choice is offered at all follows the current document (a photo or not).
    explicit ColorPickerViewController(bool photoPaint);
    ~ColorPickerViewController() override;

    bool isPhotoPaint() const { return m_isPhotoPaint; }
    void setIsPhotoPaint(bool photoPaint) { m_isPhotoPaint = photoPaint; }
    ColorPickerViewControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(ColorPickerViewControllerDelegate* delegate) { m_delegate = delegate; }
    // The paint-mode section (-1 without a photo) and the colour section.
    int optionsSectionNum() const { return m_optionsSectionNum; }
    int colorsSectionNum() const { return m_colorsSectionNum; }

    // Closes the picker; the brush keeps its mode and colour.
    void cancelAction();
    // Escape is the Cancel button.
    bool keyDown(const ui::KeyEvent& event) override;
    std::vector<ui::KeyShortcut> keyboardShortcuts() const override;

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int tableViewNumberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::string tableViewTitleForHeaderInSection(ui::TableView& tableView, int section) override;
    ui::TableViewCellRef tableViewCellForRowAtIndexPath(ui::TableView& tableView,
                                                        const ui::IndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    double tableViewHeightForFooterInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::View> tableViewViewForFooterInSection(ui::TableView& tableView, int section) override;

private:
    void configureOptionCell(ui::TableViewCell& cell, int row) const;
    void configureColorCell(ui::TableViewCell& cell, int row);
    void selectOption(ui::TableView& tableView, int row);

    bool m_isPhotoPaint;
    ColorPickerViewControllerDelegate* m_delegate = nullptr;
    std::unique_ptr<gfx::BitmapContext> m_swatchContext;
    int m_optionsSectionNum;
    int m_colorsSectionNum;
};

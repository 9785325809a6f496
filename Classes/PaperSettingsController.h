#pragma once
// The paper page: a full-screen grouped table with the seven textures ("None" and six bundle
// pictures) and the 48 named background colours, under a bar of its own ("Paper Settings",
// Cancel and Done). The current choice in each section carries a check mark. Nothing outside the
// page changes until Done or Cancel; the delegate then takes the page away.
#include <memory>
#include <optional>
#include <string>

#include "Graphics/BitmapContext.h"
#include "Toolkit/NavigationBar.h"
#include "Toolkit/TableView.h"
#include "Toolkit/ViewController.h"

class PaperSettingsController;

class PaperSettingsControllerDelegate {
public:
    virtual ~PaperSettingsControllerDelegate() = default;
    // Done: the chosen texture (nullopt for "None") and colour. Cancel: nullopt and nullopt.
    virtual void paperSettingsControllerDidPickTexture(PaperSettingsController& page,
                                                       std::optional<std::string> textureName,
                                                       std::optional<gfx::Color> color) = 0;
};

// True when red, green and blue are exactly equal; alpha is not compared.
bool ColorsAreEqual(const gfx::Color& a, const gfx::Color& b);

class PaperSettingsController : public ui::ViewController,
                                public ui::TableViewDataSource,
                                public ui::TableViewDelegate {
public:
    static constexpr int kSwatchSide = 26;

    // initWithTexture:color: the initial selection.
    PaperSettingsController(std::optional<std::string> textureName, const gfx::Color& color);
    ~PaperSettingsController() override;

    const std::optional<std::string>& selectedTextureName() const { return m_selectedTextureName; }
    void setSelectedTextureName(std::optional<std::string> name);
    const gfx::Color& selectedColor() const { return m_selectedColor; }
    void setSelectedColor(const gfx::Color& color);
    ui::TableView* tableView() const { return m_tableView.get(); }
    PaperSettingsControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(PaperSettingsControllerDelegate* delegate) { m_delegate = delegate; }

    void cancelAction();
    void doneAction();

    void viewDidLoad() override;

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int tableViewNumberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::string tableViewTitleForHeaderInSection(ui::TableView& tableView, int section) override;
    ui::TableViewCellRef tableViewCellForRowAtIndexPath(ui::TableView& tableView,
                                                        const ui::IndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;

private:
    std::optional<std::string> m_selectedTextureName;
    gfx::Color m_selectedColor;
    std::shared_ptr<ui::TableView> m_tableView;
    std::shared_ptr<ui::NavigationBar> m_navigationBar;
    std::unique_ptr<gfx::BitmapContext> m_swatchContext;
    PaperSettingsControllerDelegate* m_delegate = nullptr;
};

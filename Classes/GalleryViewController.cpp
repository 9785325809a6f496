#include "GalleryViewController.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <locale>
#include <set>
#include <system_error>

#include "DataModel.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "Foundation/RunLoop.h"
#include "GalleryTableViewCell.h"
#include "PaintViewController.h"
#include "Toolkit/BarButtonItem.h"
#include "Toolkit/BusyOverlay.h"
#include "Toolkit/DimmingView.h"
#include "Toolkit/FileDrop.h"
#include "Toolkit/Label.h"
#include "Toolkit/ModalPanel.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/NavigationItem.h"
#include "Toolkit/Window.h"

namespace {

std::string lowered(const std::string& text, const std::locale& locale)
{
    std::string out = text;
    for (char& c : out)
        c = std::tolower(c, locale);
    return out;
}

// The user's locale for comparing names; the classic one when the environment names none we have.
std::locale userLocale()
{
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        return std::locale::classic();
    }
}

// The gallery's root view, and the window's drop target while the gallery is the visible screen.
class GalleryRootView : public ui::ScrollView, public ui::FileDropTarget {
public:
    using ui::ScrollView::ScrollView;
    std::function<bool(const std::string& path)> onDrop;
    bool dropFile(const std::string& path) override { return onDrop && onDrop(path); }
};

} // namespace

GalleryViewController::GalleryViewController() = default;

GalleryViewController::~GalleryViewController()
{
    // The view may outlive the gallery: it takes no more files then.
    if (auto* root = dynamic_cast<GalleryRootView*>(m_rootView.get()))
        root->onDrop = nullptr;
    if (m_dropTimer)
        m_dropTimer->invalidate();
}

void GalleryViewController::loadView()
{
    if (ui::NavigationController* navigation = navigationController())
        navigation->navigationBar().setBarStyle(ui::BarStyle::BlackTranslucent);
    auto root = std::make_shared<GalleryRootView>(gfx::Rect{0, 0, 320, 480});
    root->onDrop = [this](const std::string& path) {
        // Under a pushed painting screen the gallery is not what the person dropped on.
        ui::NavigationController* navigation = navigationController();
        if (navigation && navigation->topViewController() != this)
            return false;
        dropFileAtPath(path);
        return true;
    };
    m_rootView = std::move(root);
    m_rootView->setScrollEnabled(false);
    m_rootView->setUserInteractionEnabled(true);
    // The background and the list reach up under the translucent bar.
    m_rootView->setClipsToBounds(false);
    const gfx::Rect underBar{0, -kBarHeight, 320, 480};

    auto background = std::make_shared<ui::ImageView>(ui::imageNamed("GalleryBk.png"));
    background->setFrame(underBar);
    m_rootView->addSubview(background);

    m_tableView = std::make_shared<ui::TableView>(underBar, ui::TableViewStyle::Plain);
    m_tableView->setContentInset({kBarHeight, 0, 0, 0});
    m_tableView->setDelaysContentTouches(false);
    m_tableView->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    m_tableView->setDelegate(static_cast<ui::TableViewDelegate*>(this));
    m_tableView->setDataSource(this);
    m_tableView->setBackgroundColor(gfx::Color::clear());
    m_tableView->setOpaque(false);
    m_tableView->setRowHeight(kRowHeight);
    m_tableView->setScrollsToTop(true);
    m_tableView->setScrollEnabled(true);
    m_rootView->addSubview(m_tableView);

    // An empty gallery says where to begin.
    m_emptyHint = std::make_shared<ui::Label>(gfx::Rect{20, 120, 280, 60});
    m_emptyHint->setText(kEmptyHint);
    m_emptyHint->setNumberOfLines(2);
    m_emptyHint->setTextAlignment(ui::TextAlignment::Center);
    m_emptyHint->setFont(ui::Font::boldSystemFont(17));
    m_emptyHint->setTextColor({0.62f, 0.63f, 0.66f, 1});
    m_emptyHint->setShadowColor(gfx::Color::black());
    m_emptyHint->setAccessibilityLabel(kEmptyHint);
    m_emptyHint->setAlpha(0);
    m_rootView->addSubview(m_emptyHint);
    setView(m_rootView);
}

void GalleryViewController::viewDidLoad()
{
    m_cameraSupported = ui::ImagePickerController::isSourceTypeAvailable(ui::ImagePickerSourceType::Camera);
    setTitle("Gallery");
    view()->setOpaque(true);
    addButtons(false);
}

void GalleryViewController::addButtons(bool editing)
{
    using ui::BarButtonSystemItem;
    ui::NavigationItem& item = navigationItem();
    if (editing) {
        item.setLeftBarButtonItem(
            ui::BarButtonItem::withSystemItem(BarButtonSystemItem::Done, [this](auto&) { doneAction(); }));
        item.setRightBarButtonItem(
            ui::BarButtonItem::withSystemItem(BarButtonSystemItem::Cancel, [this](auto&) { cancelAction(); }));
    } else {
        item.setLeftBarButtonItem(
            ui::BarButtonItem::withSystemItem(BarButtonSystemItem::Edit, [this](auto&) { editAction(); }));
        item.setRightBarButtonItem(
            ui::BarButtonItem::withSystemItem(BarButtonSystemItem::Add, [this](auto&) { addAction(); }));
    }
}

std::vector<std::string> GalleryViewController::sortedThumbnailNames(std::vector<std::string> names)
{
    // A painting whose thumbnail went missing is listed all the same: its cell makes the thumbnail
    // again from the archive.
    const std::set<std::string> present(names.begin(), names.end());
    for (const std::string& name : present) {
        const std::filesystem::path path(name);
        if (path.extension() == ".art" && !present.contains(path.stem().string() + ".jpg"))
            names.push_back(path.stem().string() + ".jpg");
    }
    std::erase_if(names, [](const std::string& name) { return std::filesystem::path(name).extension() != ".jpg"; });
    const std::locale locale = userLocale();
    const auto& collate = std::use_facet<std::collate<char>>(locale);
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        const std::string la = lowered(a, locale);
        const std::string lb = lowered(b, locale);
        return collate.compare(la.data(), la.data() + la.size(), lb.data(), lb.data() + lb.size()) < 0;
    });
    return names;
}

void GalleryViewController::refreshArrays()
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(fnd::documentsPath(), error), end; !error && it != end;
         it.increment(error)) {
        // A folder or a pipe named like a thumbnail is no painting.
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            names.push_back(it->path().filename().string());
    }
    if (error)
        fnd::log("cannot list the paintings in " + fnd::documentsPath() + ": " + error.message());
    m_files = sortedThumbnailNames(std::move(names));
}

void GalleryViewController::reloadList()
{
    refreshArrays();
    if (m_tableView)
        m_tableView->reloadData();
    if (m_emptyHint)
        m_emptyHint->setAlpha(m_files.empty() ? 1 : 0);
}

int GalleryViewController::tableViewNumberOfRowsInSection(ui::TableView&, int)
{
    return static_cast<int>((m_files.size() + 1) / 2);
}

ui::TableViewCellRef GalleryViewController::tableViewCellForRowAtIndexPath(ui::TableView& tableView,
                                                                           const ui::IndexPath& indexPath)
{
    auto cell = std::dynamic_pointer_cast<GalleryTableViewCell>(tableView.dequeueReusableCell(kReuseIdentifier));
    if (!cell)
        cell = std::make_shared<GalleryTableViewCell>(gfx::Rect{}, kReuseIdentifier,
                                                      [this](const std::string& name) { deleteAction(name); });
    const std::size_t left = 2 * static_cast<std::size_t>(indexPath.row);
    if (left < m_files.size())
        cell->setSubCellFileName1(m_files[left]);
    cell->setSubCellFileName2(left + 1 < m_files.size() ? std::optional<std::string>(m_files[left + 1]) : std::nullopt);
    markKeyChoice(*cell);
    return cell;
}

void GalleryViewController::tableViewDidSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath)
{
    if (&tableView != m_tableView.get())
        return;
    auto* cell = dynamic_cast<GalleryTableViewCell*>(tableView.cellForRowAtIndexPath(indexPath));
    if (!cell || !cell->selectedFileName())
        return;
    openPainting(*cell->selectedFileName());
}

void GalleryViewController::setEditing(bool editing, bool animated)
{
    ui::ViewController::setEditing(editing, animated);
    addButtons(editing);
    if (m_tableView)
        m_tableView->setEditing(editing, animated);
}

void GalleryViewController::editAction()
{
    m_filesToDelete.clear();
    setEditing(true, true);
}

void GalleryViewController::deleteAction(const std::string& fileName)
{
    auto found = std::find(m_files.begin(), m_files.end(), fileName);
    if (found != m_files.end()) {
        m_files.erase(found);
        m_filesToDelete.push_back(fileName);
    }
    if (m_tableView)
        m_tableView->reloadData();
}

std::vector<std::string> GalleryViewController::paintingFilesToRemove(const std::string& documentsDirectory,
                                                                      const std::string& thumbnailName)
{
    return {documentsDirectory + "/" + thumbnailName,
            documentsDirectory + "/" + GalleryTableViewCell::titleOf(thumbnailName) + ".art"};
}

void GalleryViewController::doneAction()
{
    for (const std::string& name : m_filesToDelete) {
        for (const std::string& path : paintingFilesToRemove(fnd::documentsPath(), name)) {
            std::error_code error;
            if (!std::filesystem::remove(path, error) || error)
                fnd::log("cannot remove " + path + ": " + (error ? error.message() : "no such file"));
        }
    }
    m_filesToDelete.clear();
    reloadList();
    setEditing(false, true);
}

void GalleryViewController::cancelAction()
{
    setEditing(false, true);
    m_filesToDelete.clear();
    reloadList();
}

bool GalleryViewController::isInFront() const
{
    // A painting screen not yet put away (its save comes when the gallery has appeared) and the
    // busy overlay of that save count as in front, so that nothing opened here can replace the
    // painting before it is saved.
    ui::NavigationController* navigation = navigationController();
    if (isEditing() || m_paintViewController || (m_spinnerBkView && !m_spinnerBkView->isHidden())
        || (navigation
            && (navigation->topViewController() != this || navigation->modalViewController()
                || navigation->isSliding())))
        return false;
    const ui::Window* window = m_rootView ? m_rootView->window() : nullptr;
    if (!window)
        return false;
    // Sheets and alerts (and their dimming, while they go) lie over the whole window.
    for (const auto& subview : window->subviews())
        if (dynamic_cast<const ui::ModalPanel*>(subview.get()) || dynamic_cast<const ui::DimmingView*>(subview.get()))
            return false;
    return true;
}

// Nothing dropped is lost: what cannot open now waits, in the order dropped, and is looked at
// again every kDropRetrySeconds until the list is in front.
void GalleryViewController::dropFileAtPath(const std::string& path)
{
    if (m_pendingDrops.empty() && isInFront()) {
        openFileAtPath(path);
        return;
    }
    fnd::log("keeping the dropped file " + path + " until the gallery is in front");
    m_pendingDrops.push_back(path);
    if (!m_dropTimer || !m_dropTimer->isValid())
        m_dropTimer = fnd::Timer::scheduledTimer(kDropRetrySeconds, true, [this](fnd::Timer&) { openPendingDrop(); });
}

bool GalleryViewController::imagePickerControllerDidReceiveOtherFile(ui::ImagePickerController*,
                                                                     const std::string& path)
{
    dropFileAtPath(path);
    return true;
}

void GalleryViewController::openPendingDrop()
{
    if (!m_pendingDrops.empty() && isInFront()) {
        const std::string path = m_pendingDrops.front();
        m_pendingDrops.erase(m_pendingDrops.begin());
        openFileAtPath(path);
    }
    if (m_pendingDrops.empty() && m_dropTimer) {
        m_dropTimer->invalidate();
        m_dropTimer.reset();
    }
}

void GalleryViewController::startSpinnerWithText(const std::string& text)
{
    if (!m_spinnerBkView) {
        // The text of the first call stays for later ones.
        auto overlay = std::make_shared<ui::BusyOverlay>(ui::imageNamed("SpinnerBk.png"), text);
        const gfx::Size size = overlay->bounds().size;
        overlay->setFrame({(320 - size.width) * 0.5, (460 - size.height) * 0.5, size.width, size.height});
        m_spinnerView = overlay->spinner();
        m_spinnerBkView = std::move(overlay);
    }
    m_spinnerBkView->setHidden(false);
    view()->addSubview(m_spinnerBkView);
    m_spinnerView->startAnimating();
    fnd::RunLoop::main().runFor(kBusyRunSeconds);
}

void GalleryViewController::stopSpinner()
{
    if (!m_spinnerBkView)
        return;
    m_spinnerView->stopAnimating();
    m_spinnerBkView->setHidden(true);
}

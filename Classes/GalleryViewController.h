#pragma once
// The gallery, the root screen: the saved paintings as thumbnails, two to a row, over a dark
// background that reaches under the translucent bar. It is the one place where paintings are
// made (from the photo library, the camera or a blank canvas), opened from their thumbnails,
// saved (when the user comes back from the painting screen after painting) and deleted (in an
// edit mode that marks paintings and deletes their files on Done).
//
// A painting is two files in the documents folder, title + ".art" and title + ".jpg"; the gallery
// lists the paintings by their regular ".jpg" files (and by ".art" files whose thumbnail went
// missing), and a painting's title is its thumbnail's name without ".jpg".
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/Result.h"
#include "Foundation/Timer.h"
#include "PaintingKeeper.h"
#include "Toolkit/ActionSheet.h"
#include "Toolkit/ActivityIndicator.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/ImagePickerController.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/Label.h"
#include "Toolkit/ScrollView.h"
#include "Toolkit/TableView.h"
#include "Toolkit/ViewController.h"

class DataModel;
class GalleryTableViewCell;
class PaintViewController;

class GalleryViewController : public ui::ViewController,
                              public ui::TableViewDataSource,
                              public ui::TableViewDelegate,
                              public ui::ActionSheetDelegate,
                              public ui::ImagePickerControllerDelegate,
                              public ui::AlertViewDelegate {
public:
    static constexpr const char* kGreeting = "Turn your photo into a masterpiece or\rpaint your own from scratch.";
    static constexpr const char* kErrorTitle = "Error";
    static constexpr const char* kOpenFailedMessage = "Could not open the selected file.";
    static constexpr const char* kUnsupportedPhotoMessage =
        "The photo you selected is in an unsupported format. Please select another photo.";
    static constexpr const char* kPhotoNotOpenedMessage = "The photo you selected could not be opened.";
    // The system's reason follows on a second line; Try Again saves again, Cancel offers the
    // recovery copy written at once.
    static constexpr const char* kSaveFailedMessage = "The painting could not be saved.";
    static constexpr const char* kTryAgainButton = "Try Again";
    static constexpr const char* kSavedBesideTitle = "Saved as a New Painting";
    static constexpr const char* kBlankFailedMessage = "A blank canvas could not be made.";
    static constexpr const char* kRestoreTitle = "Restore Painting?";
    // A second line says what the copy brings back: "Restore “TITLE” as it was at 14:05?".
    static constexpr const char* kRestoreMessage = "Kanvaro closed before your painting was saved.";
    static constexpr const char* kRestoreUnsavedMessage = "Your painting could not be saved.";
    static constexpr const char* kRestoreButton = "Restore";
    static constexpr const char* kDiscardButton = "Discard";
    static constexpr const char* kUnreadableTitle = "Recovery Failed";
    static constexpr const char* kUnreadableMessage =
        "A painting kept for recovery could not be read. It was set aside in the Recovery folder.";
    static constexpr const char* kEmptyHint = "No paintings yet.\nTap + to start one.";
    static constexpr const char* kReuseIdentifier = "MyIdentifier";
    static constexpr double kRowHeight = 150;
    static constexpr double kBarHeight = 44;
    static constexpr double kBusyRunSeconds = 0.25;

    GalleryViewController();
    ~GalleryViewController() override;

    // Told when the open painting changes (through the painting screens it makes) and is saved,
    // and asked for a recovery copy at once when a save fails; not owned. None: no copies.
    void setPaintingKeeper(PaintingKeeper* keeper) { m_paintingKeeper = keeper; }

    void loadView() override;
    void viewDidLoad() override;
    // Coming back from the painting screen: saves a changed painting; then re-reads the list.
    void viewDidAppear(bool animated) override;
    void addButtons(bool editing);

    // The thumbnails in the documents folder, in display order.
    void refreshArrays();
    const std::vector<std::string>& files() const { return m_files; }
    const std::vector<std::string>& filesToDelete() const { return m_filesToDelete; }

    int tableViewNumberOfRowsInSection(ui::TableView& tableView, int section) override;
    ui::TableViewCellRef tableViewCellForRowAtIndexPath(ui::TableView& tableView,
                                                        const ui::IndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;

    // A new painting: the sheet of sources, and what each does.
    void addAction();
    void actionSheetClickedButtonAtIndex(ui::ActionSheet& sheet, int buttonIndex) override;
    void photosSelected();
    void cameraSelected();
    void blankSelected();
    void presentImagePickerWithSourceType(ui::ImagePickerSourceType type);
    void imagePickerControllerDidFinishPickingImage(ui::ImagePickerController* picker, Photo image) override;
    void imagePickerControllerDidCancel(ui::ImagePickerController* picker) override;
    // A painting (or an unreadable photo) dropped on the picker waits for it to close.
    bool imagePickerControllerDidReceiveOtherFile(ui::ImagePickerController* picker, const std::string& path) override;
    // Shows the painting screen for the shared document; when it cannot be built for want of
    // memory, the document goes and an alert says so under `failedMessage`.
    void pushPaintViewController(const char* failedMessage = kOpenFailedMessage, bool animated = true);

    // A file from outside the application (the command line, a drop on the gallery): a ".art"
    // opens as a saved painting, anything else starts a new painting as a picked photo would,
    // with the same alerts when it cannot be read.
    void openFileAtPath(const std::string& path);
    // A file dropped on the gallery: opened at once when nothing is in front of the list (the edit
    // mode, a sheet, an alert, the photo picker), else kept and opened once that has gone.
    static constexpr double kDropRetrySeconds = 0.25;
    void dropFileAtPath(const std::string& path);
    bool isInFront() const;
    const std::vector<std::string>& pendingDrops() const { return m_pendingDrops; }
    // The title a painting read from `archivePath` is saved under: its file name without its
    // extension; for a file outside the documents folder, that title made unique there (" 2", " 3", ...)
    // so saving never replaces another painting.
    static std::string titleForArchive(const std::string& documentsDirectory, const std::string& archivePath);

    // Edit mode: mark paintings, then delete their files (Done) or keep them (Cancel).
    void setEditing(bool editing, bool animated) override;
    void editAction();
    void deleteAction(const std::string& fileName);
    void doneAction();
    void cancelAction();

    // The busy overlay: shown over the list, with the run loop running briefly so it is drawn.
    void startSpinnerWithText(const std::string& text);
    void stopSpinner();

    // At start-up: offers to restore a recovery copy left by a crash (Recovery.h), or says once
    // that one could not be read (it is set aside). A file named at launch (may be empty) opens
    // when there is nothing to offer, or once the offer is declined.
    void offerRecovery(std::string thenOpen = {});
    void alertViewClickedButtonAtIndex(ui::AlertView& alert, int buttonIndex) override;

    // Keyboard (GalleryKeyCommands.cpp): Ctrl+N adds, the arrows move a mark over the paintings,
    // Return opens the marked one (Done while editing), Delete marks it for deletion in the edit
    // mode, Escape cancels the edit mode.
    bool keyDown(const ui::KeyEvent& event) override;
    std::vector<ui::KeyShortcut> keyboardShortcuts() const override;
    // The painting the arrow keys marked (an index into files()), if any.
    std::optional<std::size_t> keyMark() const { return m_keyMark; }

    // Before the process ends: saves the open painting when it has unsaved changes (no overlay, no
    // alert); why not when the save failed.
    fnd::Status saveBeforeTerminating();
    // What to tell the person when a save went beside the painting it was to replace; "" when the
    // title did not change.
    static std::string savedBesideMessage(const std::string& oldTitle, const std::string& newTitle);
    // The restore offer's message for the copy at `copyPath`: why it exists, then what it brings
    // back (its painting's title and the time it was kept).
    static std::string restoreMessage(const std::string& copyPath, bool unsavedHere);

    bool cameraSupported() const { return m_cameraSupported; }
    void setCameraSupported(bool supported) { m_cameraSupported = supported; }
    PaintViewController* paintViewController() const { return m_paintViewController.get(); }
    ui::ScrollView* rootView() const { return m_rootView.get(); }
    ui::TableView* tableView() const { return m_tableView.get(); }
    ui::ImageView* spinnerBkView() const { return m_spinnerBkView.get(); }
    ui::ActivityIndicator* spinnerView() const { return m_spinnerView.get(); }

    // The thumbnail names among `names`, and those of archives whose thumbnail is missing, sorted
    // as the list shows them: case-insensitively, in the user's locale.
    static std::vector<std::string> sortedThumbnailNames(std::vector<std::string> names);
    // The files that deleting the painting with this thumbnail removes, in order: the thumbnail
    // itself, then the archive that opening it reads.
    static std::vector<std::string> paintingFilesToRemove(const std::string& documentsDirectory,
                                                          const std::string& thumbnailName);

protected:
    // Makes the shared blank document (a seam for tests of the failure path).
    virtual DataModel* makeBlankDocument();

private:
    void showError(const std::string& message);
    // Saves the shared document under the busy overlay; true when saved. On failure a recovery
    // copy is written at once and the person asked: Try Again, or Cancel (the copy is offered).
    bool saveWithOverlay();
    void offerUnsavedCopy();
    void showRestoreOffer(const std::string& path, bool unsavedHere);
    void openPendingDrop();
    void openPainting(const std::string& thumbnailName);
    void openArchive(const std::string& archivePath, const std::string& title);
    void openPhotoAtPath(const std::string& path);
    // Makes the shared document from the photo; false (after the alert) when it cannot.
    bool makeDocumentFromPhoto(Photo image);
    // The alert for a photo that cannot become a painting, with the reason on its second line.
    void showPhotoError(const fnd::Error& error);
    void reloadList();
    void restoreRecoveryCopy();
    void moveKeyMark(int step);
    void deleteMarkedPainting();
    void showKeyMark();
    void markKeyChoice(GalleryTableViewCell& cell) const;

    std::string m_recoveryPath;   // the copy the restore alert offers
    std::string m_openAfterOffer; // the file named at launch, waiting for the answer
    std::weak_ptr<ui::AlertView> m_restoreAlert;
    bool m_offeringUnsavedCopy = false; // the restore alert offers this session's own copy
    std::weak_ptr<ui::AlertView> m_saveFailedAlert;
    bool m_saveFailed = false; // the shared document's last save failed; it is still unsaved
    std::string m_unsavedCopy; // the copy written when it failed ("" when none could be)
    PaintingKeeper* m_paintingKeeper = nullptr;
    std::vector<std::string> m_pendingDrops;
    fnd::TimerRef m_dropTimer;

    bool m_cameraSupported = false;
    std::shared_ptr<ui::ScrollView> m_rootView;
    std::shared_ptr<ui::TableView> m_tableView;
    std::shared_ptr<ui::Label> m_emptyHint;
    std::vector<std::string> m_files;
    std::vector<std::string> m_filesToDelete;
    std::optional<std::size_t> m_keyMark;
    std::shared_ptr<PaintViewController> m_paintViewController;
    std::shared_ptr<ui::ImageView> m_spinnerBkView;
    std::shared_ptr<ui::ActivityIndicator> m_spinnerView;
};

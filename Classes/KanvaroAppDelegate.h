#pragma once
// The application object: builds the root view tree when the host has made the window, and is
// told before the process ends. For now the tree is the painting view over a blank canvas (or a
// photo given on the command line) with a temporary developer bar: paint, erase and move modes,
// a button that cycles through the media and one that clears the painting.
#include <memory>
#include <optional>
#include <string>

namespace ui {
class Button;
class Window;
} // namespace ui
class PaintView;

class KanvaroAppDelegate {
public:
    static constexpr const char* kUnsupportedPhotoMessage
        = "The photo you selected is in an unsupported format. Please select another photo.";
    static constexpr double kBarHeight = 44;

    // A photo to paint over instead of a blank canvas; set before launching.
    void setPhotoPath(std::optional<std::string> path) { m_photoPath = std::move(path); }

    void applicationDidFinishLaunching(ui::Window& window);
    // Saves the shared document (archive and thumbnail) when anything was painted.
    void applicationWillTerminate();

    PaintView* paintView() const { return m_paintView.get(); }
    ui::Button* mediumButton() const { return m_mediumButton.get(); }
    int mediumIndex() const { return m_mediumIndex; }
    bool hasTerminated() const { return m_terminated; }

private:
    void makeDocument();
    std::shared_ptr<ui::Button> makeBarButton(const std::string& title, double x, double width);
    void addDeveloperBar(ui::Window& window);
    void nextMedium();

    std::optional<std::string> m_photoPath;
    std::shared_ptr<PaintView> m_paintView;
    std::shared_ptr<ui::Button> m_mediumButton;
    int m_mediumIndex = 0;
    bool m_terminated = false;
};

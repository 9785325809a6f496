#pragma once
// The application object: builds the root view tree when the host has made the window, and is
// told before the process ends. For now the tree is a small demo: a dark background, the
// application's name, a paint area that follows the fingers and a button that clears it.
#include <memory>

namespace ui {
class Button;
class Window;
} // namespace ui
class DemoPaintView;

class KanvaroAppDelegate {
public:
    void applicationDidFinishLaunching(ui::Window& window);
    void applicationWillTerminate();

    DemoPaintView* paintView() const { return m_paintView.get(); }
    ui::Button* clearButton() const { return m_clearButton.get(); }
    bool hasTerminated() const { return m_terminated; }

private:
    std::shared_ptr<DemoPaintView> m_paintView;
    std::shared_ptr<ui::Button> m_clearButton;
    bool m_terminated = false;
};

#pragma once
// Files dropped on the window (the desktop host's drag and drop). The front-most visible view
// that is a FileDropTarget gets the file; nobody gets it when no such view is on screen.
#include <string>

namespace ui {

class View;
class Window;

class FileDropTarget {
public:
    virtual ~FileDropTarget() = default;
    // True when the view took the file.
    virtual bool dropFile(const std::string& path) = 0;
};

// Offers the file to the drop targets on screen, front-most first; true when one took it.
bool deliverFileDrop(Window& window, const std::string& path);

} // namespace ui

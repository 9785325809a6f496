#pragma once
// The photo album: where the application saves pictures for the user to keep. Each save writes a
// new PNG into the exports folder (fnd::exportsPath(): a "Kanvaro" folder inside the pictures
// folder, unless overridden), named "Painting N.png" with N one above the highest number there,
// never replacing an earlier file, written atomically.
#include <functional>
#include <string>

#include "Foundation/Result.h"
#include "Graphics/Image.h"

namespace ui {

// Called once, on the main thread from the run loop, after the save: the path of the new file, or
// why it could not be written.
using PhotoAlbumCompletion = std::function<void(const fnd::Result<std::string>& saved)>;

void saveImageToPhotoAlbum(const gfx::ImageRef& image, PhotoAlbumCompletion completion);

// The save itself, at once: the path of the new file, or why it failed.
fnd::Result<std::string> writeImageToFolder(const gfx::Image& image, const std::string& folder);

} // namespace ui

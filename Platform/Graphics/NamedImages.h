#pragma once
// Bundle images by file name ("Canvas.png"), loaded once from the resource directory and kept;
// safe to call from any thread.
// A missing or unreadable image gives nullptr (and one log line); callers show nothing then.
#include <string>

#include "Graphics/Image.h"

namespace gfx {

ImageRef imageNamed(const std::string& fileName);

// Forgets every cached image (tests that switch the resource directory).
void purgeNamedImages();

} // namespace gfx

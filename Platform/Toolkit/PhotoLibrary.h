#pragma once
// The photo library as the image picker shows it: the photo files of one folder, newest first,
// and square thumbnails of them. Listing looks at names and file status only and never opens a
// file, so folders, pipes and devices named like photos are listed (and later shown as broken)
// without blocking. makePhotoThumbnail touches no toolkit object and may run on any thread.
#include <cstdint>
#include <string>
#include <vector>

#include "Foundation/Result.h"
#include "Graphics/Image.h"
#include "ImageIO/DecodedImage.h"

namespace ui {

struct PhotoEntry {
    std::string path;
    std::string name; // the file name, which the picker cell carries as its accessibility label
};

// Photo files are files whose names end in .jpg, .jpeg or .png (any case) and do not start with
// a dot. Photo files larger than imageio::kMaxPhotoFileBytes are shown as broken rather than read.

bool hasPhotoFileName(const std::string& name);

// The photo files of `folder`, newest modification first, ties by name; empty when the folder
// cannot be read.
std::vector<PhotoEntry> listPhotoFolder(const std::string& folder);

// A sidePixels x sidePixels thumbnail: the upright photo scaled to cover the square and cropped
// to its middle. The error says why the file cannot be shown.
fnd::Result<gfx::ImageRef> makePhotoThumbnail(const std::string& path, int sidePixels);

// The whole upright photo as the picker delivers it.
fnd::Result<imageio::DecodedImage> decodePickedPhoto(const std::string& path);

} // namespace ui

#pragma once
// The interface images, each written at 1x and 2x (Name.png, Name@2x.png).
#include <string>

namespace genres {

// Mode segments "Brush", "Eraser", "Hand" and toolbar buttons "BrushShapesBtn", "ColorBtn",
// "PaperBtn": white glyphs on transparent.
bool writeGlyphImages(const std::string& outDir);

// "SpinnerBk", "MediumBk", "SliderThumb", "Swirl", "Glob".
bool writeControlImages(const std::string& outDir);

// "GalleryBk", "GalleryPaintingShadowL", "GalleryPaintingShadowP", "DeleteButtonN",
// "DeleteButtonP".
bool writeGalleryImages(const std::string& outDir);

// The application icon, OUTDIR/Desktop/hicolor/NxN/apps/kanvaro.png for N from 16 to 256.
bool writeAppIcons(const std::string& outDir);

} // namespace genres

#pragma once
// Bundle images as the toolkit shows them: pixels plus the scale they were made for, so a
// "Name@2x.png" picture of 2w x 2h pixels still measures w x h points. The host sets the screen
// scale at start and again when a resized window is drawn at a new scale; imageNamed() then
// prefers the @2x or @3x file that suits it (fractional scales too) when the bundle has one.
#include <memory>
#include <string>

#include "Graphics/Geometry.h"
#include "Graphics/Image.h"

namespace ui {

struct ImageAsset {
    gfx::ImageRef pixels;
    double scale = 1;    // pixels per point
    gfx::Size pointSize; // pixel size / scale
    std::string name;    // the bundle name asked for ("Brush.png"), empty for made images
    int chosenFor = 0;   // the variant (1, 2, 3) imageNamed chose it for; 0 for made images

    // What a person calls the picture: the bundle name without its extension ("Brush").
    std::string spokenName() const;

    // The picture to draw at the current screen scale: this one, or, once the window has changed
    // scale, the same bundle picture in the variant the new scale wants (looked up once a change,
    // so drawing allocates nothing). Views keep their assets; drawing goes through this.
    const ImageAsset& forCurrentScale() const;

    mutable std::weak_ptr<const ImageAsset> rescaled; // the variant forCurrentScale found last
    mutable int rescaledFor = 0;

    // Wraps pixels made at run time (thumbnails, tinted pictures); nullptr for no pixels or a
    // scale that is not a positive finite number.
    static std::shared_ptr<const ImageAsset> withImage(gfx::ImageRef pixels, double scale = 1, std::string name = {});
};

using ImageAssetRef = std::shared_ptr<const ImageAsset>;

// Screen scale (points to pixels) the host runs at; 1 until set. Non-finite or non-positive
// values are ignored.
double screenScale();
void setScreenScale(double scale);

// The bundle image "Name.png", or its "Name@2x.png" variant at a screen scale above 1, or its
// "Name@3x.png" variant above 2 (falling back to the next coarser file that exists).
// Cached per name and scale; nullptr (with a log line from the loader) when missing.
ImageAssetRef imageNamed(const std::string& fileName);

// Forgets every cached asset (tests that switch the resource directory or the scale).
void purgeImageAssets();

} // namespace ui

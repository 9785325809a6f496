#include "Toolkit/ImageAsset.h"

#include <cmath>
#include <filesystem>
#include <map>
#include <utility>

#include "Foundation/Bundle.h"
#include "Graphics/NamedImages.h"

namespace ui {

namespace {
double& scaleSetting()
{
    static double scale = 1;
    return scale;
}

// Keyed by name and the finest variant the scale asks for.
std::map<std::pair<std::string, int>, ImageAssetRef>& assetCache()
{
    static std::map<std::pair<std::string, int>, ImageAssetRef> assets;
    return assets;
}

// "Brush.png", 2 -> "Brush@2x.png"; a name without an extension gets the suffix at the end.
std::string scaledName(const std::string& fileName, int variant)
{
    const std::string suffix = "@" + std::to_string(variant) + "x";
    std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos)
        return fileName + suffix;
    return fileName.substr(0, dot) + suffix + fileName.substr(dot);
}

// The variant a screen scale wants: anything above 1 takes @2x, above 2 @3x.
int wantedVariant(double scale) { return scale > 2 ? 3 : scale > 1 ? 2 : 1; }

std::shared_ptr<ImageAsset> makeAsset(gfx::ImageRef pixels, double scale, std::string name)
{
    if (!pixels || !std::isfinite(scale) || scale <= 0)
        return nullptr;
    auto asset = std::make_shared<ImageAsset>();
    asset->pointSize = {pixels->width() / scale, pixels->height() / scale};
    asset->pixels = std::move(pixels);
    asset->scale = scale;
    asset->name = std::move(name);
    return asset;
}

bool bundleHasFile(const std::string& fileName)
{
    return fileName.find('/') == std::string::npos && std::filesystem::exists(fnd::resourcePath() + "/" + fileName);
}
} // namespace

std::shared_ptr<const ImageAsset> ImageAsset::withImage(gfx::ImageRef pixels, double scale, std::string name)
{
    return makeAsset(std::move(pixels), scale, std::move(name));
}

const ImageAsset& ImageAsset::forCurrentScale() const
{
    const int wanted = wantedVariant(screenScale());
    if (chosenFor == 0 || chosenFor == wanted)
        return *this;
    ImageAssetRef found = rescaled.lock();
    if (!found || rescaledFor != wanted) {
        found = imageNamed(name);
        rescaled = found;
        rescaledFor = wanted;
    }
    return found ? *found : *this;
}

std::string ImageAsset::spokenName() const
{
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

double screenScale() { return scaleSetting(); }

void setScreenScale(double scale)
{
    if (std::isfinite(scale) && scale > 0)
        scaleSetting() = scale;
}

ImageAssetRef imageNamed(const std::string& fileName)
{
    // The finest variant up to the one at or above the screen scale: drawn smaller a picture stays
    // sharp, where a coarser one drawn larger would blur (a window 1.5 times the phone takes @2x).
    const int wanted = wantedVariant(screenScale());
    auto key = std::make_pair(fileName, wanted);
    auto& assets = assetCache();
    if (auto it = assets.find(key); it != assets.end())
        return it->second;
    std::shared_ptr<ImageAsset> asset;
    // Only ask the loader for variants that exist, so a missing @3x or @2x file logs nothing.
    for (int variant = wanted; variant > 1 && !asset; --variant)
        if (bundleHasFile(scaledName(fileName, variant)))
            asset = makeAsset(gfx::imageNamed(scaledName(fileName, variant)), variant, fileName);
    if (!asset)
        asset = makeAsset(gfx::imageNamed(fileName), 1, fileName);
    if (asset)
        asset->chosenFor = wanted;
    assets.emplace(key, asset);
    return asset;
}

void purgeImageAssets() { assetCache().clear(); }

} // namespace ui

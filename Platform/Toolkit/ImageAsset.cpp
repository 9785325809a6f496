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

std::map<std::pair<std::string, bool>, ImageAssetRef>& assetCache()
{
    static std::map<std::pair<std::string, bool>, ImageAssetRef> assets;
    return assets;
}

// "Brush.png" -> "Brush@2x.png"; a name without an extension gets the suffix at the end.
std::string doubleScaleName(const std::string& fileName)
{
    std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos)
        return fileName + "@2x";
    return fileName.substr(0, dot) + "@2x" + fileName.substr(dot);
}

bool bundleHasFile(const std::string& fileName)
{
    return fileName.find('/') == std::string::npos && std::filesystem::exists(fnd::resourcePath() + "/" + fileName);
}
} // namespace

std::shared_ptr<const ImageAsset> ImageAsset::withImage(gfx::ImageRef pixels, double scale, std::string name)
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
    // Any scale above 1 (a window 1.5 times the phone) takes the @2x file: drawn smaller it stays
    // sharp, where the 1x file drawn larger would blur.
    bool wantDouble = screenScale() > 1;
    auto key = std::make_pair(fileName, wantDouble);
    auto& assets = assetCache();
    if (auto it = assets.find(key); it != assets.end())
        return it->second;
    ImageAssetRef asset;
    // Only ask the loader for a variant that exists, so a missing @2x file logs nothing.
    if (wantDouble && bundleHasFile(doubleScaleName(fileName)))
        asset = ImageAsset::withImage(gfx::imageNamed(doubleScaleName(fileName)), 2, fileName);
    if (!asset)
        asset = ImageAsset::withImage(gfx::imageNamed(fileName), 1, fileName);
    assets.emplace(key, asset);
    return asset;
}

void purgeImageAssets() { assetCache().clear(); }

} // namespace ui

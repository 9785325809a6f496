// `paint`: the document picking a photo makes, painted by the automatic painter without
// animation, archived. With --report it prints how close the painting is to the photo.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <strings.h>

#include "AutoPaintImages.h"
#include "AutoPainter.h"
#include "Canvas.h"
#include "Commands.h"
#include "DataModel.h"
#include "Foundation/Paths.h"
#include "ImageIO/Decoder.h"
#include "MediumValues.h"
#include "PaintingFile.h"
#include "RawImage.h"
#include "TextureValues.h"

namespace archivetool {

namespace {

std::optional<int> mediumNamed(const std::string& name)
{
    for (int i = 0; i < NUM_MEDIUM_VALUES; ++i)
        if (strcasecmp(g_arMediumValues[i].name, name.c_str()) == 0
            || strcasecmp(g_arMediumValues[i].shapeName, name.c_str()) == 0)
            return i;
    return std::nullopt;
}

std::optional<int> paperNamed(const std::string& name)
{
    for (int i = 0; i < NUM_TEXTURE_VALUES; ++i)
        if (strcasecmp(g_arTextureValues[i], name.c_str()) == 0)
            return i;
    return std::nullopt;
}

int badOption(const std::string& what)
{
    std::cerr << kToolName << ": " << what << "\n";
    return kExitUsage;
}

// The closeness figures: the photo shrunk to the canvas against the painting, both blurred
// (standard deviation 2 pixels) and as they are, in mean CIELAB Delta E.
void report(const DataModel& model, double seconds)
{
    const Canvas& canvas = *model.canvas();
    const RgbImage photo = ShrinkPhoto(*model.rawImage(), canvas.width(), canvas.height());
    const RgbImage painting = CanvasPicture(canvas);
    const double blurred = MeanDeltaE76(GaussianBlurred(photo, 2.0), GaussianBlurred(painting, 2.0));
    const double plain = MeanDeltaE76(photo, painting);
    std::printf("%dx%d painted in %.2f s; mean Delta E %.2f blurred, %.2f unblurred\n", canvas.width(), canvas.height(),
                seconds, blurred, plain);
}

} // namespace

int paint(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return badOption("paint needs PHOTO and OUT.art");
    const std::string& photoPath = args[0];
    const std::string& artPath = args[1];
    AutoPaintSettings settings;
    std::optional<int> paper;
    bool wantReport = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--report") {
            wantReport = true;
            continue;
        }
        if (i + 1 >= args.size())
            return badOption(option + " needs a value");
        const std::string& value = args[++i];
        if (option == "--medium") {
            const auto medium = mediumNamed(value);
            if (!medium)
                return badOption("no medium named " + value);
            settings.medium = *medium;
        } else if (option == "--paper") {
            paper = paperNamed(value);
            if (!paper)
                return badOption("no paper named " + value);
        } else if (option == "--seed") {
            char* end = nullptr;
            const unsigned long seed = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || value[0] < '0' || value[0] > '9' || !end || *end != '\0' || seed > 0xFFFFFFFFul)
                return badOption("the seed must be a whole number up to 4294967295");
            settings.seed = static_cast<std::uint32_t>(seed);
        } else {
            return badOption("unknown option " + option);
        }
    }
    auto decoded = imageio::decodeFile(photoPath);
    if (!decoded) {
        std::cerr << kUnsupportedPhoto << "\n" << kToolName << ": " << decoded.error() << "\n";
        return kExitBadInput;
    }
    fnd::setDocumentsPath(std::filesystem::absolute(artPath).parent_path().string());
    auto photo = std::make_shared<const imageio::DecodedImage>(std::move(decoded).value());
    auto made = DataModel::sharedDataModelWithUIImage(photo);
    DataModel* model = made ? made.value() : nullptr;
    if (!model || !model->canvas() || !model->rawImage()) {
        DataModel::releaseSharedDataModel();
        if (!made && made.failure().reason == fnd::kNotEnoughMemory) {
            std::cerr << kToolName << ": cannot make a painting of " << photoPath << ": not enough memory\n";
            return kExitFailed;
        }
        std::cerr << kUnsupportedPhoto << "\n"
                  << kToolName << ": " << (made ? "the pixel format cannot be imported" : made.failure().message)
                  << "\n";
        return kExitBadInput;
    }
    if (paper && *paper > 0)
        model->canvas()->setTextureName(std::string(g_arTextureValues[*paper]));
    const auto start = std::chrono::steady_clock::now();
    const bool painted = PaintAutomatically(*model->canvas(), model->rawImageRef(), settings);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!painted) {
        DataModel::releaseSharedDataModel();
        std::cerr << kToolName << ": out of memory painting " << photoPath << "\n";
        return kExitFailed;
    }
    if (wantReport)
        report(*model, seconds);
    return writeSharedPainting(*model, artPath);
}

} // namespace archivetool

// `info`: what the archive holds, one line per item, in a form meant for people and shell tests.
#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "Journal.h"
#include "PaintingFile.h"

namespace archivetool {

namespace {

void printRawImage(const RawImage* image)
{
    if (!image) {
        std::cout << "raw image: none (blank canvas)\n";
        return;
    }
    std::cout << "raw image: " << image->width() << " x " << image->height() << ", bpp " << image->bpp() << ", bpc "
              << image->bpc() << ", rb " << image->rb() << ", orientation " << image->orientation() << "\n";
}

void printCanvas(const Canvas& canvas)
{
    std::cout << "canvas: " << canvas.width() << " x " << canvas.height() << "\n";
    const gfx::Color& c = canvas.backgroundColor();
    char colour[96];
    std::snprintf(colour, sizeof colour, "%.4g %.4g %.4g %.4g", c.red, c.green, c.blue, c.alpha);
    std::cout << "background: " << colour << "\n";
    std::cout << "texture: " << canvas.textureName().value_or("none") << "\n";
}

const char* originName(Journal::Origin origin)
{
    switch (origin) {
    case Journal::Origin::kBlank: return "a blank canvas";
    case Journal::Origin::kPhoto: return "the photo";
    case Journal::Origin::kPixels: return "its pixels when it was first reopened";
    }
    return "?";
}

void printJournal(const DataModel& model)
{
    const Journal* journal = model.canvas()->journal();
    if (!model.storedJournalBytes() || !journal) {
        std::cout << "journal: none\n";
        return;
    }
    std::cout << "journal: " << model.storedJournalBytes() << " bytes, " << journal->strokeCount()
              << " strokes, engine version " << journal->engineVersion()
              << (journal->engineVersion() == Journal::kEngineVersion ? "" : " (not this one's)") << ", starts from "
              << originName(journal->origin()) << "\n";
}

// Whether the painting can be exported at the photo's full size, and at what size: an upright
// photo's raw image is full size; a turned photo's own file is decoded to tell (and to check it).
void printFullPhoto(const DataModel& model)
{
    const auto load = model.fullSizePhotoLoader();
    if (!load) {
        std::cout << "full photo: none ("
                  << (model.rawImage() ? "the photo's own file could not be kept" : "blank canvas") << ")\n";
        return;
    }
    const auto photo = load();
    const std::size_t kept = model.sourcePhotoBytes();
    const std::string from = kept ? "from the photo's own file, " + std::to_string(kept) + " bytes" : "the raw image";
    if (!photo) {
        std::cout << "full photo: unreadable (" << from << "): " << photo.error() << "\n";
        return;
    }
    std::cout << "full photo: " << photo.value()->width() << " x " << photo.value()->height() << ", " << from << "\n";
}

} // namespace

int info(const std::string& path)
{
    auto model = openPainting(path);
    if (!model)
        return kExitBadInput;
    // Every painting stores its colour as a UIColor inside the canvas.
    std::cout << "classes: DataModel" << (model->rawImage() ? " RawImage" : "") << " Canvas UIColor\n";
    printCanvas(*model->canvas());
    printRawImage(model->rawImage());
    printJournal(*model);
    printFullPhoto(*model);
    return kExitOk;
}

} // namespace archivetool

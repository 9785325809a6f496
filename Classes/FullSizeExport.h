#pragma once
// A painting made again from its journal at a larger size and written as a PNG: the export at
// full size (the photo's own size, or 4 times a blank canvas) and the tool's `render --scale`.
//
// The replay runs in horizontal bands, each a tile that replays to the very pixels of that part
// of the whole (JournalReplay.h), shared by worker threads; the PNG is encoded a band at a time as
// the bands complete, top to bottom, so memory holds a few bands rather than the whole picture.
// Nothing appears at the path unless the whole picture was written: the file is made under a
// temporary name beside it and renamed at the end; a failure or a cancel removes it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Foundation/Result.h"

class Journal;
class RawImage;

struct BandedReplayOptions {
    int threads = 2;
    int bandRows = 0; // rows per band; 0: chosen from the picture's size
    // Called now and then on the calling thread with the part done (0 to 1); false cancels.
    std::function<bool(double fractionDone)> onProgress;
    // The raw image the painting was painted from, when the replay is given a larger photo: its
    // automatic paintings are planned from this one, once for all bands, as they were on screen.
    std::shared_ptr<const RawImage> paintedPhoto;
};

struct BandedReplayResult {
    bool cancelled = false; // nothing was written
    int width = 0, height = 0;
    bool exact = true; // as ReplayResult: false when the replay cannot promise the painting
    std::vector<std::string> notes;
};

// Loads the full-size photo (DataModel::fullSizePhotoLoader); empty for a painting without one.
using FullSizePhotoLoader = std::function<fnd::Result<std::shared_ptr<const RawImage>>()>;

// A blank canvas is exported at this many times its size.
inline constexpr double kBlankFullSizeScale = 4.0;

// Whether a painting can be exported at full size: its journal starts from its beginning (not
// from the pixels of a painting begun before journals), and it is a blank canvas or has a
// full-size photo.
bool CanExportFullSize(const Journal* journal, bool hasFullSizePhoto);

// The full-size export's scale: the photo's long side over the canvas's, never below 1; for a
// blank canvas (no photo) kBlankFullSizeScale.
double FullSizeScale(const Journal& journal, const RawImage* fullSizePhoto);

// Writes `journal` replayed at `scale` (photo colours and blueprint from `photo`, none for a
// blank canvas) to `path` as a PNG, replacing a file there.
fnd::Result<BandedReplayResult> WriteReplayPng(const Journal& journal, std::shared_ptr<const RawImage> photo,
                                               double scale, const std::string& path,
                                               const BandedReplayOptions& options = {});

// The export at full size: the photo loaded through `loader`, the painting replayed at
// FullSizeScale. Fails for a painting that cannot be exported so (CanExportFullSize).
fnd::Result<BandedReplayResult> WriteFullSizePng(const Journal& journal, const FullSizePhotoLoader& loader,
                                                 const std::string& path, const BandedReplayOptions& options = {});

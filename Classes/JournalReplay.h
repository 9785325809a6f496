#pragma once
// Makes a painting again from its journal (Journal.h): a new canvas and a new brush, driven by
// the recorded events exactly as the painting screen drove the painting's own. At the painting's
// own size the result is the painting, pixel for pixel (within one engine version and with the
// same shape pictures and textures). At another scale lengths are scaled (positions, brush size,
// spacing, splatter and jitter distances, paper texture, the blueprint) and counts kept. A tile
// of the scaled painting replays to the same pixels as that region of the whole. An automatic
// painting, kept as one event, is painted again with PaintAutomatically at the painting's own size
// only (elsewhere it is left out and the result is not exact).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Foundation/Result.h"
#include "Graphics/Geometry.h"

class Journal;
class RawImage;

struct ReplayOptions {
    double scale = 1.0; // the replay's size: the painting's times this (rounded down)
    // A region of the scaled painting (whole pixels) to replay alone; none: all of it.
    std::optional<gfx::IntRect> tile;
    // Called with the canvas after every `frameEveryStrokes` strokes (0: never) and once at the
    // end, for time-lapses and progress; returning false stops the replay (cancelled).
    std::function<bool(const Canvas& canvas, std::uint64_t strokesDone)> onFrame;
    std::uint64_t frameEveryStrokes = 0;
    // Strokes to leave out, by number (the order of their beginnings): each still begins (its
    // opacity and the eraser's flattening take effect, its number is used up) but lays no dab.
    // Leaving out the strokes that Undo or Clear took back (StrokesTakenBack) ends on the same
    // pixels as the whole replay. Only the strokes replayed are counted and handed to onFrame.
    std::vector<bool> leaveOut;
};

struct ReplayResult {
    std::shared_ptr<Canvas> canvas;
    // False when the result cannot be promised to be the painting: another engine version,
    // changed shape pictures or textures, events this version does not know, a starting
    // picture that had to be resized; `notes` says which.
    bool exact = true;
    std::vector<std::string> notes;
    bool cancelled = false;
    std::uint64_t strokes = 0;
};

// The scaled painting's size.
gfx::IntRect ReplayBounds(const Journal& journal, double scale);

// Which strokes (by number) Undo or Clear took back: those in the stroke layers at an Undo, and
// every stroke before a Clear. Strokes committed to the painting (an undo snapshot's older
// group, the eraser's flattening, a reopening) stay.
std::vector<bool> StrokesTakenBack(const Journal& journal);

// Replays `journal` (photo colours from `rawImage`, none for a blank painting). Fails when the
// canvas cannot be made or the journal's events are damaged.
fnd::Result<ReplayResult> ReplayJournal(const Journal& journal, std::shared_ptr<const RawImage> rawImage,
                                        const ReplayOptions& options = {});

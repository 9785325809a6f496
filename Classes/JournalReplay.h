#pragma once
// Makes a painting again from its journal (Journal.h): a new canvas and a new brush, driven by
// the recorded events exactly as the painting screen drove the painting's own. At the painting's
// own size the result is the painting, pixel for pixel (within one engine version and with the
// same shape pictures and textures). At another scale lengths are scaled (positions, brush size,
// spacing, splatter and jitter distances, paper texture, the blueprint) and counts kept. A tile
// of the scaled painting replays to the same pixels as that region of the whole. An automatic
// painting, kept as one event, is painted again with PaintAutomatically at the painting's own
// size; at another size or in a tile its strokes are planned at the painting's own size, as they
// were on screen, and laid at the replay's scale (AutoPaintPlans).
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Foundation/Result.h"
#include "Graphics/Geometry.h"

class Journal;
class RawImage;
struct AutoPaintPlan;

// The automatic paintings of one journal planned at the painting's own size, for replays of it
// at another size or in tiles: made by one replay at the painting's size the first time a replay
// asks, then shared read-only. Give the same one to every tile of one export (on any threads)
// and the paintings are planned once; a replay given none makes its own.
class AutoPaintPlans {
public:
    // `photo`: the raw image the painting was painted from, when the replays are given another
    // (a larger one); none: the replay's own.
    explicit AutoPaintPlans(std::shared_ptr<const RawImage> photo = nullptr);
    ~AutoPaintPlans();
    AutoPaintPlans(const AutoPaintPlans&) = delete;
    AutoPaintPlans& operator=(const AutoPaintPlans&) = delete;
    // The plan of the `index`th automatic painting (from 0) of `journal`, which is always the
    // same journal for one AutoPaintPlans; nullptr when it has no such painting or it could not
    // be planned. Callers wait while another plans.
    const AutoPaintPlan* plan(const Journal& journal, const std::shared_ptr<const RawImage>& rawImage,
                              std::size_t index);

private:
    std::shared_ptr<const RawImage> m_photo;
    std::mutex m_mutex;
    bool m_made = false;
    std::vector<AutoPaintPlan> m_plans;
};

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
    // Automatic paintings to leave out, by their place (from 0): each still flattens the canvas
    // as it began, but lays nothing. Those Undo or Clear took back (WhatWasTakenBack) change
    // nothing at the end either.
    std::vector<bool> leaveOutAutoPaintings;
    // The automatic paintings' plans, shared by the tiles of one export; none: made when needed.
    std::shared_ptr<AutoPaintPlans> autoPaintPlans;
    // Called while an automatic painting is laid, after each of its strokes and once when it is
    // done, with its place among the journal's automatic paintings (from 0) and the part of it
    // laid (0 to 1, measured by the strokes' brush sizes as the screen paces it); returning false
    // stops the replay (cancelled).
    std::function<bool(const Canvas& canvas, int autoPainting, double fractionLaid)> onAutoPaintStroke;
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
// The same, and which automatic paintings (by their place, from 0) Undo or Clear took back.
struct TakenBack {
    std::vector<bool> strokes;
    std::vector<bool> autoPaintings;
};
TakenBack WhatWasTakenBack(const Journal& journal);

// How many automatic paintings the journal records.
int CountAutoPaintings(const Journal& journal);

// Replays `journal` (photo colours from `rawImage`, none for a blank painting). Fails when the
// canvas cannot be made or the journal's events are damaged.
fnd::Result<ReplayResult> ReplayJournal(const Journal& journal, std::shared_ptr<const RawImage> rawImage,
                                        const ReplayOptions& options = {});

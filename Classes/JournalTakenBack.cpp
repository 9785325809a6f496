// Which recorded strokes Undo or Clear took back, found from the events alone (no pixels): the
// canvas keeps the strokes since the last undo snapshot and the group before it in two layers,
// which Undo discards; a snapshot commits the older group; the eraser flattens both layers into
// the painting before it erases (and erases the painting itself); Clear discards everything; a
// reopening commits everything, and so does an automatic painting before its first stroke (its
// own strokes then stand as the older group).
#include <optional>
#include <vector>

#include "AutoPainter.h"
#include "Journal.h"
#include "JournalReplay.h"

namespace {

// Marks an automatic painting's number among the strokes' in the groups below.
constexpr std::uint64_t kAutoPainting = std::uint64_t{1} << 63;

bool isAutoPainting(const Journal::Event& e)
{
    AutoPaintSettings settings;
    std::optional<AutoPaintPoint> stop;
    return e.extensionKind == kAutoPaintJournalKind && DecodeAutoPaintEvent(e.extension, settings, stop);
}

} // namespace

TakenBack WhatWasTakenBack(const Journal& journal)
{
    TakenBack taken;
    std::vector<std::uint64_t> current, previous, sinceClear;
    auto discard = [&](std::vector<std::uint64_t>& items) {
        for (std::uint64_t n : items)
            (n & kAutoPainting ? taken.autoPaintings[n & ~kAutoPainting] : taken.strokes[n]) = true;
        items.clear();
    };
    bool eraser = false;
    Journal::Reader reader(journal.events());
    Journal::Event e;
    using Tag = Journal::Tag;
    while (reader.next(e)) {
        switch (e.tag) {
        case Tag::kSettings: eraser = e.settings.mode == BrushTool::kModeEraser; break;
        case Tag::kBegin: {
            const std::uint64_t n = taken.strokes.size();
            taken.strokes.push_back(false);
            sinceClear.push_back(n);
            if (eraser) {
                current.clear(); // flattened into the painting: Undo no longer reaches them
                previous.clear();
            } else {
                current.push_back(n);
            }
            break;
        }
        case Tag::kSnapshot:
            previous = std::move(current);
            current.clear();
            break;
        case Tag::kUndo:
            discard(previous);
            discard(current);
            break;
        case Tag::kClear:
            discard(sinceClear);
            current.clear();
            previous.clear();
            break;
        case Tag::kCommit:
            current.clear();
            previous.clear();
            break;
        case Tag::kExtension:
            if (isAutoPainting(e)) { // flattens what is there; its strokes stand as the previous group
                const std::uint64_t n = taken.autoPaintings.size() | kAutoPainting;
                taken.autoPaintings.push_back(false);
                sinceClear.push_back(n);
                current.clear();
                previous = {n};
            }
            break;
        default: break;
        }
    }
    return taken;
}

std::vector<bool> StrokesTakenBack(const Journal& journal) { return WhatWasTakenBack(journal).strokes; }

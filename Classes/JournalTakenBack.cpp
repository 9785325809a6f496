// Which recorded strokes Undo or Clear took back, found from the events alone (no pixels): the
// canvas keeps the strokes since the last undo snapshot and the group before it in two layers,
// which Undo discards; a snapshot commits the older group; the eraser flattens both layers into
// the painting before it erases (and erases the painting itself); Clear discards everything; a
// reopening commits everything, and so does an automatic painting before its first stroke.
#include <vector>

#include "AutoPainter.h"
#include "Journal.h"
#include "JournalReplay.h"

std::vector<bool> StrokesTakenBack(const Journal& journal)
{
    std::vector<bool> takenBack;
    std::vector<std::uint64_t> current, previous, sinceClear;
    auto discard = [&](std::vector<std::uint64_t>& strokes) {
        for (std::uint64_t n : strokes)
            takenBack[n] = true;
        strokes.clear();
    };
    bool eraser = false;
    Journal::Reader reader(journal.events());
    Journal::Event e;
    using Tag = Journal::Tag;
    while (reader.next(e)) {
        switch (e.tag) {
        case Tag::kSettings: eraser = e.settings.mode == BrushTool::kModeEraser; break;
        case Tag::kBegin: {
            const std::uint64_t n = takenBack.size();
            takenBack.push_back(false);
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
            if (e.extensionKind == kAutoPaintJournalKind) {
                current.clear();
                previous.clear();
            }
            break;
        default: break;
        }
    }
    return takenBack;
}

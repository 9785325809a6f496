#pragma once
// The reference painting session of the replay and time-lapse benchmarks: 300 strokes of one to
// three seconds over every medium at its table size, in photo paint over a 4032 x 3024 photo
// (a 1024 x 768 canvas), about 13 thousand dabs at the canvas's size, the same on every run.
#include <algorithm>
#include <cmath>
#include <memory>

#include "BrushTool.h"
#include "DataModel.h"
#include "ImageIO/DecodedImage.h"
#include "Journal.h"
#include "MediumValues.h"

namespace bench::reference {

constexpr int kPhotoWidth = 4032, kPhotoHeight = 3024;
// Moves come 1/20 s apart (a busy window coalesces touch moves), 6 canvas pixels each: 120
// pixels a second. Every move lays at least one dab, so the move rate sets the dab count.
constexpr double kStep = 6;
constexpr int kMovesPerSecond = 20;

inline DataModel::Photo makePhoto()
{
    auto photo = std::make_shared<imageio::DecodedImage>();
    photo->width = kPhotoWidth;
    photo->height = kPhotoHeight;
    photo->bytesPerRow = photo->width * 4;
    photo->bytes =
        std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(photo->bytesPerRow) * photo->height);
    std::uint8_t* p = photo->bytes->data();
    for (int y = 0; y < photo->height; ++y)
        for (int x = 0; x < photo->width; ++x, p += 4) {
            p[0] = static_cast<std::uint8_t>(x / 16);
            p[1] = static_cast<std::uint8_t>(y / 12);
            p[2] = static_cast<std::uint8_t>((x + y) / 28);
            p[3] = 255;
        }
    return photo;
}

struct Session {
    std::unique_ptr<Journal> journal;
    long dabs = 0;         // at canvas size, from the segments' lengths as the brush divides them
    double dabSideSum = 0; // canvas pixels, for the average dab
};

// The dabs the brush lays on one segment (splatter: that many per position).
inline int dabsOn(const BrushTool::Settings& s, double length)
{
    const double step = s.size * s.spacing;
    const int n = std::max(1, static_cast<int>(std::trunc(length / step + 0.5)));
    return n * (s.splatter ? s.size / 10 + 2 : 1);
}

// 300 strokes, each medium in turn in photo paint, gently curving
// the airbrush resting a little; a snapshot after every third stroke.
inline Session referenceSession()
{
    Session session;
    session.journal = std::make_unique<Journal>(1024, 768, Journal::Origin::kPhoto, 20261208);
    BrushTool brush(nullptr);
    brush.setSize(kInitialBrushSize);
    std::uint32_t state = 7;
    auto unit = [&] { return ((state = state * 1664525u + 1013904223u) >> 8) / double(1 << 24); };
    double t = 10;
    for (int s = 0; s < 300; ++s) {
        brush.setSize(kInitialBrushSize);
        ApplyMediumValue(brush, g_arMediumValues[s % NUM_MEDIUM_VALUES]);
        brush.setMode(BrushTool::kModePhoto);
        const BrushTool::Settings settings = brush.settings();
        session.journal->recordSettings(settings, true);
        gfx::Point p = RoundToInputGrid({100 + unit() * 824, 100 + unit() * 568});
        double heading = unit() * 2 * M_PI;
        session.journal->recordBegin(p, t, BrushTool::AirbrushClock::kByTicks);
        const int moves = kMovesPerSecond + static_cast<int>(unit() * 2 * kMovesPerSecond);
        for (int i = 0; i < moves; ++i) {
            heading += (unit() - 0.5) * 0.2;
            gfx::Point q = RoundToInputGrid({std::clamp(p.x + std::cos(heading) * kStep, 0.0, 1024.0),
                                             std::clamp(p.y + std::sin(heading) * kStep, 0.0, 768.0)});
            t += 1.0 / kMovesPerSecond;
            if (settings.airbrush && i % 5 == 0) {
                session.journal->recordAirbrushDab();
                ++session.dabs;
                session.dabSideSum += settings.size;
            }
            session.journal->recordMove(p, q, t);
            const int n = dabsOn(settings, std::hypot(q.x - p.x, q.y - p.y));
            session.dabs += n;
            session.dabSideSum += n * settings.size;
            p = q;
        }
        session.journal->recordEnd(t);
        if (s % 3 == 2)
            session.journal->recordSnapshot();
        t += 0.5;
    }
    return session;
}

} // namespace bench::reference

#pragma once
// The medium picker's row pictures: a sample stroke of each medium on a strip of paper, with the
// medium's name beside it. Kept apart so a stroke from the real brush engine can replace it.
#include <string>

namespace genres {

inline constexpr int kMediumPictureWidth = 280;
inline constexpr int kMediumRowHeight = 52;
inline constexpr int kAirbrushRowHeight = 91;

// Writes <shape>_medium.png and <shape>_medium@2x.png for every brush shape.
bool writeMediumPictures(const std::string& outDir);

} // namespace genres

#pragma once
// The medium picker's row pictures are painted by the real brush engine in tools/medium-pictures
// (it links the application classes, which this generator does not); the generator leaves them
// alone so a run does not replace them.
#include <string>

namespace genres {

inline constexpr int kMediumPictureWidth = 280;
inline constexpr int kMediumRowHeight = 52;
inline constexpr int kAirbrushRowHeight = 91;

// Writes nothing: see tools/medium-pictures. Kept so the generator's list of steps names them.
bool writeMediumPictures(const std::string& outDir);

} // namespace genres

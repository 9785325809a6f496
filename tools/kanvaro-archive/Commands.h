#pragma once
// The commands of kanvaro-archive, a companion tool that inspects, renders and makes painting
// archives with the application's own classes. Each returns the process exit status.
#include <optional>
#include <string>
#include <vector>

namespace archivetool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // the output could not be written
inline constexpr int kExitBadInput = 2; // not a painting, or an unusable photo
inline constexpr int kExitUsage = 64;   // EX_USAGE

inline constexpr const char* kToolName = "kanvaro-archive";
inline constexpr const char* kUnsupportedPhoto =
    "The photo you selected is in an unsupported format. Please select another photo.";

// Prints the classes, sizes, paper colour and texture of the painting at `path`, and its journal.
int info(const std::string& path);
// Writes the painting composited with its paper colour and texture, at its size, as a PNG; or
// made again from its journal at `scale` times its size (1: the same picture), or at full size as
// the application's "Export Full Size" makes it (the photo's size; 4 times a blank canvas).
enum class RenderSize { kStored, kScaled, kFullSize };
int render(const std::string& path, const std::string& pngPath, RenderSize size = RenderSize::kStored,
           std::optional<double> scale = std::nullopt);
// Writes the painting's time-lapse video (MP4), `seconds` long, its long side `longSide` pixels.
int timeLapse(const std::string& path, const std::string& videoPath, int seconds, int longSide);
// Makes the document that picking `photoPath` in the application would make and archives it.
int fromPhoto(const std::string& photoPath, const std::string& artPath);
// `paint PHOTO OUT.art [--medium NAME] [--paper NAME] [--seed N] [--report]`: the document
// picking the photo makes, painted automatically (no animation) and archived.
int paint(const std::vector<std::string>& args);

} // namespace archivetool

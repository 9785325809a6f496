// Colour objects in their archived variants: RGBA or grey components (float32, float64 or int),
// or the text form "r g b[ a]" / "w[ a]" chosen by the colour space number.
#include <algorithm>
#include <charconv>
#include <cmath>

#include "Foundation/KeyedUnarchiver.h"

namespace fnd {

namespace {

enum ColorSpace : int64_t { kCalibratedRGB = 1, kDeviceRGB = 2, kCalibratedWhite = 3, kDeviceWhite = 4 };

float clampUnit(double value) { return static_cast<float>(std::clamp(value, 0.0, 1.0)); }

// Space-separated decimals, possibly NUL-terminated; nullopt on anything else.
std::optional<std::vector<double>> parseNumbers(std::span<const uint8_t> bytes)
{
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    while (text.ends_with('\0'))
        text.remove_suffix(1);
    std::vector<double> numbers;
    while (!text.empty() && numbers.size() <= 4) {
        const size_t start = text.find_first_not_of(' ');
        if (start == std::string_view::npos)
            break;
        text.remove_prefix(start);
        double number = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
        const size_t used = static_cast<size_t>(result.ptr - text.data());
        if (result.ec != std::errc() || !std::isfinite(number) || (used < text.size() && text[used] != ' '))
            return std::nullopt;
        numbers.push_back(number);
        text.remove_prefix(used);
    }
    return numbers;
}

} // namespace

std::optional<double> KeyedUnarchiver::component(const PlistObject& dict, std::string_view name, std::string_view key)
{
    auto found = lookup(dict, std::string(name) + "-Double"); // exact value, preferred
    if (!found)
        found = lookup(dict, name);
    if (!found)
        return std::nullopt;
    double value = 0;
    if (found->type == PlistType::Real)
        value = found->real;
    else if (found->type == PlistType::Int)
        value = static_cast<double>(found->integer);
    else {
        fail(key, "colour component " + std::string(name) + " is not a number");
        return std::nullopt;
    }
    if (!std::isfinite(value)) {
        fail(key, "colour component " + std::string(name) + " is not finite");
        return std::nullopt;
    }
    return value;
}

std::optional<RGBA> KeyedUnarchiver::colorFromDict(const PlistObject& dict, std::string_view key)
{
    auto count = lookup(dict, "UIColorComponentCount");
    if (count && count->type != PlistType::Int) {
        fail(key, "colour component count is not an integer");
        return std::nullopt;
    }
    const int64_t components = count ? count->integer : 0;
    if (components != 4 && components != 2)
        return colorFromText(dict, key);
    const bool rgb = components == 4;
    auto red = component(dict, rgb ? "UIRed" : "UIWhite", key);
    auto green = rgb ? component(dict, "UIGreen", key) : red;
    auto blue = rgb ? component(dict, "UIBlue", key) : red;
    auto alpha = component(dict, "UIAlpha", key);
    if (!red || !green || !blue || !alpha) {
        fail(key, "colour lacks a component");
        return std::nullopt;
    }
    return RGBA{clampUnit(*red), clampUnit(*green), clampUnit(*blue), clampUnit(*alpha)};
}

std::optional<RGBA> KeyedUnarchiver::colorFromText(const PlistObject& dict, std::string_view key)
{
    auto space = lookup(dict, "NSColorSpace");
    const int64_t spaceNumber = space && space->type == PlistType::Int ? space->integer : 0;
    const bool rgb = spaceNumber == kCalibratedRGB || spaceNumber == kDeviceRGB;
    const bool white = spaceNumber == kCalibratedWhite || spaceNumber == kDeviceWhite;
    auto text = rgb ? lookup(dict, "NSRGB") : white ? lookup(dict, "NSWhite") : std::nullopt;
    auto numbers = text && text->type == PlistType::Data ? parseNumbers(text->bytes()) : std::nullopt;
    const size_t channels = rgb ? 3 : 1;
    if (!numbers || numbers->size() < channels || numbers->size() > channels + 1) {
        fail(key, "colour has no usable form");
        return std::nullopt;
    }
    const std::vector<double>& n = *numbers;
    const double alpha = n.size() > channels ? n[channels] : 1.0;
    if (rgb)
        return RGBA{clampUnit(n[0]), clampUnit(n[1]), clampUnit(n[2]), clampUnit(alpha)};
    return RGBA{clampUnit(n[0]), clampUnit(n[0]), clampUnit(n[0]), clampUnit(alpha)};
}

} // namespace fnd

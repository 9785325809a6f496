#pragma once
// Receives the colour picker's choice: a colour for freehand paint, or no colour for
// "Photo Paint". Cancel reports nothing.
#include <optional>

#include "Graphics/Color.h"

class ColorPickerViewController;

class ColorPickerViewControllerDelegate {
public:
    virtual ~ColorPickerViewControllerDelegate() = default;
    // `picker` may be null when the choice did not come from a picker.
    virtual void colorPickerViewControllerDidPickColor(ColorPickerViewController* picker,
                                                       std::optional<gfx::Color> color) = 0;
};

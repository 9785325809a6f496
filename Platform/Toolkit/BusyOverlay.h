#pragma once
// A busy sign: a large white spinning wheel on a background picture, with a line of text under
// it ("Saving", "Creating Blueprint"). The picture's size sets the layout: the wheel's centre a
// third of the way down, the text at two thirds. The view is the picture's size; its owner places
// it, shows and hides it, and starts and stops the wheel. The text is also its accessibility
// label, so scripts see the sign by what it says.
#include <memory>
#include <string>

#include "Toolkit/ActivityIndicator.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/Label.h"

namespace ui {

class BusyOverlay : public ImageView {
public:
    // Made with std::make_shared. Without a picture the sign is `fallbackSize` big.
    BusyOverlay(ImageAssetRef background, const std::string& text, gfx::Size fallbackSize = {160, 120});

    const std::shared_ptr<ActivityIndicator>& spinner() const { return m_spinner; }

    static constexpr double kSpinnerSide = 50;
    static constexpr double kTextHeight = 22;
    static constexpr double kFontSize = 12;

private:
    std::shared_ptr<ActivityIndicator> m_spinner;
    std::shared_ptr<Label> m_label;
};

} // namespace ui

#pragma once
// A push button of the custom type: per control state it can carry an image (drawn centred in
// the bounds less imageEdgeInsets, shrunk to fit when larger), a background image (stretched
// over the bounds) and a title (shown by titleLabel over both). A state without its own value
// shows the selected or highlighted one it contains, else the normal one. With
// showsTouchWhenHighlighted the button glows at its centre while pressed. Its accessibility label
// follows its normal title, else its normal image's name, until set explicitly.
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "Toolkit/Control.h"
#include "Toolkit/EdgeInsets.h"
#include "Toolkit/ImageAsset.h"
#include "Toolkit/Label.h"

namespace ui {

enum class ButtonType { Custom = 0 };

class Button : public Control {
public:
    explicit Button(const gfx::Rect& frame = {});
    static std::shared_ptr<Button> buttonWithType(ButtonType type);

    void setImage(ImageAssetRef image, ControlState state);
    ImageAssetRef imageForState(ControlState state) const;
    void setBackgroundImage(ImageAssetRef image, ControlState state);
    ImageAssetRef backgroundImageForState(ControlState state) const;
    void setTitle(const std::string& title, ControlState state);
    std::string titleForState(ControlState state) const;
    void setTitleColor(const gfx::Color& color, ControlState state);
    gfx::Color titleColorForState(ControlState state) const;

    ImageAssetRef currentImage() const { return imageForState(state()); }
    std::string currentTitle() const { return titleForState(state()); }

    EdgeInsets imageEdgeInsets() const { return m_imageEdgeInsets; }
    void setImageEdgeInsets(const EdgeInsets& insets);
    bool showsTouchWhenHighlighted() const { return m_showsTouch; }
    void setShowsTouchWhenHighlighted(bool shows) { m_showsTouch = shows; }

    Label& titleLabel() { return *m_titleLabel; }

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;
    void layoutSubviews() override;

protected:
    void stateDidChange() override;

private:
    template <typename T> static const T* lookup(const std::map<unsigned, T>& values, ControlState state);
    void refreshTitle();
    void refreshAccessibilityLabel();
    void drawGlow(gfx::BitmapContext& context) const;

    std::map<unsigned, ImageAssetRef> m_images;
    std::map<unsigned, ImageAssetRef> m_backgroundImages;
    std::map<unsigned, std::string> m_titles;
    std::map<unsigned, gfx::Color> m_titleColors;
    EdgeInsets m_imageEdgeInsets;
    bool m_showsTouch = false;
    std::string m_defaultAccessibilityLabel;
    std::shared_ptr<Label> m_titleLabel;
};

} // namespace ui

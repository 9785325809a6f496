#include "Toolkit/Button.h"

#include "Toolkit/ControlDrawing.h"
#include "Toolkit/ImageView.h"

namespace ui {

namespace {
constexpr double kGlowRadius = 20;
constexpr double kButtonTitleFontSize = 15;

unsigned key(ControlState state) { return static_cast<unsigned>(state); }
} // namespace

Button::Button(const gfx::Rect& frame)
    : Control(frame), m_titleLabel(std::make_shared<Label>(gfx::Rect({0, 0}, frame.size)))
{
    m_titleLabel->setFont(Font::boldSystemFont(kButtonTitleFontSize));
    m_titleLabel->setTextColor(gfx::Color::white());
    m_titleLabel->setTextAlignment(TextAlignment::Center);
    m_titleLabel->setLineBreakMode(LineBreakMode::TailTruncation);
    addSubview(m_titleLabel);
}

std::shared_ptr<Button> Button::buttonWithType(ButtonType /*type*/) { return std::make_shared<Button>(); }

template <typename T> const T* Button::lookup(const std::map<unsigned, T>& values, ControlState state)
{
    // Exact state first, then the selected or highlighted part of it, then normal.
    for (unsigned candidate : {key(state), key(state) & key(ControlState::Selected),
                               key(state) & key(ControlState::Highlighted), key(ControlState::Normal)}) {
        if (auto it = values.find(candidate); it != values.end())
            return &it->second;
    }
    return nullptr;
}

void Button::setImage(ImageAssetRef image, ControlState state)
{
    if (image)
        m_images[key(state)] = std::move(image);
    else
        m_images.erase(key(state));
    refreshAccessibilityLabel();
    setNeedsDisplay();
}

ImageAssetRef Button::imageForState(ControlState state) const
{
    const ImageAssetRef* image = lookup(m_images, state);
    return image ? *image : nullptr;
}

void Button::setBackgroundImage(ImageAssetRef image, ControlState state)
{
    if (image)
        m_backgroundImages[key(state)] = std::move(image);
    else
        m_backgroundImages.erase(key(state));
    setNeedsDisplay();
}

ImageAssetRef Button::backgroundImageForState(ControlState state) const
{
    const ImageAssetRef* image = lookup(m_backgroundImages, state);
    return image ? *image : nullptr;
}

void Button::setTitle(const std::string& title, ControlState state)
{
    m_titles[key(state)] = title;
    refreshAccessibilityLabel();
    refreshTitle();
}

std::string Button::titleForState(ControlState state) const
{
    const std::string* title = lookup(m_titles, state);
    return title ? *title : std::string();
}

void Button::setTitleColor(const gfx::Color& color, ControlState state)
{
    m_titleColors[key(state)] = color;
    refreshTitle();
}

gfx::Color Button::titleColorForState(ControlState state) const
{
    const gfx::Color* color = lookup(m_titleColors, state);
    return color ? *color : gfx::Color::white();
}

void Button::setImageEdgeInsets(const EdgeInsets& insets)
{
    m_imageEdgeInsets = insets;
    setNeedsDisplay();
}

void Button::stateDidChange()
{
    refreshTitle();
    setNeedsDisplay();
}

void Button::refreshTitle()
{
    m_titleLabel->setText(currentTitle());
    m_titleLabel->setTextColor(titleColorForState(state()));
}

void Button::refreshAccessibilityLabel()
{
    // Only a label this button set itself follows its title and image.
    if (!accessibilityLabel().empty() && accessibilityLabel() != m_defaultAccessibilityLabel)
        return;
    std::string label = titleForState(ControlState::Normal);
    if (label.empty()) {
        if (ImageAssetRef image = imageForState(ControlState::Normal))
            label = image->spokenName();
    }
    m_defaultAccessibilityLabel = label;
    setAccessibilityLabel(label);
}

void Button::layoutSubviews() { m_titleLabel->setFrame(bounds()); }

void Button::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    gfx::Rect b = bounds();
    if (ImageAssetRef background = backgroundImageForState(state()))
        drawImageAsset(context, b, *background);
    if (ImageAssetRef image = currentImage()) {
        gfx::Rect content = m_imageEdgeInsets.inset(b);
        gfx::Size size = image->pointSize;
        bool tooLarge = size.width > content.width() || size.height > content.height();
        drawImageAsset(
            context,
            imageRectForContentMode(tooLarge ? ContentMode::ScaleAspectFit : ContentMode::Center, content, size),
            *image);
    }
    if (m_showsTouch && isHighlighted())
        drawGlow(context);
}

void Button::drawGlow(gfx::BitmapContext& context) const
{
    gfx::Rect b = bounds();
    fillGlow(context, {b.midX(), b.midY()}, kGlowRadius);
}

} // namespace ui

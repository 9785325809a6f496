#include "Toolkit/KeyHelpPanel.h"

#include "Toolkit/Label.h"
#include "Toolkit/Window.h"

namespace ui {

namespace {
constexpr double kHelpMargin = 14;
constexpr double kHelpTitleHeight = 28;
constexpr double kKeysWidth = 92;
constexpr double kColumnGap = 12;
constexpr double kFooterHeight = 26;
constexpr double kHelpCornerRadius = 10;
constexpr double kHelpRimWidth = 2;
constexpr double kRowFontSize = 13;
} // namespace

KeyHelpPanel::KeyHelpPanel(const std::string& title, const std::vector<Row>& rows) : ModalPanel({0, 0, 320, 480})
{
    m_titleLabel = addLabel(title, Font::boldSystemFont(17), TextAlignment::Center);
    for (const Row& row : rows) {
        m_rows.emplace_back(addLabel(row.keys, Font::boldSystemFont(kRowFontSize), TextAlignment::Right),
                            addLabel(row.meaning, Font::systemFont(kRowFontSize), TextAlignment::Left));
    }
    m_footerLabel = addLabel("Press any key or tap to close", Font::systemFont(11), TextAlignment::Center);
    layOut(bounds());
}

std::shared_ptr<Label> KeyHelpPanel::addLabel(const std::string& text, const Font& font, TextAlignment alignment)
{
    auto label = std::make_shared<Label>();
    label->setText(text);
    label->setFont(font);
    label->setTextColor(gfx::Color::white());
    label->setShadowColor(gfx::Color::black().withAlpha(0.6f));
    label->setTextAlignment(alignment);
    label->setBackgroundColor(gfx::Color::clear());
    label->setOpaque(false);
    label->setUserInteractionEnabled(false);
    label->setAccessibilityLabel(text);
    addSubview(label);
    return label;
}

// The box is centred in `area`; rows stack under the title.
void KeyHelpPanel::layOut(const gfx::Rect& area)
{
    const double height =
        kHelpMargin + kHelpTitleHeight + static_cast<double>(m_rows.size()) * kRowHeight + kFooterHeight + kHelpMargin;
    m_box = gfx::Rect(area.midX() - kWidth / 2, area.midY() - height / 2, kWidth, height);
    double y = m_box.minY() + kHelpMargin;
    m_titleLabel->setFrame({m_box.minX() + kHelpMargin, y, kWidth - 2 * kHelpMargin, kHelpTitleHeight});
    y += kHelpTitleHeight;
    const double left = m_box.minX() + kHelpMargin;
    const double meaningX = left + kKeysWidth + kColumnGap;
    for (auto& [keys, meaning] : m_rows) {
        keys->setFrame({left, y, kKeysWidth, kRowHeight});
        meaning->setFrame({meaningX, y, m_box.maxX() - kHelpMargin - meaningX, kRowHeight});
        y += kRowHeight;
    }
    m_footerLabel->setFrame({left, y + 6, kWidth - 2 * kHelpMargin, kFooterHeight - 6});
}

void KeyHelpPanel::showInWindow(Window& window)
{
    if (isVisible())
        return;
    setFrame(window.bounds());
    layOut(bounds());
    presentIn(window, DimmingView::Style::Flat);
}

bool KeyHelpPanel::keyDown(const KeyEvent& event)
{
    // A held key's repeats (the key that opened the panel, still down) do not close it.
    if (!event.repeat)
        dismissWithClickedButtonIndex(-1, true);
    return true;
}

void KeyHelpPanel::touchesEnded(const TouchSet& /*touches*/, const Event& /*event*/)
{
    dismissWithClickedButtonIndex(-1, true);
}

void KeyHelpPanel::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    // Translucent near-black with a white rim and a glossy sheen over its upper part.
    const gfx::Rect box = m_box.insetBy(kHelpRimWidth / 2, kHelpRimWidth / 2);
    const gfx::Path outline = gfx::Path::roundedRect(box, kHelpCornerRadius);
    {
        gfx::GStateSaver saved(context);
        context.clipToPath(outline);
        gfx::Gradient body{{0, {0.18f, 0.18f, 0.2f, 0.88f}}, {1, {0.03f, 0.03f, 0.04f, 0.88f}}};
        context.drawLinearGradient(body, {0, box.minY()}, {0, box.maxY()});
        const gfx::Rect sheenArea{box.minX() - box.width() * 0.25, box.minY() - 60, box.width() * 1.5, 100};
        context.clipToPath(gfx::Path::ellipse(sheenArea));
        gfx::Gradient sheen{{0, gfx::Color::white().withAlpha(0.3f)}, {1, gfx::Color::white().withAlpha(0.06f)}};
        context.drawLinearGradient(sheen, {0, box.minY()}, {0, sheenArea.maxY()});
    }
    context.setStrokeColor(gfx::Color::white().withAlpha(0.8f));
    context.setLineWidth(kHelpRimWidth);
    context.strokePath(outline);
}

} // namespace ui

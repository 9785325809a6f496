#include "Toolkit/ActionSheet.h"

#include "Foundation/Log.h"
#include "Toolkit/Toolbar.h"
#include "Toolkit/Window.h"

namespace ui {

namespace {
constexpr double kSheetTitleFontSize = 13;
constexpr double kSheetTopMargin = 16;
constexpr double kTitleToButtons = 12;
constexpr double kSheetBottomMargin = 18;
constexpr gfx::Color kTitleColor{0.8f, 0.81f, 0.84f, 1};
} // namespace

ActionSheet::ActionSheet(const std::string& title, ActionSheetDelegate* delegate, const std::string& cancelButtonTitle,
                         const std::string& destructiveButtonTitle, const std::vector<std::string>& otherButtonTitles)
    : ModalPanel({0, 0, kWidth, 0}), m_title(title), m_delegate(delegate)
{
    if (!m_title.empty()) {
        m_titleLabel = std::make_shared<Label>();
        m_titleLabel->setText(m_title);
        m_titleLabel->setFont(Font::systemFont(kSheetTitleFontSize));
        m_titleLabel->setTextColor(kTitleColor);
        m_titleLabel->setShadowColor(gfx::Color::black().withAlpha(0.6f));
        m_titleLabel->setTextAlignment(TextAlignment::Center);
        m_titleLabel->setNumberOfLines(0);
        addSubview(m_titleLabel);
    }
    if (!destructiveButtonTitle.empty()) {
        m_destructiveIndex = numberOfButtons();
        addButton(PanelButton::Look::Destructive, destructiveButtonTitle);
    }
    for (const std::string& other : otherButtonTitles) {
        if (m_firstOtherIndex < 0)
            m_firstOtherIndex = numberOfButtons();
        addButton(PanelButton::Look::Plain, other);
    }
    if (!cancelButtonTitle.empty()) {
        m_cancelIndex = numberOfButtons();
        addButton(PanelButton::Look::Cancel, cancelButtonTitle);
    }
    layOut();
}

// Stacks the title and the buttons from the top and sizes the sheet around them.
void ActionSheet::layOut()
{
    const double buttonX = (kWidth - kButtonWidth) / 2;
    double y = kSheetTopMargin;
    if (m_titleLabel) {
        gfx::Size text = m_titleLabel->sizeThatFits({kButtonWidth, 0});
        m_titleLabel->setFrame({buttonX, y, kButtonWidth, text.height});
        y += text.height + kTitleToButtons;
    }
    for (int i = 0; i < numberOfButtons(); ++i) {
        if (i > 0)
            y += i == m_cancelIndex ? kButtonSpacing + kCancelSpacing : kButtonSpacing;
        buttonAtIndex(i)->setFrame({buttonX, y, kButtonWidth, kButtonHeight});
        y += kButtonHeight;
    }
    setBounds({0, 0, kWidth, y + kSheetBottomMargin});
}

void ActionSheet::showFromToolbar(Toolbar& toolbar) { showInView(toolbar); }

void ActionSheet::showInView(View& view)
{
    Window* window = view.window();
    if (!window) {
        fnd::log("ActionSheet: the view to show the sheet in is not in a window");
        return;
    }
    if (isVisible())
        return;
    gfx::Rect area = window->bounds();
    m_shownCenter = {area.midX(), area.maxY() - bounds().height() / 2};
    setCenter(m_shownCenter);
    presentIn(*window, DimmingView::Style::Flat);
}

void ActionSheet::prepareEntrance() { setCenter({m_shownCenter.x, m_shownCenter.y + bounds().height()}); }

void ActionSheet::animateEntrance()
{
    View::setAnimationCurve(AnimationCurve::EaseOut);
    setCenter(m_shownCenter);
}

void ActionSheet::animateExit()
{
    View::setAnimationCurve(AnimationCurve::EaseIn);
    setCenter({m_shownCenter.x, m_shownCenter.y + bounds().height()});
}

void ActionSheet::deliverClick(int index)
{
    if (ActionSheetDelegate* delegate = m_delegate.get())
        delegate->actionSheetClickedButtonAtIndex(*this, index);
}

void ActionSheet::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    // A smoked-glass panel: dark, a little see-through, lighter at the top, with a bright edge.
    gfx::Rect b = bounds();
    gfx::GStateSaver saved(context);
    context.clipToRect(b);
    gfx::Gradient glass{
        {0, {0.27f, 0.29f, 0.33f, 0.93f}}, {0.5f, {0.13f, 0.14f, 0.17f, 0.93f}}, {1, {0.05f, 0.05f, 0.07f, 0.95f}}};
    context.drawLinearGradient(glass, {0, b.minY()}, {0, b.maxY()});
    context.setFillColor(gfx::Color::black().withAlpha(0.8f));
    context.fillRect({b.minX(), b.minY(), b.width(), 1});
    context.setFillColor(gfx::Color::white().withAlpha(0.35f));
    context.fillRect({b.minX(), b.minY() + 1, b.width(), 1});
}

} // namespace ui

#include "Toolkit/AlertView.h"

#include "Foundation/Log.h"
#include "Toolkit/ControlDrawing.h"
#include "Toolkit/Window.h"

namespace ui {

namespace {
constexpr double kTitleFontSize = 17;
constexpr double kMessageFontSize = 15;
constexpr double kSideMargin = 12;
constexpr double kTopMargin = 16;
constexpr double kTextSpacing = 6;
constexpr double kTextToButtons = 14;
constexpr double kButtonSpacing = 8;
constexpr double kBottomMargin = 14;
constexpr double kCornerRadius = 10;
constexpr double kRimWidth = 2;
constexpr double kTextWidth = AlertView::kWidth - 2 * kSideMargin;
constexpr double kProgressSpacing = 12; // above and below a progress bar
constexpr double kProgressInset = 8;
} // namespace

AlertView::AlertView(const std::string& title, const std::string& message, AlertViewDelegate* delegate,
                     const std::string& cancelButtonTitle, const std::vector<std::string>& otherButtonTitles)
    : ModalPanel({0, 0, kWidth, 0}), m_title(title), m_message(message), m_delegate(delegate)
{
    if (!cancelButtonTitle.empty()) {
        m_cancelIndex = numberOfButtons();
        addButton(PanelButton::Look::AlertCancel, cancelButtonTitle);
    }
    for (const std::string& other : otherButtonTitles) {
        if (m_firstOtherIndex < 0)
            m_firstOtherIndex = numberOfButtons();
        addButton(PanelButton::Look::AlertOther, other);
    }
    if (!m_title.empty())
        m_titleLabel = makeTextLabel(m_title, Font::boldSystemFont(kTitleFontSize));
    if (!m_message.empty())
        m_messageLabel = makeTextLabel(m_message, Font::systemFont(kMessageFontSize));
    layOut();
}

// Title, progress bar, message and buttons from the top down; the alert's height follows.
void AlertView::layOut()
{
    double y = kTopMargin;
    if (m_titleLabel) {
        m_titleLabel->setFrame({kSideMargin, y, kTextWidth, m_titleLabel->sizeThatFits({kTextWidth, 0}).height});
        y = m_titleLabel->frame().maxY() + kTextSpacing;
    }
    if (m_progressView) {
        y += kProgressSpacing - kTextSpacing;
        m_progressView->setFrame(
            {kSideMargin + kProgressInset, y, kTextWidth - 2 * kProgressInset, ProgressView::kBarHeight});
        y = m_progressView->frame().maxY() + kProgressSpacing;
    }
    if (m_messageLabel) {
        m_messageLabel->setFrame({kSideMargin, y, kTextWidth, m_messageLabel->sizeThatFits({kTextWidth, 0}).height});
        y = m_messageLabel->frame().maxY() + kTextSpacing;
    }
    y += kTextToButtons - kTextSpacing;
    double bottom = numberOfButtons() > 0 ? layOutButtons(y) + kBottomMargin : y;
    const gfx::Point center = this->center();
    setBounds({0, 0, kWidth, bottom});
    setCenter(center);
}

void AlertView::setProgress(double fraction)
{
    if (!m_progressView) {
        m_progressView = std::make_shared<ProgressView>();
        addSubview(m_progressView);
        layOut();
    }
    m_progressView->setProgress(fraction);
}

std::shared_ptr<Label> AlertView::makeTextLabel(const std::string& text, const Font& font)
{
    auto label = std::make_shared<Label>();
    label->setText(text);
    label->setFont(font);
    label->setTextColor(gfx::Color::white());
    label->setShadowColor(gfx::Color::black().withAlpha(0.6f));
    label->setTextAlignment(TextAlignment::Center);
    label->setNumberOfLines(0);
    addSubview(label);
    return label;
}

// Places the buttons from `top` down and returns where the last one ends.
double AlertView::layOutButtons(double top)
{
    const double width = kWidth - 2 * kSideMargin;
    if (numberOfButtons() == 2) {
        // The cancel button, when there is one, is index 0: on the left.
        double half = (width - kButtonSpacing) / 2;
        buttonAtIndex(0)->setFrame({kSideMargin, top, half, kButtonHeight});
        buttonAtIndex(1)->setFrame({kSideMargin + half + kButtonSpacing, top, half, kButtonHeight});
        return top + kButtonHeight;
    }
    // A column: the other buttons in order, the cancel button below them.
    double y = top;
    auto place = [&](int index) {
        buttonAtIndex(index)->setFrame({kSideMargin, y, width, kButtonHeight});
        y += kButtonHeight + kButtonSpacing;
    };
    for (int i = 0; i < numberOfButtons(); ++i) {
        if (i != m_cancelIndex)
            place(i);
    }
    if (m_cancelIndex >= 0)
        place(m_cancelIndex);
    return y - kButtonSpacing;
}

void AlertView::show()
{
    if (Window* window = Window::keyWindow()) {
        showInWindow(*window);
        return;
    }
    fnd::log("AlertView: no key window to show the alert \"" + m_title + "\" in");
}

void AlertView::showInWindow(Window& window)
{
    if (isVisible())
        return;
    gfx::Rect area = window.bounds();
    setCenter({area.midX(), area.midY()});
    presentIn(window, DimmingView::Style::Spotlight);
}

void AlertView::prepareEntrance()
{
    setAlpha(0);
    setTransform(gfx::AffineTransform::scaling(kPopScale, kPopScale));
}

void AlertView::animateEntrance()
{
    View::setAnimationCurve(AnimationCurve::EaseOut);
    setAlpha(1);
    setTransform(gfx::AffineTransform());
}

void AlertView::animateExit() { setAlpha(0); }

void AlertView::deliverClick(int index)
{
    if (AlertViewDelegate* delegate = m_delegate.get())
        delegate->alertViewClickedButtonAtIndex(*this, index);
}

void AlertView::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    // A translucent dark-blue box with a white rim and a glossy sheen over its upper part.
    gfx::Rect box = bounds().insetBy(kRimWidth / 2, kRimWidth / 2);
    gfx::Path outline = gfx::Path::roundedRect(box, kCornerRadius);
    {
        gfx::GStateSaver saved(context);
        context.clipToPath(outline);
        gfx::Gradient body{{0, {0.2f, 0.27f, 0.5f, 0.95f}}, {1, {0.05f, 0.09f, 0.25f, 0.95f}}};
        context.drawLinearGradient(body, {0, box.minY()}, {0, box.maxY()});
        gfx::Rect sheenArea{box.minX() - box.width() * 0.25, box.minY() - 60, box.width() * 1.5, 100};
        context.clipToPath(gfx::Path::ellipse(sheenArea));
        gfx::Gradient sheen{{0, gfx::Color::white().withAlpha(0.35f)}, {1, gfx::Color::white().withAlpha(0.08f)}};
        context.drawLinearGradient(sheen, {0, box.minY()}, {0, sheenArea.maxY()});
    }
    context.setStrokeColor(gfx::Color::white().withAlpha(0.95f));
    context.setLineWidth(kRimWidth);
    context.strokePath(outline);
}

void AlertView::setMessage(const std::string& message)
{
    m_message = message;
    if (m_messageLabel)
        m_messageLabel->setText(message);
}

} // namespace ui

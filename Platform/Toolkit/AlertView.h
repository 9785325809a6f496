#pragma once
// A message in a box in the middle of the dimmed screen: an optional title and message, then
// the buttons. Buttons are numbered: the cancel button first (index 0, when there is one), then
// the other buttons in the order given. Two buttons stand side by side, the cancel button on the
// left; one, or three and more, stand in a column with the cancel button at the bottom. The
// alert fades in with a small pop and fades out; a tap on a button tells the delegate its index
// (alertViewClickedButtonAtIndex); a delegate destroyed meanwhile is simply not told. A progress
// alert also shows a bar of the part done (setProgress) over its message.
//
// Make alerts with std::make_shared; the window keeps a shown alert alive until it is gone.
#include <string>
#include <vector>

#include "Toolkit/ModalPanel.h"
#include "Toolkit/ProgressView.h"
#include "Toolkit/WeakDelegate.h"

namespace ui {

class AlertView;
class Window;

class AlertViewDelegate : public DelegateLifetime {
public:
    virtual void alertViewClickedButtonAtIndex(AlertView& alert, int buttonIndex) = 0;
};

class AlertView : public ModalPanel {
public:
    // Empty strings mean no title, no message, no cancel button.
    AlertView(const std::string& title, const std::string& message, AlertViewDelegate* delegate,
              const std::string& cancelButtonTitle, const std::vector<std::string>& otherButtonTitles);

    const std::string& title() const { return m_title; }
    const std::string& message() const { return m_message; }
    // Changes the message of an alert made with one (a progress line), keeping its layout.
    void setMessage(const std::string& message);
    // Shows a progress bar (ProgressView) under the title, filled to `fraction` (0 to 1): the
    // first call adds it and makes the alert taller, keeping its centre.
    void setProgress(double fraction);
    // The bar, once setProgress was called.
    const std::shared_ptr<ProgressView>& progressView() const { return m_progressView; }
    AlertViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(AlertViewDelegate* delegate) { m_delegate = delegate; }
    // -1 when there is no such button.
    int cancelButtonIndex() const { return m_cancelIndex; }
    int firstOtherButtonIndex() const { return m_firstOtherIndex; }

    // Shows the alert in the key window (nothing happens, and a line is logged, without one).
    void show();
    void showInWindow(Window& window);

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

    static constexpr double kWidth = 284;
    static constexpr double kButtonHeight = 43;
    static constexpr double kFadeSeconds = 0.2;
    static constexpr double kPopScale = 1.1;

protected:
    void prepareEntrance() override;
    void animateEntrance() override;
    void animateExit() override;
    double transitionSeconds() const override { return kFadeSeconds; }
    void deliverClick(int index) override;
    int escapeButtonIndex() const override { return m_cancelIndex; }

private:
    std::shared_ptr<Label> makeTextLabel(const std::string& text, const Font& font);
    void layOut();
    double layOutButtons(double top);

    std::string m_title;
    std::string m_message;
    WeakDelegate<AlertViewDelegate> m_delegate;
    std::shared_ptr<Label> m_titleLabel;
    std::shared_ptr<Label> m_messageLabel;
    std::shared_ptr<ProgressView> m_progressView;
    int m_cancelIndex = -1;
    int m_firstOtherIndex = -1;
};

} // namespace ui

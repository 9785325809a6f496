#pragma once
// A sheet of choices that rises from the bottom of the screen over a dimmed window: an optional
// title (a carriage return breaks its line), then the buttons. Buttons are numbered in the order
// they stand: the destructive button first (when there is one), then the other buttons in the
// order given, then the cancel button (when there is one) last, set apart from the others.
// A tap on a button tells the delegate its index (actionSheetClickedButtonAtIndex) and the sheet
// slides away; a delegate destroyed meanwhile is simply not told.
//
// Make sheets with std::make_shared; the window keeps a shown sheet alive until it is gone.
#include <string>
#include <vector>

#include "Toolkit/ModalPanel.h"
#include "Toolkit/WeakDelegate.h"

namespace ui {

class ActionSheet;
class Toolbar;

class ActionSheetDelegate : public DelegateLifetime {
public:
    virtual void actionSheetClickedButtonAtIndex(ActionSheet& sheet, int buttonIndex) = 0;
};

class ActionSheet : public ModalPanel {
public:
    // Empty strings mean no title, no cancel button, no destructive button.
    ActionSheet(const std::string& title, ActionSheetDelegate* delegate, const std::string& cancelButtonTitle,
                const std::string& destructiveButtonTitle, const std::vector<std::string>& otherButtonTitles);

    const std::string& title() const { return m_title; }
    ActionSheetDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ActionSheetDelegate* delegate) { m_delegate = delegate; }
    // -1 when the sheet has no such button.
    int cancelButtonIndex() const { return m_cancelIndex; }
    int destructiveButtonIndex() const { return m_destructiveIndex; }
    int firstOtherButtonIndex() const { return m_firstOtherIndex; }

    // Both rise from the bottom edge of the window holding `toolbar` or `view`, covering the
    // toolbar; nothing happens (and a line is logged) when that view is not in a window.
    void showFromToolbar(Toolbar& toolbar);
    void showInView(View& view);

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

    static constexpr double kWidth = 320;
    static constexpr double kButtonWidth = 280;
    static constexpr double kButtonHeight = 46;
    static constexpr double kButtonSpacing = 8;
    static constexpr double kCancelSpacing = 12;
    static constexpr double kSlideSeconds = 0.3;

protected:
    void prepareEntrance() override;
    void animateEntrance() override;
    void animateExit() override;
    double transitionSeconds() const override { return kSlideSeconds; }
    void deliverClick(int index) override;
    int escapeButtonIndex() const override { return m_cancelIndex; }

private:
    void layOut();

    std::string m_title;
    WeakDelegate<ActionSheetDelegate> m_delegate;
    std::shared_ptr<Label> m_titleLabel;
    int m_cancelIndex = -1;
    int m_destructiveIndex = -1;
    int m_firstOtherIndex = -1;
    gfx::Point m_shownCenter;
};

} // namespace ui

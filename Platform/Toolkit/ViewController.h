#pragma once
// The minimal controller of a view: it owns its view, makes it on first use (loadView, then
// viewDidLoad) and stands in the responder chain between its view and the view's superview.
// Navigation and presentation build on this class.
#include <memory>

#include "Toolkit/Responder.h"

namespace ui {

class View;

class ViewController : public Responder {
public:
    ViewController() = default;
    ~ViewController() override;
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The view, made on first use.
    View* view();
    const std::shared_ptr<View>& viewRef();
    void setView(std::shared_ptr<View> view);
    bool isViewLoaded() const { return m_view != nullptr; }

    // Makes the view; the default is a plain 320 x 480 view.
    virtual void loadView();
    // Called once, after the view has been made.
    virtual void viewDidLoad() { }

    Responder* nextResponder() const override;

private:
    std::shared_ptr<View> m_view;
};

} // namespace ui

// Modal presentation: the presented controller's view slides up from the bottom over the screen
// of the presenting one, which then leaves the view tree until the presented one slides down.
#include "Foundation/Log.h"
#include "Toolkit/View.h"
#include "Toolkit/ViewController.h"
#include "Toolkit/ViewControllerTransitions.h"

namespace ui {

namespace {
gfx::Point belowScreen(const gfx::Rect& screen) { return {screen.midX(), screen.midY() + screen.height()}; }
} // namespace

ViewController* ViewController::presentationOwner()
{
    ViewController* owner = this;
    while (owner->m_parent)
        owner = owner->m_parent;
    return owner;
}

ViewController* ViewController::presentationHost()
{
    // A slide in progress ends at once; a second presentation goes on top of the first.
    ViewController* host = presentationOwner();
    for (;;) {
        host->finishPresentation();
        if (!host->m_modal)
            return host;
        host = host->m_modal->presentationOwner();
    }
}

void ViewController::presentModalViewController(std::shared_ptr<ViewController> controller, bool animated)
{
    if (!controller || controller->m_parent || controller->m_presenter || controller.get() == presentationOwner()) {
        fnd::log("ViewController: a controller that is already shown cannot be presented");
        return;
    }
    ViewController* host = presentationHost();
    if (host == controller.get())
        return;
    host->m_modal = std::move(controller);
    host->m_modal->m_presenter = host;
    host->runPresentation(true, animated);
}

void ViewController::dismissModalViewControllerAnimated(bool animated)
{
    // Called on the presenting side (or a screen inside it), or by the presented controller (or
    // a screen inside it).
    ViewController* owner = presentationOwner();
    ViewController* host = m_modal ? this : owner->m_modal ? owner : owner->m_presenter;
    if (!host)
        return;
    host->finishPresentation();
    if (!host->m_modal)
        return;
    // Controllers presented on top of this one go with it, at once.
    ViewController* top = host->m_modal.get();
    if (top->m_modal)
        top->dismissModalViewControllerAnimated(false);
    host->runPresentation(false, animated);
}

void ViewController::runPresentation(bool presenting, bool animated)
{
    ViewController& modal = *m_modal;
    View& hostView = *view();
    View& modalView = *modal.view();
    m_presentation = Presentation{presenting, ++m_presentationGeneration, m_modal};
    unsigned generation = m_presentationGeneration;
    // Touches wait for the slide to end.
    m_presentation->wasInteractive = modalView.isUserInteractionEnabled();
    modalView.setUserInteractionEnabled(false);
    View* container = presenting ? hostView.superview() : modalView.superview();
    if (!container) {
        presentationDidEnd(generation); // not on screen: nothing to slide
        return;
    }
    gfx::Rect screen = hostView.frame();
    placePresentationViews(presenting, animated, *container);
    gfx::Point target = presenting ? gfx::Point{screen.midX(), screen.midY()} : belowScreen(screen);
    if (!animated) {
        placeViewNow(modalView, target);
        presentationDidEnd(generation);
        return;
    }
    std::weak_ptr<bool> alive = m_alive;
    slideView(modalView, target, kPresentationDuration, [this, alive, generation] {
        if (!alive.expired())
            presentationDidEnd(generation);
    });
}

void ViewController::placePresentationViews(bool presenting, bool animated, View& container)
{
    ViewController& modal = *m_modal;
    View& hostView = *view();
    View& modalView = *modal.view();
    if (presenting) {
        if (isAppearingOrAppeared()) {
            beginAppearanceTransition(false, animated);
            modal.beginAppearanceTransition(true, animated);
        }
        modalView.setFrame(hostView.frame());
        placeViewNow(modalView, belowScreen(hostView.frame()));
        container.addSubview(modal.viewRef());
        return;
    }
    if (modal.isAppearingOrAppeared()) {
        modal.beginAppearanceTransition(false, animated);
        beginAppearanceTransition(true, animated);
    }
    if (hostView.superview() != &container)
        container.insertSubviewBelow(viewRef(), &modalView);
}

void ViewController::finishPresentation()
{
    if (m_presentation)
        presentationDidEnd(m_presentation->generation);
}

void ViewController::presentationDidEnd(unsigned generation)
{
    if (!m_presentation || m_presentation->generation != generation)
        return;
    Presentation done = std::move(*m_presentation);
    m_presentation.reset();
    std::shared_ptr<ViewController> modal = done.modal;
    View& hostView = *view();
    View& modalView = *modal->view();
    modalView.setUserInteractionEnabled(done.wasInteractive);
    if (done.presenting) {
        if (modalView.superview()) {
            placeViewNow(modalView, hostView.center());
            // The covered screen leaves the tree until the presented one goes.
            hostView.removeFromSuperview();
        }
        endAppearanceTransition();
        modal->endAppearanceTransition();
        return;
    }
    modalView.removeFromSuperview();
    if (m_modal == modal)
        m_modal.reset();
    modal->m_presenter = nullptr;
    modal->endAppearanceTransition();
    endAppearanceTransition();
}

} // namespace ui

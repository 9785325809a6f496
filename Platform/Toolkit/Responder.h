#pragma once
// Something that takes part in touch handling. Touch methods that a responder does not handle
// pass the touches on to the next responder: a view's next responder is its view controller if it
// has one, otherwise its superview; a controller's is its view's superview; the window ends the
// chain. A view that handles touches and still wants its ancestors to see them calls the base
// method first.
//
// Keys travel the same chain, starting at the front-most screen (Window::sendKey): a responder
// that does not act on a key passes it on and reports what the rest of the chain answered, so the
// host knows whether anybody took it.
#include "Toolkit/KeyEvent.h"
#include "Toolkit/Touch.h"

namespace ui {

class Responder {
public:
    virtual ~Responder() = default;

    virtual Responder* nextResponder() const { return nullptr; }

    virtual void touchesBegan(const TouchSet& touches, const Event& event);
    virtual void touchesMoved(const TouchSet& touches, const Event& event);
    virtual void touchesEnded(const TouchSet& touches, const Event& event);
    virtual void touchesCancelled(const TouchSet& touches, const Event& event);

    // True when the key was acted on (here or further along the chain).
    virtual bool keyDown(const KeyEvent& event);
    virtual bool keyUp(const KeyEvent& event);

protected:
    Responder() = default;
    Responder(const Responder&) = default;
    Responder& operator=(const Responder&) = default;
};

} // namespace ui

#include "Toolkit/Responder.h"

namespace ui {

void Responder::touchesBegan(const TouchSet& touches, const Event& event)
{
    if (Responder* next = nextResponder())
        next->touchesBegan(touches, event);
}

void Responder::touchesMoved(const TouchSet& touches, const Event& event)
{
    if (Responder* next = nextResponder())
        next->touchesMoved(touches, event);
}

void Responder::touchesEnded(const TouchSet& touches, const Event& event)
{
    if (Responder* next = nextResponder())
        next->touchesEnded(touches, event);
}

void Responder::touchesCancelled(const TouchSet& touches, const Event& event)
{
    if (Responder* next = nextResponder())
        next->touchesCancelled(touches, event);
}

bool Responder::keyDown(const KeyEvent& event)
{
    Responder* next = nextResponder();
    return next && next->keyDown(event);
}

bool Responder::keyUp(const KeyEvent& event)
{
    Responder* next = nextResponder();
    return next && next->keyUp(event);
}

} // namespace ui

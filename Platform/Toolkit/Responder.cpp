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

} // namespace ui

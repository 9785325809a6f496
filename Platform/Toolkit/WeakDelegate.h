#pragma once
// Delegates that may go away before the objects that call them. A sheet or an alert stays on
// screen after the controller that showed it was released; when its button is tapped then, the
// call must go nowhere rather than into freed memory. A delegate interface derives from
// DelegateLifetime, and the caller keeps a WeakDelegate, which answers nullptr once the delegate
// object was destroyed. Delegates need no shared ownership for this.
#include <memory>

namespace ui {

class DelegateLifetime {
public:
    DelegateLifetime() = default;
    // A copy is a different delegate: it gets its own lifetime.
    DelegateLifetime(const DelegateLifetime&) {}
    DelegateLifetime& operator=(const DelegateLifetime&) { return *this; }
    virtual ~DelegateLifetime() = default;

    std::weak_ptr<const void> lifetimeToken() const { return m_token; }

private:
    std::shared_ptr<const int> m_token = std::make_shared<const int>(0);
};

template <typename Delegate> class WeakDelegate {
public:
    WeakDelegate() = default;
    WeakDelegate(Delegate* delegate) // NOLINT(google-explicit-constructor): reads like a pointer
        : m_delegate(delegate)
    {
        if (delegate)
            m_token = delegate->lifetimeToken();
    }
    // The delegate, or nullptr when none was set or it has been destroyed.
    Delegate* get() const { return m_token.expired() ? nullptr : m_delegate; }

private:
    Delegate* m_delegate = nullptr;
    std::weak_ptr<const void> m_token;
};

} // namespace ui

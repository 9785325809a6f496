#pragma once
// Result of an operation that can fail on outside input: a value, or an error message meant for
// the log (and for the user where the caller decides so). `Status` (Result<void>) is the one type
// for "done, or why not".
#include <optional>
#include <string>
#include <utility>

#include "Foundation/Assert.h"

namespace fnd {

struct Error {
    std::string message;
};

template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}             // NOLINT(google-explicit-constructor)
    Result(Error error) : m_error(std::move(error.message)) {} // NOLINT(google-explicit-constructor)

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    T& value() &
    {
        KANVARO_ASSERT(ok());
        return *m_value;
    }
    const T& value() const&
    {
        KANVARO_ASSERT(ok());
        return *m_value;
    }
    T&& value() &&
    {
        KANVARO_ASSERT(ok());
        return std::move(*m_value);
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const std::string& error() const { return m_error; }

private:
    std::optional<T> m_value;
    std::string m_error;
};

// Success carries nothing; failure carries the message.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_failed(true), m_error(std::move(error.message)) {} // NOLINT(google-explicit-constructor)

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }

    const std::string& error() const { return m_error; }

private:
    bool m_failed = false;
    std::string m_error;
};

using Status = Result<void>;

} // namespace fnd

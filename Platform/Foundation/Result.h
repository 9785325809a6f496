#pragma once
// Result of an operation that can fail on outside input: a value, or an error. The error's message
// is meant for the log (what failed, with full paths); its reason, when there is one, is the
// system's reason in a few words for the person, with the file's name ("Permission denied
// (…/Kanvaro)", "Not enough memory"), which alerts show on a line of their own. `Status`
// (Result<void>) is the one type for "done, or why not".
#include <optional>
#include <string>
#include <utility>

#include "Foundation/Assert.h"

namespace fnd {

struct Error {
    std::string message;
    std::string reason = {}; // empty when there is nothing to say to a person beyond the message

    // The same failure seen from the caller: `context` goes before the message, the reason stays.
    Error within(const std::string& context) const { return {context + ": " + message, reason}; }
};

// The reason every allocation failure gives.
inline constexpr const char* kNotEnoughMemory = "Not enough memory";
inline Error outOfMemory(const std::string& what) { return {what + ": not enough memory", kNotEnoughMemory}; }

template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}     // NOLINT(google-explicit-constructor)
    Result(Error error) : m_error(std::move(error)) {} // NOLINT(google-explicit-constructor)

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
    T value_or(T fallback) const& { return ok() ? *m_value : fallback; }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const std::string& error() const { return m_error.message; }
    const std::string& reason() const { return m_error.reason; }
    // The whole error, to hand on.
    const Error& failure() const { return m_error; }

private:
    std::optional<T> m_value;
    Error m_error;
};

// Success carries nothing; failure carries the message.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_failed(true), m_error(std::move(error)) {} // NOLINT(google-explicit-constructor)

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }

    const std::string& error() const { return m_error.message; }
    const std::string& reason() const { return m_error.reason; }
    const Error& failure() const { return m_error; }

private:
    bool m_failed = false;
    Error m_error;
};

using Status = Result<void>;

} // namespace fnd

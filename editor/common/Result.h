#pragma once
// Result<T, E>: a value or a typed error, the way the core reports failures.
// (std::expected would do, but the fuzz build's clang cannot use libstdc++'s <expected>.)

#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

namespace quarnel {

template <class E>
struct Unexpected {
    E error;
};

// Wraps an error so that it converts into any Result with that error type.
template <class E>
Unexpected<std::decay_t<E>> Fail(E&& error) {
    return {std::forward<E>(error)};
}

template <class T, class E>
class [[nodiscard]] Result {
public:
    Result(const T& value) : m_state(std::in_place_index<0>, value) {}
    Result(T&& value) : m_state(std::in_place_index<0>, std::move(value)) {}
    template <class G>
    Result(Unexpected<G> failure) : m_state(std::in_place_index<1>, E(std::move(failure.error))) {}

    bool has_value() const { return m_state.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & { return std::get<0>(m_state); }
    const T& value() const& { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    const E& error() const { return std::get<1>(m_state); }

    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    T value_or(T fallback) const { return has_value() ? value() : std::move(fallback); }

private:
    std::variant<T, E> m_state;
};

template <class E>
class [[nodiscard]] Result<void, E> {
public:
    Result() = default;
    template <class G>
    Result(Unexpected<G> failure) : m_error(E(std::move(failure.error))) {}

    bool has_value() const { return !m_error.has_value(); }
    explicit operator bool() const { return has_value(); }
    const E& error() const { return *m_error; }

private:
    std::optional<E> m_error;
};

} // namespace quarnel

#pragma once

// The result of an operation on files: a value, or the failure with its cause (in the spirit of
// std::expected, which C++20 lacks). The cause keeps the system's error number, so that a caller
// decides by it (the disk is full) and never by the words of its description.

#include <cassert>
#include <cerrno>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace tagwright {

struct Failure
{
    int error = 0;    // the system's error number; 0 for a refusal that no system call gave
    std::string text; // the system's description, or the refusal, as the user is told

    // The system's description of errno as it stands, or of error.
    static Failure ofErrno();
    static Failure ofError(int error);
    // What could not be done, the system's reason (errno) following in parentheses.
    static Failure withReason(std::string_view what);
    static Failure refusal(std::string text) { return {0, std::move(text)}; }

    // The disk, or the user's share of it, is full: the same write may succeed once space is
    // freed.
    bool isLackOfSpace() const { return error == ENOSPC || error == EDQUOT; }

    bool operator==(const Failure&) const = default;
};

template <class T>
class Expected
{
  public:
    Expected() = default;
    Expected(T value) : state_(std::move(value)) {}
    Expected(Failure failure) : state_(std::move(failure)) {}

    bool hasValue() const { return state_.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    const T& value() const
    {
        assert(hasValue());
        return std::get<0>(state_);
    }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const Failure& failure() const
    {
        assert(!hasValue());
        return std::get<1>(state_);
    }

  private:
    std::variant<T, Failure> state_;
};

} // namespace tagwright

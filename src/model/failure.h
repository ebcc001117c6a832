#pragma once

#include <QString>

#include <utility>
#include <variant>

namespace quillmark {

// What a failure says about the thing that failed: whether trying again another day could give
// another answer. Only the file's own answers are remembered as its answers.
enum class FailureKind {
    content,   // what the file holds: not media, damaged, unplayable, a FIFO named like a video
    sizeLimit, // it asks to be read further than any real file needs: its own answer too
    timeLimit, // it took longer than allowed, which depends on the disk and the day
    system,    // a passing condition: no descriptors, memory, threads or processes; an I/O error
    stopped,   // the user stopped the work
};

struct Failure {
    FailureKind kind = FailureKind::content;
    QString message;

    // The same file gives the same failure whenever it is asked again.
    bool isLasting() const
    {
        return kind == FailureKind::content || kind == FailureKind::sizeLimit;
    }
    bool isLimit() const
    {
        return kind == FailureKind::sizeLimit || kind == FailureKind::timeLimit;
    }

    friend bool operator==(const Failure&, const Failure&) = default;
};

// The kind of a failure made of two: the more passing one, since trying again may succeed.
constexpr FailureKind morePassing(FailureKind a, FailureKind b)
{
    return int(a) > int(b) ? a : b;
}

// A value, or the failure that kept it from being had.
template <class T> class Expected {
public:
    Expected(T value)
        : m_value(std::move(value))
    {
    }
    Expected(Failure failure)
        : m_value(std::move(failure))
    {
    }

    bool hasValue() const { return std::holds_alternative<T>(m_value); }
    explicit operator bool() const { return hasValue(); }
    const T& value() const { return std::get<T>(m_value); }
    T& value() { return std::get<T>(m_value); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const Failure& failure() const { return std::get<Failure>(m_value); }

private:
    std::variant<T, Failure> m_value;
};

} // namespace quillmark

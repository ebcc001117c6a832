#pragma once

#include <atomic>
#include <memory>

namespace quillmark::test {

// Counts the threads that called note() and have since ended: a worker that has ended can do
// nothing more, so waiting for it replaces waiting a while for nothing to happen.
class ThreadEnds {
public:
    void note()
    {
        thread_local Noted noted;
        if (!noted.counter)
            ++*m_noted;
        noted.counter = m_ended;
    }
    int noted() const { return *m_noted; }
    int count() const { return *m_ended; }

private:
    struct Noted {
        std::shared_ptr<std::atomic<int>> counter;
        ~Noted()
        {
            if (counter)
                ++*counter;
        }
    };
    std::shared_ptr<std::atomic<int>> m_noted = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> m_ended = std::make_shared<std::atomic<int>>(0);
};

} // namespace quillmark::test

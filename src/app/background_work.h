#pragma once

#include "platform/worker_threads.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace quillmark {

// Work that leaves the GUI thread, each piece on a thread of its own, and comes back as queued
// calls to its owner. Work still running when the owner goes reports to nobody, and nothing waits
// for it: a piece stuck in the kernel (a share that stopped answering) ends on its own, holding
// only what it captured. So work captures values and its poster, never the owner.
class BackgroundWork {
public:
    // Reaches the owner from any thread: the call runs on the owner's thread, unless the owner is
    // gone by then.
    class Poster {
    public:
        void operator()(std::function<void()> call) const;

    private:
        friend class BackgroundWork;
        struct Link;
        explicit Poster(std::shared_ptr<Link> link)
            : m_link(std::move(link))
        {
        }
        std::shared_ptr<Link> m_link;
    };

    explicit BackgroundWork(QObject* owner);
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    Poster poster() const { return m_poster; }
    // Runs the work on a new thread; false, with nothing run, when no thread could be started.
    [[nodiscard]] bool start(std::function<void()> work);
    // Waits until no work runs, or the time is up; whether none runs.
    bool waitForDone(std::chrono::milliseconds limit);
    // How many pieces of work were started: a waiter sees whether the calls it delivered started
    // more.
    std::uint64_t startedCount() const { return m_started; }

private:
    Poster m_poster;
    std::uint64_t m_started = 0;
    WorkerThreads m_threads;
};

} // namespace quillmark

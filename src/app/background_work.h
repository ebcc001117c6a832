#pragma once

#include "platform/worker_threads.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace quillmark {

// The way from a worker back to the object that started it. A call posted from any thread runs
// on the owner's thread and is handed the owner, unless the owner is gone by then: so work never
// holds the owner itself, only values and a poster.
class PostLink {
public:
    explicit PostLink(QObject* owner);
    void post(std::function<void(QObject&)> call);
    void ownerGone();

private:
    std::mutex m_mutex;
    QObject* m_owner;
};

template <class Owner> class Poster {
public:
    explicit Poster(std::shared_ptr<PostLink> link)
        : m_link(std::move(link))
    {
    }
    void operator()(std::function<void(Owner&)> call) const
    {
        m_link->post(
            [call = std::move(call)](QObject& owner) { call(static_cast<Owner&>(owner)); });
    }

private:
    std::shared_ptr<PostLink> m_link;
};

// Work that leaves the GUI thread, each piece on a thread of its own, and comes back as queued
// calls to its owner. Work still running when the owner goes reports to nobody, and nothing waits
// for it: a piece stuck in the kernel (a share that stopped answering) ends on its own, holding
// only what it captured.
template <class Owner> class BackgroundWork {
public:
    explicit BackgroundWork(Owner* owner)
        : m_link(std::make_shared<PostLink>(owner))
    {
    }
    ~BackgroundWork() { m_link->ownerGone(); }
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    Poster<Owner> poster() const { return Poster<Owner>(m_link); }
    // Runs the work on a new thread; false, with nothing run, when no thread could be started.
    [[nodiscard]] bool start(std::function<void()> work)
    {
        ++m_started;
        return m_threads.start(std::move(work));
    }
    // Waits until no work runs, or the time is up; whether none runs.
    bool waitForDone(std::chrono::milliseconds limit) { return m_threads.waitForDone(limit); }
    // How many pieces of work were started: a waiter sees whether the calls it delivered started
    // more.
    std::uint64_t startedCount() const { return m_started; }

private:
    std::shared_ptr<PostLink> m_link;
    std::uint64_t m_started = 0;
    WorkerThreads m_threads;
};

} // namespace quillmark

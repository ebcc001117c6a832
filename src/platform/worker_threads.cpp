#include "platform/worker_threads.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quillmark {

struct WorkerThreads::State {
    std::mutex mutex;
    std::condition_variable done;
    int running = 0;
};

WorkerThreads::WorkerThreads()
    : m_state(std::make_shared<State>())
{
}

WorkerThreads::~WorkerThreads() = default;

bool WorkerThreads::start(std::function<void()> work)
{
    {
        const std::lock_guard lock(m_state->mutex);
        ++m_state->running;
    }
    try {
        std::thread([state = m_state, work = std::move(work)] {
            work();
            const std::lock_guard lock(state->mutex);
            --state->running;
            state->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        const std::lock_guard lock(m_state->mutex);
        --m_state->running;
        return false;
    }
    return true;
}

bool WorkerThreads::waitForDone(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_state->mutex);
    return m_state->done.wait_for(lock, limit, [this] { return m_state->running == 0; });
}

void runOnThreads(int threads, const std::function<void()>& work)
{
    std::vector<std::thread> started;
    try {
        for (int t = 1; t < threads; ++t)
            started.emplace_back(work);
    } catch (const std::system_error&) {
        // Out of threads: those started and this one share the work.
    }
    work();
    for (std::thread& thread : started)
        thread.join();
}

} // namespace quillmark

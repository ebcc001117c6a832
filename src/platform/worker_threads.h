#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace quillmark {

// Threads started one per piece of work. A thread pool queues work it could not start a thread
// for and never runs it, so a run would wait for ever; start() says at once when the system
// refuses a thread (out of memory or of processes). Work still running when the owner goes is
// left to end on its own: each thread holds what it needs, and nothing waits for it.
class WorkerThreads {
public:
    WorkerThreads();
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Runs the work on a new thread; false, with nothing run, when no thread could be started.
    [[nodiscard]] bool start(std::function<void()> work);
    // Waits until no work runs, or the time is up; whether none runs.
    bool waitForDone(std::chrono::milliseconds limit);

private:
    struct State;
    std::shared_ptr<State> m_state;
};

// Runs the work on `threads` threads at once, this one among them, and returns when all have
// ended; threads the system refuses leave the work to the others. The work takes its next piece
// from what the threads share, so it is done whatever number ran.
void runOnThreads(int threads, const std::function<void()>& work);

} // namespace quillmark

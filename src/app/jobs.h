#pragma once

#include "app/action_host.h"
#include "app/background_work.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <variant>

namespace quillmark {

// Work that holds the folder or the report while it runs: the actions that would compete with it
// wait. One at a time.
enum class Task { none, loadingReport, savingReport, renaming, writingPlaylists };

// Runs every piece of the window's work that leaves the GUI thread, the one way. The work runs on
// a worker with the values it was given, never with the window's objects; what it reports comes
// back to the GUI thread and reaches the job's handlers only while its answer is still wanted
// (nothing moved the window on to another folder or report since it started). Every job gives up
// its task when it ends, however it ends, and a working status is never left behind it.
class Jobs : public QObject {
    Q_OBJECT

public:
    template <class Result, class Progress = std::monostate> struct Job {
        Task holds = Task::none;
        // What the status line says while it runs; empty: nothing until it reports.
        QString working = {};
        // Off the GUI thread, with values only; reports progress through its argument.
        std::function<Result(const std::function<void(Progress)>& report)> work = {};
        // On the GUI thread, while the answer is wanted.
        std::function<void(const Progress&)> progressed = {};
        std::function<void(Result&)> done = {};
        // When the window moved on meanwhile or let the task go (a stop): what the work did on
        // the disk is still told. Without it, the answer is dropped.
        std::function<void(Result&)> overtaken = {};
    };

    explicit Jobs(ActionHost& host, QObject* parent = nullptr);

    // False, after an alert that says so, when no thread could be started.
    template <class Result, class Progress> bool run(Job<Result, Progress> job);

    Task task() const { return m_task; }
    // Something else than a job's answer changed the folder or the report: answers still on their
    // way about the old ones are not wanted.
    void moveOn() { ++m_generation; }
    // The running task lets the window go at once; its answer comes back as overtaken.
    void releaseTask();
    // Waits a while for work on workers and delivers what it said: for a window about to close,
    // so that a report being saved is saved.
    void finish(std::chrono::milliseconds limit);

    // Work off the GUI thread that reports to nobody, for the few waits a job cannot be.
    [[nodiscard]] bool startDetached(std::function<void()> work)
    {
        return m_work.start(std::move(work));
    }

Q_SIGNALS:
    void taskChanged();

private:
    struct Running {
        Task holds = Task::none;
        std::uint64_t generation = 0;
        bool released = false;
        bool saysWorking = false;
        QString before; // the status it found, to put back if it leaves a working one
        StatusKind beforeKind = StatusKind::done;
        std::shared_ptr<void> job;
    };

    bool start(Task holds, const QString& working, std::shared_ptr<void> job,
               std::function<void()> work);
    template <class Result, class Progress>
    void progressed(std::uint64_t id, const Progress& value);
    template <class Result, class Progress> void ended(std::uint64_t id, Result& result);
    // Whether the answer of that job is wanted; nothing when it is gone.
    const Running* running(std::uint64_t id) const;
    void end(std::uint64_t id, const std::function<void(bool current)>& answer);
    void setTask(Task task);

    ActionHost& m_host;
    std::map<std::uint64_t, Running> m_running;
    std::uint64_t m_lastId = 0;
    std::uint64_t m_generation = 0;
    Task m_task = Task::none;
    BackgroundWork<Jobs> m_work{this};
};

template <class Result, class Progress> bool Jobs::run(Job<Result, Progress> job)
{
    const std::uint64_t id = m_lastId + 1;
    auto work = std::move(job.work);
    auto shared = std::make_shared<Job<Result, Progress>>(std::move(job));
    return start(shared->holds, shared->working, shared,
                 [post = m_work.poster(), id, work = std::move(work)] {
                     const std::function<void(Progress)> report = [&post, id](Progress value) {
                         post([id, value = std::move(value)](Jobs& jobs) {
                             jobs.progressed<Result, Progress>(id, value);
                         });
                     };
                     auto result = std::make_shared<Result>(work(report));
                     post([id, result](Jobs& jobs) { jobs.ended<Result, Progress>(id, *result); });
                 });
}

template <class Result, class Progress>
void Jobs::progressed(std::uint64_t id, const Progress& value)
{
    const Running* job = running(id);
    if (!job || job->released || job->generation != m_generation)
        return;
    const auto& handlers = *std::static_pointer_cast<Job<Result, Progress>>(job->job);
    if (handlers.progressed)
        handlers.progressed(value);
}

template <class Result, class Progress> void Jobs::ended(std::uint64_t id, Result& result)
{
    const Running* job = running(id);
    if (!job)
        return;
    const auto handlers = std::static_pointer_cast<Job<Result, Progress>>(job->job);
    end(id, [&](bool current) {
        if (current && handlers->done)
            handlers->done(result);
        else if (!current && handlers->overtaken)
            handlers->overtaken(result);
    });
}

} // namespace quillmark

#include "app/jobs.h"

#include <QCoreApplication>

namespace quillmark {

Jobs::Jobs(ActionHost& host, QObject* parent)
    : QObject(parent)
    , m_host(host)
{
}

bool Jobs::start(Task holds, const QString& working, std::shared_ptr<void> job,
                 std::function<void()> work)
{
    Q_ASSERT(holds == Task::none || m_task == Task::none);
    if (!m_work.start(std::move(work))) {
        m_host.showError(tr("Il sistema non concede altri thread: riprova tra poco."));
        return false;
    }
    const std::uint64_t id = ++m_lastId;
    m_running.emplace(id, Running{holds, m_generation, false, !working.isEmpty(),
                                  m_host.statusMessage(), m_host.statusKind(), std::move(job)});
    if (holds != Task::none)
        setTask(holds);
    if (!working.isEmpty())
        m_host.setStatus(working, StatusKind::working);
    return true;
}

const Jobs::Running* Jobs::running(std::uint64_t id) const
{
    const auto found = m_running.find(id);
    return found == m_running.end() ? nullptr : &found->second;
}

void Jobs::end(std::uint64_t id, const std::function<void(bool current)>& answer)
{
    const Running job = m_running.extract(id).mapped();
    if (job.holds != Task::none && !job.released)
        setTask(Task::none);
    answer(!job.released && job.generation == m_generation);
    // A status that still says work goes on, when none does, is put back as the job found it.
    const bool othersWork = m_host.isRunning() ||
                            std::any_of(m_running.begin(), m_running.end(),
                                        [](const auto& other) { return other.second.saysWorking; });
    if (m_host.statusKind() != StatusKind::working || othersWork)
        return;
    if (job.beforeKind == StatusKind::working)
        m_host.setStatus(tr("Pronto"));
    else
        m_host.setStatus(job.before, job.beforeKind);
}

void Jobs::releaseTask()
{
    for (auto& [id, job] : m_running) {
        if (job.holds != Task::none)
            job.released = true;
    }
    setTask(Task::none);
}

void Jobs::finish(std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        const std::uint64_t started = m_work.startedCount();
        const bool done = m_work.waitForDone(std::max(left, std::chrono::milliseconds(0)));
        QCoreApplication::sendPostedEvents(this);
        // Done once what was delivered started nothing more.
        if ((done && m_work.startedCount() == started) || std::chrono::steady_clock::now() >= end)
            return;
    }
}

void Jobs::setTask(Task task)
{
    if (task == m_task)
        return;
    m_task = task;
    Q_EMIT taskChanged();
}

} // namespace quillmark

#include "app/background_work.h"

#include <mutex>

namespace quillmark {

struct BackgroundWork::Poster::Link {
    explicit Link(QObject* owner)
        : owner(owner)
    {
    }
    std::mutex mutex;
    QObject* owner;
};

void BackgroundWork::Poster::operator()(std::function<void()> call) const
{
    const std::lock_guard lock(m_link->mutex);
    if (m_link->owner)
        QMetaObject::invokeMethod(m_link->owner, std::move(call), Qt::QueuedConnection);
}

BackgroundWork::BackgroundWork(QObject* owner)
    : m_poster(std::make_shared<Poster::Link>(owner))
{
}

BackgroundWork::~BackgroundWork()
{
    const std::lock_guard lock(m_poster.m_link->mutex);
    m_poster.m_link->owner = nullptr;
}

bool BackgroundWork::start(std::function<void()> work)
{
    ++m_started;
    return m_threads.start(std::move(work));
}

bool BackgroundWork::waitForDone(std::chrono::milliseconds limit)
{
    return m_threads.waitForDone(limit);
}

} // namespace quillmark

#include "app/background_work.h"

namespace quillmark {

PostLink::PostLink(QObject* owner)
    : m_owner(owner)
{
}

void PostLink::post(std::function<void(QObject&)> call)
{
    const std::lock_guard lock(m_mutex);
    if (!m_owner)
        return;
    // Qt drops the call too if the owner is destroyed before it runs.
    QMetaObject::invokeMethod(
        m_owner, [owner = m_owner, call = std::move(call)] { call(*owner); }, Qt::QueuedConnection);
}

void PostLink::ownerGone()
{
    const std::lock_guard lock(m_mutex);
    m_owner = nullptr;
}

} // namespace quillmark

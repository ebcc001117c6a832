#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>

namespace quillmark {

// How far a run has come: files done out of all, the time gone and, once a few files are done,
// an estimate of the time left. Ticks once a second while running, so the time moves on even
// while one file takes long.
class RunClock {
public:
    explicit RunClock(std::function<void()> tick);

    void start();
    void stop();
    void setTotal(std::int64_t files) { m_total = files; }
    void setDone(std::int64_t files) { m_done = files; }
    // While the walk goes on: what it found so far.
    void setFound(std::int64_t folders, std::int64_t files)
    {
        m_foundFolders = folders;
        m_foundFiles = files;
    }

    // "12 di 300 file · 0:05 · circa 1:20 alla fine"; during the walk "142 cartelle · 1.204 video
    // trovati · 0:09", so that a slow share looks slow, not stuck.
    QString text() const;

private:
    QElapsedTimer m_elapsed;
    QTimer m_ticker;
    std::int64_t m_total = -1;
    std::int64_t m_done = 0;
    std::int64_t m_foundFolders = 0;
    std::int64_t m_foundFiles = 0;
};

// "0:05", "1:20", "2:03:15".
QString clockText(std::int64_t seconds);

} // namespace quillmark

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
    void fileDone() { ++m_done; }

    // "12 di 300 file · 0:05 · circa 1:20 alla fine"; empty before the walk is done.
    QString text() const;

private:
    QElapsedTimer m_elapsed;
    QTimer m_ticker;
    std::int64_t m_total = -1;
    std::int64_t m_done = 0;
};

// "0:05", "1:20", "2:03:15".
QString clockText(std::int64_t seconds);

} // namespace quillmark

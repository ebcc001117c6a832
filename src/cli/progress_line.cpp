#include "cli/progress_line.h"

#include "model/plain_text.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quillmark {

namespace {

// Redrawing more often than this only costs time.
constexpr qint64 redrawMilliseconds = 50;

int terminalColumns()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

ProgressLine::ProgressLine()
    : m_enabled(::isatty(STDERR_FILENO) == 1)
{
}

ProgressLine::~ProgressLine()
{
    clear();
}

void ProgressLine::show(int percent, qsizetype done, qsizetype total, const QString& currentFile)
{
    if (!m_enabled || (m_shown && done < total && m_sinceDrawn.elapsed() < redrawMilliseconds))
        return;
    const QString counts = QStringLiteral("%1% %2/%3 ").arg(percent, 3).arg(done).arg(total);
    const QString line =
        counts + shortenedFromTheStart(currentFile, terminalColumns() - 1 - counts.size());
    std::fprintf(stderr, "\r\033[K%s", line.toUtf8().constData());
    std::fflush(stderr);
    m_shown = true;
    m_sinceDrawn.start();
}

void ProgressLine::clear()
{
    if (!m_shown)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    m_shown = false;
}

} // namespace quillmark

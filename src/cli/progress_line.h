#pragma once

#include <QElapsedTimer>
#include <QString>

namespace quillmark {

// A one-line progress display on standard error, redrawn in place; silent when standard error is
// not a terminal, so logs and pipes get no control characters.
class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine();

    void show(int percent, qsizetype done, qsizetype total, const QString& currentFile);
    void clear();

private:
    bool m_enabled;
    bool m_shown = false;
    QElapsedTimer m_sinceDrawn;
};

} // namespace quillmark

#pragma once

#include <QFrame>

namespace quillmark {

// A part of the window drawn with a frame of its own (a bar, a panel, a banner). To assistive
// technology it is a named panel: Qt would expose a plain frame as a window, inside which a
// screen reader drops the focus events it meets.
class Section : public QFrame {
    Q_OBJECT

public:
    explicit Section(QWidget* parent = nullptr, const QString& name = {});
};

} // namespace quillmark

#pragma once

#include <QWidget>

namespace quillmark {

// Says a sentence to a screen reader. Qt 6.4 has no way to announce, but Orca speaks a
// notification as it appears: so an invisible notification in the window appears anew, named by
// the sentence, each time one is said.
class Announcer : public QWidget {
    Q_OBJECT

public:
    explicit Announcer(QWidget* parent = nullptr);

    void announce(const QString& sentence);
    const QString& lastSentence() const { return m_last; }

private:
    QString m_last;
};

} // namespace quillmark

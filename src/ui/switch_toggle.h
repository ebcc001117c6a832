#pragma once

#include <QAbstractButton>

namespace quillmark {

// An on/off switch with its caption on the left: a capsule track, accent when on, and a round
// thumb that sits at the end it was switched to. Space toggles it; focus shows as a ring.
class SwitchToggle : public QAbstractButton {
    Q_OBJECT

public:
    explicit SwitchToggle(const QString& caption, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;

private:
    QRect trackRect() const;
};

} // namespace quillmark

#pragma once

#include <QAbstractButton>

namespace quillmark {

// Text that acts as a link: in the accent colour, underlined while pointed at or focused,
// pressed by a click, Space or Return, with a focus ring. A screen reader meets it as a link.
class LinkButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit LinkButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

} // namespace quillmark

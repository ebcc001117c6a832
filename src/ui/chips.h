#pragma once

#include <QStringList>
#include <QWidget>

namespace quillmark {

// Small capsules, one per text, in the accent colour: the extensions a calculation will use.
class Chips : public QWidget {
    Q_OBJECT

public:
    explicit Chips(QWidget* parent = nullptr);

    void setTexts(const QStringList& texts);
    const QStringList& texts() const { return m_texts; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList m_texts;
};

} // namespace quillmark

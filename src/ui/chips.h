#pragma once

#include <QStringList>
#include <QWidget>

namespace quillmark {

class Chip;

// Small capsules, one per text, in the accent colour: the extensions a calculation will use.
// Those that do not fit are counted by a last "+N" chip whose tooltip lists them. Each chip is a
// widget of its own, which a screen reader reads.
class Chips : public QWidget {
    Q_OBJECT

public:
    explicit Chips(QWidget* parent = nullptr);

    void setTexts(const QStringList& texts);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void layOut();

    QStringList m_texts;
    std::vector<Chip*> m_chips;
};

} // namespace quillmark

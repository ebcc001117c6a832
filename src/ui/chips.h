#pragma once

#include <QStringList>
#include <QWidget>

namespace quillmark {

// Small capsules, one per text, in the accent colour: the extensions a calculation will use.
// Those that do not fit are counted by a last "+N" chip whose tooltip lists them.
class Chips : public QWidget {
    Q_OBJECT

public:
    explicit Chips(QWidget* parent = nullptr);

    void setTexts(const QStringList& texts);
    // How many chips are drawn before the "+N" one (all of them when it is absent).
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static QString moreChip(qsizetype hidden);
    void layOut();

    QStringList m_texts;
    qsizetype m_shown = 0;
};

} // namespace quillmark

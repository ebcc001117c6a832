#pragma once

#include <QFrame>

class QLabel;
class QProgressBar;

namespace quillmark {

class DurationCalculatorViewModel;
class ElidedLabel;

// The status line with its icon, and the progress of a run.
class StatusBar : public QFrame {
    Q_OBJECT

public:
    StatusBar(DurationCalculatorViewModel& viewModel, QWidget* parent = nullptr);

private:
    void showStatus();
    void showProgress();

    DurationCalculatorViewModel& m_viewModel;
    QLabel* m_icon;
    ElidedLabel* m_text;
    QProgressBar* m_progress;
    QLabel* m_percent;
};

} // namespace quillmark

#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;

namespace quillmark {

class DurationCalculatorViewModel;
class ElidedLabel;

// The status line with its icon, and the progress of a run. To a screen reader it is the
// window's status bar, named by what it says: each new status is announced.
class StatusBar : public QStatusBar {
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

#pragma once

#include "app/duration_calculator_view_model.h"

#include <QElapsedTimer>
#include <QWidget>

#include <memory>

class QMessageBox;

namespace quillmark {

class ReportPage;

// The one window: header bar, options bar, the sandbox banner, the report page and the status
// bar. Each section binds itself to the view model the window owns; the window presents alerts.
class DesktopNotifier;

class MainWindow : public QWidget {
    Q_OBJECT

public:
    MainWindow(std::unique_ptr<DurationCalculatorViewModel> viewModel, QColor folderTint,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    DurationCalculatorViewModel& viewModel() { return *m_viewModel; }

protected:
    void showEvent(QShowEvent* event) override;
    // A folder dropped on the window is chosen; a file, its folder.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void followRun();
    QWidget* makeWarningBanner();
    void fitMinimumSize();
    QWidget* makeStaleReportBanner();
    void presentAlert();

    std::unique_ptr<DurationCalculatorViewModel> m_viewModel;
    ReportPage* m_reportPage;
    DesktopNotifier* m_notifier;
    QElapsedTimer m_runTimer;
    QMessageBox* m_alertBox = nullptr;
    bool m_followsScreen = false; // follows the screen it is on
};

} // namespace quillmark

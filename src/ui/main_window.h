#pragma once

#include "app/duration_calculator_view_model.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class QMessageBox;

namespace quillmark {

class Announcer;
class ReportPage;

class DesktopNotifier;

// The one window, named "Quillmark": header bar, options bar, the sandbox banner, the report page
// and the status bar. Each section binds itself to the view model the window owns; the window
// presents alerts, and keeps the keyboard where it can go on while a run disables the fields.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(std::unique_ptr<DurationCalculatorViewModel> viewModel, QColor folderTint,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    DurationCalculatorViewModel& viewModel() { return *m_viewModel; }
    // The size to open at: the one the layout is made for, within the screen's room.
    QSize firstSize() const;

protected:
    void showEvent(QShowEvent* event) override;
    // A folder dropped on the window is chosen; a file, its folder.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void followRun();
    void keepFocus();
    void announceOutcome();
    QWidget* makeWarningBanner();
    void fitMinimumSize();
    // What the screen's available part leaves for the window inside its frame.
    QSize roomOnScreen() const;
    QWidget* makeStaleReportBanner();
    void presentAlert();

    std::unique_ptr<DurationCalculatorViewModel> m_viewModel;
    ReportPage* m_reportPage;
    DesktopNotifier* m_notifier;
    QElapsedTimer m_runTimer;
    QMessageBox* m_alertBox = nullptr;
    Announcer* m_announcer;
    bool m_followsScreen = false; // follows the screen it is on
    QPointer<QWidget> m_focusBeforeRun;
};

} // namespace quillmark

#pragma once

#include "app/duration_calculator_view_model.h"

#include <QWidget>

#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QMessageBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace quillmark {

class Chips;
class ElidedLabel;
class ReportRowsModel;
class SummaryCard;

// The one window: header bar, options bar, the sandbox banner, the content area in one of its
// four states, and the status bar. It only binds to the view model it owns and calls its actions.
class ContentView : public QWidget {
    Q_OBJECT

public:
    ContentView(std::unique_ptr<DurationCalculatorViewModel> viewModel, QColor folderTint,
                QWidget* parent = nullptr);
    ~ContentView() override;

    DurationCalculatorViewModel& viewModel() { return *m_viewModel; }
    // Paths of the folder rows that are open.
    const QSet<QString>& expandedFolders() const;

private:
    QWidget* makeHeaderBar();
    QWidget* makeOptionsBar();
    QWidget* makeWarningBanner();
    QWidget* makeContentArea(QColor folderTint);
    QWidget* makeRunningPage();
    QWidget* makeEmptyPage();
    QWidget* makePlainReportPage();
    QWidget* makeReportPage(QColor folderTint);
    QWidget* makeStatusBar();
    QAction* makeAction(const char* objectName, const QString& text, const char* symbol,
                        void (DurationCalculatorViewModel::*slot)());

    void bind();
    void showContentState();
    void showEnabledState();
    void showStatus();
    void showSummary();
    void showReportText();
    void presentAlert();

    std::unique_ptr<DurationCalculatorViewModel> m_viewModel;

    QLineEdit* m_folderPath = nullptr;
    QPushButton* m_browse = nullptr;
    QToolButton* m_actions = nullptr;
    QPushButton* m_calculate = nullptr;
    QAction* m_openFolder = nullptr;
    QAction* m_rename = nullptr;
    QAction* m_playlists = nullptr;
    QAction* m_save = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_load = nullptr;
    QAction* m_clear = nullptr;
    QLineEdit* m_extensions = nullptr;
    Chips* m_chips = nullptr;
    QCheckBox* m_hideEmpty = nullptr;
    QWidget* m_banner = nullptr;
    QStackedWidget* m_content = nullptr;
    QWidget* m_runningPage = nullptr;
    QWidget* m_emptyPage = nullptr;
    QWidget* m_plainReportPage = nullptr;
    QWidget* m_reportPage = nullptr;
    ElidedLabel* m_runningStatus = nullptr;
    QPlainTextEdit* m_reportText = nullptr;
    QString m_shownReportText; // the text last laid out in the plain-report state
    SummaryCard* m_grandTotal = nullptr;
    SummaryCard* m_count = nullptr;
    ReportRowsModel* m_rows = nullptr;
    QListView* m_folderList = nullptr;
    QLabel* m_statusIcon = nullptr;
    ElidedLabel* m_statusText = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_percent = nullptr;
    QMessageBox* m_alertBox = nullptr;
};

} // namespace quillmark

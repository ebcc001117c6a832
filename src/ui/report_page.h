#pragma once

#include <QStackedWidget>

class QLabel;
class QPlainTextEdit;

namespace quillmark {

class DurationCalculatorViewModel;
class ElidedLabel;
class ReportTreeModel;
class ReportTreeView;
class SummaryCard;

// The content area in one of its states: running, empty, a calculation that found no video, the
// plain report text, or the summary cards over the per-folder rows.
class ReportPage : public QStackedWidget {
    Q_OBJECT

public:
    ReportPage(DurationCalculatorViewModel& viewModel, QColor folderTint,
               QWidget* parent = nullptr);

Q_SIGNALS:
    // The user asked to change the extensions, from the page of a run that found no video.
    void extensionsWanted();

private:
    QWidget* makeRunningPage();
    QWidget* makeEmptyPage();
    QWidget* makeNoVideosPage();
    QWidget* makePlainReportPage();
    QWidget* makeRowsPage(QColor folderTint);
    QWidget* makeSortButton(QWidget* parent);
    QWidget* makeSpeedButton(QWidget* parent);

    void showState();
    void showSummary();
    void showReportText();
    void showSpeed();
    void showGrandTotal();
    void showSelection();
    void showFileError();
    void showRowMenu(const QPoint& position);
    void copyChosenRows();

    DurationCalculatorViewModel& m_viewModel;
    QWidget* m_runningPage = nullptr;
    QWidget* m_emptyPage = nullptr;
    QWidget* m_noVideosPage = nullptr;
    ElidedLabel* m_noVideosMessage = nullptr;
    QWidget* m_plainReportPage = nullptr;
    QWidget* m_rowsPage = nullptr;
    ElidedLabel* m_runningStatus = nullptr;
    ElidedLabel* m_progressDetail = nullptr;
    QPlainTextEdit* m_reportText = nullptr;
    QString m_shownReportText; // the text last laid out in the plain-report state
    SummaryCard* m_grandTotal = nullptr;
    SummaryCard* m_count = nullptr;
    QLabel* m_selection = nullptr;
    QLabel* m_fileError = nullptr;
    ReportTreeModel* m_rows = nullptr;
    ReportTreeView* m_folderList = nullptr;
};

} // namespace quillmark

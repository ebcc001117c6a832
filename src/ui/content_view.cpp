#include "ui/content_view.h"

#include "scan/extensions.h"
#include "ui/chips.h"
#include "ui/elided_label.h"
#include "ui/report_rows_model.h"
#include "ui/summary_card.h"
#include "ui/symbols.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillmark {

namespace {

// Sets a field's text only when it differs, so the caret does not jump while the user types;
// a new text shows from its start.
void showText(QLineEdit* field, const QString& text)
{
    if (field->text() == text)
        return;
    field->setText(text);
    field->setCursorPosition(0);
}

} // namespace

ContentView::ContentView(std::unique_ptr<DurationCalculatorViewModel> viewModel, QColor folderTint,
                         QWidget* parent)
    : QWidget(parent)
    , m_viewModel(std::move(viewModel))
{
    setMinimumSize(940, 640);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeHeaderBar());
    layout->addWidget(makeOptionsBar());
    // Built only when there is a warning: absent, not merely hidden, otherwise.
    if (!m_viewModel->sandboxWarningMessage().isEmpty())
        layout->addWidget(m_banner = makeWarningBanner());
    layout->addWidget(makeContentArea(folderTint), 1);
    layout->addWidget(makeStatusBar());
    bind();
}

ContentView::~ContentView() = default;

const QSet<QString>& ContentView::expandedFolders() const
{
    return m_rows->expandedFolders();
}

void ContentView::bind()
{
    DurationCalculatorViewModel* vm = m_viewModel.get();
    connect(m_folderPath, &QLineEdit::textEdited, vm, &DurationCalculatorViewModel::setFolderPath);
    connect(vm, &DurationCalculatorViewModel::folderPathChanged, this,
            [this] { showText(m_folderPath, m_viewModel->folderPath()); });
    connect(m_extensions, &QLineEdit::textEdited, vm,
            &DurationCalculatorViewModel::setExtensionsText);
    connect(vm, &DurationCalculatorViewModel::extensionsTextChanged, this, [this] {
        showText(m_extensions, m_viewModel->extensionsText());
        m_chips->setTexts(parseExtensions(m_viewModel->extensionsText()));
    });
    connect(m_hideEmpty, &QCheckBox::toggled, vm,
            &DurationCalculatorViewModel::setHideEmptyFolders);
    connect(vm, &DurationCalculatorViewModel::hideEmptyFoldersChanged, this,
            [this] { m_hideEmpty->setChecked(m_viewModel->hideEmptyFolders()); });

    connect(vm, &DurationCalculatorViewModel::reportTextChanged, this,
            &ContentView::showReportText);
    connect(vm, &DurationCalculatorViewModel::reportSummaryChanged, this,
            &ContentView::showSummary);
    connect(vm, &DurationCalculatorViewModel::statusMessageChanged, this, &ContentView::showStatus);
    connect(vm, &DurationCalculatorViewModel::statusIsErrorChanged, this, &ContentView::showStatus);
    connect(vm, &DurationCalculatorViewModel::progressChanged, this,
            [this] { m_progress->setValue(int(m_viewModel->progress() * 1000)); });
    connect(vm, &DurationCalculatorViewModel::percentChanged, this,
            [this] { m_percent->setText(QStringLiteral("%1%").arg(m_viewModel->percent())); });
    for (auto signal : {&DurationCalculatorViewModel::isRunningChanged,
                        &DurationCalculatorViewModel::canSaveChanged,
                        &DurationCalculatorViewModel::canCopyChanged,
                        &DurationCalculatorViewModel::canLoadReportChanged,
                        &DurationCalculatorViewModel::canRenameFolderChanged,
                        &DurationCalculatorViewModel::canCreatePlaylistsChanged}) {
        connect(vm, signal, this, &ContentView::showEnabledState);
        connect(vm, signal, this, &ContentView::showContentState);
    }
    connect(vm, &DurationCalculatorViewModel::reportSummaryChanged, this,
            &ContentView::showContentState);
    connect(vm, &DurationCalculatorViewModel::isRunningChanged, this, &ContentView::showStatus);
    connect(vm, &DurationCalculatorViewModel::alertChanged, this, &ContentView::presentAlert);

    showText(m_folderPath, vm->folderPath());
    showText(m_extensions, vm->extensionsText());
    m_chips->setTexts(parseExtensions(vm->extensionsText()));
    m_hideEmpty->setChecked(vm->hideEmptyFolders());
    m_progress->setValue(int(vm->progress() * 1000));
    m_percent->setText(QStringLiteral("%1%").arg(vm->percent()));
    showSummary();
    showStatus();
    showEnabledState();
    showContentState();
    presentAlert();
}

void ContentView::showContentState()
{
    const DurationCalculatorViewModel& vm = *m_viewModel;
    QWidget* page = vm.isRunning()                         ? m_runningPage
                    : !vm.canCopy()                        ? m_emptyPage
                    : vm.reportSummary().folders.isEmpty() ? m_plainReportPage
                                                           : m_reportPage;
    m_content->setCurrentWidget(page);
    showReportText();
}

void ContentView::showReportText()
{
    // Laying out a long text takes a while: only the plain-report state shows it, so only it
    // pays for it, once per new text.
    if (m_content->currentWidget() != m_plainReportPage ||
        m_shownReportText == m_viewModel->reportText())
        return;
    m_shownReportText = m_viewModel->reportText();
    m_reportText->setPlainText(m_shownReportText);
}

void ContentView::showEnabledState()
{
    const DurationCalculatorViewModel& vm = *m_viewModel;
    const bool idle = !vm.isRunning();
    for (QWidget* control : std::initializer_list<QWidget*>{m_folderPath, m_browse, m_calculate,
                                                            m_extensions, m_hideEmpty})
        control->setEnabled(idle);
    m_openFolder->setEnabled(idle);
    m_rename->setEnabled(idle && vm.canRenameFolder());
    m_playlists->setEnabled(idle && vm.canCreatePlaylists());
    m_save->setEnabled(vm.canSave());
    m_copy->setEnabled(vm.canCopy());
    m_load->setEnabled(vm.canLoadReport());
}

void ContentView::showStatus()
{
    const DurationCalculatorViewModel& vm = *m_viewModel;
    m_statusText->setText(vm.statusMessage());
    m_runningStatus->setText(vm.statusMessage());
    const bool error = vm.statusIsError();
    m_statusIcon->setPixmap(vm.isRunning()
                                ? QPixmap()
                                : symbolPixmap(error ? QStringLiteral("exclamationmark.circle.fill")
                                                     : QStringLiteral("checkmark.circle.fill"),
                                               12, error ? QColor(Qt::red) : QColor(52, 199, 89)));
}

void ContentView::showSummary()
{
    const ReportSummary& summary = m_viewModel->reportSummary();
    m_rows->setSummary(summary);
    m_grandTotal->setValue(summary.grandTotalLabel);
    m_count->setValue(tr("%1 video").arg(summary.totalFileCount()) + QStringLiteral(" · ") +
                      tr("%1 cartelle").arg(summary.folders.size()));
}

void ContentView::presentAlert()
{
    const std::optional<AlertItem>& alert = m_viewModel->alert();
    if (!alert) {
        if (m_alertBox)
            m_alertBox->hide();
        return;
    }
    if (!m_alertBox) {
        m_alertBox = new QMessageBox(this);
        m_alertBox->setObjectName(QStringLiteral("alertBox"));
        m_alertBox->setStandardButtons(QMessageBox::Ok);
        m_alertBox->setWindowModality(Qt::WindowModal);
        // However it is dismissed, the alert is cleared.
        connect(m_alertBox, &QMessageBox::finished, this,
                [this] { m_viewModel->setAlert(std::nullopt); });
    }
    m_alertBox->setWindowTitle(alert->title);
    m_alertBox->setText(alert->title);
    m_alertBox->setInformativeText(alert->message);
    m_alertBox->open();
}

} // namespace quillmark

#include "ui/main_window.h"

#include "model/path_text.h"
#include "platform/desktop_notifier.h"
#include "platform/widgets/message_box.h"
#include "ui/elided_label.h"
#include "ui/header_bar.h"
#include "ui/options_bar.h"
#include "ui/report_page.h"
#include "ui/status_bar.h"
#include "ui/style.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace quillmark {

MainWindow::MainWindow(std::unique_ptr<DurationCalculatorViewModel> viewModel, QColor folderTint,
                       QWidget* parent)
    : QWidget(parent)
    , m_viewModel(std::move(viewModel))
{
    setAcceptDrops(true);
    setStyleSheet(windowStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new HeaderBar(*m_viewModel, this));
    auto* options = new OptionsBar(*m_viewModel, this);
    layout->addWidget(options);
    // Built only when there is a warning: absent, not merely hidden, otherwise.
    if (!m_viewModel->sandboxWarningMessage().isEmpty())
        layout->addWidget(makeWarningBanner());
    auto* content = new QWidget(this);
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(16, 16, 16, 16);
    m_reportPage = new ReportPage(*m_viewModel, folderTint, content);
    connect(m_reportPage, &ReportPage::extensionsWanted, options, &OptionsBar::editExtensions);
    contentLayout->addWidget(makeStaleReportBanner());
    contentLayout->addWidget(m_reportPage);
    layout->addWidget(content, 1);
    layout->addWidget(new StatusBar(*m_viewModel, this));

    auto* quit = new QAction(tr("Esci"), this);
    quit->setObjectName(QStringLiteral("quitAction"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);

    connect(m_viewModel.get(), &DurationCalculatorViewModel::alertChanged, this,
            &MainWindow::presentAlert);
    presentAlert();

    m_notifier = new DesktopNotifier(DesktopNotifier::sessionBusIfAny(), this);
    connect(m_notifier, &DesktopNotifier::activated, this, [this] {
        showNormal();
        raise();
        activateWindow();
    });
    connect(m_viewModel.get(), &DurationCalculatorViewModel::isRunningChanged, this,
            &MainWindow::followRun);
    connect(m_viewModel.get(), &DurationCalculatorViewModel::progressChanged, this, [this] {
        if (m_viewModel->isRunning())
            m_notifier->showProgress(m_viewModel->progress());
    });
}

// Progress on the taskbar entry while a run goes on; a run of more than ten seconds that ends
// while the user looks elsewhere is told by a notification, a click on which brings the window
// back. A run the user stopped is not told: they were here.
void MainWindow::followRun()
{
    if (m_viewModel->isRunning()) {
        m_runTimer.start();
        m_notifier->showProgress(0.0);
        return;
    }
    m_notifier->showProgress(std::nullopt);
    constexpr qint64 longRun = 10000;
    if (!m_runTimer.isValid() || m_runTimer.elapsed() <= longRun || isActiveWindow())
        return;
    m_runTimer.invalidate();
    const StatusKind kind = m_viewModel->statusKind();
    if (kind == StatusKind::error) {
        m_notifier->notify(tr("Quillmark: calcolo non riuscito"), m_viewModel->statusMessage());
    } else if (kind == StatusKind::done && !m_viewModel->currentReport().isEmpty()) {
        const ReportSummary& summary = m_viewModel->reportSummary();
        const qsizetype errors = summary.errorCount();
        const QString folderName =
            lastPathComponent(QString(m_viewModel->folderPath()).toStdString());
        m_notifier->notify(tr("Quillmark: %1 in «%2»").arg(summary.grandTotalLabel, folderName),
                           errors > 0 ? tr("%n file non misurati", nullptr, int(errors))
                                      : QString());
    }
}

MainWindow::~MainWindow() = default;

// The size the layout is made for, but never more than the screen offers: at twice the scale a
// full-HD screen gives 960 by 540, and the status bar must stay on it.
void MainWindow::showEvent(QShowEvent* event)
{
    fitMinimumSize();
    if (!m_followsScreen) {
        m_followsScreen = true;
        connect(windowHandle(), &QWindow::screenChanged, this, &MainWindow::fitMinimumSize);
        // The keyboard starts in the folder field, where typing a folder begins.
        if (auto* field = findChild<QWidget*>(QStringLiteral("folderPathField")))
            field->setFocus(Qt::OtherFocusReason);
    }
    QWidget::showEvent(event);
}

void MainWindow::fitMinimumSize()
{
    const QSize comfortable(940, 640);
    setMinimumSize(comfortable.boundedTo(screen()->availableSize()));
}

namespace {

// A dropped file names its folder; the view model finds out which it is, off this thread.
std::optional<std::filesystem::path> droppedFolder(const QMimeData* data)
{
    if (!data->hasUrls() || data->urls().isEmpty() || !data->urls().first().isLocalFile())
        return std::nullopt;
    return QFile::encodeName(data->urls().first().toLocalFile()).toStdString();
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_viewModel->canChooseFolder() && droppedFolder(event->mimeData()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const auto folder = droppedFolder(event->mimeData());
    if (!folder || !m_viewModel->canChooseFolder())
        return;
    event->acceptProposedAction();
    m_viewModel->useFolder(*folder);
}

// One line above the report while the folder field names another folder than the report's.
QWidget* MainWindow::makeStaleReportBanner()
{
    auto* banner = new QFrame(this);
    banner->setObjectName(QStringLiteral("staleReportBanner"));
    auto* layout = new QHBoxLayout(banner);
    layout->setContentsMargins(12, 7, 12, 7);
    layout->setSpacing(8);
    auto* icon = new QLabel(banner);
    icon->setPixmap(symbolPixmap(QStringLiteral("dialog-information"), 14, theme::secondary()));
    auto* message = new ElidedLabel(Qt::ElideMiddle, Qt::AlignLeft | Qt::AlignVCenter, banner);
    message->setObjectName(QStringLiteral("staleReportMessage"));
    message->setFont(theme::callout());
    layout->addWidget(icon);
    layout->addWidget(message, 1);
    auto show = [this, banner, message] {
        const QString text =
            m_viewModel->isRunning() ? QString() : m_viewModel->staleReportMessage();
        message->setText(text);
        banner->setVisible(!text.isEmpty());
    };
    for (auto signal : {&DurationCalculatorViewModel::folderPathChanged,
                        &DurationCalculatorViewModel::reportSummaryChanged,
                        &DurationCalculatorViewModel::isRunningChanged})
        connect(m_viewModel.get(), signal, banner, show);
    show();
    return banner;
}

QWidget* MainWindow::makeWarningBanner()
{
    auto* banner = new QFrame(this);
    banner->setObjectName(QStringLiteral("warningBanner"));
    auto* layout = new QHBoxLayout(banner);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    auto* icon = new QLabel(banner);
    icon->setPixmap(symbolPixmap(QStringLiteral("dialog-warning"), 16, theme::warning()));
    auto* message = new QLabel(m_viewModel->sandboxWarningMessage(), banner);
    message->setObjectName(QStringLiteral("warningMessage"));
    message->setWordWrap(true);
    message->setFont(theme::callout());
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(message, 1);
    return banner;
}

void MainWindow::presentAlert()
{
    const std::optional<AlertItem>& alert = m_viewModel->alert();
    if (!alert) {
        if (m_alertBox)
            m_alertBox->hide();
        return;
    }
    // An alert raised while the window is not on screen yet (quillmark --run on a missing
    // folder) waits for it, so that it is placed over the window.
    if (!windowHandle() || !windowHandle()->isExposed()) {
        QTimer::singleShot(50, this, &MainWindow::presentAlert);
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
    // The title says what kind of alert it is, the icon shows it, the text says what happened:
    // as in the rename's question.
    m_alertBox->setWindowTitle(alert->title);
    m_alertBox->setIcon(alert->isError ? QMessageBox::Critical : QMessageBox::Information);
    m_alertBox->setText(alert->message);
    tidyMessageBox(*m_alertBox);
    m_alertBox->open();
}

} // namespace quillmark

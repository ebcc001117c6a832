#include "ui/main_window.h"

#include "model/path_text.h"
#include "model/plain_text.h"
#include "platform/desktop_notifier.h"
#include "platform/widgets/message_box.h"
#include "ui/announcer.h"
#include "ui/elided_label.h"
#include "ui/header_bar.h"
#include "ui/options_bar.h"
#include "ui/report_page.h"
#include "ui/section.h"
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

namespace {

// Characters of an alert's line, some six lines of a wrapped box.
constexpr qsizetype shownLineLimit = 360;

} // namespace

MainWindow::MainWindow(std::unique_ptr<DurationCalculatorViewModel> viewModel, QColor folderTint,
                       QWidget* parent)
    : QMainWindow(parent)
    , m_viewModel(std::move(viewModel))
{
    setWindowTitle(QStringLiteral("Quillmark"));
    setAcceptDrops(true);
    setStyleSheet(windowStyleSheet());
    // Before the bars disable their fields, so that the keyboard can leave them first.
    connect(m_viewModel.get(), &DurationCalculatorViewModel::actionsChanged, this,
            &MainWindow::keepFocus);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new HeaderBar(*m_viewModel, central));
    auto* options = new OptionsBar(*m_viewModel, central);
    layout->addWidget(options);
    // Built only when there is a warning: absent, not merely hidden, otherwise.
    if (!m_viewModel->sandboxWarningMessage().isEmpty())
        layout->addWidget(makeWarningBanner());
    auto* content = new QWidget(central);
    auto* contentLayout = new QVBoxLayout(content);
    const int margin = theme::px(16);
    contentLayout->setContentsMargins(margin, margin, margin, margin);
    m_reportPage = new ReportPage(*m_viewModel, folderTint, content);
    connect(m_reportPage, &ReportPage::extensionsWanted, options, &OptionsBar::editExtensions);
    contentLayout->addWidget(makeStaleReportBanner());
    contentLayout->addWidget(m_reportPage);
    layout->addWidget(content, 1);
    setCentralWidget(central);
    setStatusBar(new StatusBar(*m_viewModel, this));
    m_announcer = new Announcer(central);
    // Once the page has changed with the outcome: a screen reader drops what is said amid the
    // flood of events a new page makes.
    auto* announcing = new QTimer(this);
    announcing->setSingleShot(true);
    announcing->setInterval(400);
    connect(announcing, &QTimer::timeout, this, &MainWindow::announceOutcome);
    for (auto signal : {&DurationCalculatorViewModel::statusMessageChanged,
                        &DurationCalculatorViewModel::statusKindChanged})
        connect(m_viewModel.get(), signal, announcing, qOverload<>(&QTimer::start));

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

// Every outcome the status line states is said to a screen reader; a run's end with its total,
// or what it did not find.
void MainWindow::announceOutcome()
{
    const DurationCalculatorViewModel& vm = *m_viewModel;
    if (vm.statusKind() == StatusKind::working || vm.isRunning())
        return;
    QString sentence = vm.statusMessage();
    if (sentence == tr("Completato") && !vm.currentReport().isEmpty()) {
        const QString noVideos = vm.noVideosMessage();
        sentence = noVideos.isEmpty()
                       ? tr("Completato: gran totale %1").arg(vm.reportSummary().grandTotalLabel)
                       : noVideos;
    }
    if (sentence != m_announcer->lastSentence())
        m_announcer->announce(sentence);
}

// A run disables the fields: the keyboard, if it is in one, goes to Interrompi, which stays
// enabled, and comes back when the fields do.
void MainWindow::keepFocus()
{
    auto* stop = findChild<QWidget*>(QStringLiteral("calculateButton"));
    // The window's own focus, also while another window is active.
    QWidget* focused = focusWidget();
    if (!stop)
        return;
    if (!m_viewModel->canChooseFolder()) {
        if (focused && focused != stop && !m_focusBeforeRun &&
            !m_reportPage->isAncestorOf(focused)) {
            m_focusBeforeRun = focused;
            stop->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    if (m_focusBeforeRun && (!focused || focused == stop))
        QTimer::singleShot(0, m_focusBeforeRun.data(), [field = m_focusBeforeRun] {
            if (field && field->isEnabled())
                field->setFocus(Qt::OtherFocusReason);
        });
    m_focusBeforeRun = nullptr;
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
                           errors > 0 ? tr("%Ln file non misurati", nullptr, int(errors))
                                      : QString());
    }
}

MainWindow::~MainWindow() = default;

// The size the layout is made for, but never more than the screen offers, frame included: at
// twice the scale a full-HD screen gives 960 by 540, and the status bar must stay on it.
void MainWindow::showEvent(QShowEvent* event)
{
    fitMinimumSize();
    if (!m_followsScreen) {
        m_followsScreen = true;
        connect(windowHandle(), &QWindow::screenChanged, this, &MainWindow::fitMinimumSize);
        // The frame is known once the window manager has framed the window.
        QTimer::singleShot(100, this, &MainWindow::fitMinimumSize);
        // The keyboard starts in the folder field, where typing a folder begins; during a run
        // already under way (quillmark --run), on Interrompi until the field is free.
        if (auto* field = findChild<QWidget*>(QStringLiteral("folderPathField"))) {
            if (field->isEnabled()) {
                field->setFocus(Qt::OtherFocusReason);
            } else if (auto* stop = findChild<QWidget*>(QStringLiteral("calculateButton"))) {
                m_focusBeforeRun = field;
                stop->setFocus(Qt::OtherFocusReason);
            }
        }
    }
    QMainWindow::showEvent(event);
}

QSize MainWindow::roomOnScreen() const
{
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    // Before the window manager frames it, a title bar is assumed.
    const int titleBar = frame.isNull() ? theme::px(40) : frame.top() + frame.bottom();
    return screen()->availableSize() - QSize(frame.left() + frame.right(), titleBar);
}

QSize MainWindow::firstSize() const
{
    return QSize(theme::px(1040), theme::px(720)).boundedTo(roomOnScreen());
}

void MainWindow::fitMinimumSize()
{
    const QSize room = roomOnScreen();
    setMinimumSize(QSize(theme::px(940), theme::px(640)).boundedTo(room));
    if (isMaximized() || isFullScreen())
        return;
    if (width() > room.width() || height() > room.height())
        resize(size().boundedTo(room));
    // Moved back onto the screen's available part, frame and all.
    const QRect available = screen()->availableGeometry();
    QRect frame = frameGeometry();
    if (!available.contains(frame)) {
        frame.moveLeft(std::clamp(frame.left(), available.left(),
                                  std::max(available.left(), available.right() - frame.width())));
        frame.moveTop(std::clamp(frame.top(), available.top(),
                                 std::max(available.top(), available.bottom() - frame.height())));
        move(frame.topLeft());
    }
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
    auto* banner = new Section(this);
    banner->setObjectName(QStringLiteral("staleReportBanner"));
    auto* layout = new QHBoxLayout(banner);
    layout->setContentsMargins(theme::px(12), theme::px(7), theme::px(12), theme::px(7));
    layout->setSpacing(theme::px(8));
    auto* icon = new QLabel(banner);
    icon->setPixmap(
        symbolPixmap(QStringLiteral("dialog-information"), theme::px(14), theme::secondary()));
    auto* message = new ElidedLabel(Qt::ElideMiddle, Qt::AlignLeft | Qt::AlignVCenter, banner);
    message->setObjectName(QStringLiteral("staleReportMessage"));
    message->setFont(theme::callout());
    layout->addWidget(icon);
    layout->addWidget(message, 1);
    auto show = [this, banner, message] {
        const QString text =
            m_viewModel->isRunning() ? QString() : m_viewModel->staleReportMessage();
        message->setText(text);
        banner->setAccessibleName(text);
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
    auto* banner = new Section(this, m_viewModel->sandboxWarningMessage());
    banner->setObjectName(QStringLiteral("warningBanner"));
    auto* layout = new QHBoxLayout(banner);
    const int margin = theme::px(12);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(theme::px(10));
    auto* icon = new QLabel(banner);
    icon->setPixmap(
        symbolPixmap(QStringLiteral("dialog-warning"), theme::px(16), theme::warningMark()));
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
    // Whole, wrapped, on any screen: a line too long for one (a path in it) loses its middle
    // here and is whole in the details.
    const QString shown = shortenedInTheMiddle(alert->message, shownLineLimit);
    m_alertBox->setText(shown);
    m_alertBox->setDetailedText(shown == alert->message ? QString() : alert->message);
    tidyMessageBox(*m_alertBox);
    m_alertBox->open();
}

} // namespace quillmark

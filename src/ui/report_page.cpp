#include "ui/report_page.h"

#include "app/duration_calculator_view_model.h"
#include "model/duration_label.h"
#include "model/playback_speed.h"
#include "report/selection_total.h"
#include "ui/elided_label.h"
#include "ui/keyboard.h"
#include "ui/report_row_delegate.h"
#include "ui/report_tree_model.h"
#include "ui/report_tree_view.h"
#include "ui/section.h"
#include "ui/spinner.h"
#include "ui/summary_card.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QActionGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quillmark {

namespace {

// A small menu button that shows the current choice. As wide as the widest of the texts it
// shows, so that it never moves: the text, the style sheet's padding and borders
// (4 + 16 + 2 + 2) and a little air.
QToolButton* choiceButton(const char* name, const QStringList& texts, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setFont(theme::caption());
    button->setPopupMode(QToolButton::InstantPopup);
    button->setAutoRaise(true);
    auto* menu = new QMenu(button);
    new QActionGroup(menu);
    button->setMenu(menu);
    const QFontMetrics metrics(button->font());
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    button->setFixedWidth(widest + 24 + theme::px(8));
    pressWithKeyboard(button);
    return button;
}

// The round badge of an empty page, with its symbol.
QLabel* makeBadge(const QString& symbol, const QColor& colour, QWidget* parent)
{
    auto* badge = new QLabel(parent);
    badge->setObjectName(QStringLiteral("emptyBadge"));
    badge->setFixedSize(theme::px(76), theme::px(76));
    badge->setAlignment(Qt::AlignCenter);
    badge->setPixmap(symbolPixmap(symbol, theme::px(34), colour));
    return badge;
}

// One of the button's choices, exclusive of the others.
QAction* addChoice(QToolButton* button, const QString& text)
{
    QAction* action = button->menu()->addAction(text);
    action->setCheckable(true);
    button->menu()->findChild<QActionGroup*>()->addAction(action);
    return action;
}

} // namespace

ReportPage::ReportPage(DurationCalculatorViewModel& viewModel, QColor folderTint, QWidget* parent)
    : QStackedWidget(parent)
    , m_viewModel(viewModel)
{
    setObjectName(QStringLiteral("contentStack"));
    addWidget(makeRunningPage());
    addWidget(makeEmptyPage());
    addWidget(makeNoVideosPage());
    addWidget(makePlainReportPage());
    addWidget(makeRowsPage(folderTint));

    for (auto signal : {&DurationCalculatorViewModel::isRunningChanged,
                        &DurationCalculatorViewModel::actionsChanged,
                        &DurationCalculatorViewModel::reportSummaryChanged})
        connect(&m_viewModel, signal, this, &ReportPage::showState);
    for (auto signal : {&DurationCalculatorViewModel::reportSummaryChanged,
                        &DurationCalculatorViewModel::sortByDurationChanged})
        connect(&m_viewModel, signal, this, &ReportPage::showSummary);
    connect(&m_viewModel, &DurationCalculatorViewModel::playbackSpeedChanged, this,
            &ReportPage::showSpeed);
    connect(&m_viewModel, &DurationCalculatorViewModel::reportPathsChanged, this,
            [this] { m_rows->setRenamedTo(m_viewModel.shownReport().renamedTo); });
    connect(m_folderList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ReportPage::showSelection);
    connect(m_rows, &QAbstractItemModel::modelReset, this, &ReportPage::showSelection);
    connect(&m_viewModel, &DurationCalculatorViewModel::reportTextChanged, this,
            &ReportPage::showReportText);
    connect(&m_viewModel, &DurationCalculatorViewModel::statusMessageChanged, this,
            [this] { m_runningStatus->setText(m_viewModel.statusMessage()); });
    m_runningStatus->setText(m_viewModel.statusMessage());
    connect(&m_viewModel, &DurationCalculatorViewModel::progressDetailChanged, this,
            [this] { m_progressDetail->setText(m_viewModel.progressDetail()); });
    showSummary();
    showState();
}

void ReportPage::showState()
{
    const QString noVideos = m_viewModel.noVideosMessage();
    m_noVideosMessage->setText(noVideos);
    QWidget* page = m_viewModel.isRunning()                         ? m_runningPage
                    : !m_viewModel.canCopy()                        ? m_emptyPage
                    : !noVideos.isEmpty()                           ? m_noVideosPage
                    : m_viewModel.reportSummary().folders.isEmpty() ? m_plainReportPage
                                                                    : m_rowsPage;
    m_rows->setShown(page == m_rowsPage);
    setCurrentWidget(page);
    showReportText();
}

void ReportPage::showReportText()
{
    // Laying out a long text takes a while: only the plain-report state shows it, so only it
    // pays for it, once per new text.
    if (currentWidget() != m_plainReportPage || m_shownReportText == m_viewModel.reportText())
        return;
    m_shownReportText = m_viewModel.reportText();
    m_reportText->setPlainText(m_shownReportText);
}

void ReportPage::showSummary()
{
    const ReportSummary& summary = m_viewModel.reportSummary();
    m_rows->setReport(m_viewModel.shownReport(), m_viewModel.folderOrder(),
                      m_viewModel.sortByDuration());
    showSpeed();
    const qsizetype errors = summary.errorCount();
    // Files that failed are counted, as a link that shows the first of them.
    m_count->setValue(tr("%Ln video", nullptr, int(summary.totalFileCount())) +
                          QStringLiteral(" · ") +
                          tr("%Ln cartelle", nullptr, int(summary.folders.size())),
                      errors > 0 ? tr("%Ln errori", nullptr, int(errors)) : QString());
}

void ReportPage::showFileError()
{
    const QString error = m_folderList->currentIndex().data(ReportTreeModel::ErrorRole).toString();
    m_fileError->setText(error);
    m_fileError->setVisible(!error.isEmpty());
}

// Every total at the chosen speed: the subtrees', the grand total, the selection's.
void ReportPage::showSpeed()
{
    m_rows->setPlaybackSpeed(m_viewModel.playbackSpeed(), m_viewModel.hasMeasuredSeconds());
    showGrandTotal();
    showSelection();
}

// The grand total, and beside it how long watching takes at the chosen speed.
void ReportPage::showGrandTotal()
{
    m_grandTotal->setValue(m_viewModel.withWatchTime(m_viewModel.reportSummary().grandTotalLabel,
                                                     m_viewModel.grandTotalSeconds()));
}

// "Selezione: 12 video · 3h05m", a folder counting its whole subtree once; hidden when no row
// is selected.
void ReportPage::showSelection()
{
    std::vector<int> folders;
    std::vector<ReportFile> files;
    m_rows->split(m_folderList->selectionModel()->selectedIndexes(), folders, files);
    if (folders.empty() && files.empty()) {
        m_selection->clear();
        return;
    }
    const SelectionTotal total =
        selectionTotal(m_viewModel.reportSummary(), m_viewModel.folderTree(),
                       m_viewModel.measuredFiles(), folders, files, m_viewModel.statedGrandTotal());
    const QString text =
        tr("Selezione: %Ln video", nullptr, int(total.videos)) + QStringLiteral(" · ") +
        (total.approximate ? QStringLiteral("≈ ") : QString()) + formatDuration(total.seconds);
    m_selection->setText(m_viewModel.withWatchTime(text, total.seconds, total.approximate));
}

void ReportPage::copyChosenRows()
{
    std::vector<QByteArray> paths;
    for (const QModelIndex& row : m_folderList->chosenRows())
        paths.push_back(row.data(ReportTreeModel::NativePathRole).toByteArray());
    m_viewModel.rowActions().copyPaths(paths);
}

// What can be done with the row under the pointer (or the keyboard's), and with the whole tree.
void ReportPage::showRowMenu(const QPoint& position)
{
    QModelIndex row = m_folderList->indexAt(position);
    if (!row.isValid() && m_folderList->currentIndex().isValid() &&
        m_folderList->visualRect(m_folderList->currentIndex()).contains(position))
        row = m_folderList->currentIndex();
    if (row.isValid() && !m_folderList->selectionModel()->isSelected(row))
        m_folderList->setCurrentIndex(row);
    RowActions& actions = m_viewModel.rowActions();
    const QByteArray path = row.data(ReportTreeModel::NativePathRole).toByteArray();
    const int chosen = int(m_folderList->chosenRows().size());
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("rowMenu"));
    if (row.isValid() && !row.data(ReportTreeModel::IsFolderRole).toBool()) {
        menu.addAction(tr("Riproduci"), this, [&actions, path] { actions.play(path); });
        menu.addAction(tr("Mostra nella cartella"), this,
                       [&actions, path] { actions.showInFolder(path); });
    } else if (row.isValid()) {
        menu.addAction(tr("Apri"), this, [&actions, path] { actions.openFolder(path); });
    }
    if (row.isValid()) {
        menu.addAction(chosen > 1 ? tr("Copia %Ln percorsi", nullptr, chosen)
                                  : tr("Copia percorso"),
                       QKeySequence::Copy, this, &ReportPage::copyChosenRows);
    }
    if (row.data(ReportTreeModel::IsFolderRole).toBool()) {
        const QString totals = row.data(Qt::AccessibleTextRole).toString();
        const QString name = row.data().toString();
        menu.addAction(tr("Copia totali"), this,
                       [&actions, name, totals] { actions.copyTotals(name, totals); });
    }
    menu.addSeparator();
    menu.addAction(tr("Apri tutte le cartelle"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right),
                   this, [this] { m_folderList->setOpenBelow({}, true); });
    menu.addAction(tr("Chiudi tutte le cartelle"),
                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left), this,
                   [this] { m_folderList->setOpenBelow({}, false); });
    giveMnemonics(&menu);
    menu.exec(m_folderList->viewport()->mapToGlobal(position));
}

// The speed the totals are also shown at, as a small menu that stores the choice.
QWidget* ReportPage::makeSpeedButton(QWidget* parent)
{
    QStringList texts;
    for (const int speed : playbackSpeeds)
        texts.append(tr("Velocità %1").arg(speedLabel(speed)));
    QToolButton* button = choiceButton("speedButton", texts, parent);
    button->setToolTip(tr("Velocità di visione: i totali anche a questa velocità"));
    for (std::size_t i = 0; i < playbackSpeeds.size(); ++i) {
        const int speed = playbackSpeeds[i];
        QAction* action = addChoice(button, texts[qsizetype(i)]);
        action->setData(speed);
        connect(action, &QAction::triggered, this,
                [this, speed] { m_viewModel.setPlaybackSpeed(speed); });
    }
    giveMnemonics(button->menu());
    auto show = [this, button] {
        for (QAction* action : button->menu()->actions())
            action->setChecked(action->data().toInt() == m_viewModel.playbackSpeed());
        button->setText(tr("Velocità %1").arg(speedLabel(m_viewModel.playbackSpeed())));
        button->setAccessibleName(
            tr("Velocità di visione: %1").arg(speedLabel(m_viewModel.playbackSpeed())));
    };
    connect(&m_viewModel, &DurationCalculatorViewModel::playbackSpeedChanged, button, show);
    show();
    return button;
}

// "Ordinamento naturale" or "Per durata", as a small menu that stores the choice.
QWidget* ReportPage::makeSortButton(QWidget* parent)
{
    QToolButton* button =
        choiceButton("sortButton", {tr("Per durata"), tr("Ordinamento naturale")}, parent);
    QAction* natural = addChoice(button, tr("Ordinamento naturale"));
    natural->setObjectName(QStringLiteral("naturalOrderAction"));
    QAction* byDuration = addChoice(button, tr("Per durata, la più lunga prima"));
    byDuration->setObjectName(QStringLiteral("durationOrderAction"));
    connect(natural, &QAction::triggered, this, [this] { m_viewModel.setSortByDuration(false); });
    connect(byDuration, &QAction::triggered, this, [this] { m_viewModel.setSortByDuration(true); });
    giveMnemonics(button->menu());
    auto show = [this, button, natural, byDuration] {
        const bool sorted = m_viewModel.sortByDuration();
        (sorted ? byDuration : natural)->setChecked(true);
        button->setText(sorted ? tr("Per durata") : tr("Ordinamento naturale"));
        button->setAccessibleName(tr("Ordine delle righe: %1")
                                      .arg(sorted ? tr("Per durata") : tr("Ordinamento naturale")));
    };
    connect(&m_viewModel, &DurationCalculatorViewModel::sortByDurationChanged, button, show);
    show();
    return button;
}

QWidget* ReportPage::makeRunningPage()
{
    m_runningPage = new QWidget;
    m_runningPage->setObjectName(QStringLiteral("runningPage"));
    auto* layout = new QVBoxLayout(m_runningPage);
    layout->setSpacing(14);
    m_runningStatus = new ElidedLabel(Qt::ElideMiddle, Qt::AlignCenter, m_runningPage);
    m_runningStatus->setObjectName(QStringLiteral("runningStatus"));
    m_runningStatus->setFont(theme::callout());
    m_runningStatus->setColor(theme::secondary());
    m_runningStatus->setMaximumWidth(theme::px(420));
    m_runningStatus->setMaximumLines(2);
    m_progressDetail = new ElidedLabel(Qt::ElideRight, Qt::AlignCenter, m_runningPage);
    m_progressDetail->setObjectName(QStringLiteral("progressDetail"));
    m_progressDetail->setFont(theme::caption());
    m_progressDetail->setColor(theme::secondary());
    m_progressDetail->setMaximumWidth(theme::px(420));
    auto* spinner = new Spinner(m_runningPage);
    spinner->setAccessibleName(tr("Calcolo in corso"));
    layout->addStretch();
    layout->addWidget(spinner, 0, Qt::AlignHCenter);
    layout->addWidget(m_runningStatus, 0, Qt::AlignHCenter);
    layout->addWidget(m_progressDetail, 0, Qt::AlignHCenter);
    layout->addStretch();
    return m_runningPage;
}

QWidget* ReportPage::makeEmptyPage()
{
    m_emptyPage = new QWidget;
    m_emptyPage->setObjectName(QStringLiteral("emptyPage"));
    auto* layout = new QVBoxLayout(m_emptyPage);
    layout->setSpacing(16);

    QLabel* badge = makeBadge(QStringLiteral("chronometer"), theme::accent(), m_emptyPage);

    auto* title = new QLabel(tr("Nessuna analisi ancora"), m_emptyPage);
    title->setFont(theme::font(16, QFont::DemiBold));
    title->setAlignment(Qt::AlignCenter);
    auto* hint = theme::captionLabel(
        tr("Scegli una cartella con i tuoi video, imposta le estensioni da includere e premi "
           "Calcola per vedere qui la durata totale."),
        m_emptyPage);
    hint->setFont(theme::callout());
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignCenter);
    hint->setFixedWidth(theme::px(380));
    hint->setMinimumHeight(hint->heightForWidth(theme::px(380)));

    auto* choose = new QPushButton(tr("Scegli cartella…"), m_emptyPage);
    choose->setObjectName(QStringLiteral("chooseFolderButton"));
    choose->setAutoDefault(true);
    connect(choose, &QPushButton::clicked, &m_viewModel,
            &DurationCalculatorViewModel::chooseFolder);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addWidget(title);
    texts->addWidget(hint, 0, Qt::AlignHCenter);
    layout->addStretch();
    layout->addWidget(badge, 0, Qt::AlignHCenter);
    layout->addLayout(texts);
    layout->addWidget(choose, 0, Qt::AlignHCenter);
    layout->addStretch();
    return m_emptyPage;
}

QWidget* ReportPage::makeNoVideosPage()
{
    m_noVideosPage = new QWidget;
    m_noVideosPage->setObjectName(QStringLiteral("noVideosPage"));
    auto* layout = new QVBoxLayout(m_noVideosPage);
    layout->setSpacing(16);
    QLabel* badge =
        makeBadge(QStringLiteral("video-x-generic"), theme::accentText(), m_noVideosPage);
    auto* title = new QLabel(tr("Nessun video trovato"), m_noVideosPage);
    title->setFont(theme::font(16, QFont::DemiBold));
    title->setAlignment(Qt::AlignCenter);
    // Every extension looked for; a list too long for three lines loses its middle, never the
    // folder's name at its end.
    m_noVideosMessage = new ElidedLabel(Qt::ElideMiddle, Qt::AlignCenter, m_noVideosPage);
    m_noVideosMessage->setObjectName(QStringLiteral("noVideosMessage"));
    m_noVideosMessage->setFont(theme::callout());
    m_noVideosMessage->setColor(theme::secondary());
    m_noVideosMessage->setMaximumLines(3);
    m_noVideosMessage->setMaximumWidth(theme::px(520));
    auto* change = new QPushButton(tr("Cambia estensioni"), m_noVideosPage);
    change->setObjectName(QStringLiteral("changeExtensionsButton"));
    change->setAutoDefault(true);
    connect(change, &QPushButton::clicked, this, &ReportPage::extensionsWanted);
    layout->addStretch();
    layout->addWidget(badge, 0, Qt::AlignHCenter);
    layout->addWidget(title);
    layout->addWidget(m_noVideosMessage, 0, Qt::AlignHCenter);
    layout->addWidget(change, 0, Qt::AlignHCenter);
    layout->addStretch();
    return m_noVideosPage;
}

QWidget* ReportPage::makePlainReportPage()
{
    m_plainReportPage = new QWidget;
    m_plainReportPage->setObjectName(QStringLiteral("plainReportPage"));
    auto* layout = new QVBoxLayout(m_plainReportPage);
    layout->setContentsMargins(0, 0, 0, 0);
    m_reportText = new QPlainTextEdit(m_plainReportPage);
    m_reportText->setObjectName(QStringLiteral("reportText"));
    m_reportText->setReadOnly(true);
    m_reportText->setFont(theme::font(13, QFont::Normal, true));
    m_reportText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_reportText->document()->setDocumentMargin(8);
    layout->addWidget(m_reportText);
    return m_plainReportPage;
}

QWidget* ReportPage::makeRowsPage(QColor folderTint)
{
    m_rowsPage = new QWidget;
    m_rowsPage->setObjectName(QStringLiteral("reportPage"));
    auto* layout = new QVBoxLayout(m_rowsPage);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);

    m_grandTotal = new SummaryCard(SummaryCard::Style::prominent, QStringLiteral("chronometer"),
                                   tr("GRAN TOTALE"), m_rowsPage);
    m_grandTotal->setObjectName(QStringLiteral("grandTotalCard"));
    m_count = new SummaryCard(SummaryCard::Style::plain, QStringLiteral("video-x-generic"),
                              tr("ANALIZZATI"), m_rowsPage);
    m_count->setObjectName(QStringLiteral("countCard"));
    // Each time, the next file in error.
    connect(m_count, &SummaryCard::linkActivated, this,
            [this] { m_folderList->showNextFileInError(); });
    auto* cards = new QHBoxLayout;
    cards->setSpacing(theme::px(12));
    cards->addWidget(m_grandTotal, 1);
    cards->addWidget(m_count, 1);

    const QString reportTitle = tr("REPORT PER CARTELLA");
    auto* panel = new Section(m_rowsPage);
    panel->setObjectName(QStringLiteral("folderPanel"));
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->setSpacing(0);

    auto* header = new Section(panel);
    header->setObjectName(QStringLiteral("folderPanelHeader"));
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(theme::px(14), theme::px(9), theme::px(14), theme::px(9));
    QLabel* title = theme::captionLabel(reportTitle, header);
    title->setFont(theme::font(11, QFont::Bold));
    m_selection = theme::captionLabel(QString(), header);
    m_selection->setObjectName(QStringLiteral("selectionTotal"));
    m_selection->setFont(theme::font(12, QFont::DemiBold));
    headerLayout->addWidget(title);
    headerLayout->addSpacing(theme::px(12));
    headerLayout->addWidget(m_selection, 1);
    headerLayout->addWidget(makeSpeedButton(header));
    headerLayout->addWidget(makeSortButton(header));

    m_rows = new ReportTreeModel(this);
    m_folderList = new ReportTreeView(*m_rows, panel);
    m_folderList->setObjectName(QStringLiteral("folderList"));
    m_folderList->setAccessibleName(reportTitle.left(1) + reportTitle.mid(1).toLower());
    m_folderList->setItemDelegate(new ReportRowDelegate(folderTint, m_folderList));
    m_folderList->setFrameShape(QFrame::NoFrame);
    m_folderList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_folderList->setMouseTracking(true);
    m_folderList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_folderList, &QWidget::customContextMenuRequested, this, &ReportPage::showRowMenu);
    connect(m_folderList, &ReportTreeView::copyRequested, this, &ReportPage::copyChosenRows);
    // A double click on a file plays it; on a folder, the click already opened or closed it.
    connect(m_folderList, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& row) {
        if (!row.data(ReportTreeModel::IsFolderRole).toBool())
            m_viewModel.rowActions().play(row.data(ReportTreeModel::NativePathRole).toByteArray());
    });

    // The error of the file the keyboard is on, which otherwise only the mouse's tooltip shows.
    m_fileError = new QLabel(panel);
    m_fileError->setObjectName(QStringLiteral("fileErrorLine"));
    m_fileError->setFont(theme::callout());
    m_fileError->setWordWrap(true);
    m_fileError->setContentsMargins(theme::px(14), theme::px(6), theme::px(14), theme::px(8));
    QPalette errorPalette = m_fileError->palette();
    errorPalette.setColor(QPalette::WindowText, theme::error());
    m_fileError->setPalette(errorPalette);
    m_fileError->hide();
    connect(m_folderList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ReportPage::showFileError);
    connect(m_rows, &QAbstractItemModel::modelReset, this, &ReportPage::showFileError);

    panelLayout->addWidget(header);
    panelLayout->addWidget(m_folderList, 1);
    panelLayout->addWidget(m_fileError);
    layout->addLayout(cards);
    layout->addWidget(panel, 1);
    return m_rowsPage;
}

} // namespace quillmark

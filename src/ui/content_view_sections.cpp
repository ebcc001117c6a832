#include "ui/chips.h"
#include "ui/content_view.h"
#include "ui/elided_label.h"
#include "ui/report_row_delegate.h"
#include "ui/report_rows_model.h"
#include "ui/spinner.h"
#include "ui/summary_card.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillmark {

namespace {

QString rgba(const QColor& color)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alphaF());
}

// A bar across the window, with a hairline divider on one edge.
QFrame* makeBar(const char* objectName, const QString& background, const char* dividerEdge)
{
    auto* bar = new QFrame;
    bar->setObjectName(QLatin1String(objectName));
    bar->setStyleSheet(
        QStringLiteral("QFrame#%1 { background: %2; border: none; border-%3: 1px solid %4; }")
            .arg(QLatin1String(objectName), background, QLatin1String(dividerEdge),
                 rgba(theme::primary(0.12))));
    return bar;
}

QString fieldFrameStyle(const char* objectName)
{
    return QStringLiteral(
               "QFrame#%1 { background: palette(base); border: 1px solid %2; border-radius: 7px; }")
        .arg(QLatin1String(objectName), rgba(theme::primary(0.12)));
}

QString barMaterial()
{
    return QStringLiteral("palette(window)");
}

QLabel* captionLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(theme::caption());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, theme::secondary());
    label->setPalette(palette);
    return label;
}

QString prominentButtonStyle()
{
    return QStringLiteral(
               "QPushButton { background: %1; color: white; border: none; border-radius: 6px; "
               "padding: 5px 12px; } QPushButton:disabled { background: %2; color: %3; }")
        .arg(theme::accent().name(), rgba(theme::primary(0.1)), rgba(theme::primary(0.35)));
}

} // namespace

QAction* ContentView::makeAction(const char* objectName, const QString& text, const char* symbol,
                                 void (DurationCalculatorViewModel::*slot)())
{
    auto* action = new QAction(symbolIcon(QLatin1String(symbol), theme::primary(0.8)), text, this);
    action->setObjectName(QLatin1String(objectName));
    connect(action, &QAction::triggered, m_viewModel.get(), slot);
    // Added to the window too, so that its shortcut works while the menu is closed.
    addAction(action);
    return action;
}

QWidget* ContentView::makeHeaderBar()
{
    QFrame* bar = makeBar("headerBar", barMaterial(), "bottom");
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(10);

    auto* pathFrame = new QFrame(bar);
    pathFrame->setObjectName(QStringLiteral("pathFrame"));
    pathFrame->setStyleSheet(fieldFrameStyle("pathFrame"));
    pathFrame->setFixedHeight(30);
    auto* pathLayout = new QHBoxLayout(pathFrame);
    pathLayout->setContentsMargins(10, 0, 10, 0);
    pathLayout->setSpacing(8);
    auto* folderIcon = new QLabel(pathFrame);
    folderIcon->setPixmap(symbolPixmap(QStringLiteral("folder"), 14, theme::secondary()));
    m_folderPath = new QLineEdit(pathFrame);
    m_folderPath->setObjectName(QStringLiteral("folderPathField"));
    m_folderPath->setPlaceholderText(tr("Percorso della cartella video"));
    m_folderPath->setFont(theme::font(13, QFont::Normal, true));
    m_folderPath->setFrame(false);
    m_folderPath->setStyleSheet(QStringLiteral("background: transparent;"));
    pathLayout->addWidget(folderIcon);
    pathLayout->addWidget(m_folderPath);

    m_browse = new QPushButton(tr("Sfoglia…"), bar);
    m_browse->setObjectName(QStringLiteral("browseButton"));
    m_browse->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(m_browse, &QPushButton::clicked, m_viewModel.get(),
            &DurationCalculatorViewModel::chooseFolder);

    auto* divider = new QFrame(bar);
    divider->setFrameShape(QFrame::VLine);
    divider->setFixedHeight(20);
    divider->setStyleSheet(QStringLiteral("color: %1;").arg(rgba(theme::primary(0.15))));

    m_openFolder = makeAction("openFolderAction", tr("Apri cartella"), "folder",
                              &DurationCalculatorViewModel::openFolder);
    m_rename = makeAction("renameAction", tr("Rinomina con durata"), "pencil",
                          &DurationCalculatorViewModel::renameFolderWithDuration);
    m_playlists = makeAction("playlistsAction", tr("Crea playlist"), "list.bullet.rectangle",
                             &DurationCalculatorViewModel::createPlaylists);
    m_save = makeAction("saveAction", tr("Salva report…"), "square.and.arrow.down",
                        &DurationCalculatorViewModel::saveReport);
    m_save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_copy = makeAction("copyAction", tr("Copia report"), "doc.on.doc",
                        &DurationCalculatorViewModel::copyReport);
    m_load = makeAction("loadAction", tr("Carica report"), "tray.and.arrow.down",
                        &DurationCalculatorViewModel::loadReport);
    m_clear = makeAction("clearAction", tr("Pulisci output"), "trash",
                         &DurationCalculatorViewModel::clearOutput);
    m_clear->setIcon(symbolIcon(QStringLiteral("trash"), QColor(Qt::red)));
    m_clear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));

    auto* menu = new QMenu(bar);
    menu->setObjectName(QStringLiteral("actionsMenu"));
    menu->addActions({m_openFolder, m_rename, m_playlists});
    menu->addSeparator();
    menu->addActions({m_save, m_copy, m_load});
    menu->addSeparator();
    menu->addAction(m_clear);

    m_actions = new QToolButton(bar);
    m_actions->setObjectName(QStringLiteral("actionsButton"));
    m_actions->setIcon(symbolIcon(QStringLiteral("ellipsis.circle"), theme::primary(0.75)));
    m_actions->setIconSize(QSize(18, 18));
    m_actions->setFixedSize(30, 30);
    m_actions->setPopupMode(QToolButton::InstantPopup);
    m_actions->setMenu(menu);
    m_actions->setStyleSheet(
        QStringLiteral("QToolButton { %1 } QToolButton::menu-indicator { image: none; }")
            .arg(QStringLiteral(
                     "background: palette(base); border: 1px solid %1; border-radius: 7px;")
                     .arg(rgba(theme::primary(0.12)))));

    m_calculate =
        new QPushButton(symbolIcon(QStringLiteral("play.fill"), Qt::white), tr("Calcola"), bar);
    m_calculate->setObjectName(QStringLiteral("calculateButton"));
    m_calculate->setFont(theme::font(13, QFont::DemiBold));
    m_calculate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    m_calculate->setStyleSheet(prominentButtonStyle());
    connect(m_calculate, &QPushButton::clicked, m_viewModel.get(),
            &DurationCalculatorViewModel::calculate);

    layout->addWidget(pathFrame, 1);
    layout->addWidget(m_browse);
    layout->addWidget(divider);
    layout->addWidget(m_actions);
    layout->addWidget(m_calculate);
    return bar;
}

QWidget* ContentView::makeOptionsBar()
{
    QFrame* bar = makeBar("optionsBar", rgba(theme::primary(0.03)), "bottom");
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(16, 10, 16, 10);
    layout->setSpacing(10);

    m_extensions = new QLineEdit(bar);
    m_extensions->setObjectName(QStringLiteral("extensionsField"));
    m_extensions->setPlaceholderText(tr("es. mp4,mov"));
    m_extensions->setFont(theme::font(12, QFont::Normal, true));
    m_extensions->setFixedWidth(130);

    m_chips = new Chips(bar);
    m_chips->setObjectName(QStringLiteral("extensionChips"));

    m_hideEmpty = new QCheckBox(tr("Nascondi cartelle senza video"), bar);
    m_hideEmpty->setObjectName(QStringLiteral("hideEmptyToggle"));
    m_hideEmpty->setFont(theme::caption());

    layout->addWidget(captionLabel(tr("Estensioni"), bar));
    layout->addWidget(m_extensions);
    layout->addWidget(m_chips, 1);
    layout->addWidget(m_hideEmpty);
    return bar;
}

QWidget* ContentView::makeWarningBanner()
{
    QFrame* banner = makeBar("warningBanner", QStringLiteral("rgba(255,149,0,0.12)"), "bottom");
    auto* layout = new QHBoxLayout(banner);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    auto* icon = new QLabel(banner);
    icon->setPixmap(
        symbolPixmap(QStringLiteral("exclamationmark.triangle.fill"), 16, QColor(255, 149, 0)));
    icon->setAlignment(Qt::AlignTop);
    auto* message = new QLabel(m_viewModel->sandboxWarningMessage(), banner);
    message->setObjectName(QStringLiteral("warningMessage"));
    message->setWordWrap(true);
    message->setFont(theme::callout());
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(message, 1);
    return banner;
}

QWidget* ContentView::makeContentArea(QColor folderTint)
{
    auto* area = new QWidget;
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(16, 16, 16, 16);
    m_content = new QStackedWidget(area);
    m_content->setObjectName(QStringLiteral("contentStack"));
    m_content->addWidget(makeRunningPage());
    m_content->addWidget(makeEmptyPage());
    m_content->addWidget(makePlainReportPage());
    m_content->addWidget(makeReportPage(folderTint));
    layout->addWidget(m_content);
    return area;
}

QWidget* ContentView::makeRunningPage()
{
    m_runningPage = new QWidget;
    m_runningPage->setObjectName(QStringLiteral("runningPage"));
    auto* layout = new QVBoxLayout(m_runningPage);
    layout->setSpacing(14);
    m_runningStatus = new ElidedLabel(Qt::ElideMiddle, Qt::AlignCenter, m_runningPage);
    m_runningStatus->setObjectName(QStringLiteral("runningStatus"));
    m_runningStatus->setFont(theme::callout());
    m_runningStatus->setColor(theme::secondary());
    m_runningStatus->setMaximumWidth(420);
    layout->addStretch();
    layout->addWidget(new Spinner(m_runningPage), 0, Qt::AlignHCenter);
    layout->addWidget(m_runningStatus, 0, Qt::AlignHCenter);
    layout->addStretch();
    return m_runningPage;
}

QWidget* ContentView::makeEmptyPage()
{
    m_emptyPage = new QWidget;
    m_emptyPage->setObjectName(QStringLiteral("emptyPage"));
    auto* layout = new QVBoxLayout(m_emptyPage);
    layout->setSpacing(16);

    auto* badge = new QLabel(m_emptyPage);
    badge->setFixedSize(76, 76);
    badge->setAlignment(Qt::AlignCenter);
    badge->setPixmap(symbolPixmap(QStringLiteral("stopwatch"), 34, theme::accent()));
    badge->setStyleSheet(
        QStringLiteral("background: %1; border-radius: 38px;").arg(rgba(theme::accent(0.1))));

    auto* title = new QLabel(tr("Nessuna analisi ancora"), m_emptyPage);
    title->setFont(theme::font(16, QFont::DemiBold));
    title->setAlignment(Qt::AlignCenter);
    auto* hint = captionLabel(
        tr("Scegli una cartella con i tuoi video, imposta le estensioni da includere e premi "
           "Calcola per vedere qui la durata totale."),
        m_emptyPage);
    hint->setFont(theme::callout());
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignCenter);
    hint->setFixedWidth(380);
    hint->setMinimumHeight(hint->heightForWidth(380));

    auto* choose = new QPushButton(tr("Scegli cartella…"), m_emptyPage);
    choose->setObjectName(QStringLiteral("chooseFolderButton"));
    choose->setStyleSheet(prominentButtonStyle());
    connect(choose, &QPushButton::clicked, m_viewModel.get(),
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

QWidget* ContentView::makePlainReportPage()
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
    m_reportText->setStyleSheet(
        QStringLiteral(
            "QPlainTextEdit { border: 1px solid %1; border-radius: 10px; padding: 8px; }")
            .arg(rgba(theme::primary(0.08))));
    layout->addWidget(m_reportText);
    return m_plainReportPage;
}

QWidget* ContentView::makeReportPage(QColor folderTint)
{
    m_reportPage = new QWidget;
    m_reportPage->setObjectName(QStringLiteral("reportPage"));
    auto* layout = new QVBoxLayout(m_reportPage);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);

    m_grandTotal = new SummaryCard(SummaryCard::Style::prominent, QStringLiteral("stopwatch"),
                                   tr("GRAN TOTALE"), m_reportPage);
    m_grandTotal->setObjectName(QStringLiteral("grandTotalCard"));
    m_count = new SummaryCard(SummaryCard::Style::plain, QStringLiteral("film"), tr("ANALIZZATI"),
                              m_reportPage);
    m_count->setObjectName(QStringLiteral("countCard"));
    auto* cards = new QHBoxLayout;
    cards->setSpacing(12);
    cards->addWidget(m_grandTotal, 1);
    cards->addWidget(m_count, 1);

    auto* panel = new QFrame(m_reportPage);
    panel->setObjectName(QStringLiteral("folderPanel"));
    panel->setStyleSheet(
        QStringLiteral("QFrame#folderPanel { border: 1px solid %1; border-radius: 10px; }")
            .arg(rgba(theme::primary(0.08))));
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->setSpacing(0);

    QFrame* header = makeBar("folderPanelHeader", QStringLiteral("transparent"), "bottom");
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(14, 9, 14, 9);
    QLabel* title = captionLabel(tr("REPORT PER CARTELLA"), header);
    title->setFont(theme::font(11, QFont::Bold));
    headerLayout->addWidget(title);
    headerLayout->addStretch();
    headerLayout->addWidget(captionLabel(tr("Ordinamento naturale"), header));

    m_rows = new ReportRowsModel(this);
    m_folderList = new QListView(panel);
    m_folderList->setObjectName(QStringLiteral("folderList"));
    m_folderList->setModel(m_rows);
    m_folderList->setItemDelegate(new ReportRowDelegate(folderTint, m_folderList));
    m_folderList->setFrameShape(QFrame::NoFrame);
    m_folderList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_folderList->setSelectionMode(QAbstractItemView::NoSelection);
    m_folderList->setMouseTracking(true);
    m_folderList->setStyleSheet(
        QStringLiteral("QListView { background: transparent; padding: 8px; }"));
    m_folderList->setLayoutMode(QListView::Batched);
    connect(m_folderList, &QListView::clicked, this,
            [this](const QModelIndex& index) { m_rows->toggle(index.row()); });

    panelLayout->addWidget(header);
    panelLayout->addWidget(m_folderList, 1);
    layout->addLayout(cards);
    layout->addWidget(panel, 1);
    return m_reportPage;
}

QWidget* ContentView::makeStatusBar()
{
    QFrame* bar = makeBar("statusBar", barMaterial(), "top");
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(16, 8, 16, 8);
    layout->setSpacing(10);
    m_statusIcon = new QLabel(bar);
    m_statusIcon->setObjectName(QStringLiteral("statusIcon"));
    m_statusIcon->setFixedSize(14, 14);
    m_statusText = new ElidedLabel(Qt::ElideMiddle, Qt::AlignLeft | Qt::AlignVCenter, bar);
    m_statusText->setObjectName(QStringLiteral("statusText"));
    m_statusText->setFont(theme::caption());
    m_progress = new QProgressBar(bar);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setFixedSize(140, 6);
    m_percent = captionLabel(QString(), bar);
    m_percent->setObjectName(QStringLiteral("percentLabel"));
    m_percent->setFixedWidth(34);
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(m_statusIcon);
    layout->addWidget(m_statusText, 1);
    layout->addWidget(m_progress);
    layout->addWidget(m_percent);
    return bar;
}

} // namespace quillmark

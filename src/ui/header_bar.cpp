#include "ui/header_bar.h"

#include "app/duration_calculator_view_model.h"
#include "model/path_text.h"
#include "ui/field_text.h"
#include "ui/keyboard.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace quillmark {

HeaderBar::HeaderBar(DurationCalculatorViewModel& viewModel, QWidget* parent)
    : Section(parent)
    , m_viewModel(viewModel)
{
    setObjectName(QStringLiteral("headerBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(theme::px(16), theme::px(12), theme::px(16), theme::px(12));
    layout->setSpacing(theme::px(10));

    auto* pathFrame = new Section(this);
    m_pathFrame = pathFrame;
    pathFrame->setObjectName(QStringLiteral("pathFrame"));
    auto* pathLayout = new QHBoxLayout(pathFrame);
    pathLayout->setContentsMargins(theme::px(10), theme::px(4), theme::px(10), theme::px(4));
    pathLayout->setSpacing(theme::px(8));
    const QString fieldName = tr("Percorso della cartella video");
    // The folder symbol is the field's label.
    auto* folderIcon = new QLabel(pathFrame);
    folderIcon->setPixmap(
        symbolPixmap(QStringLiteral("folder"), theme::px(14), theme::secondary()));
    folderIcon->setAccessibleName(fieldName);
    m_folderPath = new QLineEdit(pathFrame);
    m_folderPath->setObjectName(QStringLiteral("folderPathField"));
    m_folderPath->setPlaceholderText(fieldName);
    m_folderPath->setAccessibleName(fieldName);
    m_folderPath->setFont(theme::font(13, QFont::Normal, true));
    m_folderPath->setFrame(false);
    folderIcon->setBuddy(m_folderPath);
    pathLayout->addWidget(folderIcon);
    pathLayout->addWidget(m_folderPath);
    m_folderPath->installEventFilter(this);

    m_browse = new QPushButton(tr("Sfoglia…"), this);
    m_browse->setObjectName(QStringLiteral("browseButton"));
    m_browse->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_browse->setAutoDefault(true);
    connect(m_browse, &QPushButton::clicked, &m_viewModel,
            &DurationCalculatorViewModel::chooseFolder);

    // Drawn by the style sheet; nothing a screen reader needs to meet.
    auto* divider = new QWidget(this);
    divider->setObjectName(QStringLiteral("headerDivider"));
    divider->setAttribute(Qt::WA_StyledBackground);
    divider->setFixedSize(1, theme::px(20));

    m_openFolder = makeAction("openFolderAction", tr("Apri cartella"), "folder",
                              &DurationCalculatorViewModel::openFolder);
    m_rename = makeAction("renameAction", tr("Rinomina con durata"), "document-edit",
                          &DurationCalculatorViewModel::renameFolderWithDuration);
    m_playlists = makeAction("playlistsAction", tr("Crea playlist"), "view-media-playlist",
                             &DurationCalculatorViewModel::createPlaylists);
    m_save = makeAction("saveAction", tr("Salva report…"), "document-save",
                        &DurationCalculatorViewModel::saveReport);
    m_save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_exportCsv = makeAction("exportCsvAction", tr("Esporta CSV…"), "x-office-spreadsheet",
                             &DurationCalculatorViewModel::exportCsv);
    m_copy = makeAction("copyAction", tr("Copia report"), "edit-copy",
                        &DurationCalculatorViewModel::copyReport);
    m_load = makeAction("loadAction", tr("Carica report"), "document-open",
                        &DurationCalculatorViewModel::loadReport);
    m_clear = makeAction("clearAction", tr("Pulisci output"), "edit-delete",
                         &DurationCalculatorViewModel::clearOutput);
    m_freshRun = makeAction("freshRunAction", tr("Ricalcola senza cache"), "view-refresh",
                            &DurationCalculatorViewModel::recalculateWithoutCache);
    m_clear->setIcon(symbolIcon(QStringLiteral("edit-delete"), theme::error()));
    m_clear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));

    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("actionsMenu"));
    menu->addActions({m_openFolder, m_rename, m_playlists, m_freshRun});
    menu->addSeparator();
    menu->addActions({m_save, m_exportCsv, m_copy, m_load});
    menu->addSeparator();
    m_recent = menu->addMenu(tr("Cartelle recenti"));
    m_recent->setObjectName(QStringLiteral("recentFoldersMenu"));
    connect(m_recent, &QMenu::aboutToShow, this, [this] {
        listRecentFolders();
        m_viewModel.checkRecentFolders();
    });
    connect(&m_viewModel, &DurationCalculatorViewModel::recentFoldersChanged, this,
            &HeaderBar::listRecentFolders);
    menu->addSeparator();
    menu->addAction(m_clear);
    giveMnemonics(menu);

    m_actions = new QToolButton(this);
    m_actions->setObjectName(QStringLiteral("actionsButton"));
    m_actions->setIcon(symbolIcon(QStringLiteral("view-more"), theme::primary(0.75)));
    m_actions->setIconSize(QSize(theme::px(18), theme::px(18)));
    m_actions->setPopupMode(QToolButton::InstantPopup);
    m_actions->setMenu(menu);
    m_actions->setToolTip(tr("Altre azioni"));
    m_actions->setAccessibleName(tr("Altre azioni"));
    pressWithKeyboard(m_actions);

    m_calculate = new QPushButton(this);
    m_calculate->setObjectName(QStringLiteral("calculateButton"));
    m_calculate->setFont(theme::font(13, QFont::DemiBold));
    m_calculate->setIconSize(QSize(theme::px(16), theme::px(16)));
    // Return on the focused button runs it, as Space does.
    m_calculate->setAutoDefault(true);
    // While a run or the writing of playlists goes on, the same button stops it. A second click
    // of a double click would stop what the first started: it is ignored.
    connect(m_calculate, &QPushButton::clicked, this, [this] {
        if (m_lastClick.isValid() && m_lastClick.elapsed() < QApplication::doubleClickInterval())
            return;
        m_lastClick.start();
        if (m_viewModel.canStop())
            m_viewModel.stop();
        else
            m_viewModel.calculate();
    });
    auto* stop = new QAction(this);
    stop->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(stop, &QAction::triggered, &m_viewModel, &DurationCalculatorViewModel::stop);
    addAction(stop);

    layout->addWidget(pathFrame, 1);
    layout->addWidget(m_browse);
    layout->addWidget(divider);
    layout->addWidget(m_actions);
    layout->addWidget(m_calculate);

    connect(m_folderPath, &QLineEdit::textEdited, &m_viewModel,
            &DurationCalculatorViewModel::setFolderPath);
    connect(m_folderPath, &QLineEdit::returnPressed, &m_viewModel,
            &DurationCalculatorViewModel::calculate);
    connect(&m_viewModel, &DurationCalculatorViewModel::folderPathChanged, this,
            [this] { showFieldText(m_folderPath, m_viewModel.folderPath()); });
    connect(&m_viewModel, &DurationCalculatorViewModel::actionsChanged, this,
            &HeaderBar::showEnabledState);
    showFieldText(m_folderPath, m_viewModel.folderPath());
    keepCalculateWidth();
    m_actions->setFixedSize(pathFrame->sizeHint().height(), pathFrame->sizeHint().height());
    showEnabledState();
}

// The frame around the path field shows the field's focus ring; the actions button is as high
// as the field, whatever the font.
bool HeaderBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_folderPath &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        m_pathFrame->setProperty("focused", event->type() == QEvent::FocusIn);
        m_pathFrame->style()->unpolish(m_pathFrame);
        m_pathFrame->style()->polish(m_pathFrame);
    }
    return Section::eventFilter(watched, event);
}

// One width for both of the button's labels, in any language: nothing in the header moves when
// a run starts or ends.
void HeaderBar::keepCalculateWidth()
{
    m_calculate->ensurePolished();
    int widest = 0;
    for (const bool stoppable : {false, true}) {
        showCalculateLabel(stoppable);
        widest = std::max(widest, m_calculate->sizeHint().width());
    }
    m_calculate->setFixedWidth(widest);
}

void HeaderBar::showCalculateLabel(bool stoppable)
{
    m_calculate->setText(stoppable ? tr("Interrompi") : tr("Calcola"));
    m_calculate->setIcon(symbolIcon(stoppable ? QStringLiteral("media-playback-stop")
                                              : QStringLiteral("media-playback-start"),
                                    Qt::white));
}

QAction* HeaderBar::makeAction(const char* objectName, const QString& text, const char* symbol,
                               void (DurationCalculatorViewModel::*slot)())
{
    auto* action = new QAction(symbolIcon(QLatin1String(symbol), theme::primary(0.8)), text, this);
    action->setObjectName(QLatin1String(objectName));
    connect(action, &QAction::triggered, &m_viewModel, slot);
    // Added to the bar too, so that its shortcut works in the whole window while the menu is
    // closed.
    addAction(action);
    return action;
}

// From what is remembered, at once; a folder that did not answer when last looked at is shown
// but cannot be chosen. Listed again when the look that runs while the menu is open answers.
void HeaderBar::listRecentFolders()
{
    m_recent->clear();
    for (const RecentFolder& recent : m_viewModel.recentFolders()) {
        QAction* action = m_recent->addAction(pathText(recent.folder));
        action->setEnabled(recent.reachable);
        if (!recent.reachable)
            action->setToolTip(tr("Cartella non raggiungibile"));
        connect(action, &QAction::triggered, this,
                [this, folder = recent.folder] { m_viewModel.useFolder(folder); });
    }
    if (m_recent->isEmpty())
        m_recent->addAction(tr("Nessuna cartella recente"))->setEnabled(false);
}

void HeaderBar::showEnabledState()
{
    const DurationCalculatorViewModel& vm = m_viewModel;
    const bool stoppable = vm.canStop();
    for (QWidget* control : std::initializer_list<QWidget*>{m_folderPath, m_browse})
        control->setEnabled(vm.canChooseFolder());
    showCalculateLabel(stoppable);
    m_calculate->setEnabled(vm.canCalculate() || stoppable);
    m_calculate->setShortcut(vm.canCalculate() ? QKeySequence(Qt::CTRL | Qt::Key_R)
                                               : QKeySequence());
    m_openFolder->setEnabled(vm.canChooseFolder());
    m_freshRun->setEnabled(vm.canCalculate());
    m_recent->setEnabled(vm.canChooseFolder());
    m_rename->setEnabled(vm.canRenameFolder());
    m_playlists->setEnabled(vm.canCreatePlaylists());
    m_save->setEnabled(vm.canSave());
    m_exportCsv->setEnabled(vm.canSave());
    m_copy->setEnabled(vm.canCopy());
    m_load->setEnabled(vm.canLoadReport());
    m_clear->setEnabled(vm.canClearOutput());
}

} // namespace quillmark

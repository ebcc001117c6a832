#include "support/printers.h"
#include "support/window_fixture.h"
#include "ui/elided_label.h"
#include "ui/report_tree_model.h"
#include "ui/report_tree_view.h"
#include "ui/summary_card.h"

#include <QAbstractFileIconProvider>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

namespace quillmark {
namespace {

using MainWindowTest = test::WindowFixture;

// Each state has its page. During a run Calcola stays enabled, as the way to stop it, and so do
// the actions on the report shown before, except clearing it.
TEST_F(MainWindowTest, ShowsTheStateAndDisablesWhatARunForbids)
{
    makeTree();
    tree.file("Viaggi/durata.txt", "solo testo\n");
    settings.setValue(QStringLiteral("last_folder"), viaggi());
    open();
    auto enabled = [this] {
        QStringList names;
        for (const char* name : {"folderPathField", "extensionsField", "hideEmptyToggle",
                                 "browseButton", "calculateButton"})
            if (find<QWidget>(name)->isEnabled())
                names.append(QLatin1String(name));
        for (const char* name : {"openFolderAction", "renameAction", "playlistsAction",
                                 "saveAction", "copyAction", "loadAction", "clearAction"})
            if (find<QAction>(name)->isEnabled())
                names.append(QLatin1String(name));
        return names.join(QLatin1Char(' '));
    };
    EXPECT_EQ(page(), QStringLiteral("plainReportPage"));
    vm().calculate();
    EXPECT_EQ(page(), QStringLiteral("runningPage"));
    EXPECT_EQ(enabled(), QStringLiteral("calculateButton saveAction copyAction loadAction"));
    EXPECT_EQ(find<QPushButton>("calculateButton")->text(), QStringLiteral("Interrompi"));
    finishRun();
    EXPECT_EQ(page(), QStringLiteral("reportPage"));
    EXPECT_EQ(find<SummaryCard>("countCard")->value(),
              QStringLiteral("3 video · 2 cartelle · 1 errore"));
    EXPECT_EQ(find<SummaryCard>("grandTotalCard")->value(), QStringLiteral("0h02m"));
    vm().clearOutput();
    EXPECT_EQ(page(), QStringLiteral("emptyPage"));
    EXPECT_EQ(enabled(), QStringLiteral("folderPathField extensionsField hideEmptyToggle "
                                        "browseButton calculateButton openFolderAction "
                                        "loadAction clearAction"));
}

// The rows as the tree shows them, one line each: depth, name, and what the row says of itself.
QString shownRows(QTreeView* tree)
{
    QStringList lines;
    for (QModelIndex index = tree->model()->index(0, 0); index.isValid();
         index = tree->indexBelow(index))
        lines.append(QString(index.data(ReportTreeModel::DepthRole).toInt() +
                                 (index.data(ReportTreeModel::IsFolderRole).toBool() ? 0 : 1),
                             QLatin1Char(' ')) +
                     index.data().toString() +
                     (index.data(ReportTreeModel::IsGroupRole).toBool()
                          ? QStringLiteral(" (gruppo)")
                          : QString()));
    return lines.join(QLatin1Char('|'));
}

// Folders open by mouse or key and stay open (or closed) across a recalculation; the top folder
// opens at first. Each click on "1 errore" goes to the next file in error; the sort menu sorts.
TEST_F(MainWindowTest, RowsOpenByMouseOrKeyAndStayOpenAcrossARecalculation)
{
    makeTree();
    tree.file("Viaggi/Mare/rotto 2.mkv");
    open();
    vm().setFolderPath(viaggi());
    vm().calculate();
    finishRun();
    auto* list = find<QTreeView>("folderList");
    EXPECT_EQ(shownRows(list), QStringLiteral("Viaggi| alba.mp4| rotto.mkv| Mare"));
    const QModelIndex top = list->model()->index(0, 0);
    EXPECT_EQ(top.data(ReportTreeModel::SubtreeLabelRole).toString(),
              QStringLiteral("0h02m in tutto"));
    EXPECT_EQ(top.data(Qt::AccessibleTextRole).toString(),
              QStringLiteral("Viaggi, 0h01m, 0h02m in tutto"));
    const QModelIndex mare = list->model()->index(2, 0, top);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(mare).center());
    EXPECT_EQ(shownRows(list),
              QStringLiteral("Viaggi| alba.mp4| rotto.mkv| Mare|  onde.mov|  rotto 2.mkv"));
    vm().calculate();
    finishRun();
    EXPECT_EQ(shownRows(list).count(QLatin1Char('|')), 5);

    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0));
    const std::vector<std::pair<Qt::Key, QString>> steps{
        // key, then the current row and how many rows are shown
        {Qt::Key_Return, QStringLiteral("Viaggi 1")},  {Qt::Key_Space, QStringLiteral("Viaggi 6")},
        {Qt::Key_Down, QStringLiteral("alba.mp4 6")},  {Qt::Key_Left, QStringLiteral("Viaggi 6")},
        {Qt::Key_Left, QStringLiteral("Viaggi 1")},    {Qt::Key_Right, QStringLiteral("Viaggi 6")},
        {Qt::Key_Right, QStringLiteral("alba.mp4 6")},
    };
    for (const auto& [key, expected] : steps) {
        QTest::keyClick(list, key);
        EXPECT_EQ(list->currentIndex().data().toString() +
                      QStringLiteral(" %1").arg(shownRows(list).count(QLatin1Char('|')) + 1),
                  expected)
            << key;
    }
    auto* errors =
        find<SummaryCard>("countCard")->findChild<QAbstractButton*>(QStringLiteral("summaryLink"));
    QStringList visited;
    for (int click = 0; click < 3; ++click) {
        errors->click();
        visited.append(list->currentIndex().data().toString());
    }
    EXPECT_EQ(visited, (QStringList{QStringLiteral("rotto.mkv"), QStringLiteral("rotto 2.mkv"),
                                    QStringLiteral("rotto.mkv")}));
    EXPECT_EQ(find<QLabel>("fileErrorLine")->text(), QStringLiteral("file danneggiato"));

    find<QAction>("durationOrderAction")->trigger();
    EXPECT_TRUE(vm().sortByDuration());
    EXPECT_EQ(find<QToolButton>("sortButton")->text(), QStringLiteral("Per durata"));
}

// A folder without videos of its own, hidden from the report, is a group row above its seasons,
// and opens and closes like the others; by duration the files of a folder come longest first.
TEST_F(MainWindowTest, TheRowsAreATree)
{
    tree.file("v/durata.txt", "Cartella /v/Film\na.mkv (0h10m)\nTotale cartella (0h10m)\n\n"
                              "Cartella /v/Serie/S1\nx.mkv (0h05m)\ny.mkv (0h20m)\n"
                              "Totale cartella (0h25m)\n\n"
                              "Cartella /v/Serie/S2\nz.mkv (0h01m)\nTotale cartella (0h01m)\n\n"
                              "Gran totale (0h36m)\n");
    settings.setValue(QStringLiteral("last_folder"),
                      QString::fromStdString(tree.path("v").native()));
    open();
    auto* list = find<QTreeView>("folderList");
    EXPECT_EQ(shownRows(list), QStringLiteral("Film| a.mkv|Serie (gruppo)| S1| S2"));
    const QModelIndex serie = list->model()->index(1, 0);
    EXPECT_EQ(serie.data(ReportTreeModel::SubtreeLabelRole).toString(),
              QStringLiteral("≈ 0h26m in tutto"));
    EXPECT_TRUE(serie.data(ReportTreeModel::LabelRole).toString().isEmpty());
    vm().setSortByDuration(true);
    EXPECT_EQ(shownRows(list), QStringLiteral("Serie (gruppo)| S1| S2|Film| a.mkv"));
    const QModelIndex s1 = list->model()->index(0, 0, list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(s1).center());
    EXPECT_EQ(shownRows(list),
              QStringLiteral("Serie (gruppo)| S1|  y.mkv|  x.mkv| S2|Film| a.mkv"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_EQ(shownRows(list), QStringLiteral("Serie (gruppo)|Film| a.mkv"));

    // "*" or Shift+Right opens all below the current row, Shift+Left closes them; with Ctrl,
    // the whole tree.
    list->setFocus();
    const std::vector<std::pair<QKeyCombination, QString>> steps{
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Left, QStringLiteral("Serie (gruppo)|Film")},
        {Qt::Key_Asterisk, QStringLiteral("Serie (gruppo)| S1|  y.mkv|  x.mkv| S2|  z.mkv|Film")},
        {Qt::SHIFT | Qt::Key_Left, QStringLiteral("Serie (gruppo)|Film")},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Right,
         QStringLiteral("Serie (gruppo)| S1|  y.mkv|  x.mkv| S2|  z.mkv|Film| a.mkv")},
    };
    list->setCurrentIndex(list->model()->index(0, 0));
    for (const auto& [keys, expected] : steps) {
        QTest::keyClick(list, keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(shownRows(list), expected);
    }
}

// The selection and the current row survive a new order; Ctrl+C copies every chosen row's path as
// the file system has it, a line feed in a name included, one per line in the order shown, and
// the paths follow a rename. By duration, files come by their seconds, not by their labels.
TEST_F(MainWindowTest, RowsKeepTheirSelectionAndCopyTheirRealPaths)
{
    tree.file("Corso/Lezione 2.mp4");
    tree.file("Corso/Lezione 13.mp4");
    tree.file("Corso/riga uno\nriga due.mp4");
    seconds = [](const std::filesystem::path& file) {
        return file.filename() == "Lezione 2.mp4" ? 286.0 : 329.0;
    };
    open();
    vm().setFolderPath(QString::fromStdString(tree.path("Corso").native()));
    vm().calculate();
    finishRun();
    auto* list = find<ReportTreeView>("folderList");
    const QModelIndex corso = list->model()->index(0, 0);
    EXPECT_EQ(shownRows(list),
              QStringLiteral("Corso| Lezione 2.mp4| Lezione 13.mp4| riga uno\u23CEriga due.mp4"));
    list->setFocus();
    list->setCurrentIndex(list->model()->index(2, 0, corso));
    list->selectionModel()->select(list->model()->index(0, 0, corso), QItemSelectionModel::Select);
    vm().setSortByDuration(true);
    EXPECT_EQ(shownRows(list),
              QStringLiteral("Corso| Lezione 13.mp4| riga uno\u23CEriga due.mp4| Lezione 2.mp4"));
    QStringList selected;
    for (const QModelIndex& row : list->chosenRows())
        selected.append(row.data().toString());
    EXPECT_EQ(selected, (QStringList{QStringLiteral("riga uno\u23CEriga due.mp4"),
                                     QStringLiteral("Lezione 2.mp4")}));
    EXPECT_EQ(list->currentIndex().data().toString(), QStringLiteral("riga uno\u23CEriga due.mp4"));

    const QString folder = QString::fromStdString(tree.path("Corso").native());
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(desktop.clipboard, folder + QStringLiteral("/riga uno\nriga due.mp4\n") + folder +
                                     QStringLiteral("/Lezione 2.mp4"));
    EXPECT_EQ(vm().statusMessage(), QStringLiteral("2 percorsi copiati"));

    desktop.confirmAnswers = {true};
    vm().renameFolderWithDuration();
    vm().finishBackgroundWork(std::chrono::seconds(10));
    list->clearSelection();
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(desktop.clipboard, folder + QStringLiteral(" (0h16m)"));
    EXPECT_EQ(vm().staleReportMessage(), QString());
}

// At twice the scale a full-HD screen is 960 by 540: the window fits whatever screen it is on,
// with its status bar.
TEST_F(MainWindowTest, TheSmallestWindowFitsTheScreen)
{
    open();
    const QSize available = view->screen()->availableSize();
    EXPECT_LE(view->minimumWidth(), available.width());
    EXPECT_LE(view->minimumHeight(), available.height());
    view->resize(view->minimumSize());
    QTest::qWait(20);
    const auto* status = find<QWidget>("statusBar");
    EXPECT_TRUE(status->isVisible());
    EXPECT_LE(status->mapTo(view.get(), QPoint(0, status->height())).y(), view->height());
}

TEST_F(MainWindowTest, ADroppedFileChoosesItsFolder)
{
    makeTree();
    open();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(viaggi() + QStringLiteral("/Mare/onde.mov"))});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &drop);
    vm().finishBackgroundWork(std::chrono::seconds(10));
    EXPECT_EQ(vm().folderPath(), viaggi() + QStringLiteral("/Mare"));
}

// Return in either field or on Calcola starts a run; Esc or Interrompi stops it. Nothing in the
// header moves meanwhile, and the second click of a double click does not stop what the first
// started.
TEST_F(MainWindowTest, ReturnStartsTheRunAndEscapeOrInterrompiStopsIt)
{
    makeTree();
    open();
    vm().setFolderPath(viaggi());
    auto* calculate = find<QPushButton>("calculateButton");
    auto* actions = find<QToolButton>("actionsButton");
    const QRect idleCalculate = calculate->geometry();
    const QRect idleActions = actions->geometry();
    for (QWidget* target : std::initializer_list<QWidget*>{
             find<QLineEdit>("folderPathField"), find<QLineEdit>("extensionsField"), calculate}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_TRUE(vm().isRunning()) << target->objectName().toStdString();
        EXPECT_EQ(calculate->geometry(), idleCalculate);
        EXPECT_EQ(actions->geometry(), idleActions);
        QTest::qWait(QApplication::doubleClickInterval() + 20);
        if (target == calculate)
            calculate->click();
        else
            QTest::keyClick(view->windowHandle(), Qt::Key_Escape);
        EXPECT_EQ(vm().statusMessage(), QStringLiteral("Calcolo interrotto"));
        EXPECT_EQ(calculate->text(), QStringLiteral("Calcola"));
    }
    QTest::qWait(QApplication::doubleClickInterval() + 20);
    calculate->click();
    calculate->click();
    EXPECT_TRUE(vm().isRunning());
}

// An alert shows its whole reason, wrapped, whatever its length; a path too long for the screen
// loses its middle, never the reason, and is whole in the details.
TEST_F(MainWindowTest, AnAlertShowsItsWholeMessage)
{
    open();
    QStringList messages;
    QString reason = QStringLiteral("Impossibile rinominare la cartella:");
    for (int words = 0; words < 40; ++words)
        messages.append(reason += QStringLiteral(" parola"));
    const QString deep = QStringLiteral("/media/archivio") +
                         QStringLiteral("/una cartella dal nome lungo").repeated(140);
    messages.append(QStringLiteral("Impossibile leggere il report: %1/durata.txt non contiene "
                                   "testo.")
                        .arg(deep));
    messages.append(QStringLiteral("La cartella /%1 non esiste.").arg(QString(4000, u'x')));
    for (const QString& message : messages) {
        vm().setAlert(AlertItem{QUuid::createUuid(), QStringLiteral("Errore"), message, true});
        auto* box = view->findChild<QMessageBox*>(QStringLiteral("alertBox"));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        const QRect room = box->screen()->availableGeometry();
        EXPECT_LE(box->width(), room.width());
        EXPECT_LE(box->height(), room.height());
        const QFontMetrics metrics(label->font());
        // The text, wrapped or on one line, fits in the label.
        if (label->wordWrap())
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << message.size();
        else
            EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text())) << message.size();
        EXPECT_TRUE(box->rect().contains(QRect(label->mapTo(box, QPoint()), label->size())));
        EXPECT_TRUE(label->text().startsWith(message.left(30)));
        EXPECT_TRUE(label->text().endsWith(message.right(20)));
        EXPECT_EQ(box->detailedText(), label->text() == message ? QString() : message);
        box->accept();
    }
}

// A run that finds no video names every extension it looked for; a list too long for the page
// loses its middle, never the folder's name.
TEST_F(MainWindowTest, NoVideosNamesEveryExtensionLookedFor)
{
    tree.file("Solo documenti/nota.txt");
    open();
    vm().setFolderPath(QString::fromStdString(tree.path("Solo documenti").native()));
    vm().calculate();
    finishRun();
    EXPECT_EQ(page(), QStringLiteral("noVideosPage"));
    auto* message = find<ElidedLabel>("noVideosMessage");
    EXPECT_EQ(
        message->shownLines().join(QString()).simplified(),
        QStringLiteral("Nessun video .mp4, .mkv, .mov, .f4v, .flv, .avi in «Solo documenti»"));

    QStringList many;
    for (int i = 0; i < 80; ++i)
        many.append(QStringLiteral("estensione%1").arg(i));
    vm().setExtensionsText(many.join(QLatin1Char(',')));
    vm().calculate();
    finishRun();
    const QStringList lines = message->shownLines();
    EXPECT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("in «Solo documenti»")));
    EXPECT_TRUE(lines.last().contains(QStringLiteral("…")));
    EXPECT_EQ(message->accessibleName(), vm().noVideosMessage());
}

// Numbers are grouped as the language groups them wherever they are shown, and Qt's own file
// dialog speaks the interface's language too.
TEST_F(MainWindowTest, NumbersAndQtsOwnTextsFollowTheLanguage)
{
    std::string report;
    for (int folder = 0; folder < 1100; ++folder)
        report += "Cartella /v/" + std::to_string(folder) +
                  "\na.mp4 (0h01m)\nTotale cartella (0h01m)\n\n";
    tree.file("v/durata.txt", report + "Gran totale (18h20m)\n");
    settings.setValue(QStringLiteral("last_folder"),
                      QString::fromStdString(tree.path("v").native()));
    open();
    EXPECT_EQ(find<SummaryCard>("countCard")->value(),
              QStringLiteral("1.100 video · 1.100 cartelle"));
    EXPECT_EQ(
        QAbstractFileIconProvider().type(QFileInfo(QString::fromStdString(tree.root().native()))),
        QStringLiteral("Cartella"));
}

// Characters take fractions of a pixel: at the width it asks for, a label must still show all.
TEST(ElidedLabelTest, ShowsItsWholeTextAtTheWidthItAsksFor)
{
    ElidedLabel label(Qt::ElideRight);
    label.setFont(theme::caption());
    for (int files = 0; files < 100; ++files) {
        const QString text = QStringLiteral("%1 di 99 file · 0:%2").arg(files).arg(files % 60);
        label.setText(text);
        label.resize(label.sizeHint());
        EXPECT_EQ(label.shownLines(), QStringList{text});
    }
}

} // namespace
} // namespace quillmark

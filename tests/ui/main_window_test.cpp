#include "support/printers.h"
#include "support/window_fixture.h"
#include "ui/elided_label.h"
#include "ui/report_tree_model.h"
#include "ui/summary_card.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
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
    // Ctrl+C copies the row's full path.
    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0, list->model()->index(1, 0)));
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/v/Film/a.mkv"));
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

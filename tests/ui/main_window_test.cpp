#include "app/interface_language.h"
#include "platform/qsettings_store.h"
#include "support/fake_desktop_services.h"
#include "support/fake_provider.h"
#include "support/printers.h"
#include "support/temp_tree.h"
#include "ui/display_text.h"
#include "ui/elided_label.h"
#include "ui/main_window.h"
#include "ui/report_rows_model.h"
#include "ui/summary_card.h"
#include "ui/theme.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace quillmark {
namespace {

using test::TempTree;

// The real window with fake desktop services; measurements wait until released, so a run can be
// looked at while it goes on.
class MainWindowTest : public ::testing::Test {
protected:
    ~MainWindowTest() override { release = true; }

    MainWindow& open(QProcessEnvironment environment = {})
    {
        ViewModelServices services{settings, desktop};
        services.environment = environment;
        services.processorCount = 2;
        services.makeDurationService =
            test::measuredBy([this](const auto& file, std::stop_token stop) {
                while (!release && !stop.stop_requested())
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                if (file.filename().native().rfind("rotto", 0) == 0)
                    throw std::runtime_error("file danneggiato");
                return 61.0;
            });
        view = std::make_unique<MainWindow>(std::make_unique<DurationCalculatorViewModel>(services),
                                            theme::folderTint());
        vm().finishBackgroundWork(std::chrono::seconds(10));
        view->show();
        view->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view.get()));
        return *view;
    }

    DurationCalculatorViewModel& vm() { return view->viewModel(); }
    template <class T> T* find(const char* name)
    {
        return view->findChild<T*>(QLatin1String(name));
    }
    QString page() { return find<QStackedWidget>("contentStack")->currentWidget()->objectName(); }

    void finishRun()
    {
        release = true;
        QSignalSpy done(&vm(), &DurationCalculatorViewModel::isRunningChanged);
        while (vm().isRunning())
            ASSERT_TRUE(done.wait(10000));
        release = false;
    }

    QString viaggi() const { return QString::fromStdString(tree.path("Viaggi").native()); }

    void makeTree()
    {
        tree.file("Viaggi/alba.mp4");
        tree.file("Viaggi/rotto.mkv");
        tree.file("Viaggi/Mare/onde.mov");
    }

    // Italian, as on most machines it runs on: plural forms come from its catalogue.
    const InterfaceLanguage italian{QLocale(QLocale::Italian)};
    TempTree tree;
    QTemporaryDir settingsFolder;
    QSettingsStore settings{settingsFolder.filePath(QStringLiteral("q.conf"))};
    test::FakeDesktopServices desktop;
    std::atomic<bool> release = false;
    std::unique_ptr<MainWindow> view;
};

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

// Rows open by mouse or key, stay open across a recalculation and name themselves; the count
// card opens the folder of a failed file; the sort menu sorts them.
TEST_F(MainWindowTest, RowsOpenByMouseOrKeyAndStayOpenAcrossARecalculation)
{
    makeTree();
    open();
    vm().setFolderPath(viaggi());
    vm().calculate();
    finishRun();
    auto* list = find<QListView>("folderList");
    QAbstractItemModel* rows = list->model();
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->index(0, 0).data(ReportRowsModel::SubtreeLabelRole).toString(),
              QStringLiteral("0h02m in tutto"));
    EXPECT_EQ(rows->index(1, 0).data(Qt::AccessibleTextRole).toString(),
              QStringLiteral("Mare, 0h01m"));
    const QPoint firstRow = list->visualRect(rows->index(0, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, firstRow);
    EXPECT_EQ(rows->index(2, 0).data(Qt::ToolTipRole).toString(),
              tooltipText(QStringLiteral("file danneggiato")));
    vm().calculate();
    finishRun();
    EXPECT_EQ(rows->rowCount(), 4);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, firstRow);
    EXPECT_EQ(rows->rowCount(), 2);

    list->setFocus();
    const std::vector<std::pair<Qt::Key, std::pair<int, int>>> steps{
        // key, then the current row and the number of rows after it
        {Qt::Key_Return, {0, 4}}, {Qt::Key_Down, {1, 4}}, {Qt::Key_Left, {0, 4}},
        {Qt::Key_Left, {0, 2}},   {Qt::Key_Down, {1, 2}}, {Qt::Key_Right, {1, 3}},
        {Qt::Key_Space, {1, 2}},
    };
    for (const auto& [key, expected] : steps) {
        QTest::keyClick(list, key);
        EXPECT_EQ(std::pair(list->currentIndex().row(), rows->rowCount()), expected) << key;
    }
    Q_EMIT find<SummaryCard>("countCard")
        ->findChild<QLabel*>(QStringLiteral("summaryValue"))
        ->linkActivated(QStringLiteral("link"));
    EXPECT_TRUE(rows->index(0, 0).data(ReportRowsModel::IsExpandedRole).toBool());
    EXPECT_EQ(rows->rowCount(), 4);

    find<QAction>("durationOrderAction")->trigger();
    EXPECT_TRUE(vm().sortByDuration());
    EXPECT_EQ(find<QToolButton>("sortButton")->text(), QStringLiteral("Per durata"));
}

// A folder without videos of its own, hidden from the report, is a group row above its seasons;
// by duration the files of a folder come longest first too.
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
    auto* list = find<QListView>("folderList");
    QAbstractItemModel* rows = list->model();
    auto shown = [rows] {
        QStringList texts;
        for (int row = 0; row < rows->rowCount(); ++row) {
            const QModelIndex index = rows->index(row, 0);
            texts.append(QString(index.data(ReportRowsModel::DepthRole).toInt(), QLatin1Char(' ')) +
                         index.data().toString() +
                         (index.data(ReportRowsModel::IsGroupRole).toBool()
                              ? QStringLiteral(" (gruppo)")
                              : QString()));
        }
        return texts.join(QLatin1Char('|'));
    };
    EXPECT_EQ(shown(), QStringLiteral("Film|Serie (gruppo)| S1| S2"));
    EXPECT_EQ(rows->index(1, 0).data(ReportRowsModel::SubtreeLabelRole).toString(),
              QStringLiteral("≈ 0h26m in tutto"));
    EXPECT_TRUE(rows->index(1, 0).data(ReportRowsModel::LabelRole).toString().isEmpty());
    vm().setSortByDuration(true);
    EXPECT_EQ(shown(), QStringLiteral("Serie (gruppo)| S1| S2|Film"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(rows->index(1, 0)).center());
    EXPECT_EQ(shown(), QStringLiteral("Serie (gruppo)| S1| y.mkv| x.mkv| S2|Film"));
    // Ctrl+C copies the row's full path.
    list->setFocus();
    list->setCurrentIndex(rows->index(2, 0));
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/v/Serie/S1/y.mkv"));
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

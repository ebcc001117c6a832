// Writes PNGs of the real window in each of its states, on the offscreen platform:
// quillmark-screenshots OUTPUT-FOLDER MEDIA-FOLDER
#include "app/duration_calculator_view_model.h"
#include "app/interface_language.h"
#include "platform/qsettings_store.h"
#include "platform/widgets/qt_desktop_services.h"
#include "support/fake_desktop_services.h"
#include "support/fake_provider.h"
#include "support/mounted_share.h"
#include "ui/main_window.h"
#include "ui/theme.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

namespace {

using namespace quillmark;
namespace fs = std::filesystem;

struct Window {
    QTemporaryDir settingsFolder;
    QSettingsStore settings{settingsFolder.filePath(QStringLiteral("q.conf"))};
    test::FakeDesktopServices desktop;
    std::unique_ptr<MainWindow> view;

    explicit Window(QProcessEnvironment environment = {}, bool slow = false)
    {
        ViewModelServices services{settings, desktop};
        services.environment = environment;
        services.processorCount = 2;
        if (slow) {
            services.makeDurationService = test::measuredBy([](const auto&, std::stop_token stop) {
                for (int i = 0; i < 50 && !stop.stop_requested(); ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                return 42.0;
            });
        }
        view = std::make_unique<MainWindow>(std::make_unique<DurationCalculatorViewModel>(services),
                                            theme::folderTint());
        view->resize(view->firstSize());
        view->show();
        settle();
    }

    DurationCalculatorViewModel& vm() { return view->viewModel(); }

    void settle()
    {
        vm().finishBackgroundWork(std::chrono::seconds(10));
        QTest::qWait(50);
    }

    void save(const QString& file)
    {
        settle();
        view->grab().save(file);
        std::printf("%s\n", qPrintable(file));
    }

    // The window with a window of its own drawn over it where it stands: a dialog, a menu.
    void saveWith(QWidget* over, const QString& file)
    {
        QPixmap picture = view->grab();
        QPainter painter(&picture);
        const QPoint at = over->mapToGlobal(QPoint()) - view->mapToGlobal(QPoint());
        painter.drawPixmap(at, over->grab());
        // The frame a window manager would draw.
        painter.setPen(QColor(0, 0, 0, 90));
        painter.drawRect(QRect(at, over->size()).adjusted(-1, -1, 0, 0));
        painter.end();
        picture.save(file);
        std::printf("%s\n", qPrintable(file));
    }
};

void calculate(DurationCalculatorViewModel& vm)
{
    QSignalSpy done(&vm, &DurationCalculatorViewModel::isRunningChanged);
    vm.calculate();
    while (vm.isRunning())
        done.wait(30000);
}

fs::path makeLibrary(const fs::path& root, const fs::path& media)
{
    const fs::path library = root / "Serie TV";
    for (const char* folder : {"Stagione 1", "Stagione 2", "Stagione 10", "Extra"})
        fs::create_directories(library / folder);
    fs::copy_file(media / "minute.mov", library / "Stagione 1/Episodio 1.mov");
    fs::copy_file(media / "clip.mkv", library / "Stagione 1/episodio 2.mkv");
    fs::copy_file(media / "clip.avi", library / "Stagione 1/Episodio 10.avi");
    fs::copy_file(media / "index-at-start.mp4", library / "Stagione 2/Pilota.mp4");
    fs::copy_file(media / "text.mp4", library / "Stagione 2/Danneggiato.mp4");
    fs::copy_file(media / "clip.flv", library / "Stagione 10/Finale.flv");
    fs::copy_file(media / "index-at-end.mp4", library / "Extra/Dietro le quinte.mp4");
    fs::copy_file(media / "minute.mov", library / "Sigla.mov");
    // A folder of folders, without videos of its own: a group in the tree.
    for (const char* folder : {"Documentari/Natura", "Documentari/Oceani"})
        fs::create_directories(library / folder);
    fs::copy_file(media / "index-at-start.mp4", library / "Documentari/Natura/Orsi.mp4");
    fs::copy_file(media / "clip.mkv", library / "Documentari/Oceani/Balene.mkv");
    return library;
}

// The shown row of that name.
QModelIndex shownRow(QTreeView* list, const QString& name)
{
    for (QModelIndex index = list->model()->index(0, 0); index.isValid();
         index = list->indexBelow(index)) {
        if (index.data(Qt::DisplayRole).toString() == name)
            return index;
    }
    return {};
}

// Opens the folder row whose name is given, as a click would.
void openFolder(Window& window, const QString& name)
{
    auto* list = window.view->findChild<QTreeView*>(QStringLiteral("folderList"));
    if (const QModelIndex index = shownRow(list, name); index.isValid()) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
        list->clearSelection();
    }
}

// Adds the rows of the given names to the selection, as Ctrl+clicks would.
void selectRows(Window& window, const QStringList& names)
{
    auto* list = window.view->findChild<QTreeView*>(QStringLiteral("folderList"));
    for (const QString& name : names) {
        if (const QModelIndex index = shownRow(list, name); index.isValid())
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              list->visualRect(index).center());
    }
}

QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(40, 42, 46));
    palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
    palette.setColor(QPalette::Base, QColor(30, 31, 34));
    palette.setColor(QPalette::Text, QColor(230, 230, 230));
    palette.setColor(QPalette::Button, QColor(52, 54, 58));
    palette.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    palette.setColor(QPalette::Highlight, QColor(61, 174, 233));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

void drawEveryState(const QDir& out, const fs::path& library)
{
    const QString libraryText = QString::fromStdString(library.native());
    {
        Window window;
        window.save(out.filePath(QStringLiteral("1-empty.png")));
    }
    {
        Window window({}, true);
        window.vm().setFolderPath(libraryText);
        window.vm().calculate();
        QTest::qWait(1200);
        window.save(out.filePath(QStringLiteral("2-running.png")));
    }
    {
        Window window;
        std::ofstream(library / "durata.txt")
            << "Report scritto a mano, senza cartelle.\nGran totale (2h10m)\n";
        window.desktop.folderAnswers = {library};
        window.vm().chooseFolder();
        window.save(out.filePath(QStringLiteral("3-plain-report.png")));
        fs::remove(library / "durata.txt");
    }
    {
        Window window;
        window.vm().setFolderPath(libraryText);
        calculate(window.vm());
        openFolder(window, QStringLiteral("Stagione 2"));
        openFolder(window, QStringLiteral("Oceani"));
        window.view->findChild<QTreeView*>(QStringLiteral("folderList"))->clearFocus();
        window.save(out.filePath(QStringLiteral("4-report-tree.png")));
        window.vm().setSortByDuration(true);
        window.save(out.filePath(QStringLiteral("6-by-duration.png")));
        window.vm().setSortByDuration(false);
        // Rows chosen by Ctrl+click, their total, and every total at one and a half times.
        selectRows(window, {QStringLiteral("Stagione 1"), QStringLiteral("Pilota.mp4"),
                            QStringLiteral("Oceani")});
        window.vm().setPlaybackSpeed(150);
        window.save(out.filePath(QStringLiteral("13-selection-at-speed.png")));
        window.vm().setPlaybackSpeed(100);
        window.view->findChild<QTreeView*>(QStringLiteral("folderList"))->clearSelection();
        // Where the keyboard is: on Calcola, then on the link of the summary card.
        window.view->findChild<QWidget*>(QStringLiteral("calculateButton"))->setFocus();
        window.save(out.filePath(QStringLiteral("14-focus-on-calcola.png")));
        window.view->findChild<QWidget*>(QStringLiteral("countCard"))
            ->findChild<QWidget*>(QStringLiteral("summaryLink"))
            ->setFocus();
        window.save(out.filePath(QStringLiteral("15-focus-on-a-summary-card.png")));
        // Another folder typed in: the report says whose it is.
        window.vm().setFolderPath(libraryText + QStringLiteral("/Extra"));
        window.save(out.filePath(QStringLiteral("9-stale-report-banner.png")));
    }
    {
        QProcessEnvironment sandboxed;
        sandboxed.insert(QStringLiteral("FLATPAK_ID"), QStringLiteral("org.quillmark.Quillmark"));
        Window window(sandboxed);
        window.save(out.filePath(QStringLiteral("5-sandbox-banner.png")));
    }
    {
        Window window;
        window.vm().setFolderPath(libraryText);
        window.vm().setExtensionsText(QStringLiteral("webm,ogv"));
        calculate(window.vm());
        window.save(out.filePath(QStringLiteral("7-no-videos.png")));
    }
    {
        Window window({}, true);
        window.vm().setFolderPath(libraryText + QStringLiteral("/Extra"));
        calculate(window.vm());
        window.vm().setFolderPath(libraryText);
        window.vm().calculate();
        QTest::qWait(300);
        window.vm().stop();
        window.save(out.filePath(QStringLiteral("8-stopped-run.png")));
    }
    {
        Window window;
        QtDesktopServices desktop(window.view.get());
        QTimer::singleShot(300, [&] {
            QWidget* box = QApplication::activeModalWidget();
            box->grab().save(out.filePath(QStringLiteral("10-rename-dialog.png")));
            std::printf("%s\n", qPrintable(out.filePath(QStringLiteral("10-rename-dialog.png"))));
            box->close();
        });
        desktop.confirm(ConfirmationRequest{
            QCoreApplication::translate("quillmark::FolderActions", "Rinomina cartella"),
            QCoreApplication::translate("quillmark::FolderActions",
                                        "Rinominare la cartella «%1» in «%2»?")
                    .arg(QStringLiteral("Serie TV"), QStringLiteral("Serie TV (0h05m)")) +
                QLatin1Char('\n') +
                QCoreApplication::translate("quillmark::FolderActions", "In: %1")
                    .arg(QString::fromStdString(library.parent_path().native())),
            QCoreApplication::translate("quillmark::FolderActions", "Rinomina"),
            QCoreApplication::translate("quillmark::FolderActions", "Annulla")});
    }
    {
        // An alert about a file deep in a tree: the whole reason, the path's middle left out.
        Window window;
        QString deep = libraryText;
        for (int level = 0; level < 60; ++level)
            deep += QStringLiteral("/Stagione %1").arg(level);
        window.vm().setAlert(AlertItem{
            QUuid::createUuid(),
            QCoreApplication::translate("quillmark::DurationCalculatorViewModel", "Errore"),
            QCoreApplication::translate("ReportFileActions", "Impossibile salvare il file: %1")
                .arg(deep + QStringLiteral("/durata.txt: Permesso negato")),
            true});
        window.settle();
        window.saveWith(window.view->findChild<QMessageBox*>(QStringLiteral("alertBox")),
                        out.filePath(QStringLiteral("16-long-alert.png")));
    }
    {
        // Maximised on the screen: the rows span the panel, totals at its right edge.
        Window window;
        window.vm().setFolderPath(libraryText);
        calculate(window.vm());
        window.view->showMaximized();
        openFolder(window, QStringLiteral("Stagione 1"));
        openFolder(window, QStringLiteral("Stagione 2"));
        window.save(out.filePath(QStringLiteral("17-maximised.png")));
        // A file's menu, as a right click opens it.
        auto* list = window.view->findChild<QTreeView*>(QStringLiteral("folderList"));
        const QRect row = list->visualRect(shownRow(list, QStringLiteral("Pilota.mp4")));
        QTimer::singleShot(300, [&] {
            QWidget* menu = QApplication::activePopupWidget();
            window.saveWith(menu, out.filePath(QStringLiteral("18-row-menu.png")));
            menu->close();
        });
        Q_EMIT list->customContextMenuRequested(row.center());
    }
    {
        // A walk down a share where every request and stat waits 60 ms.
        QTemporaryDir slow;
        fs::path level = fs::path(slow.path().toStdString()) / "src";
        for (int depth = 0; depth < 60; ++depth) {
            level /= "Cartella " + std::to_string(depth);
            fs::create_directories(level);
            std::ofstream(level / "lezione.mp4");
        }
        const fs::path mount = fs::path(slow.path().toStdString()) / "Condivisione";
        fs::create_directories(mount);
        const test::MountedShare share(fs::path(slow.path().toStdString()) / "src", mount, "60", "",
                                       {"--stat-ms", "60"});
        if (share.isMounted()) {
            Window window;
            window.vm().setFolderPath(QString::fromStdString(mount.native()));
            window.vm().calculate();
            QTest::qWait(3300);
            window.save(out.filePath(QStringLiteral("19-walk-on-a-slow-share.png")));
            window.vm().stop();
        }
    }
    {
        const QPalette light = QApplication::palette();
        QApplication::setPalette(darkPalette());
        {
            Window window;
            window.vm().setFolderPath(libraryText);
            calculate(window.vm());
            openFolder(window, QStringLiteral("Stagione 2"));
            window.save(out.filePath(QStringLiteral("11-dark.png")));
        }
        QApplication::setPalette(light);
    }
}

// On the screen the platform offers, at the scale and font of the run: the window at the size it
// opens at, then at its smallest, as the screen allows.
void drawScaled(const QDir& out, const fs::path& library, const QString& name)
{
    Window window;
    window.vm().setFolderPath(QString::fromStdString(library.native()));
    calculate(window.vm());
    openFolder(window, QStringLiteral("Stagione 2"));
    window.save(out.filePath(name + QStringLiteral("-first-size.png")));
    window.view->resize(window.view->minimumSize());
    window.save(out.filePath(name + QStringLiteral("-minimum.png")));
}

} // namespace

// quillmark-screenshots OUTPUT-FOLDER MEDIA-FOLDER [--scaled NAME] [--font POINTS]
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const qsizetype scaledAt = arguments.indexOf(QStringLiteral("--scaled"));
    const qsizetype fontAt = arguments.indexOf(QStringLiteral("--font"));
    if (arguments.size() < 3 || (scaledAt > 0 && scaledAt + 1 >= arguments.size()) ||
        (fontAt > 0 && fontAt + 1 >= arguments.size())) {
        std::fprintf(stderr, "usage: quillmark-screenshots OUTPUT-FOLDER MEDIA-FOLDER "
                             "[--scaled NAME] [--font POINTS]\n");
        return 2;
    }
    // A larger system font, as a user sets it for the whole desktop.
    if (fontAt > 0) {
        QFont font = QApplication::font();
        font.setPointSizeF(arguments[fontAt + 1].toDouble());
        QApplication::setFont(font);
    }
    QTemporaryDir work;
    const fs::path library = makeLibrary(work.path().toStdString(), argv[2]);
    for (const auto& [system, folder] :
         {std::pair{QLocale(QLocale::Italian), "it"}, std::pair{QLocale(QLocale::English), "en"}}) {
        const InterfaceLanguage language(system);
        const QDir out(QString::fromLocal8Bit(argv[1]) + QLatin1Char('/') + QLatin1String(folder));
        out.mkpath(QStringLiteral("."));
        if (scaledAt > 0)
            drawScaled(out, library, arguments[scaledAt + 1]);
        else
            drawEveryState(out, library);
    }
    return 0;
}

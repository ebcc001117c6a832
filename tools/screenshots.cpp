// Writes PNGs of the real window in each of its states, on the offscreen platform:
// quillmark-screenshots OUTPUT-FOLDER MEDIA-FOLDER
#include "app/duration_calculator_view_model.h"
#include "app/interface_language.h"
#include "platform/qsettings_store.h"
#include "support/fake_desktop_services.h"
#include "support/fake_provider.h"
#include "ui/main_window.h"
#include "ui/theme.h"

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
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
        view->resize(1040, 720);
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
        auto* list = window.view->findChild<QListView*>(QStringLiteral("folderList"));
        for (int row : {3, 1}) // open "Stagione 2", then "Extra"
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(list->model()->index(row, 0)).center());
        list->clearFocus();
        window.save(out.filePath(QStringLiteral("4-report.png")));
        window.vm().setSortByDuration(true);
        window.save(out.filePath(QStringLiteral("6-by-duration.png")));
        window.vm().setSortByDuration(false);
    }
    {
        QProcessEnvironment sandboxed;
        sandboxed.insert(QStringLiteral("APP_SANDBOX_CONTAINER_ID"), QStringLiteral("quillmark"));
        Window window(sandboxed);
        window.save(out.filePath(QStringLiteral("5-sandbox-banner.png")));
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillmark-screenshots OUTPUT-FOLDER MEDIA-FOLDER\n");
        return 2;
    }
    QTemporaryDir work;
    const fs::path library = makeLibrary(work.path().toStdString(), argv[2]);
    for (const auto& [system, folder] :
         {std::pair{QLocale(QLocale::Italian), "it"}, std::pair{QLocale(QLocale::English), "en"}}) {
        const InterfaceLanguage language(system);
        const QDir out(QString::fromLocal8Bit(argv[1]) + QLatin1Char('/') + QLatin1String(folder));
        out.mkpath(QStringLiteral("."));
        drawEveryState(out, library);
    }
    return 0;
}

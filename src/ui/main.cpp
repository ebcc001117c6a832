// Quillmark: how much video is in this folder tree?
#include "app/duration_calculator_view_model.h"
#include "app/interface_language.h"
#include "measure/duration_cache.h"
#include "platform/qsettings_store.h"
#include "platform/widgets/qt_desktop_services.h"
#include "ui/accessibility.h"
#include "ui/main_window.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

// Without any display Qt would abort with a core dump; say it in one line instead.
bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

struct StartRequest {
    std::optional<std::filesystem::path> folder;
    bool run = false;
};

// "quillmark [--run] [FOLDER]", as a file manager's folder action calls it. The folder stays in
// raw bytes, so a name that is not UTF-8 is found.
std::optional<StartRequest> parseArguments(int argc, char** argv)
{
    StartRequest request;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--run")
            request.run = true;
        else if (argument.size() > 1 && argument[0] == '-')
            return std::nullopt;
        else if (!request.folder)
            request.folder = argument;
        else
            return std::nullopt;
    }
    return request;
}

constexpr const char* usage = "usage: quillmark [--run] [FOLDER]\n"
                              "Opens the window on FOLDER (else on the last folder); with --run, "
                              "measures it at once.\nFor the command line, use quillmark-report.\n";

bool asksForHelp(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (asksForHelp(argc, argv)) {
        std::fputs(usage, stdout);
        return EXIT_SUCCESS;
    }
    if (!hasDisplay()) {
        std::fputs("quillmark: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
                   "not set); "
                   "for the command line, use quillmark-report\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv); // takes Qt's own options out of argv
    const auto request = parseArguments(argc, argv);
    if (!request) {
        std::fputs(usage, stderr);
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmark"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillmark"));
    QApplication::setWindowIcon(quillmark::symbolIcon(QStringLiteral("quillmark")));

    const quillmark::InterfaceLanguage language;
    quillmark::installAccessibility();
    quillmark::QSettingsStore settings;
    quillmark::QtDesktopServices desktop;
    quillmark::ViewModelServices services{settings, desktop};
    services.durationCache = quillmark::DurationCache::defaultFile();
    quillmark::MainWindow window(std::make_unique<quillmark::DurationCalculatorViewModel>(services),
                                 quillmark::theme::folderTint());
    desktop.setWindow(&window);
    window.resize(window.firstSize());
    window.show();
    if (request->folder)
        window.viewModel().useFolder(*request->folder);
    if (request->run)
        window.viewModel().calculate();
    const int status = QApplication::exec();
    // A report being saved is saved, if the disk lets it within a second.
    window.viewModel().finishBackgroundWork(std::chrono::seconds(1));
    return status;
}

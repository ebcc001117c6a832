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
#include <vector>

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
    std::vector<std::filesystem::path> files; // with --files, measured at once
};

// "quillmark [--run] [FOLDER]" and "quillmark --files PATH...", as file managers' actions call
// it. Paths stay in raw bytes, so a name that is not UTF-8 is found; after "--" a path may begin
// with "-".
std::optional<StartRequest> parseArguments(int argc, char** argv, QString& error)
{
    StartRequest request;
    bool options = true;
    bool files = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && argument == "--run") {
            request.run = true;
        } else if (options && argument == "--files") {
            files = true;
        } else if (options && argument.size() > 1 && argument[0] == '-') {
            error = QCoreApplication::translate("Quillmark", "opzione sconosciuta %1")
                        .arg(QString::fromLocal8Bit(argv[i]));
            return std::nullopt;
        } else if (files) {
            request.files.emplace_back(argument);
        } else if (request.folder) {
            error = QCoreApplication::translate("Quillmark", "si apre una cartella alla volta");
            return std::nullopt;
        } else {
            request.folder = argument;
        }
    }
    if (files && request.folder) {
        request.files.insert(request.files.begin(), *request.folder);
        request.folder.reset();
    }
    if (files && request.files.empty()) {
        error = QCoreApplication::translate("Quillmark", "--files richiede almeno un percorso");
        return std::nullopt;
    }
    // One folder chosen is that folder's run, with all it offers (rename, playlists).
    std::error_code notThere;
    if (request.files.size() == 1 && std::filesystem::is_directory(std::filesystem::symlink_status(
                                         request.files[0], notThere))) {
        request.folder = request.files[0];
        request.run = true;
        request.files.clear();
    }
    return request;
}

QString usage()
{
    return QCoreApplication::translate(
        "Quillmark", "Uso: quillmark [--run] [CARTELLA]\n"
                     "     quillmark --files PERCORSO...\n"
                     "Apre la finestra su CARTELLA (se non è indicata, sull'ultima usata); con "
                     "--run la misura subito. Con --files misura subito proprio i file e le "
                     "cartelle indicati, raggruppati per cartella.\n"
                     "Per la riga di comando c'è quillmark-report.\n");
}

bool asksForHelp(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--")
            return false;
        if (argument == "--help" || argument == "-h")
            return true;
    }
    return false;
}

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char** argv)
{
    // Help, and the lack of a display, are said without a window, in the interface's language.
    if (asksForHelp(argc, argv) || !hasDisplay()) {
        const QCoreApplication core(argc, argv);
        const quillmark::InterfaceLanguage language;
        if (asksForHelp(argc, argv)) {
            print(stdout, usage());
            return EXIT_SUCCESS;
        }
        print(stderr, QStringLiteral("quillmark: ") +
                          QCoreApplication::translate(
                              "Quillmark", "nessuno schermo su cui aprire la finestra (DISPLAY e "
                                           "WAYLAND_DISPLAY non sono impostate); per la riga di "
                                           "comando c'è quillmark-report") +
                          QLatin1Char('\n'));
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv); // takes Qt's own options out of argv
    const quillmark::InterfaceLanguage language;
    QString error;
    const auto request = parseArguments(argc, argv, error);
    if (!request) {
        print(stderr, QStringLiteral("quillmark: %1\n").arg(error) + usage());
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmark"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillmark"));
    QApplication::setWindowIcon(quillmark::symbolIcon(QStringLiteral("quillmark")));

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
    if (!request->files.empty())
        window.viewModel().useSelection(request->files);
    if (request->run || !request->files.empty())
        window.viewModel().calculate();
    const int status = QApplication::exec();
    // A report being saved is saved, if the disk lets it within a second.
    window.viewModel().finishBackgroundWork(std::chrono::seconds(1));
    return status;
}

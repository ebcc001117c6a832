// Quillmark: how much video is in this folder tree?
#include "app/duration_calculator_view_model.h"
#include "platform/qsettings_store.h"
#include "platform/widgets/qt_desktop_services.h"
#include "ui/content_view.h"
#include "ui/interface_language.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Without any display Qt would abort with a core dump; say it in one line instead.
bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char** argv)
{
    if (!hasDisplay()) {
        std::fputs("quillmark: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
                   "not set); "
                   "for the command line, use quillmark-report\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmark"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillmark"));
    QApplication::setWindowIcon(quillmark::symbolIcon(QStringLiteral("quillmark")));

    const quillmark::InterfaceLanguage language;
    quillmark::QSettingsStore settings;
    quillmark::QtDesktopServices desktop;
    quillmark::ContentView window(std::make_unique<quillmark::DurationCalculatorViewModel>(
                                      quillmark::ViewModelServices{settings, desktop}),
                                  quillmark::theme::folderTint());
    desktop.setWindow(&window);
    window.resize(1040, 720);
    window.show();
    return QApplication::exec();
}

#pragma once

#include "app/interface_language.h"
#include "platform/qsettings_store.h"
#include "support/fake_desktop_services.h"
#include "support/fake_provider.h"
#include "support/temp_tree.h"
#include "ui/main_window.h"
#include "ui/theme.h"

#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace quillmark::test {

// The real window with fake desktop services; measurements wait until released, so a run can be
// looked at while it goes on.
class WindowFixture : public ::testing::Test {
protected:
    ~WindowFixture() override { release = true; }

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
                return seconds(file);
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
    test::TempTree tree;
    QTemporaryDir settingsFolder;
    QSettingsStore settings{settingsFolder.filePath(QStringLiteral("q.conf"))};
    test::FakeDesktopServices desktop;
    // What each file measures; called on workers.
    std::function<double(const std::filesystem::path&)> seconds = [](const auto&) { return 61.0; };
    std::atomic<bool> release = false;
    std::unique_ptr<MainWindow> view;
};

} // namespace quillmark::test

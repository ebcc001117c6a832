#pragma once

#include "app/duration_calculator_view_model.h"
#include "platform/folder_token.h"
#include "platform/qsettings_store.h"
#include "support/fake_desktop_services.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace quillmark::test {

// A view model as the window would have it, with fake desktop services, a settings file of its
// own and the working folder moved into a temporary tree (so "." is a known, empty folder).
class ViewModelFixture : public ::testing::Test {
public:
    void SetUp() override
    {
        tree.folder("cwd");
        m_oldWorkingFolder = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(tree.path("cwd").native()));
    }
    void TearDown() override
    {
        model.reset();
        QDir::setCurrent(m_oldWorkingFolder);
    }

    ViewModelServices makeServices()
    {
        ViewModelServices services{settings, desktop};
        services.processorCount = 2;
        services.showInFileManager = [this](const std::filesystem::path& path) {
            opened.push_back(path);
            return fileManagerOpens;
        };
        services.showFileInFileManager = [this](const std::filesystem::path& path) {
            shownFiles.push_back(path);
            return fileManagerOpens;
        };
        services.openWithDefaultApplication = [this](const std::filesystem::path& path) {
            played.push_back(path);
            return fileManagerOpens;
        };
        return services;
    }
    // Started, with the restored folder looked at.
    DurationCalculatorViewModel& start(std::optional<ViewModelServices> services = {})
    {
        model.reset();
        model =
            std::make_unique<DurationCalculatorViewModel>(services ? *services : makeServices());
        settle();
        return *model;
    }
    // The folder the next start restores, as choosing it would have stored it.
    void remember(const std::filesystem::path& folder)
    {
        AppPreferences preferences(settings);
        preferences.rememberFolder(folder);
        preferences.rememberFolderToken(folder, makeFolderToken(folder));
    }
    // Lets the work on workers end and shows what it did.
    void settle() { model->finishBackgroundWork(std::chrono::seconds(20)); }

    // Runs a calculation to its end.
    void calculate()
    {
        QSignalSpy running(model.get(), &DurationCalculatorViewModel::isRunningChanged);
        model->calculate();
        if (model->isRunning()) {
            EXPECT_TRUE(running.wait(60000));
        }
        EXPECT_FALSE(model->isRunning());
    }

    void expectAlert(const QString& title, const QString& message)
    {
        ASSERT_TRUE(model->alert().has_value()) << message.toStdString();
        EXPECT_EQ(model->alert()->title, title);
        EXPECT_EQ(model->alert()->message, message);
    }

    QString text(const std::filesystem::path& path) const
    {
        return QString::fromStdString(path.native());
    }

    TempTree tree{};
    QTemporaryDir settingsFolder;
    const QString settingsFile = settingsFolder.filePath(QStringLiteral("Quillmark.conf"));
    QSettingsStore settings{settingsFile};
    FakeDesktopServices desktop;
    // What was handed to the file manager or the player (on a worker), and whether they could
    // take it.
    std::vector<std::filesystem::path> opened, shownFiles, played;
    bool fileManagerOpens = true;
    std::unique_ptr<DurationCalculatorViewModel> model;

private:
    QString m_oldWorkingFolder;
};

} // namespace quillmark::test

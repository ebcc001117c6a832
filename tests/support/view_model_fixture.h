#pragma once

#include "app/duration_calculator_view_model.h"
#include "platform/qsettings_store.h"
#include "support/fake_desktop_services.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace quillmark::test {

// A view model as the window would have it, with fake desktop services, a settings file of its
// own and the working folder moved into a temporary tree (so "." is a known, empty folder).
class ViewModelFixture : public ::testing::Test {
protected:
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

    QString settingsFile() const
    {
        return m_settingsDir.filePath(QStringLiteral("Quillmark.conf"));
    }
    QSettingsStore& settings()
    {
        if (!m_settings)
            m_settings = std::make_unique<QSettingsStore>(settingsFile());
        return *m_settings;
    }

    ViewModelServices makeServices(QProcessEnvironment environment = {}, int processors = 2)
    {
        ViewModelServices services{settings(), desktop};
        services.environment = environment;
        services.processorCount = processors;
        return services;
    }
    DurationCalculatorViewModel& start(ViewModelServices services)
    {
        model.reset();
        model = std::make_unique<DurationCalculatorViewModel>(services);
        return *model;
    }
    DurationCalculatorViewModel& start(QProcessEnvironment environment = {}, int processors = 2)
    {
        return start(makeServices(environment, processors));
    }

    // Runs a calculation to its end and returns the status messages shown meanwhile.
    QStringList calculate()
    {
        QStringList statuses;
        auto connection =
            QObject::connect(model.get(), &DurationCalculatorViewModel::statusMessageChanged,
                             [&] { statuses.append(model->statusMessage()); });
        QSignalSpy running(model.get(), &DurationCalculatorViewModel::isRunningChanged);
        model->calculate();
        if (model->isRunning()) {
            EXPECT_TRUE(running.wait(60000));
        }
        EXPECT_FALSE(model->isRunning());
        QObject::disconnect(connection);
        return statuses;
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
    FakeDesktopServices desktop;
    std::unique_ptr<DurationCalculatorViewModel> model;

private:
    QTemporaryDir m_settingsDir;
    std::unique_ptr<QSettingsStore> m_settings;
    QString m_oldWorkingFolder;
};

} // namespace quillmark::test

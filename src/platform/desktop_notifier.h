#pragma once

#include <QDBusConnection>
#include <QObject>

#include <optional>

namespace quillmark {

// Word to the desktop over the session bus: a notification (org.freedesktop.Notifications) when
// a long run ends, and the run's progress on the application's taskbar entry
// (com.canonical.Unity.LauncherEntry, which KDE Plasma and common docks honour). Without a bus or
// a notification service nothing happens and nothing waits: every call is sent, never awaited.
class DesktopNotifier : public QObject {
    Q_OBJECT

public:
    explicit DesktopNotifier(QDBusConnection bus = sessionBusIfAny(), QObject* parent = nullptr);

    // The session bus when the environment names one; else none. Without an address Qt would
    // try to launch a bus, a process started and waited for on the GUI thread.
    static QDBusConnection sessionBusIfAny();

    void notify(const QString& summary, const QString& body);
    // A fraction from 0 to 1 while a run goes on; nothing hides the progress.
    void showProgress(std::optional<double> progress);

    // The desktop file the launcher entry names.
    static constexpr const char* applicationUri = "application://quillmark.desktop";

Q_SIGNALS:
    // The user clicked the last notification.
    void activated();

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& action);

private:
    QDBusConnection m_bus;
    uint m_lastId = 0;
};

} // namespace quillmark

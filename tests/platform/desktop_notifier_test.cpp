// Runs on a session bus of its own (dbus-run-session), where a fake notification service stands in
// for the desktop. (The launcher's progress is a signal of fixed keys, not checked here.)
#include "platform/desktop_notifier.h"

#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>
#include <QVariantMap>

#include <gtest/gtest.h>

namespace quillmark {

class FakeDesktop : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit FakeDesktop(QDBusConnection bus)
        : m_bus(std::move(bus))
    {
        m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                             QDBusConnection::ExportAllSlots);
        m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }

    void click(uint id)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << id << QStringLiteral("default");
        m_bus.send(signal);
    }

    QStringList notices;
    QStringList actions;

public Q_SLOTS:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actionList, const QVariantMap&, int)
    {
        notices << summary + QLatin1Char('|') + body;
        actions = actionList;
        return 7;
    }

private:
    QDBusConnection m_bus;
};

namespace {

TEST(DesktopNotifierTest, NotifiesAndHearsTheClickOnItsOwnNotice)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no session bus: run under dbus-run-session";
    FakeDesktop desktop(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "desktop"));
    DesktopNotifier notifier;
    QSignalSpy activated(&notifier, &DesktopNotifier::activated);

    notifier.notify(QStringLiteral("Quillmark: 3h05m in «Serie»"), QString());
    QTRY_COMPARE(desktop.notices.size(), 1);
    EXPECT_EQ(desktop.notices[0], QStringLiteral("Quillmark: 3h05m in «Serie»|"));
    EXPECT_EQ(desktop.actions.value(0), QStringLiteral("default"));

    // Once the service has answered with the notification's id, a click on it raises the window;
    // a click on another application's notification does not.
    QTest::qWait(100);
    desktop.click(3);
    desktop.click(7);
    QTRY_COMPARE(activated.size(), 1);
    QTest::qWait(100);
    EXPECT_EQ(activated.size(), 1);
}

} // namespace
} // namespace quillmark

#include "desktop_notifier_test.moc"

#include "platform/desktop_notifier.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace quillmark {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
// A notification that is not dismissed goes away on its own after this many milliseconds.
constexpr int shownFor = 10000;

} // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    if (m_bus.isConnected())
        m_bus.connect(service, path, service, QStringLiteral("ActionInvoked"), this,
                      SLOT(onActionInvoked(uint, QString)));
}

QDBusConnection DesktopNotifier::sessionBusIfAny()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return QDBusConnection(QStringLiteral("quillmark-no-bus"));
    return QDBusConnection::sessionBus();
}

void DesktopNotifier::notify(const QString& summary, const QString& body)
{
    if (!m_bus.isConnected())
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Notify"));
    // "default" is the action of a click on the notification itself.
    call << QStringLiteral("Quillmark") << m_lastId << QStringLiteral("quillmark") << summary
         << body
         << QStringList{QStringLiteral("default"),
                        QCoreApplication::translate("DesktopNotifier", "Mostra")}
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("quillmark")}} << shownFor;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<uint> reply = *finished;
                if (reply.isValid())
                    m_lastId = reply.value();
                finished->deleteLater();
            });
}

void DesktopNotifier::showProgress(std::optional<double> progress)
{
    if (!m_bus.isConnected())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/com/canonical/unity/launcherentry/quillmark"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    signal << QString::fromLatin1(applicationUri)
           << QVariantMap{{QStringLiteral("progress"), progress.value_or(0.0)},
                          {QStringLiteral("progress-visible"), progress.has_value()}};
    m_bus.send(signal);
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action)
{
    if (id == m_lastId && id != 0 && action == QLatin1String("default"))
        Q_EMIT activated();
}

} // namespace quillmark
